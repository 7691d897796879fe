#include "base/LangText.h"

const QString& LangText::text(int n) const {
    static const QString empty;
    return n >= 0 && n < Count ? texts[size_t(n)] : empty;
}

void LangText::set(int n, const QString& value) {
    if (n >= 0 && n < Count)
        texts[size_t(n)] = value;
}

void LangText::clear() {
    for (QString& t : texts)
        t.clear();
}

LangText& LangText::instance() {
    static LangText table;
    return table;
}

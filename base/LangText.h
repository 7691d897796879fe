#pragma once

#include "base/Text.h"

#include <QString>
#include <array>

// The interface texts by number (0..499). Numbers outside the table read as an empty text and are
// ignored when set. Code names a text through the enum Text; numbers are for the files.
class LangText {
public:
    static constexpr int Count = 500;

    const QString& text(int n) const;
    const QString& text(Text id) const { return text(int(id)); }
    void set(int n, const QString& text);
    void clear();

    // The process-wide table every window and default name reads.
    static LangText& instance();

private:
    std::array<QString, Count> texts;
};

#include "ui/macros/CComboActionInsertPopup.h"

namespace {
std::vector<CRowListPopup::Row> insertRows(const LangText& texts) {
    static constexpr int Texts[CComboActionInsertPopup::CommandCount] = {20, 21, 22, 205, 206};
    std::vector<CRowListPopup::Row> rows;
    for (int command = 0; command < CComboActionInsertPopup::CommandCount; ++command)
        rows.push_back(CRowListPopup::Row::choosing(texts.text(Texts[command]), command));
    return rows;
}
} // namespace

CComboActionInsertPopup::CComboActionInsertPopup(const LangText& texts)
    : CRowListPopup(Menu, insertRows(texts)) {}

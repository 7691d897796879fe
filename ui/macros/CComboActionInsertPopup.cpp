#include "ui/macros/CComboActionInsertPopup.h"

namespace {
std::vector<CRowListPopup::Row> insertRows(const LangText& texts) {
    static constexpr Text Texts[CComboActionInsertPopup::CommandCount] = {
        Text::LeftClick, Text::RightClick, Text::MiddleClick, Text::Delay, Text::Keystroke};
    std::vector<CRowListPopup::Row> rows;
    for (int command = 0; command < CComboActionInsertPopup::CommandCount; ++command)
        rows.push_back(CRowListPopup::Row::choosing(texts.text(Texts[command]), command));
    return rows;
}
} // namespace

CComboActionInsertPopup::CComboActionInsertPopup(const LangText& texts)
    : CRowListPopup(Menu, insertRows(texts)) {}

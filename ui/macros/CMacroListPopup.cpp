#include "ui/macros/CMacroListPopup.h"

namespace {
// The rows take the texts NewMacro … ExportAll in the order of the commands.
constexpr Text FirstText = Text::NewMacro;
static_assert(FirstText + CMacroListPopup::ExportAll == Text::ExportAll);

std::vector<CRowListPopup::Row> listRows(const LangText& texts, CMacroListPopup::Selection selection) {
    std::vector<CRowListPopup::Row> rows;
    for (CMacroListPopup::Command command : CMacroListPopup::commandsFor(selection))
        rows.push_back(CRowListPopup::Row::choosing(texts.text(FirstText + command), command));
    return rows;
}
} // namespace

std::vector<CMacroListPopup::Command> CMacroListPopup::commandsFor(Selection selection) {
    switch (selection) {
    case Selection::Macro:
        return {NewMacro, NewFolder, ExportMacro, ImportMacro, Rename, Delete, ImportAll, ExportAll};
    case Selection::Folder:
        return {NewMacro, NewFolder, ImportMacro, Rename, Delete, ImportAll, ExportAll};
    case Selection::Nothing:
        break;
    }
    return {NewMacro, NewFolder, ImportMacro, ImportAll, ExportAll};
}

CMacroListPopup::CMacroListPopup(const LangText& texts, Selection selection)
    : CRowListPopup(Menu, listRows(texts, selection)) {}

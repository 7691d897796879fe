#pragma once

#include "base/Text.h"
#include "macros/MacroItemLocation.h"
#include "ui/macros/CMacroListPopup.h"

class CMacroManagerDlg;
class MacroLibrary;

// The macro manager's commands on the library tree: new macro and folder, rename, delete, and the
// four file commands, each with its name dialog, confirmation, file dialog and refusal notices.
class MacroTreeCommands {
public:
    // Numbered as the context menu numbers them.
    using Command = CMacroListPopup::Command;
    static constexpr Text NameExistsText = Text::NameInUse;
    static constexpr Text EmptyNameText = Text::NameEmpty;
    static constexpr Text ConfirmDeleteText = Text::ConfirmDelete;
    static constexpr Text NothingSelectedText = Text::NothingSelectedToDelete;
    static constexpr Text InUseText = Text::InUseByButton;
    static constexpr Text UnboundText = Text::MacroDeletedUnbound;

    explicit MacroTreeCommands(CMacroManagerDlg& dialog);

    void run(int command);
    // New macro or folder through the name dialog; empty and taken names are refused.
    void create(bool folder);
    void rename();
    void deleteItem();
    void exportMacro();
    void importMacro();
    void exportAll();
    void importAll();

private:
    // Opens the folder new items went into and selects the item at the selection.
    void showCreated(const MacroItemLocation& previous);
    // Selects the item the library's selection names, and refreshes the lists.
    void selectCurrent();
    MacroLibrary& library();

    CMacroManagerDlg& dialog;
};

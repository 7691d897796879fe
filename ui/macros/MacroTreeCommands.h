#pragma once

#include "macros/MacroItemLocation.h"

class CMacroManagerDlg;
class MacroLibrary;

// The macro manager's commands on the library tree: new macro and folder, rename, delete, and the
// four file commands, each with its name dialog, confirmation, file dialog and refusal notices.
// Commands are numbered as the context menu numbers them.
class MacroTreeCommands {
public:
    enum Command {
        NewMacro = 0,
        NewFolder = 1,
        ExportMacro = 2,
        ImportMacro = 3,
        Rename = 4,
        DeleteItem = 5,
        ImportAll = 6,
        ExportAll = 7,
    };
    static constexpr int NameExistsText = 241;
    static constexpr int EmptyNameText = 242;
    static constexpr int ConfirmDeleteText = 232;
    static constexpr int NothingSelectedText = 233;
    static constexpr int InUseText = 257;

    explicit MacroTreeCommands(CMacroManagerDlg& dialog);

    void run(int command);
    void newMacro();
    void newFolder();
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

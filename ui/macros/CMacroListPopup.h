#pragma once

#include "base/LangText.h"
#include "toolkit/CRowListPopup.h"

// The context menu of the macro library tree. Which commands it offers depends on what is
// selected: with nothing, new macro, new folder, import macro, import all and export all; with a
// macro all eight; with a folder all but export macro. A pick sends PickMessage with wParam =
// owner id and lParam = the command; losing activation sends CloseMessage.
class CMacroListPopup : public CRowListPopup {
    Q_OBJECT

public:
    static constexpr Setup Menu{15, WM_USER + 146};
    static constexpr uint32_t PickMessage = WM_USER + 145;
    static constexpr uint32_t CloseMessage = Menu.closeMessage;
    enum class Selection { Nothing, Macro, Folder };
    enum Command {
        NewMacro = 0,
        NewFolder = 1,
        ExportMacro = 2,
        ImportMacro = 3,
        Rename = 4,
        Delete = 5,
        ImportAll = 6,
        ExportAll = 7
    };

    CMacroListPopup(const LangText& texts, Selection selection);
    explicit CMacroListPopup(Selection selection) : CMacroListPopup(LangText::instance(), selection) {}

    // The commands offered, in row order.
    static std::vector<Command> commandsFor(Selection selection);
};

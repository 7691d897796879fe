#pragma once

#include "buttons/ButtonFunction.h"
#include "buttons/FunctionCatalogue.h"
#include "macros/MacroItemLocation.h"
#include "ui/shell/MainSection.h"

class CComboPopup;
class CFunctionSubPopup;
struct MacroKey;

class QPainter;

// The left column's button list: the functions of the five assignable buttons, the macro button,
// and the marker that shows on the mouse picture which button a row stands for. The function
// menus of the rows and the dialogs they lead to open from here.
class ButtonSection : public MainSection {
public:
    using MainSection::MainSection;

    void addMessages(MessageTable& messages);
    // The functions' names into the rows.
    void refresh();
    // The marker of the hovered row over the mouse picture.
    void drawMarker(QPainter& painter) const;

    // The marker drawn over the mouse picture, 0 for none.
    int markerIndex = 0;

    // Opens the function menu of a button drop-down beside it (any open one closes first).
    void OpenFunctionMenu(uint32_t buttonId);
    // Gives the button's slot the function, closes the menus and keeps a left click on the
    // profile: the change goes to the mouse, or, when it took the last left click, the left click
    // comes back on this button and the refusal is shown (nothing is sent).
    void StoreButtonFunction(uint32_t buttonId, const ButtonFunction& function,
                             const MacroKey* macro = nullptr);
    // The open menus, null when closed.
    CComboPopup* functionMenu() const;
    CFunctionSubPopup* submenu() const;
    // The button a dialog row was chosen on, 0 when none.
    uint32_t dialogButton = 0;
    uint32_t macroButton = 0;

    // The macro manager, modal; afterwards the library is read back from its file and, when a
    // button holds a macro, the keys go to the mouse at once.
    void OpenMacroManager();

private:
    void onFunctionCombo(uintptr_t id, intptr_t code);
    void openSubmenu(FunctionCatalogue::Menu menu);
    void closeSubmenu();
    void closeMenus();
    // The open mark of the button clears once no menu remains.
    void clearMarkIfClosed(uint32_t buttonId);
    void openFireKeyDialog();
    void openShortcutDialog();
    void openMacroDialog();
    // The selection dialog's result: the selected library macro, or none.
    void storeSelectedMacro(const MacroItemLocation& chosen);
};

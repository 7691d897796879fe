#pragma once

#include "macros/MacroItemLocation.h"
#include "toolkit/CDlgBase.h"
#include "ui/buttons/CKeyboardHook.h"

#include <functional>

class CEditShowList;
class CVScrollBar;
class RowListScroll;
class MacroLibrary;

// Picks the macro a button will play: the library tree (2015) with its scroll bar (2021) and OK
// (2010). Opening closes every folder and selects nothing. OK with a macro selected sends the
// parent ResultMessage (wParam = OK's id, lParam = the address of the chosen MacroItemLocation,
// valid during the call) and ends with OK. OK on a folder or on nothing shows notice 234 and the
// dialog stays.
// Enter and Escape do nothing.
class CMacroSelectDlg : public CDlgBase {
    Q_OBJECT

public:
    static constexpr uint32_t ResultMessage = WM_USER + 42;
    static constexpr uint32_t CaptionId = 2025;
    static constexpr uint32_t ScrollBarId = 2021;
    static constexpr int DesignWidth = 528;
    static constexpr int DesignHeight = 365;

    // `notice` shows a language text; null: an attention dialog.
    explicit CMacroSelectDlg(MacroLibrary& library, QWidget* parent = nullptr,
                             std::function<void(Text text)> notice = nullptr);
    ~CMacroSelectDlg() override;

    CEditShowList* tree() const { return treeList; }
    // The library item selected in the tree.
    MacroItemLocation& selectedLocation() { return selectedItem; }
    CVScrollBar* scrollBar() const { return bar; }
    // Scrolls the tree by rows (negative: up) within its range.
    void ScrollRows(int delta);

    void CreateControls(const Rect& client) override;
    void OnInitDialog() override;
    void OnOK() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void onTree(intptr_t code);
    void updateScrollBar();
    void showNotice(Text text);

    MacroLibrary& library;
    std::function<void(Text)> notice;
    MacroItemLocation selectedItem = MacroItemLocation::none();
    CEditShowList* treeList = nullptr;
    CVScrollBar* bar = nullptr;
    std::unique_ptr<RowListScroll> scroll;
    // Never started: keys are not captured here.
    CKeyboardHook keyboard;
};

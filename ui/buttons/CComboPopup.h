#pragma once

#include "buttons/FunctionCatalogue.h"
#include "toolkit/CRowListPopup.h"

#include <span>

// The function menu of a button: the main functions (FunctionCatalogue::Menu::Main) as rows,
// submenu rows drawn with the "menusub" skins. A click on a value row sends SelectionMessage with
// lParam = the row; a click on a dialog row asks the window to remember the button (FireKeyRequest,
// CaptureRequest, MacroRequest); a click on a submenu row does nothing. Moving the pointer onto a
// row sends that row's submenu's OpenMessage, or PlainRowMessage for any other row and when the
// pointer leaves the menu (lParam = the row, -1 outside). Losing activation sends CloseMessage.
class CComboPopup : public CRowListPopup {
    Q_OBJECT

public:
    static constexpr Setup Menu{0, WM_USER + 5};
    static constexpr uint32_t SelectionMessage = WM_USER + 3;   // 1027
    static constexpr uint32_t CloseMessage = Menu.closeMessage; // 1029
    static constexpr uint32_t PlainRowMessage = WM_USER + 9;    // 1033
    // A dialog row asks (wParam = owner id), then the window posts the open message to itself.
    static constexpr uint32_t CaptureOpen = WM_USER + 10, CaptureRequest = WM_USER + 11,
                              CaptureResult = WM_USER + 12;
    static constexpr uint32_t FireKeyOpen = WM_USER + 37, FireKeyRequest = WM_USER + 38,
                              FireKeyResult = WM_USER + 39;
    static constexpr uint32_t MacroOpen = WM_USER + 40, MacroRequest = WM_USER + 41,
                              MacroResult = WM_USER + 42;
    // Design size of the menu.
    static constexpr int DesignWidth = 300;
    static constexpr int DesignHeight = 300;

    // One submenu: its menu, popup kind and messages.
    struct Submenu {
        FunctionCatalogue::Menu menu;
        int kind;
        uint32_t leaveMessage;     // from the submenu: the pointer left it, or it lost activation
        uint32_t openMessage;      // from this menu: the pointer is on the submenu's row
        uint32_t selectionMessage; // from the submenu: lParam = the chosen row
    };
    static std::span<const Submenu> submenus();
    // Null for a menu without a submenu entry.
    static const Submenu* submenuOf(FunctionCatalogue::Menu menu);

    CComboPopup();

    // The catalogue's rows of a menu, the choice of each being its index.
    static std::vector<Row> rowsOf(FunctionCatalogue::Menu menu);
    // The row of a submenu in this menu, -1 when there is none.
    static int rowOfSubmenu(FunctionCatalogue::Menu menu);

    void InitItems() override;
    void DrawContent(QPainter& painter, const Rect& client) override;
    bool OnPopupMouseMove(const QPoint& point) override;

    QImage subNormalImage, subOverImage;

protected:
    void OnRowClicked(int row) override;

private:
    int pointerRow = -2; // the row last reported; -2 before the first report
};

#pragma once

#include "toolkit/MessageWindow.h"
#include "toolkit/Rect.h"

#include <QFont>
#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <QWidget>

// A popup menu next to a control: a frameless top-most window drawn off-screen. When it loses
// activation it tells its parent with its close message (wParam = owner id, lParam = kind), if it
// was given one; the parent then closes it. Closing sends WM_USER+1 to the parent, and the popup deletes
// itself. Derived popups draw their items and pick one with the selection message.
class CWndPopup : public QWidget, public MessageWindow {
    Q_OBJECT

public:
    // `kind` tells the parent which menu it is; `closeMessage` 0 sends nothing on losing activation.
    explicit CWndPopup(int kind, uint32_t closeMessage = 0);
    ~CWndPopup() override;

    // Opens the popup at `screenRect` (screen coordinates) over `parentWindow`, which receives
    // its messages: items are set up (InitItems), drawn, and the window is shown and activated.
    bool Create(QWidget* parentWindow, const QRect& screenRect, uint32_t selectionMessage, uint32_t ownerId);
    // Sends to the parent when there still is one; returns whether there was.
    bool NotifyParent(uint32_t message, uintptr_t wParam, intptr_t lParam);
    // Draws the content again and shows it.
    void Redraw();

    // Loss (false) or gain (true) of activation.
    void OnNcActivate(bool active);

    // Hooks for the derived popups; coordinates are the popup's own. True means "redraw".
    virtual void DrawContent(QPainter& painter, const Rect& client);
    virtual void InitItems();
    virtual bool OnPopupMouseMove(const QPoint& point);
    virtual bool OnPopupLButtonDown(const QPoint& point);
    virtual bool OnPopupLButtonUp(const QPoint& point);
    virtual bool OnPopupRButtonUp(const QPoint& point);

    void invalidate(const Rect& rect) override;
    void invalidateAll() override;

    // The items, for the keyboard and a screen reader (none by default), in the popup's own
    // coordinates; the current one is the one the pointer or the keys are on (-1: none).
    virtual int itemCount() const { return 0; }
    virtual QString itemText(int) const { return QString(); }
    virtual Rect itemRect(int) const { return Rect::none(); }
    virtual bool itemSelectable(int) const { return false; }
    virtual bool itemMarked(int) const { return false; }
    virtual int currentItem() const { return -1; }
    // Up/Down move over the selectable items, Enter or Space picks (as a click), Right (or Enter on
    // a row that opened a menu beside this one) goes into that menu, Left or Esc come back from it,
    // Esc closes this one and hands the keyboard back to its window. True when the key acted.
    bool OnPopupKey(int key);
    // Moves to an item as the pointer would; false when it cannot be chosen.
    bool pointAtItem(int item);
    // Picks an item as a click does.
    bool pickItem(int item);
    // The menu open beside this one (a submenu), if any.
    CWndPopup* menuBeside() const;
    // The window and the control it opened from.
    QWidget* ownerWindow() const { return owner; }

    bool tracking = false;
    bool buttonDown = false;
    bool captured = false;
    QFont font;
    int left = 0;
    int top = 0;
    uint32_t selectionMessage = 0;
    uint32_t ownerId = 0;
    int kind;
    uint32_t closeMessage;
    // False for a popup that opens beside another one, which must keep the activation.
    bool activates = true;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void hover();
    void closeByKey();

    QPointer<QWidget> owner;
    QPixmap buffer;
    QTimer hoverTimer;
    bool closeSent = false;
    bool closing = false;
    QPointer<CWndPopup> keyChild; // the menu beside that the keys go to
};

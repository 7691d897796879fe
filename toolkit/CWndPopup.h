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

private:
    void hover();

    QPointer<QWidget> owner;
    QPixmap buffer;
    QTimer hoverTimer;
    bool closeSent = false;
    bool closing = false;
};

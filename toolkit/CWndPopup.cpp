#include "toolkit/CWndPopup.h"

#include "toolkit/SkinFont.h"

#include <QAccessible>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

CWndPopup::CWndPopup(int kind, uint32_t closeMessage)
    : QWidget(nullptr), font(SkinFont::uiFont()), kind(kind), closeMessage(closeMessage) {
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
    setCursor(Qt::ArrowCursor);
    hoverTimer.setSingleShot(true);
    hoverTimer.setInterval(50);
    connect(&hoverTimer, &QTimer::timeout, this, &CWndPopup::hover);
}

CWndPopup::~CWndPopup() = default;

bool CWndPopup::Create(QWidget* parentWindow, const QRect& screenRect, uint32_t selection,
                       uint32_t openerId) {
    owner = parentWindow;
    selectionMessage = selection;
    ownerId = openerId;
    left = screenRect.left();
    top = screenRect.top();
    setParent(parentWindow, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    resize(screenRect.size());
    InitItems();
    Redraw();
    move(left, top);
    setAttribute(Qt::WA_ShowWithoutActivating, !activates);
    show();
    if (activates)
        activateWindow();
    return true;
}

bool CWndPopup::NotifyParent(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    if (!owner)
        return false;
    auto* target = dynamic_cast<MessageWindow*>(owner.data());
    if (!target)
        return false;
    target->sendMessage(message, wParam, lParam);
    return true;
}

void CWndPopup::Redraw() {
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = (QSizeF(size()) * ratio).toSize();
    if (buffer.size() != pixels) {
        buffer = QPixmap(pixels);
        buffer.setDevicePixelRatio(ratio);
    }
    {
        QPainter painter(&buffer);
        painter.fillRect(rect(), Qt::black);
        painter.setFont(font);
        DrawContent(painter, {0, 0, width(), height()});
    }
    update();
}

void CWndPopup::OnNcActivate(bool active) {
    if (closing)
        return;
    if (active) {
        closeSent = false;
        return;
    }
    if (closeSent)
        return;
    if (closeMessage == 0)
        return;
    closeSent = true;
    NotifyParent(closeMessage, ownerId, kind);
}

void CWndPopup::DrawContent(QPainter&, const Rect&) {}

void CWndPopup::InitItems() {}

bool CWndPopup::OnPopupMouseMove(const QPoint&) {
    return false;
}

bool CWndPopup::OnPopupLButtonDown(const QPoint&) {
    return false;
}

bool CWndPopup::OnPopupLButtonUp(const QPoint&) {
    return false;
}

bool CWndPopup::OnPopupRButtonUp(const QPoint&) {
    return false;
}

void CWndPopup::invalidate(const Rect&) {
    Redraw();
}

void CWndPopup::invalidateAll() {
    Redraw();
}

bool CWndPopup::event(QEvent* event) {
    if (event->type() == QEvent::WindowDeactivate)
        OnNcActivate(false);
    else if (event->type() == QEvent::WindowActivate)
        OnNcActivate(true);
    return QWidget::event(event);
}

void CWndPopup::paintEvent(QPaintEvent*) {
    if (buffer.size() != (QSizeF(size()) * devicePixelRatioF()).toSize())
        Redraw();
    QPainter painter(this);
    painter.drawPixmap(0, 0, buffer);
}

void CWndPopup::mouseMoveEvent(QMouseEvent* event) {
    if (!tracking) {
        tracking = true;
        hoverTimer.start();
    }
    if (!buttonDown && OnPopupMouseMove(event->position().toPoint()))
        Redraw();
}

void CWndPopup::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    buttonDown = true;
    captured = true;
    if (OnPopupLButtonDown(event->position().toPoint()))
        Redraw();
}

void CWndPopup::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        captured = false;
        buttonDown = false;
        if (OnPopupLButtonUp(point))
            Redraw();
    } else if (event->button() == Qt::RightButton) {
        OnPopupRButtonUp(point);
    }
}

void CWndPopup::leaveEvent(QEvent* event) {
    tracking = false;
    hoverTimer.stop();
    if (!buttonDown && OnPopupMouseMove(mapFromGlobal(QCursor::pos())))
        Redraw();
    QWidget::leaveEvent(event);
}

void CWndPopup::hover() {
    OnPopupMouseMove(mapFromGlobal(QCursor::pos()));
}

void CWndPopup::closeEvent(QCloseEvent* event) {
    // Hiding an active popup deactivates it; that is no reason to ask the parent to close it.
    closing = true;
    NotifyParent(WM_USER + 1, 0, 0);
    event->accept();
}

// ---- Keyboard ------------------------------------------------------------------------------------

bool CWndPopup::pointAtItem(int item) {
    if (item < 0 || item >= itemCount() || !itemSelectable(item))
        return false;
    if (OnPopupMouseMove(itemRect(item).toQRect().center()))
        Redraw();
    // A screen reader follows the keys through the rows.
    if (QAccessible::isActive())
        if (QAccessibleInterface* menu = QAccessible::queryAccessibleInterface(this))
            if (QAccessibleInterface* row = menu->child(item)) {
                QAccessibleEvent event(row, QAccessible::Focus);
                QAccessible::updateAccessibility(&event);
            }
    return true;
}

bool CWndPopup::pickItem(int item) {
    if (item < 0 || item >= itemCount() || !itemSelectable(item))
        return false;
    const QPoint point = itemRect(item).toQRect().center();
    QPointer<CWndPopup> self(this);
    if (OnPopupLButtonDown(point) && self)
        Redraw();
    if (self && OnPopupLButtonUp(point) && self)
        Redraw();
    return true;
}

CWndPopup* CWndPopup::menuBeside() const {
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* popup = qobject_cast<CWndPopup*>(top);
            popup && popup != this && !popup->activates && popup->isVisible() && popup->owner == owner)
            return popup;
    return nullptr;
}

bool CWndPopup::OnPopupKey(int key) {
    const int count = itemCount();
    const auto enterBeside = [this] {
        CWndPopup* beside = menuBeside();
        if (!beside)
            return false;
        keyChild = beside;
        beside->OnPopupKey(Qt::Key_Home);
        return true;
    };
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Down: {
        const int step = key == Qt::Key_Down ? 1 : -1;
        int at = currentItem();
        for (int tries = 0; tries < count; ++tries) {
            at = at < 0 ? (step > 0 ? 0 : count - 1) : (at + step + count) % count;
            if (pointAtItem(at))
                return true;
        }
        return false;
    }
    case Qt::Key_Home:
    case Qt::Key_End:
        for (int i = 0; i < count; ++i)
            if (pointAtItem(key == Qt::Key_Home ? i : count - 1 - i))
                return true;
        return false;
    case Qt::Key_Right:
        return enterBeside();
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (enterBeside())
            return true;
        return pickItem(currentItem());
    case Qt::Key_Escape:
        closeByKey();
        return true;
    default:
        return false;
    }
}

void CWndPopup::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (keyChild && keyChild->isVisible()) {
        if (key == Qt::Key_Left || key == Qt::Key_Escape) {
            // Back to this menu; the submenu stays open while its row is the current one.
            keyChild = nullptr;
        } else {
            keyChild->OnPopupKey(key);
        }
        event->accept();
        return;
    }
    keyChild = nullptr;
    if (OnPopupKey(key))
        event->accept();
    else
        QWidget::keyPressEvent(event);
}

void CWndPopup::closeByKey() {
    QPointer<QWidget> window = owner;
    if (closeMessage != 0 && !closeSent) {
        closeSent = true;
        NotifyParent(closeMessage, ownerId, kind);
    } else {
        close();
    }
    if (window) {
        window->activateWindow();
        window->setFocus(Qt::PopupFocusReason);
    }
}

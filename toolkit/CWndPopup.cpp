#include "toolkit/CWndPopup.h"

#include "toolkit/SkinFont.h"

#include <QCloseEvent>
#include <QCursor>
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

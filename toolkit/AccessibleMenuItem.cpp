#include "toolkit/AccessibleMenuItem.h"

#include "toolkit/CWndPopup.h"

#include <QWindow>

AccessibleMenuItem::AccessibleMenuItem(CWndPopup* popup, int item) : popup(popup), item(item) {}

bool AccessibleMenuItem::isValid() const {
    return popup && item < popup->itemCount();
}

QWindow* AccessibleMenuItem::window() const {
    return popup ? popup->windowHandle() : nullptr;
}

QAccessibleInterface* AccessibleMenuItem::parent() const {
    return popup ? QAccessible::queryAccessibleInterface(popup.data()) : nullptr;
}

QString AccessibleMenuItem::text(QAccessible::Text t) const {
    if (!isValid() || t != QAccessible::Name)
        return QString();
    return popup->itemText(item).trimmed();
}

QRect AccessibleMenuItem::rect() const {
    if (!isValid())
        return QRect();
    const QRect local = popup->itemRect(item).toQRect();
    return QRect(popup->mapToGlobal(local.topLeft()), local.size());
}

QAccessible::State AccessibleMenuItem::state() const {
    QAccessible::State s;
    if (!isValid()) {
        s.invalid = true;
        return s;
    }
    const bool selectable = popup->itemSelectable(item);
    s.disabled = !selectable;
    s.focusable = selectable;
    s.selectable = selectable;
    s.focused = selectable && popup->currentItem() == item;
    s.selected = s.focused;
    s.checked = popup->itemMarked(item);
    return s;
}

void* AccessibleMenuItem::interface_cast(QAccessible::InterfaceType type) {
    return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
}

QStringList AccessibleMenuItem::actionNames() const {
    if (isValid() && popup->itemSelectable(item))
        return {pressAction()};
    return {};
}

void AccessibleMenuItem::doAction(const QString& actionName) {
    if (actionName != pressAction() || !isValid())
        return;
    popup->pointAtItem(item);
    popup->pickItem(item);
}

#include "toolkit/AccessiblePopup.h"

#include "toolkit/AccessibleMenuItem.h"
#include "toolkit/CDlgBase.h"
#include "toolkit/CWndPopup.h"

AccessiblePopup::AccessiblePopup(CWndPopup* popup) : QAccessibleWidget(popup, QAccessible::PopupMenu) {}

AccessiblePopup::~AccessiblePopup() {
    for (QAccessible::Id id : items)
        QAccessible::deleteAccessibleInterface(id);
}

CWndPopup* AccessiblePopup::popup() const {
    return static_cast<CWndPopup*>(widget());
}

QString AccessiblePopup::text(QAccessible::Text t) const {
    if (t != QAccessible::Name)
        return QAccessibleWidget::text(t);
    // Named after the control that opened it.
    if (auto* window = qobject_cast<CDlgBase*>(popup()->ownerWindow()))
        if (const CControlBase* opener = window->FindControl(popup()->ownerId))
            return window->AccessibleName(*opener);
    return QAccessibleWidget::text(t);
}

int AccessiblePopup::childCount() const {
    return popup()->itemCount();
}

QAccessibleInterface* AccessiblePopup::child(int index) const {
    if (index < 0 || index >= childCount())
        return nullptr;
    while (int(items.size()) <= index)
        items.push_back(
            QAccessible::registerAccessibleInterface(new AccessibleMenuItem(popup(), int(items.size()))));
    return QAccessible::accessibleInterface(items[size_t(index)]);
}

int AccessiblePopup::indexOfChild(const QAccessibleInterface* child) const {
    for (size_t i = 0; i < items.size(); ++i)
        if (QAccessible::accessibleInterface(items[i]) == child)
            return int(i);
    return -1;
}

QAccessibleInterface* AccessiblePopup::focusChild() const {
    const int current = popup()->currentItem();
    return current >= 0 ? child(current) : nullptr;
}

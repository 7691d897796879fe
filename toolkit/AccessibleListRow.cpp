#include "toolkit/AccessibleListRow.h"

#include "toolkit/CDlgBase.h"
#include "toolkit/CRowList.h"
#include "toolkit/DialogAccess.h"

#include <QWindow>

AccessibleListRow::AccessibleListRow(CDlgBase* dialog, CRowList* list, int row)
    : dialog(dialog), list(list), row(row) {}

bool AccessibleListRow::isValid() const {
    return dialog && dialog->access().owns(list) && row < list->rowCount();
}

QWindow* AccessibleListRow::window() const {
    return dialog ? dialog->window()->windowHandle() : nullptr;
}

QAccessibleInterface* AccessibleListRow::parent() const {
    return dialog ? dialog->access().interfaceFor(list) : nullptr;
}

QString AccessibleListRow::text(QAccessible::Text t) const {
    return isValid() && t == QAccessible::Name ? list->rowText(row).trimmed() : QString();
}

QRect AccessibleListRow::rect() const {
    const Rect local = isValid() ? list->rowRect(row) : Rect::none();
    if (local.isEmpty())
        return QRect();
    return QRect(dialog->mapToGlobal(QPoint(local.left, local.top)), QSize(local.width(), local.height()));
}

QAccessible::State AccessibleListRow::state() const {
    QAccessible::State s;
    if (!isValid()) {
        s.invalid = true;
        return s;
    }
    s.disabled = list->isDisabled();
    s.selectable = s.focusable = !s.disabled;
    s.selected = list->currentRow() == row;
    s.focused = s.selected && dialog->FocusControl() == list && dialog->isActiveWindow();
    s.offscreen = list->rowRect(row).isEmpty();
    if (const std::optional<bool> open = list->rowOpen(row)) {
        s.expandable = true;
        s.expanded = *open;
        s.collapsed = !*open;
    }
    return s;
}

void* AccessibleListRow::interface_cast(QAccessible::InterfaceType type) {
    return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
}

QStringList AccessibleListRow::actionNames() const {
    if (isValid() && list->isActive() && !list->isDisabled())
        return {pressAction()};
    return {};
}

void AccessibleListRow::doAction(const QString& actionName) {
    if (!actionNames().contains(actionName))
        return;
    dialog->SetFocusControl(list, true);
    list->pickRow(row);
    dialog->access().announceChanges();
}

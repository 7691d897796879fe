#include "toolkit/AccessibleDialog.h"

#include "toolkit/CDlgBase.h"
#include "toolkit/DialogAccess.h"

AccessibleDialog::AccessibleDialog(CDlgBase* dialog)
    : QAccessibleWidget(dialog, dialog->isSmallDialog() ? QAccessible::Dialog : QAccessible::Window) {}

CDlgBase* AccessibleDialog::dialog() const {
    return static_cast<CDlgBase*>(widget());
}

QString AccessibleDialog::text(QAccessible::Text t) const {
    if (t == QAccessible::Name)
        return dialog()->AccessibleTitle();
    return QAccessibleWidget::text(t);
}

int AccessibleDialog::childCount() const {
    return QAccessibleWidget::childCount() + int(dialog()->access().exposedControls().size());
}

QAccessibleInterface* AccessibleDialog::child(int index) const {
    const int widgets = QAccessibleWidget::childCount();
    if (index < widgets)
        return QAccessibleWidget::child(index);
    const std::vector<CControlBase*> controls = dialog()->access().exposedControls();
    const size_t at = size_t(index - widgets);
    return index >= 0 && at < controls.size() ? dialog()->access().interfaceFor(controls[at]) : nullptr;
}

int AccessibleDialog::indexOfChild(const QAccessibleInterface* child) const {
    const int widgets = QAccessibleWidget::childCount();
    if (!child || child->object())
        return QAccessibleWidget::indexOfChild(child);
    const std::vector<CControlBase*> controls = dialog()->access().exposedControls();
    for (size_t i = 0; i < controls.size(); ++i)
        if (dialog()->access().interfaceFor(controls[i]) == child)
            return widgets + int(i);
    return -1;
}

QAccessibleInterface* AccessibleDialog::childAt(int x, int y) const {
    if (QAccessibleInterface* widget = QAccessibleWidget::childAt(x, y))
        return widget;
    const QPoint local = dialog()->mapFromGlobal(QPoint(x, y));
    QAccessibleInterface* found = nullptr;
    // The last one, as the mouse finds overlapping controls.
    for (CControlBase* control : dialog()->access().exposedControls())
        if (control->rect.contains(local))
            found = dialog()->access().interfaceFor(control);
    return found;
}

QAccessibleInterface* AccessibleDialog::focusChild() const {
    if (CControlBase* focused = dialog()->FocusControl(); focused && focused->isActive())
        return dialog()->access().interfaceFor(focused);
    return QAccessibleWidget::focusChild();
}

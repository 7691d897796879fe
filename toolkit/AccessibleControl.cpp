#include "toolkit/AccessibleControl.h"

#include "toolkit/CDlgBase.h"
#include "toolkit/DialogAccess.h"

#include <QKeyEvent>
#include <QWindow>

AccessibleControl::AccessibleControl(CDlgBase* dialog, CControlBase* control)
    : dialog(dialog), target(control) {}

QAccessible::Role AccessibleControl::roleOf(const CControlBase& control) {
    switch (control.accessRole()) {
    case AccessRole::PushButton:
        return QAccessible::Button;
    case AccessRole::CheckBox:
        return QAccessible::CheckBox;
    case AccessRole::RadioButton:
        return QAccessible::RadioButton;
    case AccessRole::Slider:
        return QAccessible::Slider;
    case AccessRole::PageTab:
        return QAccessible::PageTab;
    case AccessRole::ComboBox:
        return QAccessible::ComboBox;
    case AccessRole::List:
        return QAccessible::List;
    case AccessRole::Link:
        return QAccessible::Link;
    case AccessRole::StaticText:
        return QAccessible::StaticText;
    case AccessRole::Graphic:
        return QAccessible::Graphic;
    case AccessRole::ProgressBar:
        return QAccessible::ProgressBar;
    case AccessRole::None:
        break;
    }
    return QAccessible::NoRole;
}

bool AccessibleControl::isValid() const {
    return dialog && dialog->access().owns(target);
}

QWindow* AccessibleControl::window() const {
    return dialog ? dialog->window()->windowHandle() : nullptr;
}

QAccessibleInterface* AccessibleControl::parent() const {
    return dialog ? QAccessible::queryAccessibleInterface(dialog.data()) : nullptr;
}

QString AccessibleControl::text(QAccessible::Text t) const {
    const CControlBase* c = control();
    if (!c)
        return QString();
    switch (t) {
    case QAccessible::Name:
        return dialog->AccessibleName(*c);
    case QAccessible::Value:
        return c->accessValue();
    default:
        return QString();
    }
}

QRect AccessibleControl::rect() const {
    const CControlBase* c = control();
    if (!c)
        return QRect();
    const QRect local = c->rect.toQRect();
    return QRect(dialog->mapToGlobal(local.topLeft()), local.size());
}

QAccessible::Role AccessibleControl::role() const {
    const CControlBase* c = control();
    return c ? roleOf(*c) : QAccessible::NoRole;
}

QAccessible::State AccessibleControl::state() const {
    QAccessible::State s;
    const CControlBase* c = control();
    if (!c) {
        s.invalid = true;
        return s;
    }
    const AccessRole r = c->accessRole();
    s.invisible = !c->isActive();
    s.disabled = c->isDisabled() && takesFocus(r);
    s.focusable = takesFocus(r) && !s.disabled;
    s.focused = s.focusable && dialog->FocusControl() == c && dialog->isActiveWindow();
    if (c->expands) {
        s.expandable = true;
        s.expanded = c->accessChecked();
        s.collapsed = !c->accessChecked();
    } else if (r == AccessRole::CheckBox || r == AccessRole::RadioButton) {
        s.checkable = true;
        s.checked = c->accessChecked();
    } else if (r == AccessRole::PageTab) {
        s.selectable = true;
        s.selected = c->accessChecked();
    } else if (r == AccessRole::ComboBox) {
        s.hasPopup = true;
        s.expanded = c->accessChecked();
    }
    if (r == AccessRole::StaticText || r == AccessRole::ProgressBar || r == AccessRole::Graphic)
        s.readOnly = true;
    return s;
}

void* AccessibleControl::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::ActionInterface)
        return static_cast<QAccessibleActionInterface*>(this);
    if (type == QAccessible::ValueInterface && hasRange())
        return static_cast<QAccessibleValueInterface*>(this);
    return nullptr;
}

bool AccessibleControl::hasRange() const {
    int minimum = 0, maximum = 0, current = 0;
    const CControlBase* c = control();
    return c && c->accessRange(minimum, maximum, current);
}

QStringList AccessibleControl::actionNames() const {
    const CControlBase* c = control();
    if (!c || !takesFocus(c->accessRole()) || c->isDisabled())
        return {};
    switch (c->accessRole()) {
    case AccessRole::Slider:
        return {increaseAction(), decreaseAction()};
    case AccessRole::CheckBox:
        return {toggleAction(), pressAction()};
    case AccessRole::ComboBox:
        return {showMenuAction(), pressAction()};
    case AccessRole::List:
        // A press would choose whatever row is in the middle; the rows carry the choosing.
        return {setFocusAction()};
    default:
        return {pressAction()};
    }
}

void AccessibleControl::doAction(const QString& actionName) {
    CControlBase* c = control();
    if (!c || !actionNames().contains(actionName))
        return;
    dialog->SetFocusControl(c, true);
    if (actionName == setFocusAction())
        return;
    if (actionName == increaseAction() || actionName == decreaseAction())
        dialog->HandleFocusKey(actionName == increaseAction() ? Qt::Key_Right : Qt::Key_Left, Qt::NoModifier);
    else
        dialog->PressControl(c);
}

QStringList AccessibleControl::keyBindingsForAction(const QString& actionName) const {
    if (actionName == increaseAction())
        return {QStringLiteral("Right")};
    if (actionName == decreaseAction())
        return {QStringLiteral("Left")};
    return {QStringLiteral("Space")};
}

QVariant AccessibleControl::currentValue() const {
    int minimum = 0, maximum = 0, current = 0;
    const CControlBase* c = control();
    return c && c->accessRange(minimum, maximum, current) ? QVariant(current) : QVariant();
}

QVariant AccessibleControl::maximumValue() const {
    int minimum = 0, maximum = 0, current = 0;
    const CControlBase* c = control();
    return c && c->accessRange(minimum, maximum, current) ? QVariant(maximum) : QVariant();
}

QVariant AccessibleControl::minimumValue() const {
    int minimum = 0, maximum = 0, current = 0;
    const CControlBase* c = control();
    return c && c->accessRange(minimum, maximum, current) ? QVariant(minimum) : QVariant();
}

void AccessibleControl::setCurrentValue(const QVariant& value) {
    CControlBase* c = control();
    int minimum = 0, maximum = 0, current = 0;
    if (!c || c->isDisabled() || !c->accessRange(minimum, maximum, current))
        return;
    // Step there as the arrow keys would, so the window hears each step as a user's.
    const int wanted = std::clamp(value.toInt(), minimum, maximum);
    dialog->SetFocusControl(c, true);
    for (int guard = maximum - minimum; guard >= 0 && current != wanted; --guard) {
        if (!dialog->HandleFocusKey(wanted > current ? Qt::Key_Right : Qt::Key_Left, Qt::NoModifier) ||
            !c->accessRange(minimum, maximum, current))
            break;
    }
}

#include "toolkit/DialogAccess.h"

#include "toolkit/AccessibleControl.h"
#include "toolkit/AccessibleDialog.h"
#include "toolkit/AccessiblePopup.h"
#include "toolkit/AccessibleRowList.h"
#include "toolkit/CDlgBase.h"
#include "toolkit/CRowList.h"
#include "toolkit/CStaticText.h"
#include "toolkit/CWndPopup.h"
#include "toolkit/UiScale.h"

#include <QAccessibleWidget>
#include <QWidget>
#include <algorithm>

namespace {
const char* const NotificationProperty = "vireoNotification";

QAccessibleInterface* makeInterface(const QString&, QObject* object) {
    if (auto* dialog = qobject_cast<CDlgBase*>(object))
        return new AccessibleDialog(dialog);
    if (auto* popup = qobject_cast<CWndPopup*>(object))
        return new AccessiblePopup(popup);
    if (object && object->isWidgetType() && object->property(NotificationProperty).toBool())
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Notification);
    return nullptr;
}
} // namespace

DialogAccess::DialogAccess(CDlgBase& dialog) : dialog(dialog) {}

DialogAccess::~DialogAccess() {
    for (const auto& [control, id] : ids)
        QAccessible::deleteAccessibleInterface(id);
}

void DialogAccess::installFactory() {
    static const bool installed = [] {
        QAccessible::installFactory(makeInterface);
        return true;
    }();
    (void)installed;
}

void DialogAccess::exposeAsNotification(QWidget* widget) {
    installFactory();
    widget->setProperty(NotificationProperty, true);
}

void DialogAccess::announce(QWidget* widget, const QString& text) {
    if (!widget)
        return;
    // A window of its own (the on-screen display) is named by the message; a dialog keeps its
    // title and carries the message as its description.
    if (!qobject_cast<CDlgBase*>(widget))
        widget->setAccessibleName(text);
    else
        widget->setAccessibleDescription(text);
    if (!QAccessible::isActive())
        return;
    QAccessibleEvent event(widget, QAccessible::Alert);
    QAccessible::updateAccessibility(&event);
}

std::vector<CControlBase*> DialogAccess::exposedControls() const {
    std::vector<CControlBase*> shown;
    for (const auto& list : dialog.controls)
        for (const auto& control : list)
            if (control && control->isActive() && control->accessRole() != AccessRole::None)
                shown.push_back(control.get());
    std::stable_sort(shown.begin(), shown.end(), [this](const CControlBase* a, const CControlBase* b) {
        const int ca = dialog.focusColumn(a->rect), cb = dialog.focusColumn(b->rect);
        if (ca != cb)
            return ca < cb;
        if (a->rect.top != b->rect.top)
            return a->rect.top < b->rect.top;
        return a->rect.left < b->rect.left;
    });
    return shown;
}

bool DialogAccess::owns(const CControlBase* control) const {
    for (const auto& list : dialog.controls)
        for (const auto& c : list)
            if (c.get() == control)
                return true;
    return false;
}

QAccessibleInterface* DialogAccess::interfaceFor(CControlBase* control) {
    if (!control || !owns(control))
        return nullptr;
    if (const auto found = ids.find(control); found != ids.end())
        if (QAccessibleInterface* known = QAccessible::accessibleInterface(found->second))
            return known;
    AccessibleControl* made = nullptr;
    if (auto* list = dynamic_cast<CRowList*>(control))
        made = new AccessibleRowList(&dialog, list);
    else
        made = new AccessibleControl(&dialog, control);
    ids[control] = QAccessible::registerAccessibleInterface(made);
    return made;
}

QString DialogAccess::labelBeside(const CControlBase& control) const {
    // A slider's label comes before it; a check box's or radio button's after it.
    const bool sliderLabel = control.accessRole() == AccessRole::Slider;
    const int reach = scaled(30);
    const int middle = (control.rect.top + control.rect.bottom) / 2;
    const CControlBase* left = nullptr;
    const CControlBase* right = nullptr;
    for (const auto& list : dialog.controls)
        for (const auto& c : list) {
            if (!c || !c->isActive() || c->accessRole() != AccessRole::StaticText ||
                c->GetText().trimmed().isEmpty())
                continue;
            if (middle < c->rect.top || middle >= c->rect.bottom)
                continue;
            if (!right && c->rect.left >= control.rect.right && c->rect.left - control.rect.right <= reach)
                right = c.get();
            if (c->rect.right <= control.rect.left && control.rect.left - c->rect.right <= reach)
                left = c.get();
        }
    const CControlBase* label = sliderLabel ? (left ? left : right) : (right ? right : left);
    return label ? label->GetText().trimmed() : QString();
}

void DialogAccess::focusChanged(CControlBase* control) {
    if (!control || !QAccessible::isActive() || !dialog.isActiveWindow())
        return;
    if (QAccessibleInterface* face = interfaceFor(control)) {
        QAccessibleEvent event(face, QAccessible::Focus);
        QAccessible::updateAccessibility(&event);
    }
}

void DialogAccess::announceRow(const CControlBase* list, QAccessibleInterface* row) {
    if (!row)
        return;
    QAccessibleEvent selection(row, QAccessible::Selection);
    QAccessible::updateAccessibility(&selection);
    // The focused list's chosen row is where the keys are: read it as a focus move.
    if (dialog.FocusControl() == list && dialog.isActiveWindow()) {
        QAccessibleEvent focus(row, QAccessible::Focus);
        QAccessible::updateAccessibility(&focus);
    }
}

void DialogAccess::announceChanges() {
    if (!QAccessible::isActive())
        return;
    for (CControlBase* control : exposedControls()) {
        const auto* list = dynamic_cast<const CRowList*>(control);
        const Told now{dialog.AccessibleName(*control), control->accessValue(), control->accessChecked(),
                       control->isDisabled(), list ? list->currentRow() : -1};
        const auto before = told.find(control);
        if (before == told.end()) {
            told[control] = now;
            continue;
        }
        Told& was = before->second;
        QAccessibleInterface* face = nullptr;
        if (was.name != now.name && (face = interfaceFor(control))) {
            QAccessibleEvent event(face, QAccessible::NameChanged);
            QAccessible::updateAccessibility(&event);
        }
        if ((was.checked != now.checked || was.disabled != now.disabled) && (face = interfaceFor(control))) {
            QAccessible::State changed;
            changed.checked = was.checked != now.checked && !control->expands;
            changed.expanded = was.checked != now.checked && control->expands;
            changed.disabled = was.disabled != now.disabled;
            QAccessibleStateChangeEvent event(face, changed);
            QAccessible::updateAccessibility(&event);
        }
        if (was.value != now.value && (face = interfaceFor(control))) {
            QAccessibleValueChangeEvent event(face, now.value);
            QAccessible::updateAccessibility(&event);
        }
        if (was.row != now.row && now.row >= 0 && (face = interfaceFor(control)))
            announceRow(control, face->child(now.row));
        was = now;
    }
}

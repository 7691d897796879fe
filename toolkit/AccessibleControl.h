#pragma once

#include "toolkit/AccessibleLeaf.h"

#include <QAccessibleActionInterface>
#include <QAccessibleValueInterface>
#include <QPointer>

class CControlBase;
class CDlgBase;

// One painted control as a screen reader sees it: a child of its dialog with a role, a name,
// states, a value for sliders and read-outs, and the actions a click or a key would take.
class AccessibleControl : public AccessibleLeaf,
                          public QAccessibleActionInterface,
                          public QAccessibleValueInterface {
public:
    AccessibleControl(CDlgBase* dialog, CControlBase* control);

    static QAccessible::Role roleOf(const CControlBase& control);

    bool isValid() const override;
    QWindow* window() const override;
    QAccessibleInterface* parent() const override;
    QString text(QAccessible::Text t) const override;
    QRect rect() const override;
    QAccessible::Role role() const override;
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;
    QStringList keyBindingsForAction(const QString& actionName) const override;

    QVariant currentValue() const override;
    void setCurrentValue(const QVariant& value) override;
    QVariant maximumValue() const override;
    QVariant minimumValue() const override;
    QVariant minimumStepSize() const override { return 1; }

    CControlBase* control() const { return isValid() ? target : nullptr; }

private:
    bool hasRange() const;

    QPointer<CDlgBase> dialog;
    CControlBase* target;
};

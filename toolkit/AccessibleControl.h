#pragma once

#include <QAccessibleActionInterface>
#include <QAccessibleInterface>
#include <QAccessibleValueInterface>
#include <QPointer>

class CControlBase;
class CDlgBase;

// One painted control as a screen reader sees it: a child of its dialog with a role, a name,
// states, a value for sliders and read-outs, and the actions a click or a key would take.
class AccessibleControl : public QAccessibleInterface,
                          public QAccessibleActionInterface,
                          public QAccessibleValueInterface {
public:
    AccessibleControl(CDlgBase* dialog, CControlBase* control);

    static QAccessible::Role roleOf(const CControlBase& control);

    bool isValid() const override;
    QObject* object() const override { return nullptr; }
    QWindow* window() const override;
    QAccessibleInterface* focusChild() const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString&) override {}
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

#pragma once

#include "toolkit/AccessibleLeaf.h"

#include <QAccessibleActionInterface>
#include <QPointer>

class CWndPopup;

// One row of a popup menu for a screen reader; its action picks it as a click does.
class AccessibleMenuItem : public AccessibleLeaf, public QAccessibleActionInterface {
public:
    AccessibleMenuItem(CWndPopup* popup, int item);

    bool isValid() const override;
    QWindow* window() const override;
    QAccessibleInterface* parent() const override;
    QString text(QAccessible::Text t) const override;
    QRect rect() const override;
    QAccessible::Role role() const override { return QAccessible::MenuItem; }
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;
    QStringList keyBindingsForAction(const QString&) const override { return {QStringLiteral("Return")}; }

private:
    QPointer<CWndPopup> popup;
    int item;
};

#pragma once

#include "toolkit/AccessibleLeaf.h"

#include <QAccessibleActionInterface>
#include <QPointer>

class CDlgBase;
class CRowList;

// One row of a painted list for a screen reader: named by its text, selected when it is the
// chosen row; its press chooses it as the keys would.
class AccessibleListRow : public AccessibleLeaf, public QAccessibleActionInterface {
public:
    AccessibleListRow(CDlgBase* dialog, CRowList* list, int row);

    bool isValid() const override;
    QWindow* window() const override;
    QAccessibleInterface* parent() const override;
    QString text(QAccessible::Text t) const override;
    QRect rect() const override;
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QPointer<CDlgBase> dialog;
    CRowList* list;
    int row;
};

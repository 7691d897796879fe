#pragma once

#include "toolkit/AccessibleControl.h"

#include <vector>

class CRowList;

// A painted list for a screen reader: a control whose children are its rows, the chosen one the
// focused child.
class AccessibleRowList : public AccessibleControl {
public:
    AccessibleRowList(CDlgBase* dialog, CRowList* list);
    ~AccessibleRowList() override;

    QAccessibleInterface* focusChild() const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* child(int index) const override;
    int childCount() const override;
    int indexOfChild(const QAccessibleInterface* child) const override;

private:
    CRowList* list() const;

    CDlgBase* owner;
    mutable std::vector<QAccessible::Id> rows;
};

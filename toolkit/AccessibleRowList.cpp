#include "toolkit/AccessibleRowList.h"

#include "toolkit/AccessibleListRow.h"
#include "toolkit/CDlgBase.h"
#include "toolkit/CRowList.h"
#include "toolkit/DialogAccess.h"

AccessibleRowList::AccessibleRowList(CDlgBase* dialog, CRowList* list)
    : AccessibleControl(dialog, list), owner(dialog) {}

AccessibleRowList::~AccessibleRowList() {
    for (QAccessible::Id id : rows)
        QAccessible::deleteAccessibleInterface(id);
}

CRowList* AccessibleRowList::list() const {
    return static_cast<CRowList*>(control());
}

int AccessibleRowList::childCount() const {
    const CRowList* rowList = list();
    return rowList ? rowList->rowCount() : 0;
}

QAccessibleInterface* AccessibleRowList::child(int index) const {
    if (index < 0 || index >= childCount())
        return nullptr;
    // Rows are made when first asked for: a library of a thousand macros is seldom read whole.
    while (int(rows.size()) <= index)
        rows.push_back(
            QAccessible::registerAccessibleInterface(new AccessibleListRow(owner, list(), int(rows.size()))));
    return QAccessible::accessibleInterface(rows[size_t(index)]);
}

int AccessibleRowList::indexOfChild(const QAccessibleInterface* face) const {
    for (size_t i = 0; i < rows.size() && int(i) < childCount(); ++i)
        if (QAccessible::accessibleInterface(rows[i]) == face)
            return int(i);
    return -1;
}

QAccessibleInterface* AccessibleRowList::focusChild() const {
    const CRowList* rowList = list();
    return rowList ? child(rowList->currentRow()) : nullptr;
}

QAccessibleInterface* AccessibleRowList::childAt(int x, int y) const {
    const CRowList* rowList = list();
    if (!rowList)
        return nullptr;
    return child(rowList->rowAt(owner->mapFromGlobal(QPoint(x, y))));
}

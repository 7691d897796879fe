#pragma once

#include <QAccessibleWidget>

class CDlgBase;

// A skinned window for a screen reader: a window (the main one) or a dialog named by its title,
// whose children are its edit boxes and then its painted controls.
class AccessibleDialog : public QAccessibleWidget {
public:
    explicit AccessibleDialog(CDlgBase* dialog);

    QString text(QAccessible::Text t) const override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;

private:
    CDlgBase* dialog() const;
};

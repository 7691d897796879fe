#pragma once

#include <QAccessibleInterface>

// A screen reader's object that is drawn, not a widget, and has no children: a painted control, a
// row of a menu or of a list.
class AccessibleLeaf : public QAccessibleInterface {
public:
    QObject* object() const override { return nullptr; }
    QAccessibleInterface* focusChild() const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    void setText(QAccessible::Text, const QString&) override {}
};

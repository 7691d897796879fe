#pragma once

#include <QAccessibleWidget>
#include <vector>

class CWndPopup;

// A popup menu for a screen reader: a window named after the control that opened it, with its
// rows as menu items.
class AccessiblePopup : public QAccessibleWidget {
public:
    explicit AccessiblePopup(CWndPopup* popup);
    ~AccessiblePopup() override;

    QString text(QAccessible::Text t) const override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* focusChild() const override;

private:
    CWndPopup* popup() const;

    mutable std::vector<QAccessible::Id> items;
};

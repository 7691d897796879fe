#pragma once

#include <QAccessible>
#include <QString>
#include <unordered_map>
#include <vector>

class CControlBase;
class CDlgBase;
class QWidget;

// What a screen reader sees of one dialog's painted controls: an accessible interface per
// control, made when first asked for and dropped with the dialog, and the events that tell of
// focus, name, state and value changes.
class DialogAccess {
public:
    explicit DialogAccess(CDlgBase& dialog);
    ~DialogAccess();
    DialogAccess(const DialogAccess&) = delete;
    DialogAccess& operator=(const DialogAccess&) = delete;

    // Makes Qt ask us for the interfaces of dialogs and popups (once per process).
    static void installFactory();
    // Announces a message (the on-screen display, a warning) as a notification from `widget`.
    static void announce(QWidget* widget, const QString& text);
    // Shows `widget` (a window of its own, such as the on-screen display) to a screen reader as a
    // notification, which it reads out when the window appears. Call before it is first shown.
    static void exposeAsNotification(QWidget* widget);

    // The controls a screen reader is shown: active ones with a role, in reading order.
    std::vector<CControlBase*> exposedControls() const;
    bool owns(const CControlBase* control) const;
    QAccessibleInterface* interfaceFor(CControlBase* control);

    // The words of a static text just right (else just left) of a control on its row: the label a
    // check box or slider is drawn beside.
    QString labelBeside(const CControlBase& control) const;

    void focusChanged(CControlBase* control);
    // Sends an event for each name, state and value that differs from what was last told.
    void announceChanges();

private:
    struct Told {
        QString name;
        QString value;
        bool checked = false;
        bool disabled = false;
        int row = -1; // a list's chosen row
    };

    void announceRow(const CControlBase* list, QAccessibleInterface* row);

    CDlgBase& dialog;
    std::unordered_map<const CControlBase*, QAccessible::Id> ids;
    std::unordered_map<const CControlBase*, Told> told;
};

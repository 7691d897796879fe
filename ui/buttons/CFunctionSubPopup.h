#pragma once

#include "ui/buttons/CComboPopup.h"

// A submenu of the function menu (DPI, multimedia, office, window functions, DPI lock): the
// catalogue's rows of its menu. It opens beside its row without taking activation, so the function
// menu keeps it; a click sends the submenu's selection message with lParam = the row, and the
// pointer leaving it sends its leave message (wParam = owner id, lParam = kind).
class CFunctionSubPopup : public CRowListPopup {
    Q_OBJECT

public:
    static constexpr int RowDesignHeight = 20;

    explicit CFunctionSubPopup(const CComboPopup::Submenu& submenu);

    const CComboPopup::Submenu submenu;

protected:
    void leaveEvent(QEvent* event) override;
};

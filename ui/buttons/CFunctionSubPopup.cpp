#include "ui/buttons/CFunctionSubPopup.h"

CFunctionSubPopup::CFunctionSubPopup(const CComboPopup::Submenu& submenu)
    : CRowListPopup(Setup{submenu.kind, submenu.leaveMessage}, CComboPopup::rowsOf(submenu.menu)),
      submenu(submenu) {
    activates = false;
}

void CFunctionSubPopup::leaveEvent(QEvent* event) {
    CRowListPopup::leaveEvent(event);
    NotifyParent(submenu.leaveMessage, ownerId, kind);
}

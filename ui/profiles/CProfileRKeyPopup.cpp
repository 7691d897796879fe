#include "ui/profiles/CProfileRKeyPopup.h"

CProfileRKeyPopup::CProfileRKeyPopup(int slot, const LangText& texts, const QString& normalSkin,
                                     const QString& overSkin)
    : CRowListPopup(Kind, normalSkin, overSkin), slot(slot) {
    for (int action = Import; action <= Delete; ++action)
        rows.push_back({texts.text(90 + action), true, false});
}

void CProfileRKeyPopup::OnRowClicked(int row) {
    NotifyParent(selectionMessage, ownerId, encode(row, slot));
}

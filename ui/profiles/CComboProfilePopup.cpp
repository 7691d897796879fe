#include "ui/profiles/CComboProfilePopup.h"

namespace {
constexpr int kFirstProfileRow = 1;
constexpr int kAddRow = 6;
} // namespace

CComboProfilePopup::CComboProfilePopup(const AppSettings& settings, const ProfileRecords& records,
                                       const LangText& texts, const QString& normalSkin,
                                       const QString& overSkin)
    : CRowListPopup(Kind, normalSkin, overSkin), order(settings.showOrder()),
      count(settings.profileShowCount()), current(settings.currentProfile()) {
    rows.push_back({texts.text(10), false, false});
    for (int i = 0; i < AppSettings::SlotCount; ++i) {
        const int slot = order[size_t(i)];
        if (i < count)
            rows.push_back({records[slot].GetProfileName(), true, slot == current});
        else
            rows.push_back({QString(), false, false});
    }
    rows.push_back({texts.text(200), true, false});
}

int CComboProfilePopup::slotOfRow(int row) const {
    const int i = row - kFirstProfileRow;
    return i >= 0 && i < count ? order[size_t(i)] : -1;
}

int CComboProfilePopup::rowOfSlot(int slot) const {
    for (int i = 0; i < count; ++i)
        if (order[size_t(i)] == slot)
            return kFirstProfileRow + i;
    return -1;
}

QRect CComboProfilePopup::contextMenuRect(int slot, const QSize& size) const {
    const QRect row = rowScreenRect(rowOfSlot(slot));
    if (row.isNull())
        return QRect();
    return QRect(QPoint(row.right() + 1, row.top()), size);
}

void CComboProfilePopup::OnRowClicked(int row) {
    if (row == kAddRow) {
        if (count < AppSettings::SlotCount)
            NotifyParent(selectionMessage, ownerId, encode(PickAdd, order[size_t(count)]));
        else
            NotifyParent(selectionMessage, ownerId, encode(PickListFull, 0));
        return;
    }
    const int slot = slotOfRow(row);
    if (slot >= 0)
        NotifyParent(selectionMessage, ownerId, encode(PickSelect, slot));
}

void CComboProfilePopup::OnRowRightClicked(int row) {
    const int slot = slotOfRow(row);
    if (slot >= 0)
        NotifyParent(selectionMessage, ownerId, encode(PickContextMenu, slot));
}

#include "ui/profiles/CComboProfilePopup.h"

namespace {
constexpr int kFirstProfileRow = 1;

std::vector<CRowListPopup::Row> profileRows(const AppSettings& settings, const ProfileRecords& records,
                                            const LangText& texts) {
    using P = CComboProfilePopup;
    using Row = CRowListPopup::Row;
    const AppSettings::ShowOrder order = settings.showOrder();
    const int count = settings.profileShowCount();
    std::vector<Row> rows;
    rows.push_back(Row::inert(texts.text(Text::Profiles)));
    for (int i = 0; i < AppSettings::SlotCount; ++i) {
        const int slot = order[size_t(i)];
        if (i < count)
            rows.push_back(Row::choosing(records[slot].GetProfileName(), P::encode(P::PickSelect, slot),
                                         slot == settings.currentProfile(),
                                         P::encode(P::PickContextMenu, slot)));
        else
            rows.push_back(Row::inert());
    }
    rows.push_back(Row::choosing(texts.text(Text::New), count < AppSettings::SlotCount
                                                            ? P::encode(P::PickAdd, order[size_t(count)])
                                                            : P::encode(P::PickListFull, 0)));
    return rows;
}
} // namespace

CComboProfilePopup::CComboProfilePopup(const AppSettings& settings, const ProfileRecords& records,
                                       const LangText& texts)
    : CRowListPopup(Menu, profileRows(settings, records, texts)), order(settings.showOrder()),
      count(settings.profileShowCount()) {}

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

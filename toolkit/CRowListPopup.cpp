#include "toolkit/CRowListPopup.h"

#include "toolkit/Skin.h"
#include "toolkit/SkinText.h"
#include "toolkit/UiScale.h"

#include <QPainter>

CRowListPopup::CRowListPopup(const Setup& setup, std::vector<Row> rows)
    : CWndPopup(setup.kind, setup.closeMessage), setup(setup), rows(std::move(rows)) {}

void CRowListPopup::InitItems() {
    Skin::LoadSkinImage(QString::fromLatin1(setup.normalSkin), normalImage, imageWidth, imageHeight);
    Skin::LoadSkinImage(QString::fromLatin1(setup.overSkin), overImage, imageWidth, imageHeight);
}

Rect CRowListPopup::rowRect(int row) const {
    const int count = int(rows.size());
    if (row < 0 || row >= count)
        return Rect::none();
    // Edges are computed per row so the rows fill the window without a gap at the bottom.
    return {0, row * height() / count, width(), (row + 1) * height() / count};
}

QRect CRowListPopup::rowScreenRect(int row) const {
    const Rect r = rowRect(row);
    if (r.isEmpty())
        return QRect();
    return QRect(mapToGlobal(QPoint(r.left, r.top)), QSize(r.width(), r.height()));
}

int CRowListPopup::rowAt(const QPoint& point) const {
    for (int row = 0; row < int(rows.size()); ++row)
        if (rowRect(row).contains(point))
            return row;
    return -1;
}

void CRowListPopup::DrawContent(QPainter& painter, const Rect&) {
    for (int row = 0; row < int(rows.size()); ++row) {
        const Row& item = rows[size_t(row)];
        const Rect r = rowRect(row);
        const bool hot = row == hotRow && item.selectable;
        Skin::DrawSkinImage(painter, hot ? overImage : normalImage, r, 0, imageWidth, imageHeight);
        const ColorRef color =
            item.marked ? SkinText::PressedColor : (hot ? SkinText::OverColor : SkinText::NormalColor);
        SkinText::drawControlText(painter, r, scaled(8), scaled(8), item.text, TextCenter, font, color);
    }
}

bool CRowListPopup::OnPopupMouseMove(const QPoint& point) {
    const int row = rowAt(point);
    const int hot = row >= 0 && rows[size_t(row)].selectable ? row : -1;
    if (hot == hotRow)
        return false;
    hotRow = hot;
    return true;
}

bool CRowListPopup::OnPopupLButtonUp(const QPoint& point) {
    const int row = rowAt(point);
    if (row >= 0 && rows[size_t(row)].selectable)
        OnRowClicked(row);
    return false;
}

bool CRowListPopup::OnPopupRButtonUp(const QPoint& point) {
    const int row = rowAt(point);
    if (row >= 0 && rows[size_t(row)].selectable)
        OnRowRightClicked(row);
    return false;
}

void CRowListPopup::OnRowClicked(int row) {
    NotifyParent(selectionMessage, ownerId, rows[size_t(row)].choice);
}

void CRowListPopup::OnRowRightClicked(int row) {
    if (const std::optional<intptr_t> choice = rows[size_t(row)].rightChoice)
        NotifyParent(selectionMessage, ownerId, *choice);
}

#include "ui/profiles/CLinkList.h"

#include "toolkit/ColorRef.h"
#include "toolkit/SkinText.h"
#include "toolkit/UiScale.h"

#include <QPainter>

CLinkList::CLinkList(MessageWindow* parent, uint32_t id, const Rect& rect)
    : CRowList(parent, id, rect, QString(), true, true, false) {}

void CLinkList::SetRows(const QStringList& newRows) {
    lines = newRows;
    selectedRow = -1;
    firstVisibleRow = 0;
    repaint();
}

void CLinkList::Select(int row) {
    selectedRow = row >= 0 && row < rowCount() ? row : -1;
    keepRowVisible(selectedRow);
    repaint();
}

void CLinkList::Draw(QPainter& painter, const Rect&) {
    painter.fillRect(rect.toQRect(), toQColor(0x4B4B4B));
    painter.save();
    painter.setClipRect(rect.toQRect(), Qt::IntersectClip);
    const int height = rowHeight();
    const int indent = scaled(6);
    for (int r = 0; r < visibleRows && firstVisibleRow + r < rowCount(); ++r) {
        const int row = firstVisibleRow + r;
        const Rect line{rect.left, rect.top + r * height, rect.right, rect.top + (r + 1) * height};
        if (row == selectedRow)
            painter.fillRect(line.toQRect(), toQColor(0xDEA035));
        SkinText::draw(painter, {line.left + indent, line.top, line.right - indent, line.bottom}, lines[row],
                       SkinText::ControlFormat, font, 0xFFFFFF);
    }
    painter.restore();
}

bool CLinkList::OnLButtonDown(uint32_t, const QPoint& point) {
    if (disabled || !rect.contains(point))
        return false;
    state = Pressed;
    Select(rowAt(point));
    notify(id, 0, CodePress);
    return true;
}

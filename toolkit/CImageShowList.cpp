#include "toolkit/CImageShowList.h"

#include "macros/MacroActionText.h"
#include "macros/MacroKey.h"
#include "toolkit/Skin.h"
#include "toolkit/SkinText.h"
#include "toolkit/UiScale.h"

#include <QPainter>
#include <algorithm>

CImageShowList::CImageShowList(MessageWindow* parent, const Rect& rect, const MacroKey* macro,
                               const QString& text, bool visible, bool shown, bool disabled)
    : CControlBase(parent, ListId, rect, text, visible, shown, disabled, true), macro(macro) {
    SetBounds(rect.left, rect.top, rect.right, rect.bottom);
}

int CImageShowList::rowHeight() const {
    return std::max(1, scaled(RowHeight));
}

int CImageShowList::rowCount() const {
    return macro ? int(std::min(macro->actionCount, MacroKey::Capacity)) : 0;
}

int CImageShowList::rowAt(const QPoint& point) const {
    if (!rect.contains(point))
        return -1;
    const int row = firstVisibleRow + (point.y() - rect.top) / rowHeight();
    return row < rowCount() ? row : -1;
}

void CImageShowList::KeepSelectionVisible() {
    const int count = rowCount();
    if (pressedRow < 0 && count <= visibleRows)
        firstVisibleRow = 0;
    else if (pressedRow >= firstVisibleRow + visibleRows)
        firstVisibleRow = pressedRow - visibleRows + 1;
    else if (firstVisibleRow + visibleRows > count)
        firstVisibleRow = count - visibleRows;
    firstVisibleRow = std::max(0, firstVisibleRow);
}

void CImageShowList::SetBounds(int left, int top, int right, int bottom) {
    CControlBase::SetBounds(left, top, right, bottom);
    visibleRows = std::max(0, (rect.height() + scaled(10)) / rowHeight());
}

const QImage& CImageShowList::icon(const QString& name) {
    auto it = icons.find(name);
    if (it == icons.end()) {
        QImage image;
        if (!imagesReleased)
            Skin::LoadSkinImage(name, image, iconWidth, iconHeight);
        it = icons.insert(name, image);
    }
    return *it;
}

void CImageShowList::Draw(QPainter& painter, const Rect&) {
    painter.fillRect(rect.toQRect(), toQColor(0x4B4B4B));
    if (!macro)
        return;
    painter.save();
    painter.setClipRect(rect.toQRect(), Qt::IntersectClip);
    const int height = rowHeight();
    const int count = rowCount();
    const int left = rect.left + scaled(TextIndent);
    for (int r = 0; r < visibleRows && firstVisibleRow + r < count; ++r) {
        const int row = firstVisibleRow + r;
        const MacroAction action = macro->get(uint32_t(row));
        const Rect line{left, rect.top + r * height, rect.right, rect.top + (r + 1) * height};
        if (row == pressedRow)
            painter.fillRect(line.toQRect(), toQColor(0xDEA035));
        const QImage& image = icon(MacroActionText::iconName(action));
        const int x = line.left - scaled(IconOffset);
        const int y = line.top + scaled(IconTop);
        Skin::DrawSkinImage(painter, image, {x, y, x + scaled(image.width()), y + scaled(image.height())});
        SkinText::draw(painter, line, MacroActionText::text(action), SkinText::ControlFormat, font, 0xFFFFFF);
    }
    painter.restore();
}

bool CImageShowList::OnMouseMove(uint32_t, const QPoint& point) {
    if (disabled || state == 2)
        return false;
    const int old = state;
    state = rect.contains(point) ? 1 : 0;
    return state != old;
}

bool CImageShowList::OnLButtonDown(uint32_t, const QPoint& point) {
    if (disabled || !rect.contains(point))
        return false;
    state = 2;
    pressedRow = rowAt(point);
    notify(id, 0, CodePress);
    return true;
}

bool CImageShowList::OnLButtonUp(uint32_t, const QPoint& point) {
    if (disabled)
        return false;
    const int old = state;
    if (rect.contains(point)) {
        state = 1;
        notify(id, 0, CodeClick);
    } else {
        state = 0;
    }
    return state != old;
}

bool CImageShowList::OnLButtonDblClk(uint32_t, const QPoint& point) {
    if (disabled || rowAt(point) < 0)
        return false;
    notify(id, 0, CodeDoubleClick);
    return false;
}

void CImageShowList::ReleaseImages() {
    icons.clear();
    imagesReleased = true;
}

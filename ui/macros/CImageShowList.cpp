#include "ui/macros/CImageShowList.h"

#include "macros/MacroActionText.h"
#include "macros/MacroKey.h"
#include "toolkit/Skin.h"
#include "toolkit/SkinText.h"
#include "toolkit/UiScale.h"

#include <QPainter>
#include <algorithm>

CImageShowList::CImageShowList(MessageWindow* parent, const Rect& rect, const MacroKey* macro,
                               const QString& text, bool visible, bool shown, bool disabled)
    : CRowList(parent, ListId, rect, text, visible, shown, disabled), macro(macro) {}

int CImageShowList::rowCount() const {
    return macro ? int(std::min(macro->actionCount, MacroKey::Capacity)) : 0;
}

QString CImageShowList::rowText(int row) const {
    return row >= 0 && row < rowCount() ? MacroActionText::text(macro->get(uint32_t(row))) : QString();
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

bool CImageShowList::OnLButtonDown(uint32_t, const QPoint& point) {
    if (disabled || !rect.contains(point))
        return false;
    state = Pressed;
    pressedRow = rowAt(point);
    notify(id, 0, CodePress);
    return true;
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

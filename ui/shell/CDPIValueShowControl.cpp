#include "ui/shell/CDPIValueShowControl.h"

#include "toolkit/Skin.h"
#include "toolkit/SkinNames.h"

#include <QPainter>
#include <algorithm>

CDPIValueShowControl::CDPIValueShowControl(MessageWindow* parent, uint32_t id, const Rect& rect, bool visible,
                                           bool shown)
    : CButtonBase(parent, id, rect, QString(), visible, shown, false) {}

int CDPIValueShowControl::filledHeight() const {
    if (steps <= 0)
        return 0;
    const long long filled = (long long)(std::clamp(index, 0, steps - 1) + 1) * rect.height() / steps;
    return std::max(1, int(filled));
}

void CDPIValueShowControl::Draw(QPainter& painter, const Rect&) {
    QImage back, fill;
    int w = 0, h = 0;
    Skin::LoadSkinImage(QLatin1String(SkinName::DpiValuePlate), back, w, h);
    Skin::LoadSkinImage(state == Normal ? QLatin1String(SkinName::DpiBarTrack)
                                        : QLatin1String(SkinName::DpiBarFill),
                        fill, w, h);
    if (!back.isNull())
        Skin::DrawSkinImage(painter, back, rect);
    else
        painter.fillRect(rect.toQRect(), QColor(40, 40, 40));
    const int height = filledHeight();
    const Rect filled{rect.left, rect.bottom - height, rect.right, rect.bottom};
    if (!fill.isNull()) {
        const int sourceHeight = std::max(1, fill.height() * height / std::max(1, rect.height()));
        Skin::DrawSkinImage(painter, fill, filled,
                            QRect(0, fill.height() - sourceHeight, fill.width(), sourceHeight));
    } else {
        painter.fillRect(filled.toQRect(), QColor(200, 30, 30));
    }
}

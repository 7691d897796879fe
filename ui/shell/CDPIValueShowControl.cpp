#include "ui/shell/CDPIValueShowControl.h"

#include "toolkit/Skin.h"
#include "toolkit/SkinNames.h"
#include "toolkit/UiScale.h"

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
    QImage fill;
    int w = 0, h = 0;
    Skin::LoadSkinImage(state == Normal ? QLatin1String(SkinName::DpiBarTrack)
                                        : QLatin1String(SkinName::DpiBarFill),
                        fill, w, h);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    // The groove: the bar's whole length, outlined light enough to show on the dark panel.
    const int line = std::max(1, scaled(1));
    const QRectF groove = QRectF(rect.toQRect()).adjusted(line / 2.0, line / 2.0, -line / 2.0, -line / 2.0);
    painter.setPen(QPen(QColor(100, 110, 126), line));
    painter.setBrush(QColor(9, 11, 14));
    painter.drawRoundedRect(groove, groove.width() / 2, groove.width() / 2);
    painter.restore();

    const int height = filledHeight();
    const Rect filled{rect.left, rect.bottom - height, rect.right, rect.bottom};
    if (!fill.isNull()) {
        const int sourceHeight = std::max(1, fill.height() * height / std::max(1, rect.height()));
        Skin::DrawSkinImage(painter, fill, filled,
                            QRect(0, fill.height() - sourceHeight, fill.width(), sourceHeight));
    } else {
        painter.fillRect(filled.toQRect(), QColor(200, 30, 30));
    }

    // The handle: a light bar across the top of the level's part, drawn for the scale.
    const int thickness = std::max(3, scaled(5));
    const int top = std::clamp(filled.top - thickness / 2, rect.top, rect.bottom - thickness);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(10, 30, 44), line));
    painter.setBrush(state == Normal ? QColor(200, 236, 255) : QColor(255, 255, 255));
    painter.drawRoundedRect(
        QRectF(rect.left + line / 2.0, top + line / 2.0, rect.width() - line, thickness - line),
        thickness / 2.0, thickness / 2.0);
    painter.restore();
}

#include "ui/shell/CBattery.h"

#include "toolkit/Skin.h"
#include "toolkit/SkinNames.h"

#include <QPainter>
#include <algorithm>

CBattery::CBattery(MessageWindow* parent, const Rect& rect)
    : CControlBase(parent, Id, rect, QString(), true, true, true, false) {}

void CBattery::advanceStep() {
    step += 25;
    if (step > 100)
        step = 25;
}

void CBattery::SetState(int newLevel, Charge newCharge) {
    level = std::clamp(newLevel, 0, 100);
    charge = newCharge;
}

int CBattery::filledHeight(int level, int innerHeight) {
    return std::max(1, std::clamp(level, 0, 100) * innerHeight / 100);
}

const char* CBattery::levelDot(int level) {
    if (level > 60)
        return SkinName::LevelDotHigh;
    if (level > 20)
        return SkinName::LevelDotMedium;
    return SkinName::LevelDotLow;
}

namespace {
// The colour of a legend dot: its middle pixel, so the bar and its legend cannot disagree.
QColor dotColour(const char* dot) {
    QImage image;
    int w = 0, h = 0;
    if (!Skin::LoadSkinImage(QLatin1String(dot), image, w, h) || image.isNull())
        return QColor();
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

// Draws the lower part of an image, `height` pixels of the control tall, bottom-aligned.
void drawBottom(QPainter& painter, const QImage& image, const Rect& rect, int height) {
    if (image.isNull() || rect.height() <= 0)
        return;
    const int sourceHeight = image.height() * height / rect.height();
    const QRect source(0, image.height() - sourceHeight, image.width(), sourceHeight);
    Skin::DrawSkinImage(painter, image, {rect.left, rect.bottom - height, rect.right, rect.bottom}, source);
}
} // namespace

void CBattery::Draw(QPainter& painter, const Rect&) {
    // Loaded for this paint only.
    QImage full, empty, charging, bolt;
    int w = 0, h = 0;
    Skin::LoadSkinImage(QLatin1String(SkinName::BatteryFull), full, w, h);
    Skin::LoadSkinImage(QLatin1String(SkinName::BatteryEmpty), empty, w, h);
    Skin::LoadSkinImage(QLatin1String(SkinName::BatteryCharging), charging, w, h);
    Skin::LoadSkinImage(QLatin1String(SkinName::ChargingBolt), bolt, w, h);
    switch (charge) {
    case Charge::Charging:
        if (!empty.isNull())
            Skin::DrawSkinImage(painter, empty, rect);
        drawBottom(painter, charging, rect, filledHeight(step, rect.height()));
        if (!bolt.isNull())
            Skin::DrawSkinImage(painter, bolt, rect);
        break;
    case Charge::Full:
        if (!full.isNull())
            Skin::DrawSkinImage(painter, full, rect);
        if (!bolt.isNull())
            Skin::DrawSkinImage(painter, bolt, rect);
        break;
    default:
        if (!empty.isNull())
            Skin::DrawSkinImage(painter, empty, rect);
        drawBottom(painter, full, rect, filledHeight(level, rect.height()));
        if (const QColor colour = dotColour(levelDot(level)); colour.isValid()) {
            // The fill area of the case (x 6..24, y 9..56 of 30 x 61), up to the level.
            const int w = rect.width(), h = rect.height();
            const int top = std::max(rect.bottom - filledHeight(level, h), rect.top + 9 * h / 61);
            const QRect fill(QPoint(rect.left + 6 * w / 30, top),
                             QPoint(rect.left + 24 * w / 30 - 1, rect.top + 56 * h / 61 - 1));
            if (fill.isValid())
                painter.fillRect(fill, colour);
        }
        break;
    }
}

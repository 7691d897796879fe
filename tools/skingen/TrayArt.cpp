#include "tools/skingen/TrayArt.h"

#include "toolkit/SkinNames.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace {
// The window's legend: red is low, orange medium, green high.
QColor levelColour(int level) {
    if (level <= 2)
        return QColor(235, 77, 75);
    if (level == 3)
        return QColor(245, 166, 35);
    return QColor(66, 206, 140);
}

// How much of the inside each level fills: a sliver for an empty battery, so it still reads as red.
double fillFraction(int level) {
    static constexpr double fractions[] = {0.12, 0.3, 0.55, 0.78, 1.0};
    return fractions[std::clamp(level, 1, 5) - 1];
}
} // namespace

QImage TrayArt::icon(int size, int level, bool charging) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, size >= 32);

    // The body on whole pixels: 1/16 of the size per design unit, an outline of at least one pixel.
    const auto px = [size](double units) { return int(units * size / 16.0 + 0.5); };
    const int stroke = std::max(1, px(1));
    const int capWidth = std::max(1, px(1.5));
    const QRect body(0, px(3.5), size - capWidth, size - 2 * px(3.5));
    const QRect cap(body.right() + 1, body.top() + body.height() / 4, capWidth,
                    body.height() - body.height() / 2);

    // A dark edge around a light outline reads on dark and light panels alike; at 16 px the
    // outline alone has to do.
    const int edge = size >= 22 ? 1 : 0;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(10, 12, 16, 200));
    p.drawRect(body);
    p.drawRect(cap.adjusted(-1, 0, 0, 0));
    p.setBrush(QColor(200, 208, 220));
    const QRect outline = body.adjusted(edge, edge, -edge, -edge);
    p.drawRect(outline);
    p.drawRect(cap.adjusted(-1, edge, -edge, -edge));
    const QRect inside = outline.adjusted(stroke, stroke, -stroke, -stroke);
    p.setBrush(QColor(14, 16, 20));
    p.drawRect(inside);
    const int gap = std::max(1, stroke / 2);
    const QRect well = inside.adjusted(gap, gap, -gap, -gap);
    const int filled = std::max(1, int(well.width() * fillFraction(level) + 0.5));
    const QColor c = levelColour(level);
    QLinearGradient g(well.topLeft(), well.bottomLeft());
    g.setColorAt(0, c.lighter(118));
    g.setColorAt(1, c.darker(118));
    p.setBrush(size >= 32 ? QBrush(g) : QBrush(c));
    p.drawRect(QRect(well.left(), well.top(), filled, well.height()));

    if (charging) {
        // The window's bolt, across the whole body so it reads at 16 px.
        const QRectF b =
            QRectF(body).adjusted(body.width() * 0.22, -size * 0.06, -body.width() * 0.22, size * 0.06);
        QPainterPath bolt;
        bolt.moveTo(b.left() + b.width() * 0.62, b.top());
        bolt.lineTo(b.left() + b.width() * 0.12, b.top() + b.height() * 0.56);
        bolt.lineTo(b.left() + b.width() * 0.46, b.top() + b.height() * 0.56);
        bolt.lineTo(b.left() + b.width() * 0.36, b.bottom());
        bolt.lineTo(b.left() + b.width() * 0.88, b.top() + b.height() * 0.42);
        bolt.lineTo(b.left() + b.width() * 0.54, b.top() + b.height() * 0.42);
        bolt.closeSubpath();
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(QPen(QColor(10, 12, 16, 230), std::max(1.0, size / 20.0), Qt::SolidLine, Qt::RoundCap,
                      Qt::RoundJoin));
        p.setBrush(QColor(255, 226, 92));
        p.drawPath(bolt);
    }
    p.end();
    return image;
}

QImage TrayArt::strip(int level, bool charging) {
    QImage image(TrayIconStrip::Width, TrayIconStrip::Height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    for (int i = 0; i < TrayIconStrip::Count; ++i)
        p.drawImage(TrayIconStrip::left(i), 0, icon(TrayIconStrip::Sizes[i], level, charging));
    p.end();
    return image;
}

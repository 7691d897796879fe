#include "tools/skingen/MouseArt.h"

#include "tools/skingen/SkinStyle.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

namespace {

constexpr qreal Width = 215;
constexpr qreal Height = 398;
constexpr qreal Mid = Width / 2;

QPointF mirrored(QPointF p) {
    return QPointF(Width - p.x(), p.y());
}

// The seam between the two main buttons and the palm rest.
QPainterPath seamPath() {
    QPainterPath seam;
    seam.moveTo(24, 184);
    seam.cubicTo(58, 162, 88, 154, Mid, 154);
    seam.cubicTo(127, 154, 157, 162, Width - 24, 184);
    return seam;
}

QPainterPath aboveSeam() {
    QPainterPath region = seamPath();
    region.lineTo(Width, 0);
    region.lineTo(0, 0);
    region.closeSubpath();
    return region;
}

QPainterPath rect(const QRectF& r) {
    QPainterPath path;
    path.addRect(r);
    return path;
}

QPainterPath roundRect(const QRectF& r, qreal radius) {
    QPainterPath path;
    path.addRoundedRect(r, radius, radius);
    return path;
}

void softShadow(QPainter& p, const QPainterPath& body) {
    p.save();
    p.translate(0, 5);
    p.setBrush(Qt::NoBrush);
    for (int i = 8; i >= 1; --i) {
        p.setPen(QPen(QColor(0, 0, 0, 14), i * 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(body);
    }
    p.restore();
}

void sideButton(QPainter& p, const QRectF& r) {
    QLinearGradient g(r.topLeft(), r.topRight());
    g.setColorAt(0, QColor(38, 43, 52));
    g.setColorAt(1, QColor(70, 77, 90));
    p.setPen(QPen(QColor(100, 109, 125), 1));
    p.setBrush(g);
    p.drawRoundedRect(r, r.width() / 2, r.width() / 2);
    p.setPen(QPen(QColor(255, 255, 255, 30), 1));
    p.drawLine(QPointF(r.right() - 3, r.top() + 5), QPointF(r.right() - 3, r.bottom() - 5));
}

void drawMouse(QPainter& p) {
    const QPainterPath body = MouseArt::bodyPath();
    softShadow(p, body);

    // Side buttons stand out from the left flank, under the body's edge.
    sideButton(p, QRectF(27, 136, 13, 30));
    sideButton(p, QRectF(28, 186, 13, 30));

    // Palm rest.
    QRadialGradient palm(QPointF(Mid, 262), 190);
    palm.setColorAt(0, QColor(50, 56, 67));
    palm.setColorAt(0.7, QColor(31, 35, 42));
    palm.setColorAt(1, QColor(20, 23, 28));
    p.setPen(Qt::NoPen);
    p.setBrush(palm);
    p.drawPath(body);

    // Light strips along both flanks of the palm rest.
    p.save();
    p.setClipPath(body.intersected(rect(QRectF(0, 222, Width, 132))));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(SkinStyle::withAlpha(SkinStyle::accent(), 50), 14));
    p.drawPath(body);
    p.setPen(QPen(SkinStyle::withAlpha(SkinStyle::accent(), 110), 7));
    p.drawPath(body);
    p.setPen(QPen(SkinStyle::accentBright(), 3));
    p.drawPath(body);
    p.restore();

    // The two main buttons, split along the middle.
    const QPainterPath buttons = body.intersected(aboveSeam());
    const QPainterPath left = buttons.intersected(rect(QRectF(0, 0, Mid - 1.2, Height)));
    const QPainterPath right = buttons.intersected(rect(QRectF(Mid + 1.2, 0, Width, Height)));
    QLinearGradient cover(0, 16, 0, 180);
    cover.setColorAt(0, QColor(62, 69, 82));
    cover.setColorAt(1, QColor(38, 42, 51));
    p.setBrush(cover);
    p.drawPath(left);
    p.drawPath(right);
    // Sheen on each button.
    for (const QPointF c : {QPointF(68, 58), QPointF(Width - 68, 58)}) {
        p.save();
        p.setClipPath(buttons);
        SkinStyle::glow(p, c, 52, QColor(255, 255, 255, 22));
        p.restore();
    }
    // Split groove and seam.
    p.save();
    p.setClipPath(body);
    p.fillRect(QRectF(Mid - 1.2, 0, 2.4, 160), QColor(9, 10, 13));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(9, 10, 13), 2.2));
    p.drawPath(seamPath());
    p.translate(0, 1.6);
    p.setPen(QPen(QColor(255, 255, 255, 20), 1));
    p.drawPath(seamPath());
    p.restore();

    // Wheel in its well, with accent light around the well.
    const QRectF well(Mid - 10, 64, 20, 56);
    SkinStyle::glow(p, well.center(), 34, SkinStyle::withAlpha(SkinStyle::accent(), 60));
    p.setPen(QPen(SkinStyle::withAlpha(SkinStyle::accentBright(), 200), 1.2));
    p.setBrush(QColor(8, 9, 12));
    p.drawRoundedRect(well, 9, 9);
    const QRectF wheel(Mid - 6.5, 69, 13, 46);
    QLinearGradient tyre(wheel.topLeft(), wheel.topRight());
    tyre.setColorAt(0, QColor(34, 38, 46));
    tyre.setColorAt(0.5, QColor(92, 100, 116));
    tyre.setColorAt(1, QColor(34, 38, 46));
    p.setPen(Qt::NoPen);
    p.setBrush(tyre);
    p.drawRoundedRect(wheel, 6, 6);
    p.save();
    p.setClipPath(roundRect(wheel, 6));
    for (qreal y = wheel.top() + 3; y < wheel.bottom() - 1; y += 3.5)
        p.fillRect(QRectF(wheel.left(), y, wheel.width(), 1.2), QColor(14, 16, 20, 150));
    p.restore();

    // DPI button behind the wheel, with its indicator light.
    const QRectF dpi(Mid - 6.5, 161, 13, 24);
    QLinearGradient dpiFill(dpi.topLeft(), dpi.bottomLeft());
    dpiFill.setColorAt(0, QColor(70, 77, 90));
    dpiFill.setColorAt(1, QColor(44, 49, 58));
    p.setPen(QPen(QColor(104, 113, 129), 1));
    p.setBrush(dpiFill);
    p.drawRoundedRect(dpi, 4, 4);
    SkinStyle::glow(p, QPointF(Mid, 193), 8, SkinStyle::withAlpha(SkinStyle::accent(), 160));
    p.setPen(Qt::NoPen);
    p.setBrush(SkinStyle::accentBright());
    p.drawRoundedRect(QRectF(Mid - 4, 192, 8, 2), 1, 1);

    // The mark on the palm rest.
    const QPointF mark(Mid, 300);
    SkinStyle::glow(p, mark, 26, SkinStyle::withAlpha(SkinStyle::accent(), 70));
    p.setPen(QPen(SkinStyle::accentBright(), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    QPolygonF v;
    v << mark + QPointF(-11, -8) << mark + QPointF(0, 9) << mark + QPointF(11, -8);
    p.drawPolyline(v);

    // Outline last, so every part shares one clean edge.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(96, 106, 122), 1.2));
    p.drawPath(body);
}

} // namespace

QPainterPath MouseArt::bodyPath() {
    const QPointF top(Mid, 16);
    const QPointF c1a(146, 16), c1b(176, 26), shoulder(181, 74);
    const QPointF c2a(185, 118), c2b(178, 166), waist(178, 206);
    const QPointF c3a(178, 246), c3b(189, 284), palm(186, 322);
    const QPointF c4a(184, 366), c4b(150, 392), back(Mid, 392);
    QPainterPath path(top);
    path.cubicTo(c1a, c1b, shoulder);
    path.cubicTo(c2a, c2b, waist);
    path.cubicTo(c3a, c3b, palm);
    path.cubicTo(c4a, c4b, back);
    path.cubicTo(mirrored(c4b), mirrored(c4a), mirrored(palm));
    path.cubicTo(mirrored(c3b), mirrored(c3a), mirrored(waist));
    path.cubicTo(mirrored(c2b), mirrored(c2a), mirrored(shoulder));
    path.cubicTo(mirrored(c1b), mirrored(c1a), top);
    path.closeSubpath();
    return path;
}

QImage MouseArt::picture(int pixelsPerUnit) {
    QImage image(int(Width * pixelsPerUnit), int(Height * pixelsPerUnit),
                 QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    p.scale(pixelsPerUnit, pixelsPerUnit);
    drawMouse(p);
    return image;
}

QImage MouseArt::icon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    p.scale(size / 256.0, size / 256.0);
    const QRectF tile(6, 6, 244, 244);
    QLinearGradient g(tile.topLeft(), tile.bottomRight());
    g.setColorAt(0, QColor(22, 74, 108));
    g.setColorAt(0.55, QColor(14, 30, 44));
    g.setColorAt(1, QColor(10, 12, 16));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(tile, 56, 56);
    p.setPen(QPen(SkinStyle::withAlpha(SkinStyle::accentBright(), 120), 3));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(tile.adjusted(1.5, 1.5, -1.5, -1.5), 55, 55);

    // A light silhouette reads at tray sizes where the detailed picture would turn into a blot.
    const qreal scale = 200 / Height;
    p.translate(128 - Mid * scale, 128 - (Height / 2 + 2) * scale);
    p.scale(scale, scale);
    const QPainterPath body = bodyPath();
    SkinStyle::glow(p, QPointF(Mid, 210), 200, SkinStyle::withAlpha(SkinStyle::accent(), 90));
    QLinearGradient shell(0, 16, 0, 392);
    shell.setColorAt(0, QColor(236, 242, 248));
    shell.setColorAt(1, QColor(168, 182, 198));
    p.setPen(Qt::NoPen);
    p.setBrush(shell);
    p.drawPath(body);
    p.save();
    p.setClipPath(body);
    p.fillRect(QRectF(Mid - 4, 0, 8, 156), QColor(20, 28, 38));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(20, 28, 38), 8));
    p.drawPath(seamPath());
    p.restore();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(20, 28, 38));
    p.drawRoundedRect(QRectF(Mid - 17, 58, 34, 68), 17, 17);
    p.setBrush(SkinStyle::accent());
    p.drawRoundedRect(QRectF(Mid - 9, 66, 18, 52), 9, 9);
    p.setPen(QPen(SkinStyle::accent(), 14, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    QPolygonF v;
    v << QPointF(Mid - 30, 266) << QPointF(Mid, 306) << QPointF(Mid + 30, 266);
    p.drawPolyline(v);
    return image;
}

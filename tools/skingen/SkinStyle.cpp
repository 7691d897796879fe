#include "tools/skingen/SkinStyle.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

QColor SkinStyle::withAlpha(QColor c, int alpha) {
    c.setAlpha(alpha);
    return c;
}

QFont SkinStyle::font(qreal pixelSize, bool bold) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(qMax(1, qRound(pixelSize)));
    f.setBold(bold);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

void SkinStyle::plate(QPainter& p, const QRectF& r, qreal radius, Look look) {
    p.save();
    const QRectF body = r.adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient fill(body.topLeft(), body.bottomLeft());
    QColor border;
    switch (look) {
    case Look::Normal:
        fill.setColorAt(0, control().lighter(112));
        fill.setColorAt(1, control());
        border = line();
        break;
    case Look::Over:
        fill.setColorAt(0, controlOver().lighter(115));
        fill.setColorAt(1, controlOver());
        border = withAlpha(accent(), 170);
        break;
    case Look::Down:
        fill.setColorAt(0, accentDeep().lighter(125));
        fill.setColorAt(1, accentDeep());
        border = accent();
        break;
    }
    p.setPen(QPen(border, 1));
    p.setBrush(fill);
    p.drawRoundedRect(body, radius, radius);
    // A faint highlight along the top edge gives the plate a little depth.
    p.setPen(QPen(withAlpha(Qt::white, look == Look::Normal ? 14 : 24), 0.5));
    p.setBrush(Qt::NoBrush);
    const qreal inset = qMin(radius, body.width() / 2);
    p.drawLine(QPointF(body.left() + inset, body.top() + 1), QPointF(body.right() - inset, body.top() + 1));
    p.restore();
}

void SkinStyle::chevron(QPainter& p, QPointF c, qreal size, Direction dir, const QColor& color, qreal width) {
    const qreal h = size / 2;
    const qreal q = size / 4;
    QPolygonF line;
    switch (dir) {
    case Direction::Up:
        line << QPointF(c.x() - h, c.y() + q) << QPointF(c.x(), c.y() - q) << QPointF(c.x() + h, c.y() + q);
        break;
    case Direction::Down:
        line << QPointF(c.x() - h, c.y() - q) << QPointF(c.x(), c.y() + q) << QPointF(c.x() + h, c.y() - q);
        break;
    case Direction::Left:
        line << QPointF(c.x() + q, c.y() - h) << QPointF(c.x() - q, c.y()) << QPointF(c.x() + q, c.y() + h);
        break;
    case Direction::Right:
        line << QPointF(c.x() - q, c.y() - h) << QPointF(c.x() + q, c.y()) << QPointF(c.x() - q, c.y() + h);
        break;
    }
    p.save();
    p.setPen(QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(line);
    p.restore();
}

void SkinStyle::checkMark(QPainter& p, const QRectF& box, const QColor& color, qreal width) {
    QPolygonF tick;
    tick << QPointF(box.left() + box.width() * 0.22, box.top() + box.height() * 0.52)
         << QPointF(box.left() + box.width() * 0.42, box.top() + box.height() * 0.72)
         << QPointF(box.left() + box.width() * 0.78, box.top() + box.height() * 0.30);
    p.save();
    p.setPen(QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(tick);
    p.restore();
}

void SkinStyle::text(QPainter& p, const QRectF& r, const QString& s, const QFont& f, const QColor& c,
                     int flags) {
    p.save();
    p.setFont(f);
    p.setPen(c);
    p.drawText(r, flags, s);
    p.restore();
}

void SkinStyle::glow(QPainter& p, QPointF centre, qreal radius, const QColor& color) {
    QRadialGradient g(centre, radius);
    g.setColorAt(0, color);
    g.setColorAt(1, withAlpha(color, 0));
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(centre, radius, radius);
    p.restore();
}

QPainterPath SkinStyle::roundedRect(const QRectF& r, qreal tl, qreal tr, qreal br, qreal bl) {
    QPainterPath path;
    path.moveTo(r.left() + tl, r.top());
    path.lineTo(r.right() - tr, r.top());
    path.arcTo(QRectF(r.right() - 2 * tr, r.top(), 2 * tr, 2 * tr), 90, -90);
    path.lineTo(r.right(), r.bottom() - br);
    path.arcTo(QRectF(r.right() - 2 * br, r.bottom() - 2 * br, 2 * br, 2 * br), 0, -90);
    path.lineTo(r.left() + bl, r.bottom());
    path.arcTo(QRectF(r.left(), r.bottom() - 2 * bl, 2 * bl, 2 * bl), 270, -90);
    path.lineTo(r.left(), r.top() + tl);
    path.arcTo(QRectF(r.left(), r.top(), 2 * tl, 2 * tl), 180, -90);
    path.closeSubpath();
    return path;
}

#pragma once

#include <QColor>
#include <QFont>
#include <QRectF>

class QPainter;
class QPainterPath;

// The shared look of the artwork: one dark graphite scale, one blue accent and the few shapes
// that every control is built from. All coordinates are design units; the caller scales the
// painter to the file's pixels per unit.
class SkinStyle {
public:
    enum class Look { Normal, Over, Down };
    enum class Direction { Up, Down, Left, Right };

    // Graphite scale, darkest first.
    static QColor window() { return QColor(13, 15, 18); }
    static QColor panel() { return QColor(20, 23, 28); }
    static QColor control() { return QColor(27, 31, 38); }
    static QColor controlOver() { return QColor(35, 41, 51); }
    static QColor line() { return QColor(45, 51, 61); }
    static QColor lineOver() { return QColor(64, 73, 87); }
    static QColor glyph() { return QColor(140, 149, 163); }
    static QColor glyphOver() { return QColor(232, 238, 245); }
    // The accent; the list selection colour of the toolkit is the same blue.
    static QColor accent() { return QColor(53, 160, 222); }
    static QColor accentBright() { return QColor(120, 200, 246); }
    static QColor accentDeep() { return QColor(18, 62, 92); }

    static QColor withAlpha(QColor c, int alpha);

    // DejaVu Sans (always present on the build machines) at a size in design units.
    static QFont font(qreal pixelSize, bool bold = false);

    // A rounded plate in one of the three looks: the base of buttons, fields and tiles.
    static void plate(QPainter& p, const QRectF& r, qreal radius, Look look);
    // An open arrow head pointing in a direction, centred on a point.
    static void chevron(QPainter& p, QPointF centre, qreal size, Direction dir, const QColor& color,
                        qreal width);
    static void checkMark(QPainter& p, const QRectF& box, const QColor& color, qreal width);
    static void text(QPainter& p, const QRectF& r, const QString& s, const QFont& f, const QColor& c,
                     int flags);
    // A soft glow: a radial gradient from the colour to transparent.
    static void glow(QPainter& p, QPointF centre, qreal radius, const QColor& color);
    // Path of a rounded rectangle with its four radii given separately.
    static QPainterPath roundedRect(const QRectF& r, qreal tl, qreal tr, qreal br, qreal bl);
};

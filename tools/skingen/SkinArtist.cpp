#include "tools/skingen/SkinArtist.h"

#include "toolkit/SkinNames.h"
#include "tools/skingen/MouseArt.h"
#include "tools/skingen/SkinStyle.h"
#include "tools/skingen/TrayArt.h"
#include "tools/skingen/WindowArt.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

using Look = SkinStyle::Look;
using Direction = SkinStyle::Direction;

namespace {

Look lookOf(SkinLook look) {
    switch (look) {
    case SkinLook::Normal:
        return Look::Normal;
    case SkinLook::Over:
        return Look::Over;
    case SkinLook::Down:
        return Look::Down;
    }
    return Look::Normal;
}

QColor glyphFor(Look look) {
    switch (look) {
    case Look::Normal:
        return SkinStyle::glyph();
    case Look::Over:
        return SkinStyle::glyphOver();
    case Look::Down:
        return SkinStyle::accentBright();
    }
    return SkinStyle::glyph();
}

void windowButton(QPainter& p, const QSizeF& s, bool close, Look look) {
    const QRectF r(0, 0, s.width(), s.height());
    if (look == Look::Over) {
        p.setPen(Qt::NoPen);
        p.setBrush(close ? QColor(214, 64, 76) : SkinStyle::controlOver().lighter(120));
        p.drawRoundedRect(r, 3, 3);
    }
    const QColor c = look == Look::Over ? Qt::white : SkinStyle::glyph();
    p.setPen(QPen(c, 1.3, Qt::SolidLine, Qt::RoundCap));
    const QPointF m = r.center();
    if (close) {
        p.drawLine(m + QPointF(-3.5, -3.5), m + QPointF(3.5, 3.5));
        p.drawLine(m + QPointF(-3.5, 3.5), m + QPointF(3.5, -3.5));
    } else {
        p.drawLine(m + QPointF(-4, 0.5), m + QPointF(4, 0.5));
    }
}

void textButton(QPainter& p, const QSizeF& s, Look look) {
    const QRectF r(0, 0, s.width(), s.height());
    const qreal radius = qMin<qreal>(5, s.height() / 4);
    SkinStyle::plate(p, r, radius, look);
    if (look == Look::Over) {
        // The hovered button lights a short accent line along its bottom edge.
        QLinearGradient g(r.topLeft(), r.topRight());
        g.setColorAt(0, SkinStyle::withAlpha(SkinStyle::accent(), 0));
        g.setColorAt(0.5, SkinStyle::accent());
        g.setColorAt(1, SkinStyle::withAlpha(SkinStyle::accent(), 0));
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawRect(QRectF(r.left() + radius, r.bottom() - 2, r.width() - 2 * radius, 1));
    }
}

void addButton(QPainter& p, const QSizeF& s, Look look) {
    const QRectF r(0, 0, s.width(), s.height());
    SkinStyle::plate(p, r, 4, look);
    p.setPen(QPen(glyphFor(look == Look::Over ? Look::Down : look), 1.6, Qt::SolidLine, Qt::RoundCap));
    const QPointF m = r.center();
    p.drawLine(m + QPointF(-5, 0), m + QPointF(5, 0));
    p.drawLine(m + QPointF(0, -5), m + QPointF(0, 5));
}

void checkBox(QPainter& p, const QSizeF& s, Look look, qreal radius) {
    const QRectF box = QRectF(0, 0, s.width(), s.height()).adjusted(0.75, 0.75, -0.75, -0.75);
    switch (look) {
    case Look::Normal:
        p.setPen(QPen(QColor(92, 102, 118), 1.5));
        p.setBrush(QColor(18, 21, 26));
        break;
    case Look::Over:
        p.setPen(QPen(SkinStyle::accentBright(), 1.5));
        p.setBrush(SkinStyle::controlOver());
        break;
    case Look::Down:
        p.setPen(QPen(SkinStyle::accent(), 1.5));
        p.setBrush(SkinStyle::accent());
        break;
    }
    p.drawRoundedRect(box, radius, radius);
    if (look == Look::Down)
        SkinStyle::checkMark(p, box, QColor(8, 22, 32), s.width() / 7.5);
}

void radioButton(QPainter& p, const QSizeF& s, Look look) {
    const QRectF box = QRectF(0, 0, s.width(), s.height()).adjusted(0.75, 0.75, -0.75, -0.75);
    p.setPen(QPen(look == Look::Normal
                      ? QColor(92, 102, 118)
                      : (look == Look::Over ? SkinStyle::accentBright() : SkinStyle::accent()),
                  1.5));
    p.setBrush(look == Look::Over ? SkinStyle::controlOver() : QColor(18, 21, 26));
    p.drawEllipse(box);
    if (look == Look::Down) {
        p.setPen(Qt::NoPen);
        p.setBrush(SkinStyle::accent());
        p.drawEllipse(box.center(), box.width() * 0.27, box.height() * 0.27);
    }
}

void dpiSwitch(QPainter& p, const QSizeF& s, Look look) {
    checkBox(p, s, look, 3.5);
    if (look != Look::Down) {
        // An unticked level shows a small dash so the switch reads as "off", not as empty.
        const QPointF m(s.width() / 2, s.height() / 2);
        p.setPen(QPen(look == Look::Over ? SkinStyle::glyphOver() : QColor(80, 89, 103), 1.4, Qt::SolidLine,
                      Qt::RoundCap));
        p.drawLine(m + QPointF(-3, 0), m + QPointF(3, 0));
    }
}

void comboButton(QPainter& p, const QSizeF& s, Look look) {
    const QRectF r(0, 0, s.width(), s.height());
    SkinStyle::plate(p, r, qMin<qreal>(4, s.height() / 4), look);
    const qreal arrowZone = qMin<qreal>(20, s.height() + 2);
    const qreal x = r.right() - arrowZone;
    p.setPen(
        QPen(look == Look::Normal ? SkinStyle::line() : SkinStyle::withAlpha(SkinStyle::accent(), 120), 1));
    p.drawLine(QPointF(x, r.top() + 4), QPointF(x, r.bottom() - 4));
    SkinStyle::chevron(p, QPointF(x + arrowZone / 2, r.center().y()), 7, Direction::Down,
                       look == Look::Normal ? SkinStyle::glyph() : SkinStyle::accentBright(), 1.5);
}

void header(QPainter& p, const QSizeF& s, Look look, bool section) {
    const QRectF r(0, 0, s.width(), s.height());
    const bool over = look != Look::Normal;
    QLinearGradient g(r.topLeft(), r.topRight());
    g.setColorAt(0, over ? QColor(31, 37, 46) : QColor(24, 28, 34));
    g.setColorAt(1, over ? QColor(22, 27, 34) : QColor(17, 20, 24));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawPath(SkinStyle::roundedRect(r, 4, 4, 0, 0));
    // Accent bar in front of the title.
    p.setBrush(over ? SkinStyle::accentBright() : SkinStyle::accent());
    p.drawRoundedRect(QRectF(3, 7, 3, s.height() - 14), 1.5, 1.5);
    // Bottom rule, brightest under the title.
    QLinearGradient rule(r.bottomLeft(), r.bottomRight());
    const QColor ruleColor = over ? SkinStyle::accent() : SkinStyle::lineOver();
    rule.setColorAt(0, ruleColor);
    rule.setColorAt(section ? 1 : 0.85, SkinStyle::withAlpha(ruleColor, section ? 60 : 0));
    p.setBrush(rule);
    p.drawRect(QRectF(0, s.height() - 1, s.width(), 1));
    if (section)
        SkinStyle::chevron(p, QPointF(s.width() - 14, s.height() / 2), 8, Direction::Down,
                           over ? SkinStyle::accentBright() : SkinStyle::glyph(), 1.6);
}

void profileTab(QPainter& p, const QSizeF& s, Look look, bool selected) {
    const QRectF r(0, 0, s.width(), s.height());
    const bool over = look == Look::Over;
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    if (selected) {
        g.setColorAt(0, over ? QColor(30, 84, 120) : QColor(22, 66, 96));
        g.setColorAt(1, over ? QColor(22, 62, 90) : QColor(16, 46, 68));
    } else {
        g.setColorAt(0, over ? SkinStyle::controlOver().lighter(115) : SkinStyle::control().lighter(110));
        g.setColorAt(1, over ? SkinStyle::controlOver() : SkinStyle::control());
    }
    p.setPen(QPen(selected ? SkinStyle::accent() : (over ? SkinStyle::lineOver() : SkinStyle::line()), 1));
    p.setBrush(g);
    p.drawPath(SkinStyle::roundedRect(r.adjusted(0.5, 0.5, -0.5, 0), 4, 4, 0, 0));
    if (selected) {
        p.setPen(Qt::NoPen);
        p.setBrush(over ? SkinStyle::accentBright() : SkinStyle::accent());
        p.drawRect(QRectF(0, s.height() - 2, s.width(), 2));
    }
}

void menuRow(QPainter& p, const QSizeF& s, Look look, bool submenu) {
    const QRectF r(0, 0, s.width(), s.height());
    p.setPen(Qt::NoPen);
    if (look == Look::Over) {
        QLinearGradient g(r.topLeft(), r.topRight());
        g.setColorAt(0, QColor(24, 72, 104));
        g.setColorAt(1, QColor(22, 40, 56));
        p.setBrush(g);
        p.drawRect(r);
        p.setBrush(SkinStyle::accent());
        p.drawRect(QRectF(0, 0, 2.5, s.height()));
    } else {
        p.setBrush(QColor(22, 25, 31));
        p.drawRect(r);
        p.setBrush(QColor(30, 34, 41));
        p.drawRect(QRectF(8, s.height() - 1, s.width() - 16, 1));
    }
    if (submenu)
        SkinStyle::chevron(p, QPointF(s.width() - 11, s.height() / 2), 8, Direction::Right,
                           look == Look::Over ? SkinStyle::glyphOver() : SkinStyle::glyph(), 1.5);
}

void sliderTrack(QPainter& p, const QSizeF& s, bool filled) {
    const qreal h = 4;
    const QRectF track(1, (s.height() - h) / 2, s.width() - 2, h);
    p.setPen(QPen(filled ? SkinStyle::accentDeep().lighter(140) : SkinStyle::line(), 0.75));
    if (filled) {
        QLinearGradient g(track.topLeft(), track.topRight());
        g.setColorAt(0, SkinStyle::accentDeep().lighter(150));
        g.setColorAt(1, SkinStyle::accent());
        p.setBrush(g);
    } else {
        p.setBrush(QColor(9, 11, 14));
    }
    p.drawRoundedRect(track, h / 2, h / 2);
}

void sliderKnob(QPainter& p, const QSizeF& s) {
    const QPointF m(s.width() / 2, s.height() / 2);
    const qreal r = s.width() / 2 - 0.5;
    p.setPen(QPen(QColor(10, 30, 44), 1));
    QRadialGradient g(m - QPointF(1.5, 1.5), r * 1.6);
    g.setColorAt(0, SkinStyle::accentBright());
    g.setColorAt(1, SkinStyle::accent().darker(120));
    p.setBrush(g);
    p.drawEllipse(m, r, r);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(240, 248, 255));
    p.drawEllipse(m, 2.2, 2.2);
}

void colourSlot(QPainter& p, const QSizeF& s, Look look) {
    const QRectF r = QRectF(0, 0, s.width(), s.height()).adjusted(0.5, 0.5, -0.5, -0.5);
    // Only the 3-unit ring shows: the control fills the inside with the slot's colour.
    if (look == Look::Down) {
        p.setPen(Qt::NoPen);
        p.setBrush(SkinStyle::accent());
        p.drawRoundedRect(r, 4, 4);
        p.setBrush(QColor(230, 244, 252));
        p.drawRoundedRect(r.adjusted(2, 2, -2, -2), 2.5, 2.5);
    } else {
        p.setPen(QPen(QColor(70, 78, 92), 1));
        p.setBrush(QColor(28, 32, 39));
        p.drawRoundedRect(r, 4, 4);
    }
}

void directionButton(QPainter& p, const QSizeF& s, bool up, Look look) {
    const QRectF r(0, 0, s.width(), s.height());
    SkinStyle::plate(p, r, 4, look);
    const QPointF m = r.center();
    const qreal d = up ? -1 : 1;
    QPainterPath arrow;
    arrow.moveTo(m + QPointF(0, 6 * d));
    arrow.lineTo(m + QPointF(-5.5, -0.5 * d));
    arrow.lineTo(m + QPointF(-2, -0.5 * d));
    arrow.lineTo(m + QPointF(-2, -6 * d));
    arrow.lineTo(m + QPointF(2, -6 * d));
    arrow.lineTo(m + QPointF(2, -0.5 * d));
    arrow.lineTo(m + QPointF(5.5, -0.5 * d));
    arrow.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(look == Look::Down ? SkinStyle::accentBright() : glyphFor(look));
    p.drawPath(arrow);
}

void rateTile(QPainter& p, const QSizeF& s, int hz, Look look) {
    const QRectF r(0, 0, s.width(), s.height());
    const bool on = look == Look::Down;
    if (on)
        SkinStyle::glow(p, r.center(), s.width() * 0.62, SkinStyle::withAlpha(SkinStyle::accent(), 70));
    const QRectF body = r.adjusted(3, 3, -3, -3);
    SkinStyle::plate(p, body, 8, on ? Look::Down : Look::Normal);
    if (on) {
        p.setPen(QPen(SkinStyle::accent(), 1.5));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(body.adjusted(0.75, 0.75, -0.75, -0.75), 7.5, 7.5);
    }
    // Signal arcs over the number: more arcs for a faster rate.
    const int level = hz >= 1000 ? 4 : hz >= 500 ? 3 : hz >= 250 ? 2 : 1;
    const QPointF base(body.center().x(), body.top() + 22);
    for (int i = 0; i < 4; ++i) {
        const qreal rr = 4 + i * 3.5;
        const bool lit = i < level;
        p.setPen(QPen(lit ? (on ? SkinStyle::accentBright() : QColor(150, 158, 172)) : QColor(52, 58, 69),
                      1.6, Qt::SolidLine, Qt::RoundCap));
        p.drawArc(QRectF(base.x() - rr, base.y() - rr, 2 * rr, 2 * rr), 50 * 16, 80 * 16);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(on ? SkinStyle::accentBright() : QColor(150, 158, 172));
    p.drawEllipse(base, 1.6, 1.6);
    SkinStyle::text(p, QRectF(body.left(), body.top() + 27, body.width(), 22), QString::number(hz),
                    SkinStyle::font(hz >= 1000 ? 19 : 21, true), on ? Qt::white : QColor(196, 202, 212),
                    Qt::AlignCenter);
    SkinStyle::text(p, QRectF(body.left(), body.top() + 48, body.width(), 13), QStringLiteral("Hz"),
                    SkinStyle::font(10), on ? SkinStyle::accentBright() : SkinStyle::glyph(),
                    Qt::AlignCenter);
}

// The level's part of a DPI bar, in the accent so that it stands out from the panel; brighter
// under the pointer.
void dpiBar(QPainter& p, const QSizeF& s, bool over) {
    const QRectF outer = QRectF(0, 0, s.width(), s.height()).adjusted(0.5, 0.5, -0.5, -0.5);
    const qreal radius = s.width() / 2 - 0.5;
    p.setPen(QPen(SkinStyle::lineOver(), 1));
    p.setBrush(QColor(9, 11, 14));
    p.drawRoundedRect(outer, radius, radius);
    const QRectF inner = outer.adjusted(2, 2, -2, -2);
    QLinearGradient g(inner.topLeft(), inner.bottomLeft());
    g.setColorAt(0, over ? SkinStyle::accentBright() : SkinStyle::accent());
    g.setColorAt(1, over ? SkinStyle::accent() : SkinStyle::accentDeep().lighter(200));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(inner, inner.width() / 2, inner.width() / 2);
    p.setBrush(SkinStyle::withAlpha(Qt::white, 40));
    p.drawRoundedRect(QRectF(inner.left() + 1, inner.top() + 2, 1.5, inner.height() - 4), 0.75, 0.75);
}

void valuePlate(QPainter& p, const QSizeF& s) {
    const QRectF r = QRectF(0, 0, s.width(), s.height()).adjusted(0.5, 0.5, -0.5, -0.5);
    p.setPen(QPen(SkinStyle::line(), 1));
    p.setBrush(QColor(17, 20, 25));
    p.drawRoundedRect(r, 3, 3);
}

void listMarker(QPainter& p, const QSizeF& s, int n) {
    const QRectF r = QRectF(0, 0, s.width(), s.height()).adjusted(1, 1, -1, -1);
    p.setPen(QPen(SkinStyle::withAlpha(SkinStyle::accent(), 150), 1));
    p.setBrush(QColor(20, 34, 46));
    p.drawRoundedRect(r, 4, 4);
    SkinStyle::text(p, r.adjusted(0, 0, 0, 0.5), QString::number(n), SkinStyle::font(11, true),
                    SkinStyle::glyphOver(), Qt::AlignCenter);
}

void pictureBadge(QPainter& p, const QSizeF& s, int n) {
    const QPointF m(s.width() / 2, s.height() / 2);
    SkinStyle::glow(p, m, s.width() / 2, SkinStyle::withAlpha(SkinStyle::accent(), 150));
    QLinearGradient g(m - QPointF(0, 8), m + QPointF(0, 8));
    g.setColorAt(0, QColor(64, 174, 234));
    g.setColorAt(1, QColor(24, 108, 168));
    p.setPen(QPen(QColor(200, 236, 255), 1));
    p.setBrush(g);
    p.drawEllipse(m, 8, 8);
    SkinStyle::text(p, QRectF(m.x() - 8, m.y() - 8, 16, 16.5), QString::number(n), SkinStyle::font(11, true),
                    Qt::white, Qt::AlignCenter);
}

// Battery body in design units: cap on top, body below; the level fills the inner area.
const QRectF BatteryBody(2, 5, 26, 55);
const QRectF BatteryInner(6, 9, 18, 47);

void batteryShell(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(120, 130, 146));
    p.drawRoundedRect(QRectF(10, 1, 10, 5), 1.5, 1.5);
    p.setPen(QPen(QColor(120, 130, 146), 2));
    p.setBrush(QColor(14, 16, 20));
    p.drawRoundedRect(BatteryBody.adjusted(1, 1, -1, -1), 4, 4);
}

void batteryFill(QPainter& p, const QColor& c) {
    QLinearGradient g(BatteryInner.topLeft(), BatteryInner.topRight());
    g.setColorAt(0, c.darker(125));
    g.setColorAt(0.45, c.lighter(115));
    g.setColorAt(1, c.darker(130));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(BatteryInner, 2, 2);
}

void batteryBolt(QPainter& p) {
    const QPointF m = BatteryInner.center();
    QPainterPath bolt;
    bolt.moveTo(m + QPointF(2.5, -15));
    bolt.lineTo(m + QPointF(-6.5, 2));
    bolt.lineTo(m + QPointF(-0.5, 2));
    bolt.lineTo(m + QPointF(-2.5, 15));
    bolt.lineTo(m + QPointF(6.5, -2.5));
    bolt.lineTo(m + QPointF(0.5, -2.5));
    bolt.closeSubpath();
    p.setPen(QPen(QColor(10, 12, 16, 220), 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(255, 226, 92));
    p.drawPath(bolt);
}

void legendDot(QPainter& p, const QSizeF& s, const QColor& c) {
    const QPointF m(s.width() / 2, s.height() / 2);
    QRadialGradient g(m - QPointF(1, 1), s.width() * 0.6);
    g.setColorAt(0, c.lighter(135));
    g.setColorAt(1, c.darker(115));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(m, s.width() / 2 - 0.5, s.height() / 2 - 0.5);
}

void powerDial(QPainter& p, const QSizeF& s, int minutes) {
    // Read-out on top: a power symbol, the minutes and the unit.
    const QPointF icon(s.width() / 2 - 30, 15);
    p.setPen(QPen(SkinStyle::accentBright(), 1.6, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(icon.x() - 6, icon.y() - 6, 12, 12), 120 * 16, 300 * 16);
    p.drawLine(icon + QPointF(0, -7.5), icon + QPointF(0, -1));
    SkinStyle::text(p, QRectF(icon.x() + 10, 3, 30, 24), QString::number(minutes), SkinStyle::font(20, true),
                    Qt::white, Qt::AlignRight | Qt::AlignVCenter);
    SkinStyle::text(p, QRectF(icon.x() + 43, 9, 30, 18), QStringLiteral("min"), SkinStyle::font(11),
                    SkinStyle::glyph(), Qt::AlignLeft | Qt::AlignVCenter);
    // Eight columns rising left to right, one per value 3..10; the chosen one and those below it lit.
    for (int i = 0; i < 8; ++i) {
        const int value = 3 + i;
        const qreal x = PowerDialLayout::RegionLeft + i * PowerDialLayout::RegionPitch;
        const qreal w = PowerDialLayout::RegionWidth;
        const qreal h = 12 + i * 18.0 / 7;
        const QRectF bar(x, 64 - h, w, h);
        const bool lit = value <= minutes;
        const bool current = value == minutes;
        if (current)
            SkinStyle::glow(p, bar.center(), 16, SkinStyle::withAlpha(SkinStyle::accent(), 90));
        if (lit) {
            QLinearGradient g(bar.topLeft(), bar.bottomLeft());
            g.setColorAt(0, current ? SkinStyle::accentBright() : SkinStyle::accent());
            g.setColorAt(1, current ? SkinStyle::accent() : SkinStyle::accentDeep().lighter(140));
            p.setPen(Qt::NoPen);
            p.setBrush(g);
        } else {
            p.setPen(QPen(SkinStyle::line(), 1));
            p.setBrush(QColor(24, 28, 34));
        }
        p.drawRoundedRect(bar.adjusted(0.5, 0.5, -0.5, -0.5), 2.5, 2.5);
        SkinStyle::text(
            p, QRectF(x - 2, 67, w + 4, 14), QString::number(value), SkinStyle::font(9.5, current),
            current ? Qt::white : (lit ? SkinStyle::accentBright() : QColor(104, 112, 126)), Qt::AlignCenter);
    }
}

void recordButton(QPainter& p, const QSizeF& s, bool recording) {
    const QRectF r = QRectF(0, 0, s.width(), s.height()).adjusted(0.5, 0.5, -0.5, -0.5);
    const qreal radius = r.height() / 2;
    if (recording) {
        QLinearGradient g(r.topLeft(), r.bottomLeft());
        g.setColorAt(0, QColor(74, 22, 28));
        g.setColorAt(1, QColor(52, 14, 18));
        p.setPen(QPen(QColor(232, 72, 80), 1));
        p.setBrush(g);
    } else {
        QLinearGradient g(r.topLeft(), r.bottomLeft());
        g.setColorAt(0, SkinStyle::control().lighter(112));
        g.setColorAt(1, SkinStyle::control());
        p.setPen(QPen(SkinStyle::line(), 1));
        p.setBrush(g);
    }
    p.drawRoundedRect(r, radius, radius);
    const QPointF dot(r.left() + radius + 1, r.center().y());
    if (recording)
        SkinStyle::glow(p, dot, 7, QColor(255, 70, 70, 150));
    p.setPen(Qt::NoPen);
    p.setBrush(recording ? QColor(255, 84, 84) : QColor(206, 62, 68));
    p.drawEllipse(dot, 3.6, 3.6);
}

// The small list icons are drawn at one pixel per unit, so they keep to whole pixels.
void folderIcon(QPainter& p, bool open) {
    p.setRenderHint(QPainter::Antialiasing, false);
    const QColor outline(24, 28, 34);
    const QColor back(176, 184, 196);
    const QColor front(226, 231, 238);
    p.setPen(Qt::NoPen);
    p.setBrush(outline);
    p.drawRect(1, 2, 6, 2);
    p.drawRect(1, 3, 14, 11);
    p.setBrush(back);
    p.drawRect(2, 3, 4, 2);
    p.drawRect(2, 4, 12, 9);
    if (open) {
        QPolygon flap;
        flap << QPoint(3, 7) << QPoint(16, 7) << QPoint(14, 14) << QPoint(1, 14);
        p.setBrush(outline);
        p.drawPolygon(flap);
        QPolygon face;
        face << QPoint(4, 8) << QPoint(15, 8) << QPoint(13, 13) << QPoint(2, 13);
        p.setBrush(front);
        p.drawPolygon(face);
    } else {
        p.setBrush(front);
        p.drawRect(2, 6, 12, 7);
        p.setBrush(SkinStyle::accent());
        p.drawRect(2, 6, 12, 1);
    }
}

void clockIcon(QPainter& p, const QSizeF& s) {
    const QPointF m(s.width() / 2, s.height() / 2);
    p.setPen(QPen(QColor(20, 24, 30, 200), 3));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(m, 5.5, 5.5);
    p.setPen(QPen(QColor(236, 240, 245), 1.5));
    p.setBrush(QColor(40, 46, 56));
    p.drawEllipse(m, 5.5, 5.5);
    p.setPen(QPen(QColor(236, 240, 245), 1.3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(m, m + QPointF(0, -3.5));
    p.drawLine(m, m + QPointF(2.5, 1));
}

void keyArrowIcon(QPainter& p, const QSizeF& s, bool release) {
    const QPointF m(s.width() / 2, s.height() / 2);
    const qreal d = release ? -1 : 1;
    QPainterPath arrow;
    arrow.moveTo(m + QPointF(0, 6 * d));
    arrow.lineTo(m + QPointF(-5.5, 0.5 * d));
    arrow.lineTo(m + QPointF(-2, 0.5 * d));
    arrow.lineTo(m + QPointF(-2, -6 * d));
    arrow.lineTo(m + QPointF(2, -6 * d));
    arrow.lineTo(m + QPointF(2, 0.5 * d));
    arrow.lineTo(m + QPointF(5.5, 0.5 * d));
    arrow.closeSubpath();
    p.setPen(QPen(QColor(16, 20, 26, 220), 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(release ? QColor(250, 190, 110) : QColor(150, 220, 255));
    p.drawPath(arrow);
}

} // namespace

QImage SkinArtist::draw(const SkinFile& file) {
    QImage image(file.width, file.height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    p.scale(file.unitScale, file.unitScale);
    const QSizeF s(qreal(file.width) / file.unitScale, qreal(file.height) / file.unitScale);
    const Look look = lookOf(file.look);

    switch (file.kind) {
    // Surfaces that come whole from the window and mouse artists.
    case SkinKind::PanelFrame:
        return WindowArt::panelFrame(file.width, file.height);
    case SkinKind::DialogFrame:
    case SkinKind::NoticeFrame:
    case SkinKind::MacroManagerFrame:
    case SkinKind::ListDialogFrame:
    case SkinKind::ProgressFrame:
    case SkinKind::FilledProgressFrame:
        return WindowArt::frame(file.kind, file.width, file.height);
    case SkinKind::MainBackground:
        return WindowArt::mainBackground();
    case SkinKind::Palette:
        return WindowArt::palette(file.width, file.height);
    case SkinKind::ScrollUpStrip:
    case SkinKind::ScrollDownStrip:
        return WindowArt::scrollArrowStrip(file.kind == SkinKind::ScrollUpStrip, file.width, file.height);
    case SkinKind::AppIcon:
        return MouseArt::icon(file.width);
    case SkinKind::TrayBattery:
        return TrayArt::strip(file.number, file.look == SkinLook::Down);
    case SkinKind::MousePicture:
        return MouseArt::picture(file.unitScale);

    case SkinKind::CloseButton:
    case SkinKind::MinimiseButton:
        windowButton(p, s, file.kind == SkinKind::CloseButton, look);
        break;
    case SkinKind::TextButton:
        textButton(p, s, look);
        break;
    case SkinKind::AddButton:
        addButton(p, s, look);
        break;
    case SkinKind::DpiSwitch:
        dpiSwitch(p, s, look);
        break;
    case SkinKind::CheckBox:
        checkBox(p, s, look, 3);
        break;
    case SkinKind::RadioButton:
        radioButton(p, s, look);
        break;
    case SkinKind::ComboButton:
        comboButton(p, s, look);
        break;
    case SkinKind::SectionHeader:
    case SkinKind::TitleHeader:
        header(p, s, look, file.kind == SkinKind::SectionHeader);
        break;
    case SkinKind::ProfileTab:
    case SkinKind::SelectedProfileTab:
        profileTab(p, s, look, file.kind == SkinKind::SelectedProfileTab);
        break;
    case SkinKind::MenuRow:
    case SkinKind::SubmenuRow:
        menuRow(p, s, look, file.kind == SkinKind::SubmenuRow);
        break;
    case SkinKind::SliderTrack:
    case SkinKind::SliderFill:
        sliderTrack(p, s, file.kind == SkinKind::SliderFill);
        break;
    case SkinKind::SliderKnob:
        sliderKnob(p, s);
        break;
    case SkinKind::ColourSlot:
        colourSlot(p, s, look);
        break;
    case SkinKind::UpButton:
    case SkinKind::DownButton:
        directionButton(p, s, file.kind == SkinKind::UpButton, look);
        break;
    case SkinKind::RateTile:
        rateTile(p, s, file.number, look);
        break;
    case SkinKind::DpiBarTrack:
    case SkinKind::DpiBarFill:
        dpiBar(p, s, file.kind == SkinKind::DpiBarFill);
        break;
    case SkinKind::ValuePlate:
        valuePlate(p, s);
        break;
    case SkinKind::ListMarker:
        listMarker(p, s, file.number);
        break;
    case SkinKind::PictureBadge:
        pictureBadge(p, s, file.number);
        break;
    case SkinKind::LevelDotHigh:
        legendDot(p, s, QColor(66, 206, 140));
        break;
    case SkinKind::LevelDotMedium:
        legendDot(p, s, QColor(245, 166, 35));
        break;
    case SkinKind::LevelDotLow:
        legendDot(p, s, QColor(235, 77, 75));
        break;
    case SkinKind::ChargingBolt:
        batteryBolt(p);
        break;
    case SkinKind::BatteryEmpty:
        batteryShell(p);
        break;
    case SkinKind::BatteryFull:
        batteryShell(p);
        batteryFill(p, SkinStyle::accent());
        break;
    case SkinKind::BatteryCharging:
        batteryShell(p);
        batteryFill(p, QColor(66, 206, 140));
        break;
    case SkinKind::PowerDial:
        powerDial(p, s, file.number);
        break;
    case SkinKind::RecordButton:
        recordButton(p, s, look == Look::Down);
        break;
    case SkinKind::FolderOpen:
    case SkinKind::FolderClosed:
        folderIcon(p, file.kind == SkinKind::FolderOpen);
        break;
    case SkinKind::DelayIcon:
        clockIcon(p, s);
        break;
    case SkinKind::KeyReleaseIcon:
    case SkinKind::KeyPressIcon:
        keyArrowIcon(p, s, file.kind == SkinKind::KeyReleaseIcon);
        break;
    }
    p.end();
    return image;
}

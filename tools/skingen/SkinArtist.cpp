#include "tools/skingen/SkinArtist.h"

#include "toolkit/SkinNames.h"
#include "tools/skingen/MouseArt.h"
#include "tools/skingen/SkinStyle.h"
#include "tools/skingen/WindowArt.h"

#include <QFileInfo>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRegularExpression>

using Look = SkinStyle::Look;
using Direction = SkinStyle::Direction;

namespace {

// The state suffix of a file name: "_nr" normal, "_ov" over, "_dn"/"_check" pressed or chosen,
// "_nr2"/"_ov2" the selected look of a two-look control.
struct State {
    Look look = Look::Normal;
    bool second = false;
};

State stateOf(const QString& base) {
    State s;
    if (base.endsWith(QLatin1String("_ov")) || base.endsWith(QLatin1String("_ov2")))
        s.look = Look::Over;
    else if (base.endsWith(QLatin1String("_dn")) || base.endsWith(QLatin1String("_check")))
        s.look = Look::Down;
    s.second = base.endsWith(QLatin1Char('2'));
    return s;
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

void profileTab(QPainter& p, const QSizeF& s, State st) {
    const QRectF r(0, 0, s.width(), s.height());
    const bool over = st.look == Look::Over;
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    if (st.second) {
        g.setColorAt(0, over ? QColor(30, 84, 120) : QColor(22, 66, 96));
        g.setColorAt(1, over ? QColor(22, 62, 90) : QColor(16, 46, 68));
    } else {
        g.setColorAt(0, over ? SkinStyle::controlOver().lighter(115) : SkinStyle::control().lighter(110));
        g.setColorAt(1, over ? SkinStyle::controlOver() : SkinStyle::control());
    }
    p.setPen(QPen(st.second ? SkinStyle::accent() : (over ? SkinStyle::lineOver() : SkinStyle::line()), 1));
    p.setBrush(g);
    p.drawPath(SkinStyle::roundedRect(r.adjusted(0.5, 0.5, -0.5, 0), 4, 4, 0, 0));
    if (st.second) {
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

void dpiBar(QPainter& p, const QSizeF& s, bool fill) {
    const QRectF outer = QRectF(0, 0, s.width(), s.height()).adjusted(0.5, 0.5, -0.5, -0.5);
    const qreal radius = s.width() / 2 - 0.5;
    p.setPen(QPen(SkinStyle::line(), 1));
    p.setBrush(QColor(9, 11, 14));
    p.drawRoundedRect(outer, radius, radius);
    if (!fill)
        return;
    const QRectF inner = outer.adjusted(2, 2, -2, -2);
    QLinearGradient g(inner.topLeft(), inner.bottomLeft());
    g.setColorAt(0, SkinStyle::accentBright());
    g.setColorAt(0.5, SkinStyle::accent());
    g.setColorAt(1, SkinStyle::accentDeep().lighter(130));
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

int numberIn(const QString& base) {
    static const QRegularExpression digits(QStringLiteral("(\\d+)"));
    const QRegularExpressionMatch m = digits.match(base);
    return m.hasMatch() ? m.captured(1).toInt() : 0;
}

} // namespace

QImage SkinArtist::draw(const SkinFile& file) {
    const QString name = QString::fromLatin1(file.name);
    const QString base =
        QFileInfo(QString(name).replace(QLatin1Char('\\'), QLatin1Char('/'))).completeBaseName();

    // Surfaces that come whole from the window and mouse artists.
    if (base.startsWith(QLatin1String("Frame_Lighting_Setting")))
        return WindowArt::panelFrame(file.width, file.height);
    if (base.startsWith(QLatin1String("Frame_")))
        return WindowArt::frame(base, file.width, file.height);
    if (base == QLatin1String("bitmap364"))
        return WindowArt::mainBackground();
    if (base == QLatin1String("bitmap287"))
        return WindowArt::palette(file.width, file.height);
    if (base == QLatin1String("png188") || base == QLatin1String("png187"))
        return WindowArt::scrollArrowStrip(base == QLatin1String("png188"), file.width, file.height);
    if (base == QLatin1String("icon128"))
        return MouseArt::icon(file.width);
    if (base == QLatin1String("mouse_nr"))
        return MouseArt::picture(file.unitScale);

    QImage image(file.width, file.height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    p.scale(file.unitScale, file.unitScale);
    const QSizeF s(qreal(file.width) / file.unitScale, qreal(file.height) / file.unitScale);
    const State st = stateOf(base);

    bool known = true;
    if (base.startsWith(QLatin1String("exit_")) || base.startsWith(QLatin1String("min_")))
        windowButton(p, s, base.startsWith(QLatin1String("exit_")), st.look);
    else if (base.startsWith(QLatin1String("button")))
        textButton(p, s, st.look);
    else if (base.startsWith(QLatin1String("add_")))
        addButton(p, s, st.look);
    else if (base.startsWith(QLatin1String("check_button_dpi_")))
        dpiSwitch(p, s, st.look);
    else if (base.startsWith(QLatin1String("check_")))
        checkBox(p, s, st.look, 3);
    else if (base.startsWith(QLatin1String("radio_")))
        radioButton(p, s, st.look);
    else if (base.startsWith(QLatin1String("combo")))
        comboButton(p, s, st.look);
    else if (base.startsWith(QLatin1String("header2_")))
        header(p, s, st.look, false);
    else if (base.startsWith(QLatin1String("header_")))
        header(p, s, st.look, true);
    else if (base.startsWith(QLatin1String("profile_slot_")))
        profileTab(p, s, st);
    else if (base.startsWith(QLatin1String("menusub_")))
        menuRow(p, s, st.look, true);
    else if (base.startsWith(QLatin1String("menu_")))
        menuRow(p, s, st.look, false);
    else if (base == QLatin1String("Slider_bar") || base == QLatin1String("Slider_bar2"))
        sliderTrack(p, s, base.endsWith(QLatin1Char('2')));
    else if (base == QLatin1String("Slider_Circle"))
        sliderKnob(p, s);
    else if (base.startsWith(QLatin1String("color_select_")))
        colourSlot(p, s, st.look);
    else if (base.startsWith(QLatin1String("up_")) || base.startsWith(QLatin1String("down_")))
        directionButton(p, s, base.startsWith(QLatin1String("up_")), st.look);
    else if (base.contains(QLatin1String("hz_")))
        rateTile(p, s, numberIn(base), st.look);
    else if (base.startsWith(QLatin1String("dpi_bar_")))
        dpiBar(p, s, base.endsWith(QLatin1Char('2')));
    else if (base == QLatin1String("dpi_value"))
        valuePlate(p, s);
    else if (base.startsWith(QLatin1String("serial_number")))
        listMarker(p, s, numberIn(base));
    else if (base.startsWith(QLatin1String("number")))
        pictureBadge(p, s, numberIn(base));
    else if (base == QLatin1String("battery_green"))
        legendDot(p, s, QColor(66, 206, 140));
    else if (base == QLatin1String("battery_orange"))
        legendDot(p, s, QColor(245, 166, 35));
    else if (base == QLatin1String("battery_red"))
        legendDot(p, s, QColor(235, 77, 75));
    else if (base == QLatin1String("battery_lighting"))
        batteryBolt(p);
    else if (base.startsWith(QLatin1String("battery_"))) {
        batteryShell(p);
        if (base == QLatin1String("battery_full"))
            batteryFill(p, SkinStyle::accent());
        else if (base == QLatin1String("battery_charging"))
            batteryFill(p, QColor(66, 206, 140));
    } else if (base.startsWith(QLatin1String("power_manage_")))
        powerDial(p, s, numberIn(base));
    else if (base.startsWith(QLatin1String("macro_record_")))
        recordButton(p, s, st.look == Look::Down);
    else if (base.startsWith(QLatin1String("foldr_")))
        folderIcon(p, base.endsWith(QLatin1String("open")));
    else if (base == QLatin1String("macro_time"))
        clockIcon(p, s);
    else if (base == QLatin1String("macro_up") || base == QLatin1String("macro_down"))
        keyArrowIcon(p, s, base.endsWith(QLatin1String("up")));
    else
        known = false;
    p.end();
    return known ? image : QImage();
}

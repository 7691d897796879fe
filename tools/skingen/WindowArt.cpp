#include "tools/skingen/WindowArt.h"

#include "tools/skingen/SkinStyle.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>

namespace {

QImage canvas(int width, int height, const QColor& fill) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(fill);
    return image;
}

void hints(QPainter& p) {
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
}

// A line that fades in and out along its length.
void fadingLine(QPainter& p, QPointF a, QPointF b, const QColor& c, qreal width = 1) {
    QLinearGradient g(a, b);
    g.setColorAt(0, SkinStyle::withAlpha(c, 0));
    g.setColorAt(0.2, c);
    g.setColorAt(0.8, c);
    g.setColorAt(1, SkinStyle::withAlpha(c, 0));
    p.setPen(QPen(QBrush(g), width));
    p.drawLine(a, b);
}

// The mark of the program: a stylised bird's wing in two strokes, the upper one in the accent.
void brandMark(QPainter& p, const QRectF& r) {
    QPainterPath lower;
    lower.moveTo(r.left(), r.top() + r.height() * 0.25);
    lower.lineTo(r.left() + r.width() * 0.5, r.bottom());
    lower.lineTo(r.left() + r.width() * 0.62, r.bottom() - r.height() * 0.24);
    lower.lineTo(r.left() + r.width() * 0.28, r.top() + r.height() * 0.25);
    lower.closeSubpath();
    QPainterPath upper;
    upper.moveTo(r.right(), r.top());
    upper.lineTo(r.left() + r.width() * 0.56, r.bottom() - r.height() * 0.08);
    upper.lineTo(r.left() + r.width() * 0.46, r.bottom() - r.height() * 0.32);
    upper.lineTo(r.right() - r.width() * 0.22, r.top());
    upper.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(196, 204, 214));
    p.drawPath(lower);
    p.setBrush(SkinStyle::accent());
    p.drawPath(upper);
}

// Shared dialog surface: graphite body, a title band with a thin accent line, a one-pixel border.
void dialogSurface(QPainter& p, int width, int height, int band) {
    const QRectF r(0, 0, width, height);
    QLinearGradient body(r.topLeft(), r.bottomLeft());
    body.setColorAt(0, QColor(22, 25, 31));
    body.setColorAt(1, QColor(15, 17, 21));
    p.fillRect(r, body);
    QLinearGradient title(0, 0, 0, band);
    title.setColorAt(0, QColor(28, 32, 40));
    title.setColorAt(1, QColor(22, 25, 31));
    p.fillRect(QRectF(0, 0, width, band), title);
    p.fillRect(QRectF(0, band, width, 1), QColor(38, 43, 52));
    // The accent line runs from the left along the top and fades out towards the close button.
    QLinearGradient accent(0, 0, width, 0);
    accent.setColorAt(0, SkinStyle::accentBright());
    accent.setColorAt(0.35, SkinStyle::accent());
    accent.setColorAt(0.8, SkinStyle::withAlpha(SkinStyle::accent(), 0));
    p.fillRect(QRectF(0, 0, width, 2), accent);
    p.setPen(QPen(QColor(48, 54, 65), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, width - 1, height - 1));
}

} // namespace

QImage WindowArt::mainBackground() {
    const int W = 1127;
    const int H = 740;
    QImage image = canvas(W, H, SkinStyle::window());
    QPainter p(&image);
    hints(p);

    // Title band with the mark and the name.
    QLinearGradient band(0, 0, 0, 31);
    band.setColorAt(0, QColor(22, 25, 31));
    band.setColorAt(1, QColor(16, 18, 22));
    p.fillRect(QRectF(0, 0, W, 31), band);
    p.fillRect(QRectF(0, 31, W, 1), QColor(32, 36, 44));
    brandMark(p, QRectF(36, 9, 17, 14));
    QFont name = SkinStyle::font(12, true);
    name.setLetterSpacing(QFont::AbsoluteSpacing, 3);
    SkinStyle::text(p, QRectF(61, 6, 200, 20), QStringLiteral("VIREO"), name, QColor(206, 212, 222),
                    Qt::AlignLeft | Qt::AlignVCenter);

    // The stage behind the mouse: a soft accent glow, a faint dot grid and two thin rings.
    const QPointF stage(564.5, 372);
    SkinStyle::glow(p, stage, 330, QColor(40, 120, 170, 46));
    SkinStyle::glow(p, stage, 170, QColor(60, 150, 210, 26));
    for (int y = 48; y < 684; y += 16) {
        for (int x = 312; x < 818; x += 16) {
            const qreal d = std::hypot(x - stage.x(), (y - stage.y()) * 1.1) / 300.0;
            if (d >= 1)
                continue;
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(120, 170, 210, int(34 * (1 - d) * (1 - d))));
            p.drawEllipse(QPointF(x + 0.5, y + 0.5), 0.8, 0.8);
        }
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(53, 160, 222, 36), 1));
    p.drawEllipse(stage, 238, 238);
    QPen dashed(QColor(53, 160, 222, 44), 1.2);
    dashed.setDashPattern({1.5, 6});
    p.setPen(dashed);
    p.drawEllipse(stage, 252, 252);
    // Ticks on the outer ring, like a dial, every 10 degrees.
    for (int a = 0; a < 360; a += 10) {
        const qreal rad = a * M_PI / 180;
        const QPointF dir(std::cos(rad), std::sin(rad));
        const bool major = a % 90 == 0;
        p.setPen(QPen(QColor(53, 160, 222, major ? 110 : 48), major ? 1.6 : 1));
        p.drawLine(stage + dir * 262, stage + dir * (major ? 274 : 268));
    }
    // The pedestal the mouse stands on.
    p.save();
    p.translate(564.5, 560);
    p.scale(1, 0.12);
    SkinStyle::glow(p, QPointF(0, 0), 150, QColor(53, 160, 222, 70));
    p.setPen(QPen(QColor(53, 160, 222, 150), 6));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(0, 0), 128, 128);
    p.restore();

    // Column dividers.
    fadingLine(p, QPointF(296.5, 44), QPointF(296.5, 684), QColor(40, 45, 54));
    fadingLine(p, QPointF(826.5, 44), QPointF(826.5, 684), QColor(40, 45, 54));

    // Status band at the bottom.
    p.fillRect(QRectF(0, 697, W, 43), QColor(16, 18, 22));
    p.fillRect(QRectF(0, 697, W, 1), QColor(32, 36, 44));

    // Window edge.
    p.setPen(QPen(QColor(44, 50, 60), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, W - 1, H - 1));
    return image;
}

QImage WindowArt::frame(SkinKind kind, int width, int height) {
    int band = 0;
    const bool progress = kind == SkinKind::ProgressFrame || kind == SkinKind::FilledProgressFrame;
    if (kind == SkinKind::NoticeFrame)
        band = 34;
    else if (kind == SkinKind::DialogFrame)
        band = 30;
    else if (kind == SkinKind::MacroManagerFrame || kind == SkinKind::ListDialogFrame || progress)
        band = 26;
    else
        return {};
    QImage image = canvas(width, height, Qt::black);
    QPainter p(&image);
    hints(p);
    dialogSurface(p, width, height, band);

    if (kind == SkinKind::MacroManagerFrame) {
        // The recorder column on the right gets a panel of its own.
        const QRectF panel(360.5, 44.5, 154, 280);
        p.setPen(QPen(QColor(40, 45, 54), 1));
        p.setBrush(QColor(19, 22, 27));
        p.drawRoundedRect(panel, 5, 5);
    }
    if (kind == SkinKind::MacroManagerFrame || kind == SkinKind::ListDialogFrame)
        p.fillRect(QRectF(0, 326, width, 1), QColor(34, 38, 46));
    if (progress) {
        const bool filled = kind == SkinKind::FilledProgressFrame;
        const QRectF track(24, 66, 381, 12);
        p.setPen(QPen(QColor(44, 50, 60), 1));
        p.setBrush(QColor(10, 12, 15));
        p.drawRoundedRect(track.adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
        if (filled) {
            QLinearGradient g(track.topLeft(), track.topRight());
            g.setColorAt(0, SkinStyle::accentDeep().lighter(160));
            g.setColorAt(1, SkinStyle::accentBright());
            p.setPen(Qt::NoPen);
            p.setBrush(g);
            p.drawRoundedRect(track.adjusted(2, 2, -2, -2), 4, 4);
            p.setBrush(QColor(255, 255, 255, 40));
            p.drawRoundedRect(QRectF(track.left() + 4, track.top() + 3, track.width() - 8, 2), 1, 1);
        }
    }
    p.end();
    return image.convertToFormat(QImage::Format_RGB32);
}

QImage WindowArt::panelFrame(int width, int height) {
    // Opaque, so its corners carry the window colour the panels stand on.
    QImage image = canvas(width, height, SkinStyle::window());
    QPainter p(&image);
    hints(p);
    const QRectF r(0.5, 0.5, width - 1, height - 1);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, QColor(22, 25, 31));
    g.setColorAt(1, QColor(18, 21, 26));
    p.setPen(QPen(QColor(38, 43, 52), 1));
    p.setBrush(g);
    p.drawRoundedRect(r, 5, 5);
    p.setPen(QPen(QColor(255, 255, 255, 10), 1));
    p.drawLine(QPointF(6, 1.5), QPointF(width - 6, 1.5));
    p.end();
    return image.convertToFormat(QImage::Format_RGB32);
}

QImage WindowArt::palette(int width, int height) {
    QImage image = canvas(width, height, QColor(PaletteBackground, PaletteBackground, PaletteBackground));
    {
        QPainter p(&image);
        hints(p);
        p.fillRect(QRectF(0, 0, width, 2), SkinStyle::accent());
        p.setPen(QPen(QColor(48, 54, 65), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(0.5, 0.5, width - 1, height - 1));
        // Frames around the two picking areas, drawn just outside them.
        p.setPen(QPen(QColor(58, 64, 76), 1));
        p.drawRect(QRectF(17.5, 25.5, 206, 246));
        p.drawRect(QRectF(243.5, 25.5, 231, 166));
    }
    // Area 1: hue across, lightness from almost white at the top to almost black at the bottom.
    const QRect field(18, 26, 205, 245);
    for (int y = 0; y < field.height(); ++y) {
        const qreal lightness = 0.96 - 0.92 * y / (field.height() - 1);
        for (int x = 0; x < field.width(); ++x) {
            const qreal hue = qreal(x) / field.width();
            image.setPixelColor(field.x() + x, field.y() + y, QColor::fromHslF(hue, 1.0, lightness).toRgb());
        }
    }
    // Area 2: swatches of ready colours; the gaps between them are background and pick nothing.
    static const QRgb swatches[6][8] = {
        {0xFF0000, 0xFF7F00, 0xFFFF00, 0x00FF00, 0x00FFFF, 0x0000FF, 0x7F00FF, 0xFF00FF},
        {0xFF8080, 0xFFBF80, 0xFFFF99, 0x99FF99, 0x99FFFF, 0x8080FF, 0xBF99FF, 0xFF99FF},
        {0x990000, 0x994C00, 0x999900, 0x009900, 0x009999, 0x000099, 0x4C0099, 0x990099},
        {0xFF4040, 0x40FF80, 0x4080FF, 0x35A0DE, 0xFAFA46, 0xFA46FA, 0xFA0080, 0xFA46FF},
        {0xFF3300, 0xB3FF00, 0x00FF80, 0x0080FF, 0x8000FF, 0xFF0080, 0xFFD700, 0x40E0D0},
        {0xFFFFFF, 0xDADADA, 0xB6B6B6, 0x929292, 0x6D6D6D, 0x494949, 0x242424, 0x000000},
    };
    const QRect area(244, 26, 230, 165);
    const qreal cw = area.width() / 8.0;
    const qreal ch = area.height() / 6.0;
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::NoPen);
    for (int row = 0; row < 6; ++row) {
        for (int col = 0; col < 8; ++col) {
            const int x0 = area.x() + int(std::lround(col * cw)) + 2;
            const int y0 = area.y() + int(std::lround(row * ch)) + 2;
            const int x1 = area.x() + int(std::lround((col + 1) * cw)) - 2;
            const int y1 = area.y() + int(std::lround((row + 1) * ch)) - 2;
            p.setBrush(QColor(swatches[row][col]));
            p.drawRect(QRect(QPoint(x0, y0), QPoint(x1 - 1, y1 - 1)));
        }
    }
    p.end();
    return image.convertToFormat(QImage::Format_RGB32);
}

QImage WindowArt::scrollArrowStrip(bool up, int width, int height) {
    QImage image = canvas(width, height, Qt::transparent);
    QPainter p(&image);
    hints(p);
    const qreal cell = width / 3.0;
    const QColor backs[3] = {QColor(16, 16, 16), QColor(31, 31, 31), SkinStyle::accentDeep()};
    const QColor glyphs[3] = {QColor(128, 136, 150), QColor(236, 240, 245), SkinStyle::accentBright()};
    for (int k = 0; k < 3; ++k) {
        const QRectF r(k * cell, 0, cell, height);
        p.fillRect(r, backs[k]);
        SkinStyle::chevron(p, r.center() + QPointF(0, up ? -0.5 : 0.5), cell * 0.45,
                           up ? SkinStyle::Direction::Up : SkinStyle::Direction::Down, glyphs[k], 1.6);
    }
    p.end();
    return image;
}

#include "toolkit/SkinText.h"

#include <QFont>
#include <QFontMetrics>
#include <QHash>
#include <QPainter>
#include <QStringList>
#include <vector>

namespace {
std::function<void(const SkinText::Drawn&)>& observer() {
    static std::function<void(const SkinText::Drawn&)> seen;
    return seen;
}

// The width of a text in a font, remembered: a full repaint measures every label to decide on an
// ellipsis, and measuring shapes the text a second time (about a sixth of the whole frame).
int advance(const QFontMetrics& metrics, const QFont& font, const QString& text) {
    struct FontWidths {
        QFont font;
        QHash<QString, int> widths;
    };
    static std::vector<FontWidths> fonts;
    constexpr qsizetype MaxTexts = 4096; // per font; a language change or a long session starts over
    FontWidths* entry = nullptr;
    for (FontWidths& f : fonts)
        if (f.font == font) {
            entry = &f;
            break;
        }
    if (!entry) {
        if (fonts.size() >= 16)
            fonts.clear();
        fonts.push_back({font, {}});
        entry = &fonts.back();
    }
    const auto it = entry->widths.constFind(text);
    if (it != entry->widths.constEnd())
        return *it;
    if (entry->widths.size() >= MaxTexts)
        entry->widths.clear();
    const int width = metrics.horizontalAdvance(text);
    entry->widths.insert(text, width);
    return width;
}
} // namespace

ColorRef SkinText::stateColor(int state) {
    switch (state) {
    case 1:
        return OverColor;
    case 2:
        return PressedColor;
    default:
        return NormalColor;
    }
}

void SkinText::drawControlText(QPainter& painter, const Rect& rect, int leftInset, int rightInset,
                               const QString& text, uint32_t alignment, const QFont& font, ColorRef color) {
    draw(painter, {rect.left + leftInset, rect.top, rect.right - rightInset, rect.bottom}, text,
         ControlFormat | (alignment & (TextCenter | TextRight)), font, color);
}

void SkinText::setObserver(std::function<void(const Drawn&)> seen) {
    observer() = std::move(seen);
}

void SkinText::draw(QPainter& painter, const Rect& rect, const QString& text, uint32_t format,
                    const QFont& font, ColorRef color) {
    if (!text.isEmpty() && observer())
        observer()({rect, text, format, font});
    if (text.isEmpty() || rect.width() <= 0 || rect.height() <= 0)
        return;
    if (painter.font() != font)
        painter.setFont(font);
    const QColor pen = toQColor(color);
    if (painter.pen() != QPen(pen))
        painter.setPen(pen);
    int flags = (format & TextCenter)  ? Qt::AlignHCenter
                : (format & TextRight) ? Qt::AlignRight
                                       : Qt::AlignLeft;
    const bool ellipsis = (format & (TextWordEllipsis | TextEndEllipsis)) != 0;
    const QFontMetrics metrics = painter.fontMetrics();
    QString shown = text;
    if (format & TextSingleLine) {
        flags |= Qt::TextSingleLine;
        flags |= (format & TextVCenter)  ? Qt::AlignVCenter
                 : (format & TextBottom) ? Qt::AlignBottom
                                         : Qt::AlignTop;
        if (ellipsis && advance(metrics, font, shown) > rect.width())
            shown = metrics.elidedText(shown, Qt::ElideRight, rect.width());
    } else {
        flags |= Qt::AlignTop;
        if (format & TextWordBreak) {
            flags |= Qt::TextWordWrap;
        } else if (ellipsis) {
            QStringList lines = shown.split(QLatin1Char('\n'));
            for (QString& line : lines)
                if (advance(metrics, font, line) > rect.width())
                    line = metrics.elidedText(line, Qt::ElideRight, rect.width());
            shown = lines.join(QLatin1Char('\n'));
        }
    }
    painter.drawText(rect.toQRect(), flags, shown);
}

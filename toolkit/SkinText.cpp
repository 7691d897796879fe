#include "toolkit/SkinText.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QStringList>

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

void SkinText::draw(QPainter& painter, const Rect& rect, const QString& text, uint32_t format,
                    const QFont& font, ColorRef color) {
    if (text.isEmpty() || rect.width() <= 0 || rect.height() <= 0)
        return;
    painter.setFont(font);
    painter.setPen(toQColor(color));
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
        if (ellipsis && metrics.horizontalAdvance(shown) > rect.width())
            shown = metrics.elidedText(shown, Qt::ElideRight, rect.width());
    } else {
        flags |= Qt::AlignTop;
        if (format & TextWordBreak) {
            flags |= Qt::TextWordWrap;
        } else if (ellipsis) {
            QStringList lines = shown.split(QLatin1Char('\n'));
            for (QString& line : lines)
                if (metrics.horizontalAdvance(line) > rect.width())
                    line = metrics.elidedText(line, Qt::ElideRight, rect.width());
            shown = lines.join(QLatin1Char('\n'));
        }
    }
    painter.drawText(rect.toQRect(), flags, shown);
}

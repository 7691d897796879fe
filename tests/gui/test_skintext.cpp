#include "toolkit/SkinText.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

namespace {
QImage canvas() {
    QImage image(240, 40, QImage::Format_RGB32);
    image.fill(Qt::black);
    return image;
}

// What the label must look like: the text cut with an ellipsis exactly when it is wider than the box.
QImage expected(const QString& text, const QFont& font, int width) {
    QImage image = canvas();
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(QColor(0xB4, 0xB4, 0xB4));
    const QFontMetrics metrics = painter.fontMetrics();
    const QString shown =
        metrics.horizontalAdvance(text) > width ? metrics.elidedText(text, Qt::ElideRight, width) : text;
    painter.drawText(QRect(0, 0, width, 40), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shown);
    return image;
}
} // namespace

// Label widths are remembered between paints: the same text in another font or box must still be
// cut by what it measures there. The order matters: each text is first seen where it fits.
TEST(SkinText, EllipsisFollowsTheFontAndTheBox) {
    QFont small;
    small.setPixelSize(10);
    QFont large = small;
    large.setPixelSize(28);
    const QString text = QStringLiteral("Polling rate and lift-off");
    struct Case {
        const char* name;
        QFont font;
        int width;
    } cases[] = {{"small font, wide box", small, 230},
                 {"large font, same box", large, 230},
                 {"small font, narrow box", small, 60},
                 {"small font, wide box again", small, 230}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QImage drawn = canvas();
        QPainter painter(&drawn);
        SkinText::draw(painter, {0, 0, c.width, 40}, text, SkinText::ControlFormat, c.font, 0xB4B4B4);
        painter.end();
        EXPECT_EQ(drawn, expected(text, c.font, c.width));
    }
}

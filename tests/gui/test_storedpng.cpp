#include "toolkit/PlainBmp.h"
#include "toolkit/StoredPng.h"

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QTemporaryDir>
#include <cstring>
#include <gtest/gtest.h>

namespace {
// With alpha, the left half is opaque: rows mix runs of opaque and translucent pixels.
QImage pattern(int width, int height, bool alpha) {
    QImage image(width, height, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y,
                           qRgba((x * 7 + y) & 0xFF, (x ^ y) & 0xFF, (y * 13) & 0xFF,
                                 alpha && x >= width / 2 ? (x * 31 + y * 5) & 0xFF : 0xFF));
    return image;
}

QImage readWithQt(QByteArray bytes) {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "PNG");
    return reader.read();
}

QImage drawable(const QImage& image) {
    return image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                         : QImage::Format_RGB32);
}
} // namespace

// What the generator writes reads back pixel for pixel through the fast path, and is a PNG any
// reader takes (Qt's checks every CRC and the zlib checksum). 300 × 250 RGBA spans several
// stored blocks, with rows split across them.
TEST(StoredPng, RoundTripsAndStaysAPng) {
    struct Case {
        const char* name;
        int width, height;
        bool alpha;
    } cases[] = {{"1x1 opaque", 1, 1, false},
                 {"odd opaque", 3, 2, false},
                 {"1x1 alpha", 1, 1, true},
                 {"odd alpha", 13, 3, true},
                 {"several blocks, alpha", 300, 250, true},
                 {"several blocks, opaque", 301, 250, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QImage source = pattern(c.width, c.height, c.alpha);
        const QByteArray bytes = StoredPng::encode(source);
        const QImage fast = StoredPng::decode(bytes);
        ASSERT_FALSE(fast.isNull());
        EXPECT_EQ(fast.format(), c.alpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
        EXPECT_EQ(fast, drawable(source));
        const QImage general = readWithQt(bytes);
        ASSERT_FALSE(general.isNull());
        EXPECT_EQ(drawable(general), drawable(source));
    }
}

// Anything else goes to Qt's reader: a compressed, filtered PNG and a BMP read as before.
TEST(StoredPng, OtherImagesTakeTheGeneralReader) {
    QTemporaryDir dir;
    const QImage source = pattern(40, 30, true);
    for (const char* format : {"PNG", "BMP"}) {
        SCOPED_TRACE(format);
        const QString path = dir.filePath(QStringLiteral("image.") + QString::fromLatin1(format).toLower());
        ASSERT_TRUE(QImageWriter(path, format).write(source));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_TRUE(StoredPng::decode(file.readAll()).isNull());
        const QImage read = StoredPng::read(path);
        ASSERT_FALSE(read.isNull());
        EXPECT_EQ(read.size(), source.size());
    }
    EXPECT_TRUE(StoredPng::read(dir.filePath(QStringLiteral("missing.png"))).isNull());
}

// Damaged artwork gives a null image, never a read past the data: every truncation, and single
// bytes changed in the header, the block lengths and a row's filter byte.
TEST(StoredPng, DamagedDataIsRefused) {
    const QByteArray good = StoredPng::encode(pattern(5, 4, true));
    ASSERT_FALSE(StoredPng::decode(good).isNull());
    for (qsizetype length = 0; length < good.size() - 12; ++length) // IEND is the last 12 bytes
        EXPECT_TRUE(StoredPng::decode(good.left(length)).isNull()) << "cut at " << length;

    const qsizetype ihdr = 8 + 8, idat = ihdr + 13 + 4 + 8;
    struct Damage {
        const char* name;
        qsizetype at;
        char value;
    } damages[] = {{"bit depth 16", ihdr + 8, 16},    {"palette colours", ihdr + 9, 3},
                   {"interlaced", ihdr + 10 + 2, 1},  {"compressed block", idat + 2, 0x03},
                   {"length check", idat + 2 + 3, 0}, {"filtered row", idat + 2 + 5, 1},
                   {"huge width", ihdr, 0x7F}};
    for (const Damage& d : damages) {
        SCOPED_TRACE(d.name);
        QByteArray bad = good;
        bad[d.at] = d.value;
        EXPECT_TRUE(StoredPng::decode(bad).isNull());
    }
}

// The frames' BMPs read row by row give what Qt's reader gives, for every row padding and both row
// orders; anything else is left to Qt's reader, and a cut file is refused.
TEST(PlainBmp, ReadsWhatQtReadsAndNothingElse) {
    for (int width : {1, 2, 3, 4, 5, 429}) {
        SCOPED_TRACE(width);
        const QImage source = pattern(width, 7, false);
        QByteArray bytes;
        QBuffer out(&bytes);
        out.open(QIODevice::WriteOnly);
        ASSERT_TRUE(QImageWriter(&out, "BMP").write(source));
        QBuffer in(&bytes);
        in.open(QIODevice::ReadOnly);
        const QImage fast = PlainBmp::read(in);
        ASSERT_FALSE(fast.isNull());
        EXPECT_EQ(fast.format(), QImage::Format_RGB32);
        EXPECT_EQ(fast, drawable(source));

        // The same rows stored top-down (a negative height).
        QByteArray topDown = bytes.left(54);
        const int32_t rows = -7;
        std::memcpy(topDown.data() + 22, &rows, 4);
        const int stride = (width * 3 + 3) & ~3;
        for (int r = 6; r >= 0; --r)
            topDown += bytes.mid(54 + r * stride, stride);
        QBuffer flipped(&topDown);
        flipped.open(QIODevice::ReadOnly);
        EXPECT_EQ(PlainBmp::read(flipped), drawable(source));

        QByteArray cut = bytes.left(bytes.size() - 1);
        QBuffer shortFile(&cut);
        shortFile.open(QIODevice::ReadOnly);
        EXPECT_TRUE(PlainBmp::read(shortFile).isNull());
    }
    QByteArray png = StoredPng::encode(pattern(3, 3, false));
    QBuffer notBmp(&png);
    notBmp.open(QIODevice::ReadOnly);
    EXPECT_TRUE(PlainBmp::read(notBmp).isNull());
    QByteArray indexed;
    QBuffer palette(&indexed);
    palette.open(QIODevice::WriteOnly);
    ASSERT_TRUE(
        QImageWriter(&palette, "BMP").write(pattern(4, 4, false).convertToFormat(QImage::Format_Indexed8)));
    palette.close();
    palette.open(QIODevice::ReadOnly);
    EXPECT_TRUE(PlainBmp::read(palette).isNull());
}

#include "tests/gui/GuiTestSupport.h"

#include "base/AppPaths.h"
#include "base/UiFont.h"
#include "toolkit/CCheckButton.h"
#include "toolkit/CStaticText.h"
#include "toolkit/SkinFont.h"
#include "toolkit/SkinImage.h"
#include "toolkit/SkinText.h"
#include "toolkit/StoredPng.h"
#include "toolkit/UiScale.h"

#include <QDateTime>
#include <QFontInfo>
#include <QFontMetrics>
#include <QSet>

namespace {
QImage canvas(int width, int height, const QColor& fill = Qt::black) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(fill);
    return image;
}

// Rows of `image` holding any pixel other than `background`.
std::pair<int, int> inkRows(const QImage& image, QRgb background) {
    int first = -1, last = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != background) {
                if (first < 0)
                    first = y;
                last = y;
            }
    return {first, last};
}

struct ScaleGuard {
    float saved = uiScale();
    ~ScaleGuard() { uiScale() = saved; }
};
} // namespace

TEST(Skin, NamesResolveAgainstTheSkinFolder) {
    SkinFolder folder;
    qputenv("VIREO_SKIN_DIR", (folder.path() + "/").toLocal8Bit());
    EXPECT_EQ(Skin::root(), folder.path());
    EXPECT_EQ(Skin::path("skins\\mouse\\number1.png"), folder.path() + "/mouse/number1.png");
    EXPECT_EQ(Skin::path("skins\\check_nr.png"), folder.path() + "/check_nr.png");
    EXPECT_EQ(Skin::path("/abs/x.png"), "/abs/x.png");
    EXPECT_EQ(Skin::path(":/res/png188.png"), ":/res/png188.png");

    qunsetenv("VIREO_SKIN_DIR");
    EXPECT_EQ(Skin::root(), AppPaths::shareFolder() + "skins");
}

TEST(Skin, LoadSkinImageReportsSizeOnlyOnSuccess) {
    SkinFolder folder;
    folder.write("skins\\a_nr.png", SkinFolder::solid(7, 5, Qt::red));
    QImage image;
    int width = -1, height = -1;
    ASSERT_TRUE(Skin::LoadSkinImage("skins\\a_nr.png", image, width, height));
    EXPECT_EQ(width, 7);
    EXPECT_EQ(height, 5);
    EXPECT_FALSE(image.isNull());

    // A missing file: a null image (which draws nothing), sizes untouched, nothing reported.
    EXPECT_FALSE(Skin::LoadSkinImage("skins\\missing.png", image, width, height));
    EXPECT_TRUE(image.isNull());
    EXPECT_EQ(width, 7);
    EXPECT_EQ(height, 5);

    // Not an image at all.
    testsupport::writeBytes(Skin::path("skins\\junk.png"), "not a png");
    EXPECT_FALSE(Skin::LoadSkinImage("skins\\junk.png", image, width, height));
    EXPECT_EQ(width, 7);
}

TEST(Skin, DecodedImagesAreSharedAndFollowTheFile) {
    SkinFolder folder;
    folder.write("skins\\shared.png", SkinFolder::solid(4, 4, Qt::green));
    QImage first, second;
    int w = 0, h = 0;
    ASSERT_TRUE(Skin::LoadSkinImage("skins\\shared.png", first, w, h));
    ASSERT_TRUE(Skin::LoadSkinImage("skins\\shared.png", second, w, h));
    EXPECT_EQ(first.constBits(), second.constBits()) << "two controls share one decoded image";

    // Rewritten on disk: read again (the change shows in the modification time).
    folder.write("skins\\shared.png", SkinFolder::solid(6, 3, Qt::blue));
    QFile file(Skin::path("skins\\shared.png"));
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    file.setFileTime(QDateTime::currentDateTime().addSecs(5), QFileDevice::FileModificationTime);
    file.close();
    ASSERT_TRUE(Skin::LoadSkinImage("skins\\shared.png", second, w, h));
    EXPECT_EQ(w, 6);
    EXPECT_EQ(second.pixel(0, 0), qRgb(0, 0, 255));
    EXPECT_EQ(first.pixel(0, 0), qRgb(0, 255, 0)) << "what a control holds stays as it was";

    // Missing first, present later: found.
    ASSERT_FALSE(Skin::LoadSkinImage("skins\\late.png", first, w, h));
    folder.write("skins\\late.png", SkinFolder::solid(2, 2, Qt::red));
    EXPECT_TRUE(Skin::LoadSkinImage("skins\\late.png", first, w, h));

    // Deleted: gone for the next control.
    QFile::remove(Skin::path("skins\\late.png"));
    EXPECT_FALSE(Skin::LoadSkinImage("skins\\late.png", first, w, h));
}

// A control's image is only sized when the control is made and decoded when first drawn: a file
// removed in between draws nothing. Sizes come from the header of every format the skins use.
TEST(Skin, ControlImagesDecodeWhenFirstDrawn) {
    SkinFolder folder;
    const QImage art = SkinFolder::solid(9, 4, Qt::red);
    folder.write("skins\\compressed.png", art);
    folder.write("skins\\frame.bmp", art);
    testsupport::writeBytes(Skin::path("skins\\stored.png"), StoredPng::encode(art));
    for (const char* name : {"skins\\compressed.png", "skins\\frame.bmp", "skins\\stored.png"}) {
        SCOPED_TRACE(name);
        SkinImage image;
        int width = 0, height = 0;
        ASSERT_TRUE(Skin::LoadSkinImage(name, image, width, height));
        EXPECT_EQ(QSize(width, height), QSize(9, 4));
        EXPECT_EQ(image.size(), QSize(9, 4));
        SkinImage drawnLater = image;
        EXPECT_EQ(image.image().pixel(8, 3), qRgb(255, 0, 0));
        QFile::remove(Skin::path(name));
        EXPECT_TRUE(drawnLater.image().isNull()) << "decoded at its first draw, not when sized";
    }

    SkinImage image;
    int width = 3, height = 3;
    EXPECT_FALSE(Skin::LoadSkinImage("skins\\missing.png", image, width, height));
    testsupport::writeBytes(Skin::path("skins\\junk.png"), "not a png");
    EXPECT_FALSE(Skin::LoadSkinImage("skins\\junk.png", image, width, height));
    EXPECT_TRUE(image.isNull());
    EXPECT_EQ(width, 3);
}

TEST(Skin, BitmapsAreMadeOpaqueOnBlack) {
    SkinFolder folder;
    QImage source(2, 1, QImage::Format_ARGB32);
    source.setPixel(0, 0, qRgba(255, 255, 255, 0));
    source.setPixel(1, 0, qRgba(200, 100, 0, 255));
    folder.write("skins\\Frame_test.bmp", source);
    folder.write("skins\\Frame_alpha.png", source);

    QImage bitmap;
    QSize size;
    ASSERT_TRUE(Skin::LoadSkinBitmap("skins\\Frame_alpha.png", bitmap, size));
    EXPECT_EQ(size, QSize(2, 1));
    EXPECT_FALSE(bitmap.hasAlphaChannel());
    EXPECT_EQ(bitmap.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(bitmap.pixel(1, 0), qRgb(200, 100, 0));
    ASSERT_TRUE(Skin::LoadSkinBitmap("skins\\Frame_test.bmp", bitmap, size));
    EXPECT_EQ(bitmap.pixel(1, 0), qRgb(200, 100, 0));

    const QImage before = bitmap;
    EXPECT_FALSE(Skin::LoadSkinBitmap("skins\\Frame_none.bmp", bitmap, size));
    EXPECT_EQ(bitmap, before);
    EXPECT_EQ(size, QSize(2, 1));
}

TEST(Skin, ResourcesComeFromTheSkinFolderWhenNotBuiltIn) {
    SkinFolder folder;
    QImage image = SkinFolder::solid(1, 1, Qt::white);
    EXPECT_FALSE(Skin::LoadPngResource("PNG", 188, image));
    EXPECT_EQ(image.pixel(0, 0), qRgb(255, 255, 255)) << "untouched on failure";

    folder.write("skins/res/png188.png", SkinFolder::solid(30, 10, Qt::red));
    ASSERT_TRUE(Skin::LoadPngResource("PNG", 188, image));
    EXPECT_EQ(image.size(), QSize(30, 10));

    QImage bitmap;
    QSize size;
    folder.write("skins/res/bitmap364.png", SkinFolder::solid(8, 4, Qt::gray));
    ASSERT_TRUE(Skin::LoadBitmapResource(364, bitmap, size));
    EXPECT_EQ(size, QSize(8, 4));
}

TEST(Skin, AverageColorTruncatesEachChannel) {
    QImage bitmap(2, 1, QImage::Format_RGB32);
    bitmap.setPixel(0, 0, qRgb(255, 0, 0));
    bitmap.setPixel(1, 0, qRgb(0, 0, 255));
    ColorRef color = 0;
    ASSERT_TRUE(Skin::AverageColor(bitmap, QSize(2, 1), color));
    EXPECT_EQ(color, rgb(127, 0, 127));

    // Only the given size is averaged; a size past the pixels averages what is there.
    ASSERT_TRUE(Skin::AverageColor(bitmap, QSize(1, 1), color));
    EXPECT_EQ(color, rgb(255, 0, 0));
    ASSERT_TRUE(Skin::AverageColor(bitmap, QSize(5, 5), color));
    EXPECT_EQ(color, rgb(127, 0, 127));

    color = 0x123456;
    EXPECT_FALSE(Skin::AverageColor(bitmap, QSize(0, 1), color));
    EXPECT_FALSE(Skin::AverageColor(QImage(), QSize(2, 1), color));
    EXPECT_EQ(color, 0x123456u);
}

TEST(Skin, DrawingStretchesWithoutSmoothing) {
    QImage source(2, 1, QImage::Format_RGB32);
    source.setPixel(0, 0, qRgb(255, 0, 0));
    source.setPixel(1, 0, qRgb(0, 0, 255));
    QImage target = canvas(5, 3);
    {
        QPainter painter(&target);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, true); // drawing must turn it off
        Skin::DrawSkinImage(painter, source, {0, 0, 4, 2});
    }
    QSet<QRgb> colours;
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            colours.insert(target.pixel(x, y));
    EXPECT_EQ(colours, (QSet<QRgb>{qRgb(255, 0, 0), qRgb(0, 0, 255)})) << "no blended pixels";
    EXPECT_EQ(target.pixel(1, 1), qRgb(255, 0, 0));
    EXPECT_EQ(target.pixel(2, 1), qRgb(0, 0, 255));
    EXPECT_EQ(target.pixel(4, 0), qRgb(0, 0, 0)) << "nothing outside the destination";
    EXPECT_EQ(target.pixel(0, 2), qRgb(0, 0, 0));

    // One cell of a three-cell strip.
    QImage strip(6, 2, QImage::Format_RGB32);
    for (int x = 0; x < 6; ++x)
        for (int y = 0; y < 2; ++y)
            strip.setPixel(x, y, x < 2 ? qRgb(255, 0, 0) : x < 4 ? qRgb(0, 255, 0) : qRgb(0, 0, 255));
    target = canvas(6, 6);
    {
        QPainter painter(&target);
        Skin::DrawSkinImage(painter, strip, {0, 0, 6, 6}, 2, 2, 2);
        Skin::DrawSkinImage(painter, QImage(), {0, 0, 6, 6}); // a missing image draws nothing
    }
    EXPECT_EQ(target.pixel(0, 0), qRgb(0, 255, 0));
    EXPECT_EQ(target.pixel(5, 5), qRgb(0, 255, 0));
}

TEST(Skin, StateImagesUseTheSizeOfTheLastOneLoaded) {
    SkinFolder folder;
    // A 4 × 4 normal image whose top-left 2 × 2 is red and the rest white; the pressed image is
    // 2 × 2 and loaded last, so only that red corner of the normal image is stretched.
    QImage normal = SkinFolder::solid(4, 4, Qt::white);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x)
            normal.setPixel(x, y, qRgb(255, 0, 0));
    folder.write("skins\\size_nr.png", normal);
    folder.write("skins\\size_ov.png", SkinFolder::solid(3, 3, Qt::green));
    folder.write("skins\\size_dn.png", SkinFolder::solid(2, 2, Qt::blue));

    RecordingWindow parent;
    CCheckButton check(&parent, 3501, {0, 0, 8, 8}, TextLeft, QString());
    check.SetImages("skins\\size_nr.png", "skins\\size_ov.png", "skins\\size_dn.png");
    EXPECT_EQ(check.imageWidth, 2);
    EXPECT_EQ(check.imageHeight, 2);
    QImage target = canvas(8, 8);
    {
        QPainter painter(&target);
        check.Draw(painter, {0, 0, 8, 8});
    }
    EXPECT_EQ(target.pixel(7, 7), qRgb(255, 0, 0));
    EXPECT_EQ(target.pixel(0, 0), qRgb(255, 0, 0));

    // Its file deleted and the images loaded again: the control draws nothing, silently.
    QFile::remove(Skin::path("skins\\size_nr.png"));
    check.SetImages("skins\\size_nr.png", "skins\\size_ov.png", "skins\\size_dn.png");
    target = canvas(8, 8);
    {
        QPainter painter(&target);
        check.Draw(painter, {0, 0, 8, 8});
    }
    EXPECT_EQ(target, canvas(8, 8));
}

TEST(SkinFont, FaceNamesResolveToInstalledFontsAndChineseRenders) {
    const QFont latin = SkinFont::make(16, UiFont::latinFace());
    EXPECT_EQ(latin.family(), UiFont::latinFace()) << "the name in code stays";
    EXPECT_EQ(QFontInfo(latin).family(), "DejaVu Sans");
    const int cell = QFontMetrics(latin).ascent() + QFontMetrics(latin).descent();
    EXPECT_NEAR(cell, 16, 1) << "the height is the cell height";

    const QFont chinese = SkinFont::make(12, UiFont::chineseFace());
    EXPECT_NE(QFontInfo(chinese).family(), UiFont::chineseFace());

    // Real glyphs rather than boxes: two different characters draw differently, in either face.
    for (const auto& [what, font] : {std::pair{"Chinese face", chinese}, {"Latin face", latin}}) {
        SCOPED_TRACE(testing::Message() << what << " (" << font.family().toStdString() << ')');
        QImage zhong = canvas(40, 40), wen = canvas(40, 40);
        for (auto [image, character] :
             {std::pair{&zhong, QStringLiteral("中")}, {&wen, QStringLiteral("文")}}) {
            QPainter painter(image);
            SkinText::draw(painter, {0, 0, 40, 40}, character, TextSingleLine | TextVCenter | TextCenter,
                           font, 0xFFFFFF);
        }
        EXPECT_NE(inkRows(zhong, qRgb(0, 0, 0)).first, -1);
        EXPECT_NE(zhong, wen);
    }
}

TEST(SkinFont, ControlsTakeTheFontSettingsInForceWhenMade) {
    UiFont& settings = UiFont::instance();
    const UiFont saved = settings;
    settings.UiFontFace = UiFont::latinFace();
    settings.UiFontHeight = 24;
    RecordingWindow parent;
    CStaticText big(&parent, 1, {0, 0, 10, 10}, 0xFFFFFF, TextLeft, "x");
    settings = saved;
    CStaticText normal(&parent, 2, {0, 0, 10, 10}, 0xFFFFFF, TextLeft, "x");
    EXPECT_EQ(big.font.family(), UiFont::latinFace());
    EXPECT_GT(big.font.pixelSize(), normal.font.pixelSize());

    big.SetFont(-30, "Tahoma");
    EXPECT_EQ(big.font.pixelSize(), 30) << "a negative height is the character height";
}

TEST(SkinText, SingleLineCentresAndOtherTextStartsAtTheTop) {
    const QFont font = SkinFont::make(16, UiFont::latinFace());
    QImage centred = canvas(100, 60), top = canvas(100, 60);
    {
        QPainter painter(&centred);
        SkinText::draw(painter, {0, 0, 100, 60}, "Hg", SkinText::ControlFormat, font, 0xFFFFFF);
    }
    {
        QPainter painter(&top);
        // The labels' format: centring asked for without a single line has no effect.
        SkinText::draw(painter, {0, 0, 100, 60}, "Hg", TextVCenter | TextWordEllipsis, font, 0xFFFFFF);
    }
    EXPECT_GT(inkRows(centred, qRgb(0, 0, 0)).first, 15);
    EXPECT_LT(inkRows(top, qRgb(0, 0, 0)).first, 8);
}

TEST(SkinText, ControlTextKeepsInsideItsInsetsInTheStateColour) {
    const QFont font = SkinFont::make(16, UiFont::latinFace());
    EXPECT_EQ(SkinText::stateColor(0), 0xB4B4B4u);
    EXPECT_EQ(SkinText::stateColor(1), 0xFFFFFFu);
    EXPECT_EQ(SkinText::stateColor(2), 0x00FFFFu);
    EXPECT_EQ(toQColor(0x00FFFF), QColor(255, 255, 0)) << "0x00BBGGRR";

    QImage image = canvas(120, 30);
    {
        QPainter painter(&image);
        SkinText::drawControlText(painter, {0, 0, 120, 30}, 20, 30, "a very long caption that does not fit",
                                  TextLeft, font, 0x00FFFF);
    }
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 120; ++x) {
            if (x < 20 || x >= 90) {
                ASSERT_EQ(image.pixel(x, y), qRgb(0, 0, 0)) << x << "," << y;
            }
        }
    }
    EXPECT_EQ(image.pixel(22, 0), qRgb(0, 0, 0));
    bool yellow = false;
    for (int y = 0; y < 30 && !yellow; ++y)
        for (int x = 20; x < 90 && !yellow; ++x)
            yellow = image.pixel(x, y) == qRgb(255, 255, 0);
    EXPECT_TRUE(yellow);
}

TEST(UiScale, EachEdgeIsScaledAndTruncatedOnItsOwn) {
    ScaleGuard guard;
    uiScale() = 1.5f;
    EXPECT_EQ(scaled(11), 16);
    EXPECT_EQ(scaledRect(1, 1, 2, 3), (Rect{1, 1, 3, 4})) << "width 2, not 1.5 truncated";
    uiScale() = 2.0f;
    EXPECT_EQ(scaledRect(300, 4, 315, 19), (Rect{600, 8, 630, 38}));
}

// A control's image drawn whole at half its size is read at that size (a quarter of the pixels)
// and must show exactly what drawing the whole image scaled shows: for artwork in the generator's
// form and in any other, translucent or not, on whole-pixel offsets and, where the shortcut does
// not apply (an odd side, another size, a fractional offset, a scaled painter), through the
// ordinary path.
TEST(Skin, HalfSizeDrawingShowsWhatScalingShows) {
    QTemporaryDir folder;
    const auto pattern = [](int width, int height, bool alpha) {
        QImage image(width, height, QImage::Format_ARGB32);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                image.setPixel(x, y,
                               qRgba(x * 9 & 0xFF, y * 17 & 0xFF, (x ^ y) * 5 & 0xFF,
                                     alpha && x > width / 3 ? (x * 37 + y * 11) & 0xFF : 0xFF));
        return image;
    };
    const auto stored = [&](const QString& name, const QImage& image) {
        QFile file(folder.filePath(name));
        return file.open(QIODevice::WriteOnly) && file.write(StoredPng::encode(image)) > 0;
    };
    ASSERT_TRUE(stored("alpha.png", pattern(40, 30, true)));
    ASSERT_TRUE(stored("opaque.png", pattern(40, 30, false)));
    ASSERT_TRUE(stored("odd.png", pattern(41, 30, true)));
    ASSERT_TRUE(pattern(40, 30, true).save(folder.filePath("compressed.png"))); // Qt's own PNG

    struct Case {
        const char* name;
        const char* file;
        Rect dest;
        QTransform transform;
        bool halfRead;
    } cases[] = {
        {"translucent", "alpha.png", {3, 5, 23, 20}, {}, true},
        {"opaque", "opaque.png", {0, 0, 20, 15}, {}, true},
        {"other PNG", "compressed.png", {7, 1, 27, 16}, {}, true},
        {"whole-pixel offset", "alpha.png", {3, 5, 23, 20}, QTransform::fromTranslate(2, 3), true},
        {"odd width", "odd.png", {3, 5, 23, 20}, {}, false},
        {"not half", "alpha.png", {3, 5, 24, 20}, {}, false},
        {"fractional offset", "alpha.png", {3, 5, 23, 20}, QTransform::fromTranslate(0.5, 0), false},
        {"scaled painter", "alpha.png", {3, 5, 23, 20}, QTransform::fromScale(2, 2), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Skin::clearCache();
        const QString file = folder.filePath(QString::fromLatin1(c.file));
        SkinImage image;
        int width = 0, height = 0;
        ASSERT_TRUE(Skin::LoadSkinImage(file, image, width, height));
        QImage whole;
        ASSERT_TRUE(Skin::LoadSkinImage(file, whole, width, height));

        QImage shortcut = canvas(70, 50, QColor(30, 60, 90)), scaled = shortcut;
        {
            QPainter painter(&shortcut);
            painter.setTransform(c.transform);
            Skin::DrawSkinImage(painter, image, c.dest);
        }
        {
            QPainter painter(&scaled);
            painter.setTransform(c.transform);
            Skin::DrawSkinImage(painter, whole, c.dest);
        }
        EXPECT_EQ(shortcut, scaled);
        QImage half;
        EXPECT_EQ(Skin::LoadHalfSkinImage(file, half), QLatin1String(c.file) != QLatin1String("odd.png"));
        if (c.halfRead) {
            EXPECT_EQ(image.half().size(), whole.size() / 2);
        }
    }
    Skin::clearCache();
}

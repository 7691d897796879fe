#include "toolkit/ImageArena.h"

#include <gtest/gtest.h>
#include <vector>

// Arena images are ordinary images to their users: every pixel addressable with the format's own
// line length, and a copy that is written to leaves the original alone.
TEST(ImageArena, ImagesBehaveLikeOrdinaryOnes) {
    struct Case {
        int width, height;
        QImage::Format format;
    };
    const Case cases[] = {
        {1, 1, QImage::Format_RGB32},
        {3, 5, QImage::Format_RGB888}, // 9-byte rows padded to 12
        {1127, 740, QImage::Format_RGB32},
        {257, 33, QImage::Format_ARGB32_Premultiplied},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width);
        QImage image = ImageArena::allocate(c.width, c.height, c.format);
        ASSERT_FALSE(image.isNull());
        const QImage plain(c.width, c.height, c.format);
        EXPECT_EQ(image.bytesPerLine(), plain.bytesPerLine());
        EXPECT_EQ(image.format(), c.format);
        image.fill(Qt::red);
        image.setPixel(c.width - 1, c.height - 1, qRgb(0, 0, 255));

        QImage copy = image;
        copy.setPixel(0, 0, qRgb(0, 255, 0));
        EXPECT_EQ(image.pixel(0, 0), c.width == 1 && c.height == 1 ? qRgb(0, 0, 255) : qRgb(255, 0, 0));
        EXPECT_EQ(copy.pixel(0, 0), qRgb(0, 255, 0));
        EXPECT_EQ(image.pixel(c.width - 1, c.height - 1), qRgb(0, 0, 255));
    }
    EXPECT_TRUE(ImageArena::allocate(0, 10, QImage::Format_RGB32).isNull());
    EXPECT_TRUE(ImageArena::allocate(10, -1, QImage::Format_RGB32).isNull());
}

// Memory goes back once the images of a region are gone: a large image's own region at once, a
// filled region when the next one is in use. Other tests' images may share the open region, so
// only what these images add is counted.
TEST(ImageArena, RegionsAreReturnedWhenTheirImagesAreGone) {
    const int before = ImageArena::regions();
    const std::size_t bytesBefore = ImageArena::mappedBytes();
    {
        const QImage large = ImageArena::allocate(6000, 1000, QImage::Format_RGB32); // 24 MB
        ASSERT_FALSE(large.isNull());
        EXPECT_EQ(ImageArena::regions(), before + 1);
    }
    EXPECT_EQ(ImageArena::regions(), before);
    EXPECT_EQ(ImageArena::mappedBytes(), bytesBefore);

    int peak = before;
    {
        std::vector<QImage> images; // 9 × 4 MB: more than one region holds
        for (int i = 0; i < 9; ++i) {
            images.push_back(ImageArena::allocate(1024, 1024, QImage::Format_RGB32));
            ASSERT_FALSE(images.back().isNull());
            peak = std::max(peak, ImageArena::regions());
        }
        EXPECT_GE(peak, before + 1);
    }
    EXPECT_LE(ImageArena::regions(), before + 1);
}

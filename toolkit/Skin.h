#pragma once

#include "toolkit/ColorRef.h"
#include "toolkit/Rect.h"

#include <QImage>
#include <QSize>
#include <QString>

class QPainter;
class SkinImage;

// Skin images: where they live, how they are loaded and how they are drawn.
//
// Names stay as written in code ("skins\check_nr.png") and resolve against the skin folder.
// Decoded images are shared process-wide by file: two controls showing the same file hold the
// same pixels, and a file whose modification time or size changed is read again (so frames can
// be "loaded" on every paint for the price of a stat). A missing or unreadable file is never
// reported; it loads as a null image, which draws nothing. User-interface thread only.
class Skin {
public:
    // VIREO_SKIN_DIR when set, else "skins" in the share folder (AppPaths); no trailing "/".
    static QString root();
    // The file a skin name refers to: "skins\mouse\number1.png" → "<root>/mouse/number1.png".
    // Absolute paths and Qt resource paths (":/...") are taken as they are.
    static QString path(const QString& name);

    // Loads a skin image into `image` (a null image when it fails). On success writes its size
    // into width and height and returns true; on failure leaves them as they were.
    static bool LoadSkinImage(const QString& name, QImage& image, int& width, int& height);
    // The same for an image decoded when first drawn; only the file's header is read now.
    static bool LoadSkinImage(const QString& name, SkinImage& image, int& width, int& height);
    // A skin image as it shows drawn at half its size without smoothing (its even pixels of its
    // even rows); false, with a null image, when there is none or a side is odd.
    static bool LoadHalfSkinImage(const QString& name, QImage& image);
    // Loads a frame or background picture made opaque on black (transparent parts become black).
    // `bitmap` and `size` change only on success.
    static bool LoadSkinBitmap(const QString& name, QImage& bitmap, QSize& size);
    // Loads an image the program carries as a resource, by type name ("PNG", "BITMAP") and number:
    // the Qt resource ":/res/<type><number>.png" (type in lower case), else the file
    // "res/<type><number>.png" of the skin folder. `image` changes only on success.
    static bool LoadPngResource(const QString& type, int number, QImage& image);
    // The same for bitmap resources (the main background, the colour palette), made opaque.
    static bool LoadBitmapResource(int number, QImage& bitmap, QSize& size);

    // The mean colour of the top-left size.width() × size.height() pixels of `bitmap`, each
    // channel summed and divided with truncation. False, leaving `color` alone, when there are no
    // such pixels.
    static bool AverageColor(const QImage& bitmap, const QSize& size, ColorRef& color);

    // The one way images are drawn: the source (srcX, 0, srcWidth, srcHeight) stretched over
    // `dest` with nearest-neighbour sampling. A null image or an empty rectangle draws nothing.
    static void DrawSkinImage(QPainter& painter, const QImage& image, const Rect& dest, int srcX,
                              int srcWidth, int srcHeight);
    // The whole image stretched over `dest`.
    static void DrawSkinImage(QPainter& painter, const QImage& image, const Rect& dest);
    // Any region of the image stretched over `dest`.
    static void DrawSkinImage(QPainter& painter, const QImage& image, const Rect& dest, const QRect& source);
    // The same for a control's image. The artwork is made at twice the size of the window at scale
    // 1: drawn there whole at half size, it is decoded at that size and copied, which shows the same
    // pixels for a quarter of the memory and none of the scaling.
    static void DrawSkinImage(QPainter& painter, const SkinImage& image, const Rect& dest, int srcX,
                              int srcWidth, int srcHeight);
    static void DrawSkinImage(QPainter& painter, const SkinImage& image, const Rect& dest,
                              const QRect& source);
    static void DrawSkinImage(QPainter& painter, const SkinImage& image, const Rect& dest);

    // Forgets every decoded image (controls keep the ones they hold).
    static void clearCache();
};

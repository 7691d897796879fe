#include "toolkit/Skin.h"

#include "base/AppPaths.h"
#include "toolkit/SkinImage.h"
#include "toolkit/StoredPng.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QPainter>
#include <QTransform>
#include <cmath>
#include <utility>

namespace {
struct CacheEntry {
    QImage image; // null when the file could not be read
    QDateTime modified;
    qint64 size = -1;
};

// Keyed by kind ("i" plain, "b" made opaque, "h" half size) and file path.
QHash<QString, CacheEntry>& cache() {
    static QHash<QString, CacheEntry> entries;
    return entries;
}

// Formats the raster painter draws without converting on every paint.
QImage drawable(QImage image) {
    if (image.isNull())
        return image;
    // In place: a second buffer per image is what made start-up fault in fresh pages.
    return image.hasAlphaChannel() ? std::move(image).convertToFormat(QImage::Format_ARGB32_Premultiplied)
                                   : std::move(image).convertToFormat(QImage::Format_RGB32);
}

QImage opaqueOnBlack(QImage image) {
    if (image.isNull() || !image.hasAlphaChannel())
        return image.isNull() ? image : std::move(image).convertToFormat(QImage::Format_RGB32);
    QImage out(image.size(), QImage::Format_RGB32);
    out.fill(Qt::black);
    QPainter painter(&out);
    painter.drawImage(0, 0, image);
    return out;
}

QImage decode(const QString& file, bool opaque, bool half) {
    if (half)
        return drawable(StoredPng::readHalf(file));
    QImage image = StoredPng::read(file);
    return opaque ? opaqueOnBlack(image) : drawable(image);
}

// The decoded file, read again only when the file changed since it was cached.
// `half`: the image as drawn at half its size (StoredPng::readHalf).
QImage cachedImage(const QString& file, bool opaque, bool half = false) {
    const QString key = (half     ? QStringLiteral("h")
                         : opaque ? QStringLiteral("b")
                                  : QStringLiteral("i")) +
                        file;
    auto& entries = cache();
    const bool resource = file.startsWith(QLatin1Char(':'));
    QFileInfo info;
    if (!resource)
        info = QFileInfo(file);
    const auto it = entries.find(key);
    if (it != entries.end()) {
        if (resource)
            return it->image;
        if (!info.exists() && it->size < 0)
            return it->image;
        if (info.exists() && it->size == info.size() && it->modified == info.lastModified())
            return it->image;
    }
    CacheEntry entry;
    if (resource || info.exists()) {
        entry.image = decode(file, opaque, half);
        if (!resource) {
            entry.size = info.size();
            entry.modified = info.lastModified();
        }
    }
    entries.insert(key, entry);
    return entry.image;
}

struct Header {
    QSize size;
    qint64 bytes = -1;
    QDateTime modified;
};

QHash<QString, Header>& headerCache() {
    static QHash<QString, Header> headers;
    return headers;
}

// The size of an image file from its header, remembered while the file stays as it was: the main
// window alone asks for some images a dozen times. Empty when the file has no image.
QSize imageSize(const QString& file) {
    QHash<QString, Header>& headers = headerCache();
    const QFileInfo info(file);
    if (!info.exists())
        return StoredPng::size(file); // a Qt resource, or nothing
    auto it = headers.find(file);
    if (it == headers.end() || it->bytes != info.size() || it->modified != info.lastModified())
        it = headers.insert(file, {StoredPng::size(file), info.size(), info.lastModified()});
    return it->size;
}

QString resourceFile(const QString& type, int number) {
    const QString base = type.toLower() + QString::number(number) + QStringLiteral(".png");
    const QString qtResource = QStringLiteral(":/res/") + base;
    if (QFileInfo::exists(qtResource))
        return qtResource;
    return Skin::root() + QStringLiteral("/res/") + base;
}
} // namespace

QString Skin::root() {
    QString folder = qEnvironmentVariable("VIREO_SKIN_DIR");
    if (folder.isEmpty())
        folder = AppPaths::shareFolder() + QStringLiteral("skins");
    while (folder.size() > 1 && folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    return folder;
}

QString Skin::path(const QString& name) {
    QString native = AppPaths::toNative(name);
    if (native.startsWith(QLatin1Char(':')) || QDir::isAbsolutePath(native))
        return native;
    static const QString prefix = QStringLiteral("skins/");
    if (native.startsWith(prefix))
        native.remove(0, prefix.size());
    return root() + QLatin1Char('/') + native;
}

bool Skin::LoadSkinImage(const QString& name, QImage& image, int& width, int& height) {
    image = cachedImage(path(name), false);
    if (image.isNull())
        return false;
    width = image.width();
    height = image.height();
    return true;
}

bool Skin::LoadSkinImage(const QString& name, SkinImage& image, int& width, int& height) {
    const QString file = path(name);
    const QSize size = imageSize(file);
    if (size.isEmpty()) {
        image = SkinImage();
        return false;
    }
    image.setFile(file, size);
    width = size.width();
    height = size.height();
    return true;
}

bool Skin::LoadHalfSkinImage(const QString& name, QImage& image) {
    image = cachedImage(path(name), false, true);
    return !image.isNull();
}

bool Skin::LoadSkinBitmap(const QString& name, QImage& bitmap, QSize& size) {
    const QImage image = cachedImage(path(name), true);
    if (image.isNull())
        return false;
    bitmap = image;
    size = image.size();
    return true;
}

bool Skin::LoadPngResource(const QString& type, int number, QImage& image) {
    const QImage loaded = cachedImage(resourceFile(type, number), false);
    if (loaded.isNull())
        return false;
    image = loaded;
    return true;
}

bool Skin::LoadBitmapResource(int number, QImage& bitmap, QSize& size) {
    const QImage loaded = cachedImage(resourceFile(QStringLiteral("BITMAP"), number), true);
    if (loaded.isNull())
        return false;
    bitmap = loaded;
    size = loaded.size();
    return true;
}

bool Skin::AverageColor(const QImage& bitmap, const QSize& size, ColorRef& color) {
    const int width = std::min(size.width(), bitmap.width());
    const int height = std::min(size.height(), bitmap.height());
    if (bitmap.isNull() || width <= 0 || height <= 0)
        return false;
    const QImage pixels = bitmap.format() == QImage::Format_RGB32 || bitmap.format() == QImage::Format_ARGB32
                              ? bitmap
                              : bitmap.convertToFormat(QImage::Format_RGB32);
    uint64_t red = 0, green = 0, blue = 0;
    for (int y = 0; y < height; ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(pixels.constScanLine(y));
        // Row sums in 32 bits (255 × 16 M pixels fit): the background alone has 834,000 pixels.
        uint32_t rowRed = 0, rowGreen = 0, rowBlue = 0;
        for (int x = 0; x < width; ++x) {
            rowRed += (line[x] >> 16) & 0xFFu;
            rowGreen += (line[x] >> 8) & 0xFFu;
            rowBlue += line[x] & 0xFFu;
        }
        red += rowRed;
        green += rowGreen;
        blue += rowBlue;
    }
    const uint64_t count = uint64_t(width) * uint64_t(height);
    color = rgb(int(red / count), int(green / count), int(blue / count));
    return true;
}

void Skin::DrawSkinImage(QPainter& painter, const QImage& image, const Rect& dest, int srcX, int srcWidth,
                         int srcHeight) {
    DrawSkinImage(painter, image, dest, QRect(srcX, 0, srcWidth, srcHeight));
}

void Skin::DrawSkinImage(QPainter& painter, const QImage& image, const Rect& dest, const QRect& source) {
    if (image.isNull() || dest.isEmpty() || source.isEmpty())
        return;
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    const QRect target = dest.toQRect();
    if (target.size() == source.size())
        painter.drawImage(target.topLeft(), image, source);
    else
        painter.drawImage(target, image, source);
}

void Skin::DrawSkinImage(QPainter& painter, const QImage& image, const Rect& dest) {
    DrawSkinImage(painter, image, dest, 0, image.width(), image.height());
}

void Skin::DrawSkinImage(QPainter& painter, const SkinImage& image, const Rect& dest, int srcX, int srcWidth,
                         int srcHeight) {
    DrawSkinImage(painter, image, dest, QRect(srcX, 0, srcWidth, srcHeight));
}

void Skin::DrawSkinImage(QPainter& painter, const SkinImage& image, const Rect& dest, const QRect& source) {
    if (image.isNull() || dest.isEmpty() || source.isEmpty())
        return;
    const QRect target = dest.toQRect();
    const QSize size = image.size();
    const QTransform device = painter.deviceTransform();
    // Only where nearest-pixel scaling by one half picks exactly the even pixels of the even rows.
    const bool halfOnPixels =
        source == QRect(QPoint(0, 0), size) && size.width() % 2 == 0 && size.height() % 2 == 0 &&
        target.size() * 2 == size && device.type() <= QTransform::TxTranslate &&
        device.dx() == std::floor(device.dx()) && device.dy() == std::floor(device.dy());
    if (halfOnPixels) {
        const QImage& half = image.half();
        if (!half.isNull()) {
            painter.drawImage(target.topLeft(), half);
            return;
        }
    }
    DrawSkinImage(painter, image.image(), dest, source);
}

void Skin::DrawSkinImage(QPainter& painter, const SkinImage& image, const Rect& dest) {
    DrawSkinImage(painter, image, dest, 0, image.width(), image.height());
}

void Skin::clearCache() {
    cache().clear();
    headerCache().clear();
}

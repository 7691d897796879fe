// vireo_skingen OUTDIR [COUNT]: draws every skin image of SkinNames.h into OUTDIR/skins/...
// COUNT is how many names the build read from the table; a different count fails, so the build
// never tracks fewer images than the table has.
// vireo_skingen --icons OUTDIR NAME SIZE...: draws the application icon (the artwork of
// skins/res/icon128.png) at each SIZE, as OUTDIR/<SIZE>x<SIZE>/apps/NAME.png.

#include "toolkit/SkinNames.h"
#include "toolkit/StoredPng.h"
#include "tools/skingen/MouseArt.h"
#include "tools/skingen/SkinArtist.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageWriter>
#include <QSaveFile>
#include <cstdio>

namespace {

// Writes through a temporary file so a build interrupted half-way never leaves a broken image.
// Skin art is stored uncompressed and unfiltered: the program reads it at every start, and a few
// hundred kB more on disk buy a start that copies rows instead of inflating them.
bool writeImage(const QImage& image, const QString& path, bool uncompressed) {
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray format = path.endsWith(QLatin1String(".bmp")) ? "BMP" : "PNG";
    if (uncompressed && format == "PNG") {
        const QByteArray stored = StoredPng::encode(image);
        if (stored.isEmpty() || file.write(stored) != stored.size()) {
            file.cancelWriting();
            return false;
        }
        return file.commit();
    }
    QImageWriter writer(&file, format);
    if (!writer.write(image)) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

QImage withoutUnusedAlpha(const QImage& image) {
    if (!image.hasAlphaChannel())
        return image;
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x)
            if (qAlpha(line[x]) != 255)
                return image;
    }
    return argb.convertToFormat(QImage::Format_RGB32);
}

int drawIcons(const QDir& out, const QString& name, const QStringList& sizes) {
    int failures = 0;
    for (const QString& text : sizes) {
        bool ok = false;
        const int size = text.toInt(&ok);
        if (!ok || size < 1 || size > 4096) {
            std::fprintf(stderr, "vireo_skingen: not an icon size: %s\n", qPrintable(text));
            ++failures;
            continue;
        }
        const QString path = out.filePath(QStringLiteral("%1x%1/apps/%2.png").arg(size).arg(name));
        if (!writeImage(MouseArt::icon(size), path, false)) {
            std::fprintf(stderr, "vireo_skingen: cannot write %s\n", qPrintable(path));
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    // Text needs a GUI application; the offscreen platform keeps the build headless.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() >= 5 && args.at(1) == QLatin1String("--icons"))
        return drawIcons(QDir(args.at(2)), args.at(3), args.mid(4));
    if (args.size() != 2 && args.size() != 3) {
        std::fprintf(stderr,
                     "usage: vireo_skingen OUTDIR [COUNT] | vireo_skingen --icons OUTDIR NAME SIZE...\n");
        return 2;
    }
    if (args.size() == 3 && args.at(2) != QString::number(SkinFileCount)) {
        std::fprintf(stderr,
                     "vireo_skingen: the build read %s names from toolkit/SkinNames.h, the table has %zu\n",
                     qPrintable(args.at(2)), SkinFileCount);
        return 1;
    }
    const QDir out(args.at(1));
    int failures = 0;
    for (const SkinFile& file : SkinFiles) {
        const QString relative = QString::fromLatin1(file.name).replace(QLatin1Char('\\'), QLatin1Char('/'));
        const QImage image = SkinArtist::draw(file);
        if (image.isNull() || image.width() != file.width || image.height() != file.height) {
            std::fprintf(stderr, "vireo_skingen: cannot draw %s\n", file.name);
            ++failures;
            continue;
        }
        // Art without a see-through pixel goes out without an alpha channel: it decodes straight
        // into the opaque format the program draws, with no second copy to convert it.
        // The tray strips are read once per change of the battery, not at start: compressed they
        // are a tenth of the size.
        const bool uncompressed = file.kind != SkinKind::TrayBattery;
        if (!writeImage(withoutUnusedAlpha(image), out.filePath(relative), uncompressed)) {
            std::fprintf(stderr, "vireo_skingen: cannot write %s\n", qPrintable(out.filePath(relative)));
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}

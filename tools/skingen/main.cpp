// vireo_skingen OUTDIR [COUNT]: draws every skin image of SkinNames.h into OUTDIR/skins/...
// COUNT is how many names the build read from the table; a different count fails, so the build
// never tracks fewer images than the table has.

#include "toolkit/SkinNames.h"
#include "tools/skingen/SkinArtist.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageWriter>
#include <QSaveFile>
#include <cstdio>

namespace {

// Writes through a temporary file so a build interrupted half-way never leaves a broken image.
bool writeImage(const QImage& image, const QString& path) {
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray format = path.endsWith(QLatin1String(".bmp")) ? "BMP" : "PNG";
    QImageWriter writer(&file, format);
    if (!writer.write(image)) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace

int main(int argc, char** argv) {
    // Text needs a GUI application; the offscreen platform keeps the build headless.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2 && args.size() != 3) {
        std::fprintf(stderr, "usage: vireo_skingen OUTDIR [COUNT]\n");
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
        if (!writeImage(image, out.filePath(relative))) {
            std::fprintf(stderr, "vireo_skingen: cannot write %s\n", qPrintable(out.filePath(relative)));
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}

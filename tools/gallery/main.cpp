// Draws every control of the skinned toolkit in each of its looks, the notice and the progress
// dialog, at layout scales 1 and 2: vireo_gallery OUTDIR writes OUTDIR/scale<N>/<Class>_<look>.png
// and a labelled contact sheet OUTDIR/scale<N>/sheet.png. Exits non-zero when a picture comes out
// empty or cannot be written, so a broken control or a missing skin folder shows up in scripts.
#include "base/AppPaths.h"
#include "base/LangText.h"
#include "base/LanguageLoader.h"
#include "base/TextFile.h"
#include "base/UiFont.h"
#include "toolkit/CAttentionDlg.h"
#include "toolkit/CProgressBarDlg.h"
#include "toolkit/Skin.h"
#include "toolkit/UiScale.h"
#include "tools/gallery/Specimens.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QPainter>
#include <cstdio>
#include <utility>
#include <vector>

namespace {
struct SheetRow {
    QString title;
    std::vector<std::pair<QString, QImage>> cells; // look name, picture
};

int failures = 0;

// False when every pixel is the same: nothing was drawn over the background.
bool hasContent(const QImage& image) {
    const QImage pixels = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb first = pixels.pixel(0, 0);
    for (int y = 0; y < pixels.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(pixels.constScanLine(y));
        for (int x = 0; x < pixels.width(); ++x)
            if (line[x] != first)
                return true;
    }
    return false;
}

void save(const QImage& image, const QString& folder, const QString& name) {
    const QString file = QDir(folder).filePath(name + QStringLiteral(".png"));
    if (image.isNull() || image.width() <= 0 || image.height() <= 0) {
        std::fprintf(stderr, "empty picture: %s\n", qPrintable(file));
        ++failures;
    } else if (!hasContent(image)) {
        std::fprintf(stderr, "nothing drawn: %s\n", qPrintable(file));
        ++failures;
    } else if (!image.save(file, "PNG")) {
        std::fprintf(stderr, "could not write %s\n", qPrintable(file));
        ++failures;
    } else {
        std::printf("%s\n", qPrintable(file));
    }
}

QString textOr(int number, const char* fallback) {
    const QString& text = LangText::instance().text(number);
    return text.isEmpty() ? QString::fromUtf8(fallback) : text;
}

// The shipped English texts, when they are there; the captions the gallery needs have fallbacks.
void loadEnglishTexts() {
    QStringList lines;
    const QString file = AppPaths::shareFolder() + QStringLiteral("data/Lan_EN.txt");
    if (TextFile::readLines(file, lines))
        LanguageLoader::loadEntries(lines, LangText::instance());
}

// Controls sit on the main window's background; its mean colour stands in for it.
ColorRef stageColor() {
    ColorRef color = 0x1E1E1E;
    QImage bitmap;
    QSize size;
    if (Skin::LoadBitmapResource(364, bitmap, size))
        Skin::AverageColor(bitmap, size, color);
    return color;
}

QImage renderLook(const Specimen& specimen, const Look& look, ColorRef background) {
    GalleryStage stage;
    const Scene scene = specimen.build(stage, look.disabled);
    if (look.drive)
        for (const auto& control : scene.subjects)
            look.drive(*control);

    QImage image(scaled(specimen.designSize.width()), scaled(specimen.designSize.height()),
                 QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return image;
    image.fill(toQColor(background));
    QPainter painter(&image);
    const Rect all{0, 0, image.width(), image.height()};
    for (const auto* list : {&scene.backdrop, &scene.subjects})
        for (const auto& control : *list)
            if (control->isActive())
                control->Draw(painter, all);
    return image;
}

QImage renderNotice(bool okHover) {
    CAttentionDlg notice(textOr(150, "Notice"), textOr(151, "At least one button must be Left Click."));
    notice.Initialize();
    if (okHover)
        if (const CControlBase* ok = notice.FindControl(CDlgBase::OkButtonId))
            notice.RouteMouseMove(
                0, {(ok->rect.left + ok->rect.right) / 2, (ok->rect.top + ok->rect.bottom) / 2});
    return notice.grab().toImage();
}

// Half filled: the fill timer is run by hand 25 times (2 % each), then stopped so it neither goes
// on nor closes the dialog.
QImage renderProgressMidway() {
    CProgressBarDlg progress(QStringLiteral("Saving"), QString());
    progress.Initialize();
    MessageTable& timers = progress.messages();
    for (int i = 0; i < 25; ++i)
        timers.fireTimer(CProgressBarDlg::FillTimer);
    timers.killTimer(CProgressBarDlg::FillTimer);
    return progress.grab().toImage();
}

// One row per class: its name, then each look with its name under it.
QImage contactSheet(const std::vector<SheetRow>& rows, int scale) {
    QFont labelFont(QStringLiteral("DejaVu Sans"));
    labelFont.setPixelSize(12 * scale);
    QFont titleFont = labelFont;
    titleFont.setBold(true);
    const QFontMetrics label(labelFont), title(titleFont);
    const int margin = 12 * scale;
    const int gap = 10 * scale;
    const int labelGap = 4 * scale;

    const auto cellWidth = [&](const std::pair<QString, QImage>& cell) {
        return std::max(cell.second.width(), label.horizontalAdvance(cell.first));
    };
    const auto rowHeight = [](const SheetRow& row) {
        int height = 0;
        for (const auto& cell : row.cells)
            height = std::max(height, cell.second.height());
        return height;
    };
    int width = 0;
    int height = margin;
    for (const SheetRow& row : rows) {
        int rowWidth = margin + title.horizontalAdvance(row.title);
        int cellsWidth = margin;
        for (const auto& cell : row.cells)
            cellsWidth += cellWidth(cell) + gap;
        rowWidth = std::max(rowWidth, cellsWidth - gap);
        width = std::max(width, rowWidth + margin);
        height += title.height() + labelGap + rowHeight(row) + labelGap + label.height() + 2 * gap;
    }

    QImage sheet(std::max(width, 1), std::max(height, 1), QImage::Format_ARGB32_Premultiplied);
    if (sheet.isNull())
        return sheet;
    sheet.fill(QColor(32, 32, 32));
    QPainter painter(&sheet);
    int y = margin;
    for (const SheetRow& row : rows) {
        painter.setFont(titleFont);
        painter.setPen(QColor(240, 240, 240));
        painter.drawText(QRect(margin, y, width - 2 * margin, title.height()),
                         Qt::AlignLeft | Qt::AlignVCenter, row.title);
        y += title.height() + labelGap;
        const int pictureHeight = rowHeight(row);
        painter.setFont(labelFont);
        painter.setPen(QColor(200, 200, 200));
        int x = margin;
        for (const auto& cell : row.cells) {
            const int w = cellWidth(cell);
            painter.drawImage(x + (w - cell.second.width()) / 2, y, cell.second);
            painter.drawText(QRect(x, y + pictureHeight + labelGap, w, label.height()), Qt::AlignCenter,
                             cell.first);
            x += w + gap;
        }
        y += pictureHeight + labelGap + label.height() + 2 * gap;
    }
    return sheet;
}

void renderScale(int scale, const QString& outputFolder) {
    uiScale() = float(scale);
    LanguageLoader::applyFont(LangText::instance(), scale, UiFont::instance());
    const QString folder = QDir(outputFolder).filePath(QStringLiteral("scale%1").arg(scale));
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "could not create %s\n", qPrintable(folder));
        ++failures;
        return;
    }

    const ColorRef background = stageColor();
    std::vector<SheetRow> rows;
    for (const Specimen& specimen : controlSpecimens()) {
        SheetRow row{specimen.className, {}};
        for (const Look& look : specimen.looks) {
            QImage image = renderLook(specimen, look, background);
            save(image, folder, specimen.className + u'_' + look.name);
            row.cells.emplace_back(look.name, std::move(image));
        }
        rows.push_back(std::move(row));
    }

    SheetRow notice{QStringLiteral("CAttentionDlg"), {}};
    for (bool okHover : {false, true}) {
        const QString look = okHover ? QStringLiteral("ok_hover") : QStringLiteral("normal");
        QImage image = renderNotice(okHover);
        save(image, folder, notice.title + u'_' + look);
        notice.cells.emplace_back(look, std::move(image));
    }
    rows.push_back(std::move(notice));

    SheetRow progress{QStringLiteral("CProgressBarDlg"), {}};
    QImage midway = renderProgressMidway();
    save(midway, folder, progress.title + QStringLiteral("_midway"));
    progress.cells.emplace_back(QStringLiteral("midway"), std::move(midway));
    rows.push_back(std::move(progress));

    save(contactSheet(rows, scale), folder, QStringLiteral("sheet"));
}
} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: vireo_gallery OUTDIR\n");
        return 2;
    }
    // Without the skins every picture would come out as bare colour fills.
    if (!QFileInfo(Skin::root()).isDir()) {
        std::fprintf(stderr, "no skin folder at %s (set VIREO_SKIN_DIR)\n", qPrintable(Skin::root()));
        return 1;
    }
    loadEnglishTexts();
    const QString outputFolder = QString::fromLocal8Bit(argv[1]);
    for (int scale : {1, 2})
        renderScale(scale, outputFolder);
    if (failures > 0)
        std::fprintf(stderr, "%d picture(s) failed\n", failures);
    return failures == 0 ? 0 : 1;
}

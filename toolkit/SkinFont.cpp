#include "toolkit/SkinFont.h"

#include "base/UiFont.h"

#include <QFontMetricsF>
#include <QHash>
#include <QStringList>

namespace {
const QStringList& cjkFaces() {
    static const QStringList faces = {
        QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC"),
        QStringLiteral("Noto Sans SC"),        QStringLiteral("Source Han Sans SC"),
        QStringLiteral("Droid Sans Fallback"), QStringLiteral("AR PL UMing CN"),
    };
    return faces;
}

// Pixel size per unit of cell height, by face; measuring is slow enough to remember.
double cellRatio(const QString& face) {
    static QHash<QString, double> ratios;
    const auto it = ratios.constFind(face);
    if (it != ratios.constEnd())
        return *it;
    // Matched like the fonts it measures for, so that both share one fallback search.
    QFont probe(face);
    probe.setStyleHint(QFont::SansSerif);
    probe.setWeight(QFont::Normal);
    probe.setPixelSize(100);
    const QFontMetricsF metrics(probe);
    const double cell = metrics.ascent() + metrics.descent();
    const double ratio = cell > 0 ? 100.0 / cell : 1.0;
    ratios.insert(face, ratio);
    return ratio;
}
} // namespace

void SkinFont::installSubstitutions() {
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    QStringList chinese = cjkFaces();
    chinese << QStringLiteral("DejaVu Sans");
    QFont::insertSubstitutions(UiFont::chineseFace(), chinese);
    QStringList latin = {QStringLiteral("DejaVu Sans")};
    latin << cjkFaces();
    QFont::insertSubstitutions(UiFont::latinFace(), latin);
}

QFont SkinFont::make(int height, const QString& face) {
    installSubstitutions();
    if (height == 0)
        height = UiFont::instance().UiFontHeight;
    QFont font(face);
    font.setStyleHint(QFont::SansSerif);
    font.setWeight(QFont::Normal);
    const int pixels = height < 0 ? -height : qRound(height * cellRatio(face));
    font.setPixelSize(pixels > 0 ? pixels : 1);
    return font;
}

QFont SkinFont::uiFont() {
    const UiFont& settings = UiFont::instance();
    return make(settings.UiFontHeight, settings.UiFontFace);
}

QFont SkinFont::dialogFont() {
    installSubstitutions();
    QFont font(UiFont::instance().UiFontFace);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(10);
    font.setWeight(QFont::DemiBold);
    return font;
}

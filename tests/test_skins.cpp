#include "tests/TestSupport.h"
#include "toolkit/SkinNames.h"

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QSize>
#include <optional>

namespace {

enum class ImageKind { Png, Bmp };

struct ImageHeader {
    ImageKind kind;
    QSize size;
};

quint32 bigEndian32(const QByteArray& b, int at) {
    return quint32(quint8(b[at])) << 24 | quint32(quint8(b[at + 1])) << 16 | quint32(quint8(b[at + 2])) << 8 |
           quint32(quint8(b[at + 3]));
}

qint32 littleEndian32(const QByteArray& b, int at) {
    return qint32(quint32(quint8(b[at])) | quint32(quint8(b[at + 1])) << 8 |
                  quint32(quint8(b[at + 2])) << 16 | quint32(quint8(b[at + 3])) << 24);
}

// Reads the format and pixel size from the file's own header, so the check needs no image decoder
// and a PNG saved under a .bmp name is caught.
std::optional<ImageHeader> readHeader(const QByteArray& bytes) {
    static const QByteArray pngSignature("\x89PNG\r\n\x1a\n", 8);
    if (bytes.size() >= 24 && bytes.startsWith(pngSignature) && bytes.mid(12, 4) == "IHDR")
        return ImageHeader{ImageKind::Png, QSize(int(bigEndian32(bytes, 16)), int(bigEndian32(bytes, 20)))};
    if (bytes.size() >= 26 && bytes.startsWith("BM")) {
        // Height is negative for top-down bitmaps.
        return ImageHeader{ImageKind::Bmp, QSize(littleEndian32(bytes, 18), qAbs(littleEndian32(bytes, 22)))};
    }
    return std::nullopt;
}

QString nameOf(const SkinFile& file) {
    return QString::fromLatin1(file.name);
}

// The "skins\..." names a source text uses, as the program spells them (single backslashes).
QStringList skinNamesIn(const QString& source) {
    static const QRegularExpression literal(QStringLiteral(R"re("(skins(?:\\\\|\\|/)[^"\n]*)")re"));
    QStringList names;
    for (auto it = literal.globalMatch(source); it.hasNext();) {
        QString name = it.next().captured(1);
        name.replace(QLatin1String("\\\\"), QLatin1String("\\")).replace(QLatin1Char('/'), QLatin1Char('\\'));
        names << name;
    }
    return names;
}

// Whether a name found in the sources is served by the table: an exact file name; a pattern with
// a printf or arg() number placeholder that matches some file; or a folder prefix that a file
// name starts with.
bool tableServes(const QString& used) {
    static const QRegularExpression placeholder(QStringLiteral("%(?:\\d|l?[du])"));
    if (used.contains(placeholder)) {
        QStringList parts = used.split(placeholder);
        for (QString& part : parts)
            part = QRegularExpression::escape(part);
        const QRegularExpression re(QRegularExpression::anchoredPattern(parts.join(QStringLiteral("\\d+"))));
        for (const SkinFile& file : SkinFiles) {
            if (re.match(nameOf(file)).hasMatch())
                return true;
        }
        return false;
    }
    const bool isFile = used.endsWith(QLatin1String(".png"), Qt::CaseInsensitive) ||
                        used.endsWith(QLatin1String(".bmp"), Qt::CaseInsensitive);
    for (const SkinFile& file : SkinFiles) {
        if (isFile ? nameOf(file) == used : nameOf(file).startsWith(used))
            return true;
    }
    return false;
}

TEST(SkinTable, NamesAreUniqueAndSizesUsable) {
    QSet<QString> seen;
    for (const SkinFile& file : SkinFiles) {
        const QString name = nameOf(file);
        SCOPED_TRACE(name.toStdString());
        EXPECT_TRUE(name.startsWith(QLatin1String("skins\\")));
        EXPECT_TRUE(name.endsWith(QLatin1String(".png")) || name.endsWith(QLatin1String(".bmp")));
        EXPECT_FALSE(name.contains(QLatin1Char('/')));
        // Names must differ also without case, or a case-insensitive copy of the folder loses one.
        EXPECT_FALSE(seen.contains(name.toLower()));
        seen.insert(name.toLower());
        EXPECT_TRUE(file.unitScale == 1 || file.unitScale == 2);
        EXPECT_GT(file.width, 0);
        EXPECT_GT(file.height, 0);
        EXPECT_EQ(file.width % file.unitScale, 0);
        EXPECT_EQ(file.height % file.unitScale, 0);
    }
}

// The generator draws from the kind, look and number alone, so an entry copied without its look
// or number would draw one image under another's name.
TEST(SkinTable, LooksAndNumbersAgreeWithTheNames) {
    const auto numbered = [](SkinKind kind) {
        return kind == SkinKind::RateTile || kind == SkinKind::ListMarker || kind == SkinKind::PictureBadge ||
               kind == SkinKind::PowerDial || kind == SkinKind::TrayBattery;
    };
    for (const SkinFile& file : SkinFiles) {
        const QString name = nameOf(file);
        SCOPED_TRACE(name.toStdString());
        const QString base = name.section(QLatin1Char('\\'), -1).section(QLatin1Char('.'), 0, 0);
        SkinLook named = SkinLook::Normal;
        if (base.endsWith(QLatin1String("_ov")) || base.endsWith(QLatin1String("_ov2")))
            named = SkinLook::Over;
        else if (base.endsWith(QLatin1String("_dn")) || base.endsWith(QLatin1String("_check")))
            named = SkinLook::Down;
        EXPECT_EQ(file.look, named);
        if (numbered(file.kind)) {
            EXPECT_GT(file.number, 0);
            static const QRegularExpression digits(QStringLiteral("\\d+"));
            EXPECT_EQ(digits.match(base).captured(), QString::number(file.number));
        } else {
            EXPECT_EQ(file.number, 0);
        }
    }
}

TEST(SkinFiles, EveryTableEntryIsWrittenWithItsSizeAndFormat) {
#ifndef VIREO_BUILD_DIR
    GTEST_SKIP() << "built without the GUI tools, so no skins were drawn";
#else
    const QString folder = QStringLiteral(VIREO_BUILD_DIR "/");
    for (const SkinFile& file : SkinFiles) {
        const QString relative = nameOf(file).replace(QLatin1Char('\\'), QLatin1Char('/'));
        SCOPED_TRACE(relative.toStdString());
        [&] { // a failed ASSERT ends this row only
            QFile f(folder + relative);
            ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << "missing";
            const std::optional<ImageHeader> header = readHeader(f.read(64));
            ASSERT_TRUE(header.has_value()) << "neither PNG nor BMP";
            EXPECT_EQ(header->kind,
                      relative.endsWith(QLatin1String(".bmp")) ? ImageKind::Bmp : ImageKind::Png);
            EXPECT_EQ(header->size, QSize(file.width, file.height));
        }();
    }
#endif
}

TEST(SkinFiles, EveryNameTheSourcesUseIsInTheTable) {
    const QStringList folders = {QStringLiteral("toolkit"),  QStringLiteral("ui"),
                                 QStringLiteral("features"), QStringLiteral("macros"),
                                 QStringLiteral("buttons"),  QStringLiteral("device"),
                                 QStringLiteral("settings"), QStringLiteral("base")};
    int found = 0;
    for (const QString& folder : folders) {
        QDirIterator it(testsupport::sourcePath(folder), {QStringLiteral("*.cpp"), QStringLiteral("*.h")},
                        QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            if (path.endsWith(QStringLiteral("/toolkit/SkinNames.h")))
                continue; // the table itself
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
            for (const QString& used : skinNamesIn(QString::fromUtf8(f.readAll()))) {
                ++found;
                EXPECT_TRUE(tableServes(used)) << path.toStdString() << " uses " << used.toStdString()
                                               << ", which toolkit/SkinNames.h does not draw";
            }
        }
    }
    // The macro action icons are named in the sources, so an empty scan means the scan is broken.
    EXPECT_GT(found, 0);
}

TEST(SkinFiles, SourceScanReadsEveryWayOfNamingASkin) {
    const QString source = QStringLiteral(R"src(
        load(QStringLiteral("skins\\check_nr.png"));
        // a comment naming "skins\macro_time.png"
        load(u"skins/mouse/mouse_nr.png"_s);
        load(QString("skins\\mouse\\number%1.png").arg(n));
        load(QString::asprintf("skins\\power_manage_%dmin.png", m));
        load(root + "skins\\mouse\\" + name);
        load("skins\\missing.png");
        load("skins\\mouse\\number%1.bmp");
    )src");
    const QStringList names = skinNamesIn(source);
    ASSERT_EQ(names,
              QStringList(
                  {QStringLiteral("skins\\check_nr.png"), QStringLiteral("skins\\macro_time.png"),
                   QStringLiteral("skins\\mouse\\mouse_nr.png"), QStringLiteral("skins\\mouse\\number%1.png"),
                   QStringLiteral("skins\\power_manage_%dmin.png"), QStringLiteral("skins\\mouse\\"),
                   QStringLiteral("skins\\missing.png"), QStringLiteral("skins\\mouse\\number%1.bmp")}));
    const QList<bool> served = {true, true, true, true, true, true, false, false};
    for (int i = 0; i < names.size(); ++i) {
        SCOPED_TRACE(names[i].toStdString());
        EXPECT_EQ(tableServes(names[i]), served[i]);
    }
    // A case slip loads nothing on Linux.
    EXPECT_FALSE(tableServes(QStringLiteral("skins\\slider_bar.png")));
}

} // namespace

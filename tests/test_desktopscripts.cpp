// The shipped KWin script and GNOME Shell extension: their metadata is what the desktops read, their
// JavaScript parses, and they call the method the program exports.
#include "focus/DBusFocusSource.h"
#include "focus/FocusSourcePicker.h"
#include "tests/TestSupport.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using testsupport::sourcePath;

namespace {
QJsonObject metadata(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError)
        << path.toStdString() << ": " << error.errorString().toStdString();
    EXPECT_TRUE(doc.isObject()) << path.toStdString();
    return doc.object();
}

QString text(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return QString::fromUtf8(file.readAll());
}

// node --check; an ES module needs the .mjs name for node to read it as one.
void expectParses(const QString& path, bool module) {
    const QString node = QStandardPaths::findExecutable(QStringLiteral("node"));
    if (node.isEmpty())
        GTEST_SKIP() << "node is not installed, so the JavaScript of the desktop scripts is not checked "
                        "(tools/deps.sh installs nodejs)";
    QTemporaryDir dir;
    const QString copy = dir.filePath(module ? QStringLiteral("script.mjs") : QStringLiteral("script.js"));
    ASSERT_TRUE(QFile::copy(path, copy));
    QProcess check;
    check.start(node, {QStringLiteral("--check"), copy});
    ASSERT_TRUE(check.waitForFinished(30000));
    EXPECT_EQ(check.exitCode(), 0) << path.toStdString() << ": "
                                   << check.readAllStandardError().toStdString();
}

void expectCallsTheMethod(const QString& script) {
    EXPECT_TRUE(script.contains(QLatin1String(DBusFocusSource::Service)));
    EXPECT_TRUE(script.contains(QLatin1String(DBusFocusSource::Path)));
    EXPECT_TRUE(script.contains(QLatin1String("'FocusChanged'")) ||
                script.contains(QLatin1String("\"FocusChanged\"")));
}
} // namespace

TEST(DesktopScripts, KWinScript) {
    const QString dir =
        sourcePath(QStringLiteral("packaging/kwin/") + QLatin1String(FocusSourcePicker::KWinScriptId));
    const QJsonObject meta = metadata(dir + QStringLiteral("/metadata.json"));
    const QJsonObject plugin = meta.value(QStringLiteral("KPlugin")).toObject();
    EXPECT_EQ(plugin.value(QStringLiteral("Id")).toString(), QLatin1String(FocusSourcePicker::KWinScriptId));
    EXPECT_FALSE(plugin.value(QStringLiteral("Name")).toString().isEmpty());
    EXPECT_FALSE(plugin.value(QStringLiteral("Description")).toString().isEmpty());
    // Plasma 6 reads the package structure, Plasma 5 the service type.
    EXPECT_EQ(meta.value(QStringLiteral("KPackageStructure")).toString(), QLatin1String("KWin/Script"));
    EXPECT_TRUE(
        plugin.value(QStringLiteral("ServiceTypes")).toArray().contains(QStringLiteral("KWin/Script")));
    EXPECT_EQ(meta.value(QStringLiteral("X-Plasma-API")).toString(), QLatin1String("javascript"));
    const QString main =
        dir + QStringLiteral("/contents/") + meta.value(QStringLiteral("X-Plasma-MainScript")).toString();
    ASSERT_TRUE(QFileInfo(main).isFile()) << main.toStdString();
    expectCallsTheMethod(text(main));
    expectParses(main, false);
}

TEST(DesktopScripts, GnomeShellExtension) {
    const QString dir = sourcePath(QStringLiteral("packaging/gnome-shell/") +
                                   QLatin1String(FocusSourcePicker::GnomeExtensionUuid));
    const QJsonObject meta = metadata(dir + QStringLiteral("/metadata.json"));
    // GNOME Shell loads an extension only from a folder named by its uuid.
    EXPECT_EQ(meta.value(QStringLiteral("uuid")).toString(),
              QLatin1String(FocusSourcePicker::GnomeExtensionUuid));
    EXPECT_FALSE(meta.value(QStringLiteral("name")).toString().isEmpty());
    EXPECT_FALSE(meta.value(QStringLiteral("description")).toString().isEmpty());
    const QJsonArray versions = meta.value(QStringLiteral("shell-version")).toArray();
    ASSERT_FALSE(versions.isEmpty());
    for (const QJsonValue& v : versions) // ES modules: 45 and later only
        EXPECT_GE(v.toString().toInt(), 45) << v.toString().toStdString();
    const QString script = text(dir + QStringLiteral("/extension.js"));
    expectCallsTheMethod(script);
    EXPECT_TRUE(script.contains(QLatin1String("'(ssu)'"))); // the method's exact signature
    EXPECT_TRUE(script.contains(QLatin1String("export default class")));
    expectParses(dir + QStringLiteral("/extension.js"), true);
}

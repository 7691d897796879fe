#include "base/AppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
QString withSlash(QString path) {
    if (!path.endsWith(u'/'))
        path += u'/';
    return path;
}
} // namespace

QString AppPaths::programFolder() {
    QString dir = QCoreApplication::applicationDirPath();
    if (dir.isEmpty())
        dir = QDir::currentPath();
    return withSlash(dir);
}

QString AppPaths::shareFolder() {
    return shareFolderFor(programFolder());
}

QString AppPaths::shareFolderFor(const QString& programFolder) {
    const QString beside = withSlash(programFolder);
    if (QFileInfo(beside + QStringLiteral("skins")).isDir() ||
        QFileInfo(beside + QStringLiteral("data")).isDir())
        return beside;
    return withSlash(QDir::cleanPath(beside + QStringLiteral("../share/vireo")));
}

QString AppPaths::dataFolder() {
    const QString overridden = qEnvironmentVariable("VIREO_DATA_DIR");
    if (!overridden.isEmpty())
        return withSlash(QDir(overridden).absolutePath());
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.config");
    return withSlash(base) + QStringLiteral("GamingMouseData202400617/");
}

void AppPaths::ensureDataFolders(const QString& dataFolder) {
    QDir().mkpath(dataFolder);
    QDir().mkpath(withSlash(dataFolder) + QStringLiteral("config"));
}

QString AppPaths::toNative(const QString& storedPath) {
    QString path = storedPath;
    path.replace(u'\\', u'/');
    return path;
}

QString AppPaths::resolve(const QString& dataFolder, const QString& storedPath) {
    if (storedPath.isEmpty())
        return QString();
    const QString native = toNative(storedPath);
    if (QDir::isAbsolutePath(native))
        return native;
    return withSlash(dataFolder) + native;
}

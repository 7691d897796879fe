#include "base/AppPaths.h"

#include "base/BuildInfo.h"

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

QString AppPaths::readmeFor(const QString& programFolder) {
    const QString share = shareFolderFor(programFolder);
    if (share == withSlash(programFolder))
        return share + QStringLiteral("README.md");
    return QDir::cleanPath(share + QStringLiteral("../doc/vireo/README.md"));
}

QString AppPaths::udevRuleFor(const QString& programFolder) {
    const QString beside = withSlash(programFolder);
    const QString rule = QStringLiteral("70-vireo.rules");
    if (shareFolderFor(programFolder) == beside)
        return beside + rule;
    const QString folder = QStringLiteral(VIREO_UDEV_RULES_DIR);
    if (QDir::isAbsolutePath(folder))
        return withSlash(folder) + rule;
    return QDir::cleanPath(beside + QStringLiteral("../") + folder + u'/' + rule);
}

QString AppPaths::udevRule() {
    return udevRuleFor(programFolder());
}

QUrl AppPaths::homepage() {
    return homepageFor(programFolder(), QStringLiteral(VIREO_PROJECT_URL));
}

QUrl AppPaths::homepageFor(const QString& programFolder, const QString& configured) {
    if (!configured.isEmpty())
        return QUrl(configured);
    return QUrl::fromLocalFile(readmeFor(programFolder));
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

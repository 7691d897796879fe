#include "tests/TestSupport.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>

void DataFolderTest::SetUp() {
    ASSERT_TRUE(dir.isValid());
    qputenv("VIREO_DATA_DIR", dir.path().toUtf8());
    QDir().mkpath(dir.path() + QStringLiteral("/config"));
}

void DataFolderTest::TearDown() {
    qunsetenv("VIREO_DATA_DIR");
}

QString DataFolderTest::dataFolder() const {
    return dir.path() + u'/';
}

namespace testsupport {
QByteArray readBytes(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    f.write(bytes);
}

QByteArray utf16(const QStringList& lines, const QString& ending) {
    QByteArray out("\xFF\xFE", 2);
    for (const QString& line : lines) {
        const QString l = line + ending;
        for (QChar c : l) {
            out.append(char(c.unicode() & 0xFF));
            out.append(char(c.unicode() >> 8));
        }
    }
    return out;
}

void ensureCoreApp() {
    static int argc = 1;
    static char name[] = "vireo-test";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new QCoreApplication(argc, argv);
}

bool processUntil(const std::function<bool()>& pred, int realTimeoutMs) {
    QDeadlineTimer deadline(realTimeoutMs);
    while (!pred()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

QString sourcePath(const QString& relative) {
    return QStringLiteral(VIREO_SOURCE_DIR "/") + relative;
}
} // namespace testsupport

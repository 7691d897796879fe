#include "tests/SwayServer.h"

#include "tests/TestSupport.h"
#include "tests/XClient.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QStandardPaths>
#include <csignal>
#include <cstdlib>
#include <functional>
#include <pwd.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

using testsupport::processUntil;

SwayServer::~SwayServer() {
    stop();
}

QString SwayServer::start(const QByteArray& config, bool xwayland) {
    QStringList tools{QStringLiteral("sway"), QStringLiteral("swaymsg")};
    if (xwayland)
        tools << QStringLiteral("Xwayland");
    for (const QString& tool : tools)
        if (QStandardPaths::findExecutable(tool).isEmpty())
            return QStringLiteral("%1 is not installed (tools/deps.sh installs it)").arg(tool);
    if (getuid() == 0) {
        const passwd* user = getpwnam("nobody");
        if (!user || QStandardPaths::findExecutable(QStringLiteral("setpriv")).isEmpty())
            return QStringLiteral("running as root without the user nobody or setpriv to run sway as");
        uid = user->pw_uid;
        gid = user->pw_gid;
    }
    runtime = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/vireo-sway-XXXXXX"));
    const QString configFile = runtime->filePath(QStringLiteral("config"));
    QFile file(configFile);
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("cannot write sway's configuration");
    // Only the test moves the focus, not a pointer that rests over a window.
    file.write("focus_follows_mouse no\nmouse_warping none\n");
    if (xwayland) {
        // Started at once, so that a server that cannot run shows here; the display it took is
        // known only to sway's children.
        file.write("xwayland force\nexec sh -c 'echo \"$DISPLAY\" > \"$XDG_RUNTIME_DIR/x-display\"'\n");
    } else {
        // It would take an X display number of its own.
        file.write("xwayland disable\n");
    }
    file.write(config);
    file.close();
    chmod(QFile::encodeName(runtime->path()).constData(), 0700);
    if (!handOver(runtime->path()) || !handOver(configFile))
        return QStringLiteral("cannot hand the runtime folder to the compositor's user");

    sway = std::make_unique<QProcess>();
    sway->setProcessChannelMode(QProcess::MergedChannels);
    startAsUser(*sway, QStringLiteral("sway"), {QStringLiteral("-c"), configFile});
    const auto running = [this] { return sway->state() != QProcess::NotRunning; };
    processUntil(
        [&] {
            wayland = firstFile(QStringLiteral("wayland-*"));
            ipc = firstFile(QStringLiteral("sway-ipc.*.sock"));
            return (!wayland.isEmpty() && !ipc.isEmpty()) || !running();
        },
        15000);
    const auto lastWords = [this] {
        const QList<QByteArray> log = sway->readAll().trimmed().split('\n');
        return QString::fromLocal8Bit(log.mid(std::max<qsizetype>(0, log.size() - 3)).join(" | "));
    };
    if (wayland.isEmpty() || ipc.isEmpty() || !running())
        return QStringLiteral("sway cannot start on this machine: ") + lastWords();
    if (!xwayland)
        return {};
    QFile display(runtime->filePath(QStringLiteral("x-display")));
    processUntil([&] { return display.size() > 0 || !running(); }, 10000);
    if (display.open(QIODevice::ReadOnly))
        x = QString::fromLocal8Bit(display.readAll().trimmed());
    bool accepts = false;
    processUntil(
        [&] {
            XClient probe;
            asCompositorUser([&] { accepts = !x.isEmpty() && probe.connect(x); });
            return accepts || !running();
        },
        15000);
    if (!accepts)
        return QStringLiteral("XWayland cannot start under sway on this machine: ") + lastWords();
    return {};
}

void SwayServer::stop() {
    if (sway) {
        sway->terminate();
        if (!sway->waitForFinished(3000))
            sway->kill();
        sway.reset();
    }
    runtime.reset();
    wayland.clear();
    ipc.clear();
    x.clear();
}

QStringList SwayServer::asUser(const QString& program, const QStringList& arguments) const {
    if (getuid() != 0)
        return QStringList{program} + arguments;
    return QStringList{QStringLiteral("setpriv"),
                       QStringLiteral("--reuid=%1").arg(uid),
                       QStringLiteral("--regid=%1").arg(gid),
                       QStringLiteral("--clear-groups"),
                       QStringLiteral("--pdeathsig=TERM"),
                       QStringLiteral("--"),
                       program} +
           arguments;
}

QProcessEnvironment SwayServer::environment() const {
    QProcessEnvironment env;
    env.insert(QStringLiteral("PATH"), qEnvironmentVariable("PATH", QStringLiteral("/usr/bin:/bin")));
    env.insert(QStringLiteral("HOME"), runtime->path());
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime->path());
    env.insert(QStringLiteral("WLR_BACKENDS"), QStringLiteral("headless"));
    env.insert(QStringLiteral("WLR_RENDERER"), QStringLiteral("pixman"));
    env.insert(QStringLiteral("WLR_LIBINPUT_NO_DEVICES"), QStringLiteral("1"));
    // By its whole path, so that a client with a runtime folder of its own still finds it.
    if (!wayland.isEmpty())
        env.insert(QStringLiteral("WAYLAND_DISPLAY"), wayland);
    if (!x.isEmpty())
        env.insert(QStringLiteral("DISPLAY"), x);
    return env;
}

void SwayServer::startAsUser(QProcess& process, const QString& program, const QStringList& arguments) const {
    const QStringList line = asUser(program, arguments);
    process.setProcessEnvironment(environment());
    // A compositor left behind by a test that died would hold its sockets.
    process.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
    process.start(line.first(), line.mid(1));
}

bool SwayServer::handOver(const QString& path) const {
    return getuid() != 0 || chown(QFile::encodeName(path).constData(), uid, gid) == 0;
}

void SwayServer::asCompositorUser(const std::function<void()>& body) const {
    if (getuid() != 0)
        return body();
    // The saved user id stays root, so the test gets its rights back afterwards.
    const bool switched = setegid(gid) == 0 && seteuid(uid) == 0;
    body();
    if (switched && (seteuid(0) != 0 || setegid(0) != 0))
        std::abort();
}

bool SwayServer::command(const QString& line, QByteArray* answer) const {
    QProcess msg;
    QStringList args{QStringLiteral("-s"), ipc};
    if (line.startsWith(QLatin1String("-t ")))
        args << line.split(u' ');
    else
        args << line;
    msg.start(QStringLiteral("swaymsg"), args);
    if (!processUntil([&] { return msg.state() == QProcess::NotRunning; }, 10000))
        return false;
    if (answer)
        *answer = msg.readAllStandardOutput();
    return msg.exitStatus() == QProcess::NormalExit && msg.exitCode() == 0;
}

QJsonObject SwayServer::tree() const {
    QByteArray json;
    command(QStringLiteral("-t get_tree"), &json);
    return QJsonDocument::fromJson(json).object();
}

namespace {
void walk(const QJsonObject& node, const std::function<void(const QJsonObject&)>& visit) {
    visit(node);
    for (const char* children : {"nodes", "floating_nodes"})
        for (const QJsonValue& child : node.value(QLatin1String(children)).toArray())
            walk(child.toObject(), visit);
}
} // namespace

QJsonObject SwayServer::focused(const QJsonObject& tree) {
    QJsonObject found;
    walk(tree, [&](const QJsonObject& node) {
        if (node.value(QLatin1String("focused")).toBool())
            found = node;
    });
    return found;
}

std::vector<QJsonObject> SwayServer::windowsOf(const QJsonObject& tree, qint64 pid) {
    std::vector<QJsonObject> found;
    walk(tree, [&](const QJsonObject& node) {
        if (node.value(QLatin1String("pid")).toInteger() == pid)
            found.push_back(node);
    });
    return found;
}

QString SwayServer::firstFile(const QString& pattern) const {
    const QStringList found = QDir(runtime->path()).entryList({pattern}, QDir::System | QDir::Files);
    for (const QString& name : found)
        if (!name.endsWith(QLatin1String(".lock")))
            return runtime->filePath(name);
    return {};
}

#pragma once

#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>
#include <sys/types.h>

// A headless sway for the tests of one process, with XWayland where asked. A compositor is an
// ordinary user's program: as root it and its clients run as nobody.
class SwayServer {
public:
    SwayServer() = default;
    ~SwayServer();
    SwayServer(const SwayServer&) = delete;
    SwayServer& operator=(const SwayServer&) = delete;

    // Starts it with `config` (sway's configuration lines) and waits for its sockets, and with
    // `xwayland` for an X server that takes clients. Returns why it cannot run here, empty once it
    // does.
    QString start(const QByteArray& config, bool xwayland);
    void stop();

    QString runtimeFolder() const { return runtime ? runtime->path() : QString(); }
    QString waylandSocket() const { return wayland; }
    QString xDisplay() const { return x; }

    // The command line that runs `program` as the compositor's user.
    QStringList asUser(const QString& program, const QStringList& arguments = {}) const;
    // The environment of a client of this compositor (and of its X server, where it has one).
    QProcessEnvironment environment() const;
    void startAsUser(QProcess& process, const QString& program, const QStringList& arguments) const;
    // Hands `path` to the compositor's user, as its clients must be able to write there.
    bool handOver(const QString& path) const;
    // Runs `body` with the compositor's user as the effective one: a connection made in it is that
    // user's, which the X server of the compositor asks for.
    void asCompositorUser(const std::function<void()>& body) const;

    // A command through its IPC socket; its answer where `answer` is given.
    bool command(const QString& line, QByteArray* answer = nullptr) const;
    QJsonObject tree() const;
    // The node that has the focus, an empty object where none has.
    static QJsonObject focused(const QJsonObject& tree);
    // The nodes of windows of process `pid`.
    static std::vector<QJsonObject> windowsOf(const QJsonObject& tree, qint64 pid);

private:
    QString firstFile(const QString& pattern) const;

    std::unique_ptr<QTemporaryDir> runtime;
    std::unique_ptr<QProcess> sway;
    QString wayland, ipc, x;
    uid_t uid = 0;
    gid_t gid = 0;
};

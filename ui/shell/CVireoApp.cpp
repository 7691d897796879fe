#include "ui/shell/CVireoApp.h"

#include "base/AppPaths.h"
#include "base/FileCommitter.h"
#include "device/hid/HidrawBackend.h"
#include "focus/FocusSourcePicker.h"
#include "session/ControlRequest.h"
#include "ui/shell/CHiddenStartDlg.h"
#include "ui/shell/QuitSignals.h"
#include "ui/shell/RemoteControl.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QPointer>
#include <QSessionManager>
#include <QSystemTrayIcon>
#include <cstdio>
#include <memory>
#include <unistd.h>

namespace {
constexpr int ConnectTimeoutMs = 1000;
constexpr int ListenBacklog = 512;
const QByteArray ShowLine = QByteArrayLiteral("2999\n");
const QByteArray AnswerLine = QByteArrayLiteral("0\n");
} // namespace

CVireoApp::CVireoApp(const QString& serverName, QObject* parent)
    : QObject(parent), name(serverName.isEmpty() ? defaultServerName() : serverName) {}

CVireoApp::~CVireoApp() = default;

QString CVireoApp::defaultServerName() {
    return ProgramSocket::defaultName();
}

CVireoApp::Claim CVireoApp::claim(bool askToShow) {
    QString problem;
    if (name.isEmpty())
        ProgramSocket::defaultName(&problem);
    {
        QLocalSocket probe;
        if (!name.isEmpty())
            probe.connectToServer(name);
        if (problem.isEmpty() && probe.waitForConnected(ConnectTimeoutMs) &&
            ProgramSocket::heldByOther(probe, name, &problem))
            probe.abort();
        if (!problem.isEmpty()) {
            std::fprintf(stderr, "vireo: %s\n", qPrintable(problem));
            return Claim::Unsafe;
        }
        if (probe.state() == QLocalSocket::ConnectedState) {
            probe.disconnectFromServer();
            if (!askToShow)
                return Claim::Running;
            return notifyRunningCopy() ? Claim::Notified : Claim::Unusable;
        }
    }
    server = std::make_unique<QLocalServer>();
    server->setSocketOptions(QLocalServer::UserAccessOption);
    // Scripts may start many vireoctl at once; their connections wait rather than fail.
    server->setListenBacklogSize(ListenBacklog);
    connect(server.get(), &QLocalServer::newConnection, this, &CVireoApp::acceptConnection);
    if (!server->listen(name)) {
        // Nobody answered, so what is left under the name is a socket of a copy that died.
        QLocalServer::removeServer(name);
        server->listen(name);
    }
    return Claim::First;
}

bool CVireoApp::notifyRunningCopy() {
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(ConnectTimeoutMs))
        return false;
    socket.write(ShowLine);
    if (!socket.waitForBytesWritten(ConnectTimeoutMs))
        return false;
    // The first copy answers once it knows whether the window came up.
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(AnswerTimeoutMs))
            return false;
    }
    answer = socket.readLine();
    return true;
}

void CVireoApp::acceptConnection() {
    while (QLocalSocket* socket = server->nextPendingConnection()) {
        // The socket's folder keeps other users out; where the system names the peer, check it too.
        if (const std::optional<uid_t> peer = ProgramSocket::peerUid(socket->socketDescriptor());
            peer && *peer != getuid()) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, socket, [this, socket] { readLines(socket); });
    }
}

void CVireoApp::answerLateRequests() {
    // Requests that came in while the program ended get their answer, not vireoctl's time-out.
    if (!server)
        return;
    while (server->hasPendingConnections() || server->waitForNewConnection(0))
        acceptConnection();
    for (QLocalSocket* socket : server->findChildren<QLocalSocket*>())
        if (socket->state() == QLocalSocket::ConnectedState &&
            (socket->bytesAvailable() > 0 || socket->waitForReadyRead(0)))
            readLines(socket);
}

void CVireoApp::readLines(QLocalSocket* socket) {
    constexpr qint64 MaxLine = ControlRequest::MaxLineBytes;
    while (socket->canReadLine()) {
        const QByteArray line = socket->readLine(MaxLine + 2);
        if (!line.endsWith('\n')) {
            socket->write(ControlRequest::answerLine(
                ControlRequest::Usage, QStringLiteral("the request is longer than %1 bytes.").arg(MaxLine)));
            socket->flush();
            socket->abort();
            return;
        }
        QPointer<QLocalSocket> to(socket);
        const Reply reply = [to](const QByteArray& answer) {
            if (!to)
                return; // the asker gave up waiting
            to->write(answer);
            to->flush();
        };
        if (!line.startsWith('{')) {
            if (line == ShowLine && onShowRequest)
                onShowRequest(reply);
            else
                reply(AnswerLine);
            if (!to)
                return;
            continue;
        }
        if (onControlRequest)
            onControlRequest(line, reply);
        else
            reply(ControlRequest::answerLine(ControlRequest::Failed,
                                             QStringLiteral("vireo is still starting; try again.")));
        if (!to)
            return;
    }
    // A peer that never ends its line is not allowed to grow the buffer.
    if (socket->bytesAvailable() > MaxLine) {
        socket->write(ControlRequest::answerLine(
            ControlRequest::Usage, QStringLiteral("the request is longer than %1 bytes.").arg(MaxLine)));
        socket->flush();
        socket->abort();
    }
}

QString CVireoApp::claimNotice(Claim claim) {
    switch (claim) {
    case Claim::First:
        return QString();
    case Claim::Notified:
        return QStringLiteral("already running; its window was asked to come up.");
    case Claim::Running:
        return QStringLiteral("already running; a hidden start leaves it as it is.");
    case Claim::Unsafe:
        return QStringLiteral("no socket of its own could be had; ending.");
    case Claim::Unusable:
        break;
    }
    return QStringLiteral("a running vireo holds the single-instance socket but did not answer; ending.");
}

QString CVireoApp::quietNotice(Quiet reason, bool trayAvailable) {
    QString why;
    switch (reason) {
    case Quiet::Hidden:
        why = QStringLiteral("started hidden (--hidden)");
        break;
    }
    // Either way the user gets the window or a notice saying why it stays closed.
    return why + (trayAvailable ? QStringLiteral("; start vireo again or use its tray icon to ask for the "
                                                 "window.")
                                : QStringLiteral("; there is no tray, start vireo again to ask for the "
                                                 "window."));
}

QByteArray CVireoApp::showAnswer(const QString& refusal) {
    if (refusal.isEmpty())
        return AnswerLine;
    QString line = refusal;
    line.replace(u'\n', u' ');
    return "1 " + line.toUtf8() + '\n';
}

std::function<void(CVireoApp::Reply)> CVireoApp::showRequestHandler(CVireoDlg& dialog) {
    return [&dialog](Reply reply) {
        dialog.restore([reply](WindowRequest::Outcome outcome) {
            reply(showAnswer(outcome == WindowRequest::Outcome::Shown ? QString()
                                                                      : WindowRequest::describe(outcome)));
        });
    };
}

QString CVireoApp::showAnswerNotice(const QByteArray& line) {
    const QByteArray trimmed = line.trimmed();
    if (trimmed.startsWith("1 "))
        return QStringLiteral("already running; ") + QString::fromUtf8(trimmed.mid(2));
    if (trimmed == "0")
        return QStringLiteral("already running; its window is shown.");
    return claimNotice(Claim::Notified);
}

std::unique_ptr<QuitSignals> CVireoApp::endWithSession(CVireoDlg& dialog) {
    auto signals_ = std::make_unique<QuitSignals>();
    QObject::connect(signals_.get(), &QuitSignals::received, &dialog, [&dialog] {
        if (!dialog.hasEnded())
            dialog.exitProgram();
    });
    // The session may end the process right after this request; nothing is left pending.
    QObject::connect(qApp, &QGuiApplication::commitDataRequest, &dialog,
                     [&dialog](QSessionManager&) { dialog.link().saveNow(); });
    return signals_;
}

QIcon CVireoApp::programIcon(const QString& programFolder) {
    QIcon icon;
    const QString share = AppPaths::shareFolderFor(programFolder);
    for (const QString& theme : {QDir::cleanPath(share + QStringLiteral("../icons/hicolor")),
                                 programFolder + QStringLiteral("/icons/hicolor")}) {
        const QDir folder(theme);
        for (const QString& size : folder.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            const QString file = folder.filePath(size + QStringLiteral("/apps/vireo.png"));
            if (QFileInfo(file).isFile())
                icon.addFile(file);
        }
        if (!icon.isNull())
            return icon;
    }
    return QIcon::fromTheme(QStringLiteral("vireo"));
}

int CVireoApp::run(bool hidden) {
    // Every window carries it (_NET_WM_ICON on X11), the task bar's entry too.
    QApplication::setWindowIcon(programIcon(AppPaths::programFolder()));
    // The window hides itself while the mouse has not asked for it, so the program's life is the
    // dialog's, not that of its last visible window.
    QApplication::setQuitOnLastWindowClosed(false);
    // Saves must not hold the window up while the disk flushes; main waits for them at the end.
    FileCommitter::instance().setBackground(true);
    CHiddenStartDlg dialog;
    onShowRequest = showRequestHandler(dialog);
    RemoteControl remote(dialog);
    onControlRequest = [&remote](const QByteArray& request, Reply reply) {
        remote.handle(request, std::move(reply));
    };
    connect(&dialog, &QDialog::finished, qApp, [] { QApplication::quit(); });
    const std::unique_ptr<QuitSignals> quitSignals = endWithSession(dialog);
    const auto tell = [](Quiet reason) {
        const QString notice = quietNotice(reason, QSystemTrayIcon::isSystemTrayAvailable());
        std::fprintf(stderr, "vireo: %s\n", qPrintable(notice));
    };
    if (hidden) {
        dialog.startHidden();
        if (dialog.holdingBack())
            tell(Quiet::Hidden);
    } else {
        dialog.start();
        // Starting the program asks for its window; the start's own read-back answers.
        dialog.restore(
            [&dialog](WindowRequest::Outcome outcome) {
                if (outcome == WindowRequest::Outcome::Shown)
                    return;
                std::fprintf(stderr, "vireo: %s\n", qPrintable(WindowRequest::describe(outcome)));
                if (outcome == WindowRequest::Outcome::NoPermission)
                    std::fprintf(stderr, "vireo: %s\n", qPrintable(dialog.permissionNotice(false)));
            },
            false);
    }
    {
        // The profile follows the program in front, hidden or not.
        const FocusSourcePicker::Session desktop = FocusSourcePicker::Session::fromEnvironment();
        FocusSourcePicker::Kind kind = FocusSourcePicker::Kind::DBus;
        std::unique_ptr<FocusSource> source =
            FocusSourcePicker::open(desktop, QDBusConnection::sessionBus(), nullptr, &kind);
        const QString notice =
            source ? FocusSourcePicker::notice(desktop, kind, LangText::instance()) : QString();
        dialog.followFocus(std::move(source), notice);
    }
    if (!dialog.hasEnded())
        QApplication::exec();
    answerLateRequests();
    onShowRequest = nullptr;
    onControlRequest = nullptr;
    return 0;
}

#pragma once

#include "session/ProgramSocket.h"

#include <QByteArray>
#include <QIcon>
#include <QLocalServer>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

// One copy per user: the first start listens on a local socket named after the single-instance
// mutex and the user; a later start tells it 2999 (bring yourself up), waits for the answer and ends.
// A later hidden start (autostart) leaves the running copy as it is. vireoctl sends its commands
// that change the mouse on the same socket (one JSON line each way, see ControlRequest).
class CVireoDlg;
class QLocalSocket;
class QuitSignals;

class CVireoApp : public QObject {
    Q_OBJECT

public:
    static constexpr const char* MutexName = ProgramSocket::MutexName;
    static constexpr int ShowMessage = 2999;
    static constexpr int AnswerTimeoutMs = 5000;

    enum class Claim {
        First,    // this copy runs the program
        Notified, // another copy was told to come up; end at once
        Running,  // another copy runs and was left as it is (askToShow false); end at once
        Unusable, // a copy answers on the name but could not be told; end at once
        Unsafe,   // the socket's folder is not the user's own, or another user holds the name; end
    };

    // An empty name means defaultServerName().
    explicit CVireoApp(const QString& serverName = QString(), QObject* parent = nullptr);
    ~CVireoApp() override;

    // The socket name for this user (ProgramSocket::defaultName); empty when no safe one can be had.
    static QString defaultServerName();

    // Tries to reach a running copy, and asks it to come up when askToShow; when none answers,
    // this copy starts listening.
    Claim claim(bool askToShow = true);
    // Why this start ends, for standard error; empty for First.
    static QString claimNotice(Claim claim);
    // Runs for each request line of vireoctl; `reply` takes the answer line, now or later.
    using Reply = std::function<void(const QByteArray& answer)>;
    // Runs for each 2999 a later copy sends; the later copy waits for `reply` (showAnswer) and
    // prints what it says. Without it the answer says the window was told to come up.
    std::function<void(Reply reply)> onShowRequest;
    // The answer line to a 2999: empty `refusal` when the window is up, else why it stays closed.
    static QByteArray showAnswer(const QString& refusal);
    // What the running copy does with a 2999: the user's request for the window, answered with
    // its outcome.
    static std::function<void(Reply reply)> showRequestHandler(CVireoDlg& dialog);
    // The later copy's line for standard error from the answer it got.
    static QString showAnswerNotice(const QByteArray& answer);
    // The answer the last claim() got from the running copy.
    const QByteArray& lastAnswer() const { return answer; }
    std::function<void(const QByteArray& request, Reply reply)> onControlRequest;
    const QString& serverName() const { return name; }
    bool listening() const { return server && server->isListening(); }

    // The whole life of the program: the main window, until it ends. Returns the exit code. A
    // hidden start keeps the window off the screen until it is asked for (CHiddenStartDlg).
    int run(bool hidden = false);
    // Why a start shows no window, for standard error.
    enum class Quiet {
        Hidden, // --hidden
    };
    static QString quietNotice(Quiet reason, bool trayAvailable);
    // The program's icon at every size drawn for the icon theme: the files installed with this copy
    // (<prefix>/share/icons/hicolor), or those of the build tree (icons/hicolor beside the programs).
    static QIcon programIcon(const QString& programFolder);
    // SIGTERM, SIGINT, SIGHUP end the window as the tray's Exit does (the pending save is written
    // and queued frames reach the mouse); the session manager's commit request saves at once.
    static std::unique_ptr<QuitSignals> endWithSession(CVireoDlg& dialog);

private:
    bool notifyRunningCopy();
    void acceptConnection();
    void readLines(QLocalSocket* socket);
    void answerLateRequests();

    QString name;
    QByteArray answer;
    std::unique_ptr<QLocalServer> server;
};

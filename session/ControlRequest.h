#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

// A vireoctl command that changes the mouse, as the command line gives it and as it travels to the
// running program: one line of JSON each way, {"words":[...]} and {"code":N,"message":"..."}.
// Parsing checks the form only; what depends on the mouse (the sensor's DPI steps, the visible
// profiles) is checked where the request is carried out.
class ControlRequest {
public:
    // Exit codes of vireoctl, which the program's answers carry too.
    enum ExitCode {
        Ok = 0,
        Failed = 1,
        NoMouse = 2,
        NoPermission = 3,
        NoAnswer = 4,
        MouseGone = 5,
        ProgramSilent = 6,
        Usage = 64
    };

    enum class Command { Apply, Reset, SetDpi, SetRate, Profile, AutoList, AutoAdd, AutoRemove };

    // Longer lines are refused whole, so a peer cannot make the program buffer without end.
    static constexpr int MaxLineBytes = 4096;

    Command command = Command::Apply;
    QString file;  // apply: the profile file, empty for the current profile
    int level = 0; // set dpi: 1..8
    int value = 0; // set dpi: DPI; set rate: Hz; profile, auto add/remove: position in the profile list, 1..5
    QString match; // auto add/remove: the link
    bool json = false; // auto list

    // True for the first words of commands that go through the running program.
    static bool changesMouse(const QString& command);
    // Nothing, and a one-line reason in *error, when the words are not such a command.
    static std::optional<ControlRequest> fromWords(const QStringList& words, QString* error);
    QStringList words() const;

    QByteArray toLine() const;
    static std::optional<ControlRequest> fromLine(const QByteArray& line, QString* error);

    static QByteArray answerLine(int code, const QString& message);
    static bool parseAnswer(const QByteArray& line, int& code, QString& message);
};

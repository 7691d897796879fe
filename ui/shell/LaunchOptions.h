#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// What the command line asks of vireo. It is read before the application object exists, so that
// --help and --version work without a display and the platform can still be chosen; Qt's own
// options (-platform, -display, -style ...) are let through for the application object to take.
class LaunchOptions {
public:
    enum class Action {
        Run,
        Help,
        Version,
        Usage, // wrong usage; `error` says what
    };
    Action action = Action::Run;
    // --help-all: Qt's options are listed too.
    bool helpAll = false;
    // Start without showing the window (autostart).
    bool hidden = false;
    // A platform was named on the command line (-platform NAME).
    bool platformGiven = false;
    // An X display was named on the command line (-display NAME).
    bool displayGiven = false;
    QString error;

    // `arguments` as the program got them, the program name first.
    static LaunchOptions parse(const QStringList& arguments);
    static QStringList arguments(int argc, const char* const* argv);

    // "Usage: ..." with every option (`all`: Qt's too); its first line names the running program,
    // so the application object must exist.
    static QString helpText(bool all = false);
    // "vireo 1.2.3", the project's version.
    static QString versionText();
    static QString version();

    // True when the program should run through XWayland: a Wayland session that also offers X
    // (both WAYLAND_DISPLAY and DISPLAY set) and no platform chosen by QT_QPA_PLATFORM or the
    // command line. Its windows place themselves on the screen (centred dialogs, the on-screen
    // display in a corner), which a Wayland client may not do.
    bool runThroughXWayland(const QProcessEnvironment& environment) const;
    // False when nothing names a display or a platform (no DISPLAY, WAYLAND_DISPLAY, QT_QPA_PLATFORM,
    // -platform or -display): the window has nowhere to go, and Qt would abort.
    bool hasDisplay(const QProcessEnvironment& environment) const;
};

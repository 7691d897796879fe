#include "base/FileCommitter.h"
#include "ui/shell/CVireoApp.h"
#include "ui/shell/LaunchOptions.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>

namespace {
constexpr int UsageExit = 64;
constexpr int NoDisplayExit = 1;

QtMessageHandler qtHandler = nullptr;

// Qt aborts when its platform does not start (an X server that does not answer, a Wayland socket
// that is gone); its own lines say why, this one ends the program as a failure, not a crash.
void platformFailed(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type != QtFatalMsg) {
        qtHandler(type, context, message);
        return;
    }
    std::fputs("vireo: cannot open the display named by DISPLAY, WAYLAND_DISPLAY or QT_QPA_PLATFORM\n",
               stderr);
    std::fflush(stderr);
    std::_Exit(NoDisplayExit);
}

void identify() {
    QCoreApplication::setApplicationName(QStringLiteral("vireo"));
    QCoreApplication::setApplicationVersion(LaunchOptions::version());
}
} // namespace

int main(int argc, char** argv) {
    const LaunchOptions launch = LaunchOptions::parse(LaunchOptions::arguments(argc, argv));
    switch (launch.action) {
    case LaunchOptions::Action::Run:
        break;
    case LaunchOptions::Action::Help: {
        // No display needed to read the help.
        QCoreApplication core(argc, argv);
        identify();
        std::fputs(qPrintable(LaunchOptions::helpText(launch.helpAll)), stdout);
        return 0;
    }
    case LaunchOptions::Action::Version:
        std::printf("%s\n", qPrintable(LaunchOptions::versionText()));
        return 0;
    case LaunchOptions::Action::Usage:
        std::fprintf(stderr, "vireo: %s\nTry 'vireo --help'.\n", qPrintable(launch.error));
        return UsageExit;
    }

    const QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!launch.hasDisplay(environment)) {
        std::fputs("vireo: no display (DISPLAY and WAYLAND_DISPLAY are not set); start it in a desktop "
                   "session, or use vireoctl\n",
                   stderr);
        return NoDisplayExit;
    }
    if (launch.runThroughXWayland(environment))
        qputenv("QT_QPA_PLATFORM", "xcb");
    qtHandler = qInstallMessageHandler(platformFailed);
    QApplication application(argc, argv);
    qInstallMessageHandler(qtHandler);
    identify();
    // Desktops match the window to vireo.desktop by this name (the Wayland app id, the X11 class).
    QGuiApplication::setDesktopFileName(QStringLiteral("vireo"));
    CVireoApp app;
    const CVireoApp::Claim claim = app.claim(!launch.hidden);
    if (claim != CVireoApp::Claim::First) {
        const QString notice = claim == CVireoApp::Claim::Notified
                                   ? CVireoApp::showAnswerNotice(app.lastAnswer())
                                   : CVireoApp::claimNotice(claim);
        std::fprintf(stderr, "vireo: %s\n", qPrintable(notice));
        return claim == CVireoApp::Claim::Unusable || claim == CVireoApp::Claim::Unsafe ? 1 : 0;
    }
    const int code = app.run(launch.hidden);
    FileCommitter::instance().setBackground(false); // every save of the window reaches the disk
    return code;
}

#include "base/FileCommitter.h"
#include "ui/shell/CVireoApp.h"
#include "ui/shell/LaunchOptions.h"

#include <QApplication>
#include <cstdio>

namespace {
constexpr int UsageExit = 64;

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

    if (launch.runThroughXWayland(QProcessEnvironment::systemEnvironment()))
        qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication application(argc, argv);
    identify();
    // Desktops match the window to vireo.desktop by this name (the Wayland app id, the X11 class).
    QGuiApplication::setDesktopFileName(QStringLiteral("vireo"));
    CVireoApp app;
    const CVireoApp::Claim claim = app.claim(!launch.hidden);
    if (claim != CVireoApp::Claim::First) {
        std::fprintf(stderr, "vireo: %s\n", qPrintable(CVireoApp::claimNotice(claim)));
        return claim == CVireoApp::Claim::Unusable || claim == CVireoApp::Claim::Unsafe ? 1 : 0;
    }
    const int code = app.run(launch.hidden);
    FileCommitter::instance().setBackground(false); // every save of the window reaches the disk
    return code;
}

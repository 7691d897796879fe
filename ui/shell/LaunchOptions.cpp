#include "ui/shell/LaunchOptions.h"

#include "base/BuildInfo.h"

#include <QCommandLineParser>

namespace {

// Options the application object takes: with a value, and without.
const char* const QtValueOptions[] = {"platform", "platformpluginpath", "platformtheme", "plugin",
                                      "display",  "qwindowgeometry",    "geometry",      "qwindowtitle",
                                      "title",    "qwindowicon",        "icon",          "session",
                                      "style",    "stylesheet",         "qmljsdebugger", "name"};
const char* const QtFlagOptions[] = {"reverse", "widgetcount", "nograb", "dograb", "sync", "testability"};

const QCommandLineOption& hiddenOption() {
    static const QCommandLineOption option(
        QStringLiteral("hidden"),
        QStringLiteral("Start without showing the window (as autostart and a plugged-in mouse do). It "
                       "opens when vireo is started again, from the tray icon, or when the mouse asks "
                       "for it later."));
    return option;
}

// `all`: the options of the application object are shown too (--help-all).
void describe(QCommandLineParser& parser, bool all = false) {
    // "-platform" is one option, not -p -l -a ...
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        QStringLiteral("Settings for a gaming mouse: buttons, DPI levels, lighting, polling rate, power and "
                       "macros.\nOne copy runs per user; starting it again brings that copy's window up."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption(hiddenOption());
    for (const char* name : QtValueOptions) {
        QCommandLineOption option(QString::fromLatin1(name),
                                  QStringLiteral("Qt's option, see the Qt documentation."),
                                  QStringLiteral("value"));
        if (!all)
            option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const char* name : QtFlagOptions) {
        QCommandLineOption option(QString::fromLatin1(name),
                                  QStringLiteral("Qt's option, see the Qt documentation."));
        if (!all)
            option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
}

} // namespace

QStringList LaunchOptions::arguments(int argc, const char* const* argv) {
    QStringList list;
    for (int i = 0; i < argc; ++i)
        list.append(QString::fromLocal8Bit(argv[i]));
    return list;
}

LaunchOptions LaunchOptions::parse(const QStringList& arguments) {
    LaunchOptions result;
    QCommandLineParser parser;
    describe(parser);
    if (!parser.parse(arguments)) {
        result.action = Action::Usage;
        result.error = parser.errorText();
        return result;
    }
    if (parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("help-all"))) {
        result.action = Action::Help;
        result.helpAll = parser.isSet(QStringLiteral("help-all"));
        return result;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        result.action = Action::Version;
        return result;
    }
    if (!parser.positionalArguments().isEmpty()) {
        result.action = Action::Usage;
        result.error = QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments().first());
        return result;
    }
    result.hidden = parser.isSet(hiddenOption());
    result.platformGiven = parser.isSet(QStringLiteral("platform"));
    result.displayGiven = parser.isSet(QStringLiteral("display"));
    return result;
}

QString LaunchOptions::helpText(bool all) {
    QCommandLineParser parser;
    describe(parser, all);
    return parser.helpText();
}

QString LaunchOptions::version() {
    return QStringLiteral(VIREO_VERSION);
}

QString LaunchOptions::versionText() {
    return QStringLiteral("vireo ") + version();
}

namespace {
bool isSet(const QProcessEnvironment& environment, const char* name) {
    return !environment.value(QString::fromLatin1(name)).isEmpty();
}
} // namespace

bool LaunchOptions::runThroughXWayland(const QProcessEnvironment& environment) const {
    return isSet(environment, "WAYLAND_DISPLAY") && isSet(environment, "DISPLAY") &&
           !isSet(environment, "QT_QPA_PLATFORM") && !platformGiven;
}

bool LaunchOptions::hasDisplay(const QProcessEnvironment& environment) const {
    return isSet(environment, "DISPLAY") || isSet(environment, "WAYLAND_DISPLAY") ||
           isSet(environment, "QT_QPA_PLATFORM") || platformGiven || displayGiven;
}

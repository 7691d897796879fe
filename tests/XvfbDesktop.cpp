#include "tests/XvfbDesktop.h"

#include "tests/TestSupport.h"
#include "tests/XClient.h"

#include <QStandardPaths>
#include <algorithm>
#include <csignal>
#include <sys/prctl.h>

namespace {
void endWithTheTest() {
    prctl(PR_SET_PDEATHSIG, SIGTERM);
}

// openbox sets its check window before it takes windows over: a probe window it lists is proof.
bool managesNewWindows(const XClient& x) {
    if (!testsupport::processUntil(
            [&] { return !x.property(x.root(), "_NET_SUPPORTING_WM_CHECK", XCB_ATOM_WINDOW).empty(); },
            10000))
        return false;
    xcb_connection_t* c = x.connection();
    for (int attempt = 0; attempt < 20; ++attempt) {
        const xcb_window_t probe = xcb_generate_id(c);
        xcb_create_window(c, XCB_COPY_FROM_PARENT, probe, x.root(), 0, 0, 10, 10, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
        xcb_map_window(c, probe);
        xcb_flush(c);
        const bool managed = testsupport::processUntil(
            [&] {
                const auto list = x.property(x.root(), "_NET_CLIENT_LIST", XCB_ATOM_WINDOW);
                return std::find(list.begin(), list.end(), probe) != list.end();
            },
            500);
        xcb_destroy_window(c, probe);
        xcb_flush(c);
        if (managed)
            return true;
    }
    return false;
}
} // namespace

XvfbDesktop::~XvfbDesktop() {
    stop();
}

QString XvfbDesktop::start(QSize screen, QString* failure) {
    const QString server = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    const QString openbox = QStandardPaths::findExecutable(QStringLiteral("openbox"));
    if (server.isEmpty() || openbox.isEmpty())
        return QStringLiteral("Xvfb or openbox is not installed (tools/deps.sh installs them)");
    QStringList args;
    if (const QString wanted = qEnvironmentVariable("VIREO_TEST_X_DISPLAY"); !wanted.isEmpty())
        args << wanted;
    // Xvfb writes the display number to the given descriptor once it accepts clients.
    args << QStringLiteral("-displayfd") << QStringLiteral("1") << QStringLiteral("-screen")
         << QStringLiteral("0") << QStringLiteral("%1x%2x24").arg(screen.width()).arg(screen.height())
         << QStringLiteral("-nolisten") << QStringLiteral("tcp");
    xvfb = std::make_unique<QProcess>();
    xvfb->setChildProcessModifier(endWithTheTest);
    xvfb->start(server, args);
    if (!xvfb->waitForReadyRead(10000)) {
        *failure =
            QStringLiteral("Xvfb did not start: ") + QString::fromLocal8Bit(xvfb->readAllStandardError());
        return {};
    }
    name = QLatin1Char(':') + QString::fromLatin1(xvfb->readLine().trimmed());

    wm = std::make_unique<QProcess>();
    wm->setProcessEnvironment(environment());
    wm->setChildProcessModifier(endWithTheTest);
    wm->start(openbox, {QStringLiteral("--sm-disable")});
    XClient x;
    if (!x.connect(name))
        *failure = QStringLiteral("cannot connect to Xvfb on ") + name;
    else if (!managesNewWindows(x))
        *failure =
            QStringLiteral("openbox did not start: ") + QString::fromLocal8Bit(wm->readAllStandardError());
    return {};
}

void XvfbDesktop::stop() {
    for (auto* p : {&wm, &xvfb})
        if (*p) {
            (*p)->terminate();
            if (!(*p)->waitForFinished(3000))
                (*p)->kill();
            p->reset();
        }
}

QProcessEnvironment XvfbDesktop::environment() const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), name);
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    return env;
}

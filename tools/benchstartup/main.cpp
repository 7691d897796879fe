// Start-up, memory and responsiveness of the program against a bare Qt window of the same size, on
// the offscreen platform and the virtual mouse.
//
//   vireo_bench_startup [RUNS]      the whole report (each start in a fresh process), on the offscreen
//                                   platform and, when Xvfb is installed, on a private Xvfb display
//   vireo_bench_startup start vireo|bare
//   vireo_bench_startup stall
//
// A start is timed from launching the child to the line it prints after its first paint, not to its
// exit: tearing the window down is no part of starting.
#include "device/DeviceLink.h"
#include "device/sim/SimBackend.h"
#include "ui/shell/CVireoDlg.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTime>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {
// Peak resident memory of this process in kB.
long peakKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

qint64 threadCpuNs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
}

// Ends the process after the first paint of `widget`, printing the peak memory.
class FirstPaint : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && !seen) {
            seen = true;
            QTimer::singleShot(0, [] {
                std::printf("painted %ld\n", peakKb());
                std::fflush(stdout);
                QCoreApplication::exit(0);
            });
        }
        return false;
    }
    bool seen = false;
};

int startChild(const QString& kind) {
    QTemporaryDir data;
    qputenv("VIREO_DATA_DIR", data.path().toLocal8Bit());
    FirstPaint watcher;
    if (kind == QLatin1String("bare")) {
        QWidget bare;
        bare.resize(CVireoDlg::DesignWidth, CVireoDlg::DesignHeight);
        bare.installEventFilter(&watcher);
        bare.show();
        return QApplication::exec();
    }
    SimBackend backend;
    CVireoDlg::Options options;
    options.backend = &backend;
    options.dataFolder = data.path();
    options.trayIcon = false;
    CVireoDlg window(options);
    window.installEventFilter(&watcher);
    window.start();
    return QApplication::exec();
}

struct Start {
    double ms = 0;
    long kb = 0;
};

Start timeStart(const QString& program, const QString& kind, const QProcessEnvironment& env) {
    QProcess child;
    child.setProcessEnvironment(env);
    QElapsedTimer timer;
    timer.start();
    child.start(program, {QStringLiteral("start"), kind});
    QByteArray out;
    double ms = 0;
    while (!out.contains('\n') && child.waitForReadyRead(30000))
        out += child.readAllStandardOutput();
    ms = double(timer.nsecsElapsed()) / 1e6;
    child.waitForFinished(30000);
    const QList<QByteArray> words = out.trimmed().split(' ');
    if (words.value(0) != "painted")
        return {};
    return {ms, words.value(1).toLong()};
}

// A private X server for the Xvfb column; stopped with the bench.
class Xvfb {
public:
    Xvfb() {
        server.start(QStringLiteral("Xvfb"),
                     {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                      QStringLiteral("0"), QStringLiteral("1920x1080x24"), QStringLiteral("-nolisten"),
                      QStringLiteral("tcp")});
        if (!server.waitForStarted(5000))
            return;
        QByteArray out;
        while (!out.contains('\n') && server.waitForReadyRead(10000))
            out += server.readAllStandardOutput();
        bool ok = false;
        const int number = out.trimmed().toInt(&ok);
        if (ok)
            display = QStringLiteral(":") + QString::number(number);
    }
    ~Xvfb() {
        if (server.state() != QProcess::NotRunning) {
            server.terminate();
            server.waitForFinished(5000);
        }
    }
    QProcess server;
    QString display; // empty when no server came up
};

struct Column {
    double vireoMs = 0, bareMs = 0;
    long vireoKb = 0, bareKb = 0;
};

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// The longest gap between two turns of the event loop while a full apply pass goes out in real time.
int stall() {
    QTemporaryDir data;
    qputenv("VIREO_DATA_DIR", data.path().toLocal8Bit());
    SimBackend backend;
    CVireoDlg::Options options;
    options.backend = &backend;
    options.dataFolder = data.path();
    options.trayIcon = false;
    options.progressDialogs = !getenv("VIREO_BENCH_NOPROGRESS");
    CVireoDlg window(options);
    window.start();
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 500)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);

    DeviceLink& link = window.link();
    const uint64_t before = backend.mouse().recordCount();
    QElapsedTimer clock;
    clock.start();
    qint64 last = clock.nsecsElapsed();
    qint64 longest = 0;
    qint64 longestEnd = 0;
    qint64 longestCpu = 0; // of which this thread ran; the rest is the machine's other work
    qint64 lastCpu = threadCpuNs();
    qint64 passStart = 0;
    QTimer tick;
    tick.setInterval(1);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        const qint64 cpuNow = threadCpuNs();
        if (now - last > longest) {
            longest = now - last;
            longestEnd = now;
            longestCpu = cpuNow - lastCpu;
        }
        lastCpu = cpuNow;
        if (now - last > 5000000 && getenv("VIREO_BENCH_GAPS"))
            std::printf("gap %.2f ms ending %.1f ms after the request\n", double(now - last) / 1e6,
                        double(now - passStart) / 1e6);
        last = now;
    });
    tick.start();
    link.forgetLastSent();
    link.requestApply(DeviceLink::KeysDirty | DeviceLink::SettingsDirty | DeviceLink::PowerDirty |
                      DeviceLink::WakeupDirty);
    passStart = clock.nsecsElapsed();
    if (getenv("VIREO_BENCH_GAPS"))
        std::printf("request at %s\n",
                    qPrintable(QTime::currentTime().toString(QStringLiteral("hh:mm:ss.zzz"))));
    QElapsedTimer guard;
    guard.start();
    // The pass starts 20 ms after the request; then the writer paces the frames.
    while (guard.elapsed() < 30000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (guard.elapsed() > 100 && link.frameWriter().idle() && !link.timerActive(DeviceLink::ApplyTimer))
            break;
    }
    tick.stop();
    const double passMs = double(clock.nsecsElapsed() - passStart) / 1e6;
    std::printf(
        "full apply pass: %llu reports in %.0f ms; longest event-loop gap %.2f ms (goal 5 ms; %.2f ms "
        "of it on this thread's CPU), ending %.0f ms after the request\n",
        (unsigned long long)(backend.mouse().recordCount() - before), passMs, double(longest) / 1e6,
        double(longestCpu) / 1e6, double(longestEnd - passStart) / 1e6);
    return 0;
}
} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (mode == QLatin1String("start") && argc > 2) {
        QApplication app(argc, argv);
        return startChild(QString::fromLocal8Bit(argv[2]));
    }
    QApplication app(argc, argv);
    if (mode == QLatin1String("stall"))
        return stall();

    const int runs = std::max(1, mode.toInt() > 0 ? mode.toInt() : 7);
    const QString self = QCoreApplication::applicationFilePath();
    QProcessEnvironment offscreen = QProcessEnvironment::systemEnvironment();
    offscreen.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    Xvfb xvfb;
    QProcessEnvironment x11 = QProcessEnvironment::systemEnvironment();
    x11.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    x11.insert(QStringLiteral("DISPLAY"), xvfb.display);

    struct Platform {
        const char* name;
        QProcessEnvironment env;
        bool on;
    };
    const Platform platforms[] = {{"offscreen", offscreen, true}, {"xvfb", x11, !xvfb.display.isEmpty()}};
    Column columns[2];
    for (int p = 0; p < 2; ++p) {
        if (!platforms[p].on)
            continue;
        std::vector<double> vireoMs, bareMs;
        // Runs alternate so a slow spell of the machine hits both alike.
        for (int i = 0; i < runs; ++i) {
            const Start v = timeStart(self, QStringLiteral("vireo"), platforms[p].env);
            const Start b = timeStart(self, QStringLiteral("bare"), platforms[p].env);
            vireoMs.push_back(v.ms);
            bareMs.push_back(b.ms);
            columns[p].vireoKb = std::max(columns[p].vireoKb, v.kb);
            columns[p].bareKb = std::max(columns[p].bareKb, b.kb);
        }
        columns[p].vireoMs = median(vireoMs);
        columns[p].bareMs = median(bareMs);
    }
    const auto ratio = [](double a, double b) { return b > 0 ? a / b : 0.0; };
    std::printf("%-34s %26s %26s\n", "(median of runs; vireo / bare = ratio)", "offscreen", "xvfb");
    std::printf("%-34s", "start to first paint, ms");
    for (int p = 0; p < 2; ++p) {
        if (platforms[p].on)
            std::printf(" %8.1f / %6.1f = %5.2f", columns[p].vireoMs, columns[p].bareMs,
                        ratio(columns[p].vireoMs, columns[p].bareMs));
        else
            std::printf(" %26s", "(no Xvfb)");
    }
    std::printf("\n%-34s", "peak memory (VmHWM), kB");
    for (int p = 0; p < 2; ++p) {
        if (platforms[p].on)
            std::printf(" %8ld / %6ld = %5.2f", columns[p].vireoKb, columns[p].bareKb,
                        ratio(double(columns[p].vireoKb), double(columns[p].bareKb)));
        else
            std::printf(" %26s", "(no Xvfb)");
    }
    std::printf("\nruns: %d per program and platform\n", runs);
    std::fflush(stdout);
    return stall();
}

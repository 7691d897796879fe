// Start-up, memory and responsiveness of the program against a bare Qt window of the same size, on
// the offscreen platform and the virtual mouse.
//
//   vireo_bench_startup [RUNS]      the whole report (each start in a fresh process)
//   vireo_bench_startup start vireo|bare
//   vireo_bench_startup stall
#include "device/DeviceLink.h"
#include "device/sim/SimBackend.h"
#include "ui/shell/CVireoDlg.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
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

Start timeStart(const QString& program, const QString& kind) {
    QProcess child;
    QElapsedTimer timer;
    timer.start();
    child.start(program, {QStringLiteral("start"), kind});
    child.waitForFinished(30000);
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    const QList<QByteArray> words = child.readAllStandardOutput().trimmed().split(' ');
    return {ms, words.value(1).toLong()};
}

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
    options.progressDialogs = true;
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
    QTimer tick;
    tick.setInterval(1);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        longest = std::max(longest, now - last);
        last = now;
    });
    tick.start();
    link.forgetLastSent();
    link.requestApply(DeviceLink::KeysDirty | DeviceLink::SettingsDirty | DeviceLink::PowerDirty |
                      DeviceLink::WakeupDirty);
    const qint64 passStart = clock.nsecsElapsed();
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
    std::printf("full apply pass: %llu reports in %.0f ms; longest event-loop gap %.2f ms\n",
                (unsigned long long)(backend.mouse().recordCount() - before), passMs, double(longest) / 1e6);
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
    std::vector<double> vireoMs, bareMs;
    long vireoKb = 0, bareKb = 0;
    for (int i = 0; i < runs; ++i) {
        const Start v = timeStart(self, QStringLiteral("vireo"));
        const Start b = timeStart(self, QStringLiteral("bare"));
        vireoMs.push_back(v.ms);
        bareMs.push_back(b.ms);
        vireoKb = std::max(vireoKb, v.kb);
        bareKb = std::max(bareKb, b.kb);
    }
    const double v = median(vireoMs), b = median(bareMs);
    std::printf("start to first paint (median of %d): vireo %.1f ms, bare window %.1f ms, ratio %.2f\n", runs,
                v, b, b > 0 ? v / b : 0.0);
    std::printf("peak memory: vireo %ld kB, bare window %ld kB, ratio %.2f\n", vireoKb, bareKb,
                bareKb > 0 ? double(vireoKb) / double(bareKb) : 0.0);
    std::fflush(stdout);
    return stall();
}

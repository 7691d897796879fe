// Start-up, memory and responsiveness of the program against a bare Qt window of the same size, on
// the offscreen platform and the virtual mouse.
//
//   vireo_bench_startup [RUNS]      the whole report (each start in a fresh process), on the offscreen
//                                   platform and, when Xvfb is installed, on a private Xvfb display
//   vireo_bench_startup start vireo|bare|text
//   vireo_bench_startup stall      event-loop gaps during device work
//   vireo_bench_startup idle bare  a bare window of the program's size that stays up (bench/idle.sh)
//
// A start is timed from launching the child to the line it prints after its first paint, not to its
// exit: tearing the window down is no part of starting.
#include "base/FileCommitter.h"
#include "device/DeviceLink.h"
#include "device/sim/SimBackend.h"
#include "macros/MacroLibrary.h"
#include "macros/MacroLibraryFile.h"
#include "session/StartupLoader.h"
#include "ui/shell/CVireoDlg.h"
#include "ui/shell/ProfileSection.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <QTime>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
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
    if (kind == QLatin1String("text")) {
        // The bare window with one line of text: what the font database alone costs a start.
        QLabel text(QStringLiteral("Vireo"));
        text.resize(CVireoDlg::DesignWidth, CVireoDlg::DesignHeight);
        text.installEventFilter(&watcher);
        text.show();
        return QApplication::exec();
    }
    FileCommitter::instance().setBackground(true); // as the program runs
    SimBackend backend;
    CVireoDlg::Options options;
    options.backend = &backend;
    options.dataFolder = data.path();
    options.trayIcon = false;
    CVireoDlg window(options);
    window.installEventFilter(&watcher);
    window.start();
    const int code = QApplication::exec();
    FileCommitter::instance().setBackground(false); // the saves land before the folder goes
    return code;
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
    double vireoMs = 0, bareMs = 0, textMs = 0;
    long vireoKb = 0, bareKb = 0;
};

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// A library of five macros of 336 actions each (168 key events with delays), for the upload case.
void writeMacroLibrary(const QString& dataFolder) {
    MacroLibrary library;
    for (int m = 0; m < 5; ++m) {
        MacroItemLocation selected = MacroItemLocation::none();
        library.createMacro(QStringLiteral("bench %1").arg(m), selected);
        MacroItem* item = library.usedEntry(selected);
        if (!item || !item->macro)
            continue;
        MacroKey& macro = *item->macro;
        for (uint32_t i = 0; i < MacroKey::Capacity; ++i) {
            const bool delay = i % 2 == 1;
            const uint8_t key = uint8_t(0x41 + (i / 2 + m) % 26);
            macro.insert(i, delay ? MacroAction{{MacroAction::DelayCode, 0, 0, uint8_t(10 + m)}}
                                  : MacroAction{{key, uint8_t((i / 2) % 2 ? 0x80 : 0), 0, 0}});
        }
        macro.MacroCommandActionNum = uint8_t(MacroKey::Capacity / 2);
    }
    MacroLibraryFile::saveLibrary(StartupLoader::libraryPath(dataFolder), library,
                                  MacroLibraryFile::libraryFileLocation());
}

// Gives every button of the current profile one of the five library macros.
void assignMacros(CVireoDlg& window, const QString& dataFolder) {
    MacroLibrary library;
    MacroLibraryFile::loadLibrary(StartupLoader::libraryPath(dataFolder), library);
    ProfileRecord& profile = window.profile();
    for (int k = 0; k < 5; ++k) {
        const MacroItem* item = library.entry(MacroLibrary::locationIn(MacroLibrary::topLevel(), k));
        if (!item || !item->macro)
            continue;
        KeySlot& slot = profile.Keys[size_t(k)];
        slot.Value = KeyValue::fromBytes(0x90, 0, 0);
        slot.MacroKeyIndex = int32_t(item->macro->MacroKeyIndex);
        slot.Macro.assignFrom(*item->macro);
    }
}

// The longest gaps between two turns of the event loop while the program does each kind of device
// work in real time on the virtual mouse: a full apply pass, an upload of five 336-action macros, a
// profile switch, a factory reset and a read-back.
int stall() {
    QTemporaryDir data;
    qputenv("VIREO_DATA_DIR", data.path().toLocal8Bit());
    writeMacroLibrary(data.path());
    FileCommitter::instance().setBackground(true); // as the program runs
    SimBackend backend;
    CVireoDlg::Options options;
    options.backend = &backend;
    options.dataFolder = data.path();
    options.trayIcon = false;
    options.progressDialogs = !getenv("VIREO_BENCH_NOPROGRESS");
    CVireoDlg window(options);
    window.start();
    const auto settle = [](int ms) {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    };
    settle(500);

    DeviceLink& link = window.link();
    bool infoTaken = false;
    QObject::connect(&link, &DeviceLink::infoReceived, [&] { infoTaken = true; });
    const auto idle = [&] { return link.frameWriter().idle() && !link.timerActive(DeviceLink::ApplyTimer); };

    struct Case {
        const char* name;
        std::function<void()> start;
        std::function<bool()> done;
    };
    const unsigned all =
        DeviceLink::KeysDirty | DeviceLink::SettingsDirty | DeviceLink::PowerDirty | DeviceLink::WakeupDirty;
    const Case cases[] = {
        {"full apply pass",
         [&] {
             link.forgetLastSent();
             link.requestApply(all);
         },
         idle},
        {"five 336-action macros",
         [&] {
             assignMacros(window, data.path());
             link.requestApply(DeviceLink::KeysDirty);
         },
         idle},
        {"profile switch", [&] { window.profiles().selectProfile(1); }, idle},
        {"factory reset", [&] { link.factoryReset(); }, idle},
        {"read-back",
         [&] {
             infoTaken = false;
             link.readDeviceInfo();
         },
         [&] { return infoTaken && idle(); }},
    };
    std::printf("%-26s %8s %9s %14s %10s\n", "event-loop gaps (goal 5 ms)", "reports", "took, ms",
                "longest gap, ms", "its CPU, ms");
    for (const Case& c : cases) {
        const uint64_t before = backend.mouse().recordCount();
        QElapsedTimer clock;
        clock.start();
        qint64 last = clock.nsecsElapsed();
        qint64 longest = 0, longestCpu = 0; // of the gap, what this thread ran; the rest is the machine's
        qint64 lastCpu = threadCpuNs();
        QTimer tick;
        tick.setInterval(1);
        QObject::connect(&tick, &QTimer::timeout, [&] {
            const qint64 now = clock.nsecsElapsed();
            const qint64 cpuNow = threadCpuNs();
            if (now - last > longest) {
                longest = now - last;
                longestCpu = cpuNow - lastCpu;
            }
            if (now - last > 5000000 && getenv("VIREO_BENCH_GAPS"))
                std::printf("  gap %.2f ms ending %.1f ms after the start of %s\n", double(now - last) / 1e6,
                            double(now) / 1e6, c.name);
            lastCpu = cpuNow;
            last = now;
        });
        tick.start();
        c.start();
        QElapsedTimer guard;
        guard.start();
        // Passes start 20 ms after the request; then the writer paces the frames.
        while (guard.elapsed() < 60000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            if (guard.elapsed() > 100 && c.done())
                break;
        }
        tick.stop();
        std::printf("%-26s %8llu %9.0f %14.2f %10.2f\n", c.name,
                    (unsigned long long)(backend.mouse().recordCount() - before),
                    double(clock.nsecsElapsed()) / 1e6, double(longest) / 1e6, double(longestCpu) / 1e6);
        settle(200);
    }
    std::fflush(stdout);
    FileCommitter::instance().setBackground(false); // the saves land before the folder goes
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
    if (mode == QLatin1String("idle") && argc > 2 && QLatin1String(argv[2]) == QLatin1String("bare")) {
        QApplication app(argc, argv);
        QWidget bare;
        bare.resize(CVireoDlg::DesignWidth, CVireoDlg::DesignHeight);
        bare.show();
        return QApplication::exec();
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
        std::vector<double> vireoMs, bareMs, textMs;
        // Runs alternate so a slow spell of the machine hits both alike.
        for (int i = 0; i < runs; ++i) {
            const Start v = timeStart(self, QStringLiteral("vireo"), platforms[p].env);
            const Start b = timeStart(self, QStringLiteral("bare"), platforms[p].env);
            const Start t = timeStart(self, QStringLiteral("text"), platforms[p].env);
            vireoMs.push_back(v.ms);
            bareMs.push_back(b.ms);
            textMs.push_back(t.ms);
            columns[p].vireoKb = std::max(columns[p].vireoKb, v.kb);
            columns[p].bareKb = std::max(columns[p].bareKb, b.kb);
        }
        columns[p].vireoMs = median(vireoMs);
        columns[p].bareMs = median(bareMs);
        columns[p].textMs = median(textMs);
    }
    // One row: a figure and its reference per platform, with their ratio.
    const auto row = [&](const char* label, auto figure, auto reference, const char* format) {
        std::printf("%-34s", label);
        for (int p = 0; p < 2; ++p) {
            const double a = double(figure(columns[p])), b = double(reference(columns[p]));
            if (platforms[p].on)
                std::printf(format, a, b, b > 0 ? a / b : 0.0);
            else
                std::printf(" %26s", "(no Xvfb)");
        }
        std::printf("\n");
    };
    const char* ms = " %8.1f / %6.1f = %5.2f";
    const char* kb = " %8.0f / %6.0f = %5.2f";
    std::printf("%-34s %26s %26s\n", "(median of runs; vireo / bare = ratio)", "offscreen", "xvfb");
    row(
        "start to first paint, ms", [](const Column& c) { return c.vireoMs; },
        [](const Column& c) { return c.bareMs; }, ms);
    row(
        "  bare window with a line of text", [](const Column& c) { return c.textMs; },
        [](const Column& c) { return c.bareMs; }, ms);
    row(
        "peak memory (VmHWM), kB", [](const Column& c) { return c.vireoKb; },
        [](const Column& c) { return c.bareKb; }, kb);
    std::printf("runs: %d per program and platform\n", runs);
    std::fflush(stdout);
    return stall();
}

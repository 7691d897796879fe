// The time from a focus change to the first frame of the profile switch reaching the virtual mouse,
// next to the time the same switch takes as `vireoctl profile N` (its ControlHandler path), in the
// same run, in real time. Prints the medians and their ratio.
#include "device/SteadyClock.h"
#include "device/sim/SimBackend.h"
#include "features/SensorOptions.h"
#include "focus/FocusSource.h"
#include "session/AutoProfile.h"
#include "session/ControlHandler.h"
#include "session/Session.h"
#include "settings/Preferences.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
class BenchSource : public FocusSource {
public:
    QString name() const override { return QStringLiteral("bench"); }
    void push(const ProgramLinks::Window& w) { deliver(w); }
};

ProgramLinks::Window program(const char* exe) {
    ProgramLinks::Window w;
    w.executable = QString::fromLatin1(exe);
    return w;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    SteadyClock clock;
    SimBackend backend({SimBackend::Link::Wired}, &clock);
    LangText texts;
    ProfileRecords records;
    Session::Options o;
    o.dataFolder = dir.path();
    o.backend = &backend;
    o.clock = &clock;
    o.texts = &texts;
    o.records = &records;
    o.loadLanguageAndLibrary = false;
    Session session(o);
    ProfileRecord& game = session.store().records()[1];
    SensorOptions::setRate(game, SensorOptions::rateIndexOfHz(125));
    ProgramLinks::store(game, {QStringLiteral("program:game.exe")});
    DeviceLink& link = session.link();
    link.setWindowShown(false);
    link.startUp();
    link.applyNow();
    link.frameWriter().waitIdle(5000);

    Preferences preferences(dir.path());
    AutoProfile follow(link, session.store(), preferences, clock);
    BenchSource source;
    follow.follow(&source);
    ControlHandler handler(session);
    VirtualMouse& mouse = backend.mouse();

    // Runs `start`, then the event loop until a frame reaches the mouse; milliseconds, or -1.
    const auto firstFrame = [&](const std::function<void()>& start) {
        link.frameWriter().waitIdle(5000);
        // The paced waits that end the pass before have run out, as between two real focus changes.
        QElapsedTimer idle;
        idle.start();
        while (idle.elapsed() < 500)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        mouse.clearWireLog();
        QElapsedTimer t;
        t.start();
        start();
        while (mouse.wireLog().empty() && t.elapsed() < 2000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        const double ms = mouse.wireLog().empty() ? -1 : double(t.nsecsElapsed()) / 1e6;
        link.frameWriter().waitIdle(5000);
        return ms;
    };
    const auto choose = [&](int n) {
        ControlRequest r;
        r.command = ControlRequest::Command::Profile;
        r.value = n;
        handler.begin(r);
    };

    std::vector<double> focusMs, profileMs;
    for (int i = 0; i < 20; ++i) {
        focusMs.push_back(firstFrame([&] { source.push(program("/games/game.exe")); }));
        firstFrame([&] { source.push(program("/usr/bin/editor")); });
        profileMs.push_back(firstFrame([&] { choose(2); }));
        firstFrame([&] { choose(1); });
    }
    const double f = median(focusMs), p = median(profileMs);
    std::printf("focus change -> first frame:      %8.2f ms (median of %zu)\n", f, focusMs.size());
    std::printf("vireoctl profile N -> first frame: %8.2f ms (median of %zu, ControlHandler path)\n", p,
                profileMs.size());
    std::printf("ratio focus / profile:             %8.2f\n", p > 0 ? f / p : 0.0);
    return 0;
}

#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class ClockTimer;
class DeviceClock;
class DeviceLink;

// A user's request to open the main window (the menu entry, a second start, the tray's open item
// or a click on the icon). The mouse still decides whether the window may show; this object makes
// sure the user learns why when it may not, and that each asker gets one answer.
class WindowRequest : public QObject {
    Q_OBJECT

public:
    enum class Outcome {
        Shown,         // the window may show (and was told to)
        NoMouse,       // no mouse or receiver is connected
        NoPermission,  // a mouse is plugged in but may not be opened
        MouseDeclined, // the mouse answered and does not ask for the window
        NoAnswer,      // the mouse did not answer the read-back in time
    };
    // How long a read-back may take before the request is answered without it.
    static constexpr int AnswerWaitMs = 3000;

    WindowRequest(DeviceLink& link, DeviceClock& clock, QObject* parent = nullptr);
    ~WindowRequest() override;

    // The user asks. `done` (optional) runs once with the outcome: at once when the link already
    // knows, else after the mouse's answer to a read-back, or after AnswerWaitMs. Without
    // `readBack` the answer to a read-back already on its way (the start's) decides.
    void ask(std::function<void(Outcome)> done = nullptr, bool readBack = true);
    // A request that was refused and not yet granted by the mouse.
    bool pending() const { return waiting || refusedOpen; }

    // One line for standard error and for a second start: what happened, never a promise the
    // program does not keep. English, as the program's other standard error lines.
    static QString describe(Outcome outcome);

signals:
    // The window may show now: bring it up.
    void showNow();
    // The request cannot be granted now; the window tells the user why.
    void refused(WindowRequest::Outcome outcome);
    // A refused request was granted after all (the mouse asked): any notice about it is out of date.
    void granted();

private:
    Outcome immediate() const;
    void answered();
    void finish(Outcome outcome);

    DeviceLink& link;
    std::unique_ptr<ClockTimer> wait;
    std::vector<std::function<void(Outcome)>> askers;
    bool waiting = false;
    bool refusedOpen = false;
    Outcome lastRefusal = Outcome::Shown;
};

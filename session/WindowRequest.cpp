#include "session/WindowRequest.h"

#include "device/DeviceClock.h"
#include "device/DeviceLink.h"

WindowRequest::WindowRequest(DeviceLink& deviceLink, DeviceClock& clock, QObject* parent)
    : QObject(parent), link(deviceLink) {
    wait = clock.makeTimer(AnswerWaitMs, false, [this] {
        if (waiting)
            finish(Outcome::NoAnswer);
    });
    connect(&link, &DeviceLink::infoReceived, this, &WindowRequest::answered);
    // A mouse that asks by itself opens the window through the link; a notice about an earlier
    // refusal must not outlive that.
    connect(&link, &DeviceLink::showWindowRequested, this, [this] {
        if (!refusedOpen && !waiting)
            return;
        refusedOpen = false;
        if (waiting)
            finish(Outcome::Shown);
        emit granted();
    });
}

WindowRequest::~WindowRequest() = default;

WindowRequest::Outcome WindowRequest::immediate() const {
    if (link.windowShown() && link.status().showRequest)
        return Outcome::Shown;
    if (!link.connected())
        return link.permissionFailure() ? Outcome::NoPermission : Outcome::NoMouse;
    return Outcome::MouseDeclined;
}

void WindowRequest::ask(std::function<void(Outcome)> done, bool readBack) {
    if (done)
        askers.push_back(std::move(done));
    const Outcome now = immediate();
    if (now != Outcome::MouseDeclined) {
        finish(now);
        return;
    }
    // Connected, and the last answer did not grant the show: the mouse is asked again.
    if (!waiting) {
        waiting = true;
        wait->start();
        if (readBack)
            link.readDeviceInfo();
    }
}

void WindowRequest::answered() {
    if (waiting) {
        finish(immediate());
        return;
    }
    // A refused request stays open: a mouse that came, or changed its mind, is told about once.
    if (refusedOpen && immediate() != lastRefusal)
        finish(immediate());
}

void WindowRequest::finish(Outcome outcome) {
    waiting = false;
    wait->stop();
    if (outcome == Outcome::Shown) {
        const bool wasRefused = refusedOpen;
        refusedOpen = false;
        emit showNow();
        if (wasRefused)
            emit granted();
    } else {
        refusedOpen = true;
        lastRefusal = outcome;
        emit refused(outcome);
    }
    const std::vector<std::function<void(Outcome)>> told = std::move(askers);
    askers.clear();
    for (const auto& done : told)
        done(outcome);
}

QString WindowRequest::describe(Outcome outcome) {
    switch (outcome) {
    case Outcome::Shown:
        return QStringLiteral("its window is shown.");
    case Outcome::NoMouse:
        return QStringLiteral("no mouse is connected, so the window stays closed; plug in the mouse or "
                              "its receiver, and Vireo opens when it is found.");
    case Outcome::NoPermission:
        return QStringLiteral("the mouse may not be opened (no permission), so the window stays closed; "
                              "the notice on the screen says how to grant access.");
    case Outcome::MouseDeclined:
        return QStringLiteral("the mouse does not ask for the window to be shown, so it stays closed; it "
                              "opens when the mouse asks for it (NeedPassword=0 in config.ini opens it "
                              "at any time).");
    case Outcome::NoAnswer:
        return QStringLiteral("the mouse did not answer, so the window stays closed; it opens when the "
                              "mouse asks for it.");
    }
    return QString();
}

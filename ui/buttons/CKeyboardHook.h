#pragma once

#include "toolkit/MessageTable.h"

#include <QObject>
#include <cstdint>
#include <functional>

class MessageWindow;

// Reports the keyboard to one window while started: every key press and release that reaches any
// window of the program becomes message KeyMessage, sent at once to the window given to StartHook,
// with
//   wParam  the key's virtual-key code (1..255),
//   lParam  bit 31 set for a release; bits 0..30 a time stamp in milliseconds, of which only
//           differences count (it wraps past 2^31).
// A held key reports its repeats as further presses and is released once.
//
// While started the keys go nowhere else: no shortcut, default button or dialog key handling sees
// them, so Enter and Esc can be recorded like any key. At most one hook runs at a time; starting one
// stops the one that ran. The window must outlive the started hook; owning the hook as a member
// of the window does that, as the destructor stops it.
class CKeyboardHook : public QObject {
    Q_OBJECT

public:
    static constexpr uint32_t KeyMessage = WM_USER + 1;
    static constexpr intptr_t ReleaseBit = intptr_t(1) << 31;

    // Milliseconds from any fixed point.
    using Clock = std::function<uint32_t()>;

    CKeyboardHook();
    ~CKeyboardHook() override;

    // Nonzero when started (a null window starts nothing).
    int StartHook(MessageWindow* window);
    int StopHook();
    bool IsStarted() const { return target != nullptr; }

    // The time stamps' source; a steady clock by default.
    void SetClock(Clock clock);

    static bool IsRelease(intptr_t lParam) { return (lParam & ReleaseBit) != 0; }
    static uint32_t TimeOf(intptr_t lParam) { return uint32_t(lParam) & 0x7FFFFFFFu; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    MessageWindow* target = nullptr;
    Clock clock;
    bool positionalScanCodes = false;
};

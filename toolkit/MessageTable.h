#pragma once

#include <QObject>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>

class QTimer;

// Message numbers shared by every window.
constexpr uint32_t WM_USER = 1024;

// A window's handlers by message number and its timers by id. Sending runs the handler at once;
// posting queues it on the user-interface thread and is dropped when the table is gone by then.
// Posting is the one operation other threads may use (while the window lives); everything else
// belongs to the user-interface thread.
class MessageTable {
public:
    using Handler = std::function<intptr_t(uintptr_t wParam, intptr_t lParam)>;
    using TimerHandler = std::function<void()>;
    enum class Repeat { Periodic, SingleShot };

    MessageTable();
    ~MessageTable();
    MessageTable(const MessageTable&) = delete;
    MessageTable& operator=(const MessageTable&) = delete;

    using DefaultHandler = std::function<intptr_t(uint32_t message, uintptr_t wParam, intptr_t lParam)>;

    // Replaces any handler the number had.
    void add(uint32_t message, Handler handler);
    // Gets the messages no handler takes (none by default).
    void setDefaultHandler(DefaultHandler handler) { fallback = std::move(handler); }
    void remove(uint32_t message);
    bool handles(uint32_t message) const;

    // The handler's result, or 0 when the number has none (and there is no default handler).
    intptr_t send(uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0);
    void post(uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0);

    // What timer `id` runs when it elapses.
    void addTimer(int id, TimerHandler handler);
    // Starts timer `id`; a running one starts over with the new interval. A single-shot timer
    // stops before its handler runs.
    void setTimer(int id, int intervalMs, Repeat repeat = Repeat::Periodic);
    void killTimer(int id);
    bool isTimerRunning(int id) const;
    int timerInterval(int id) const; // -1 for a timer never set
    // Runs timer `id` now as if it had elapsed (a single-shot timer stops); for driving the
    // timers without waiting.
    void fireTimer(int id);

private:
    void elapsed(int id);

    std::unique_ptr<QObject> context; // owns the timers; queued posts die with it
    std::map<uint32_t, Handler> handlers;
    DefaultHandler fallback;
    std::map<int, TimerHandler> timerHandlers;
    std::map<int, QTimer*> timers;
};

#include "toolkit/MessageTable.h"

#include <QMetaObject>
#include <QTimer>

MessageTable::MessageTable() : context(std::make_unique<QObject>()) {}

MessageTable::~MessageTable() = default;

void MessageTable::add(uint32_t message, Handler handler) {
    handlers[message] = std::move(handler);
}

void MessageTable::remove(uint32_t message) {
    handlers.erase(message);
}

bool MessageTable::handles(uint32_t message) const {
    return handlers.count(message) != 0;
}

intptr_t MessageTable::send(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    const auto it = handlers.find(message);
    if (it == handlers.end() || !it->second) {
        if (!fallback)
            return 0;
        const DefaultHandler handler = fallback;
        return handler(message, wParam, lParam);
    }
    // A copy, so a handler may replace or remove itself while it runs.
    const Handler handler = it->second;
    return handler(wParam, lParam);
}

void MessageTable::post(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    QMetaObject::invokeMethod(
        context.get(), [this, message, wParam, lParam] { send(message, wParam, lParam); },
        Qt::QueuedConnection);
}

void MessageTable::addTimer(int id, TimerHandler handler) {
    timerHandlers[id] = std::move(handler);
}

void MessageTable::setTimer(int id, int intervalMs, Repeat repeat) {
    QTimer*& timer = timers[id];
    if (!timer) {
        timer = new QTimer(context.get());
        // Short intervals (the 10 ms progress fill, the 20 ms apply) should not drift.
        timer->setTimerType(Qt::PreciseTimer);
        QObject::connect(timer, &QTimer::timeout, context.get(), [this, id] { elapsed(id); });
    }
    timer->setSingleShot(repeat == Repeat::SingleShot);
    timer->start(intervalMs < 0 ? 0 : intervalMs);
}

void MessageTable::killTimer(int id) {
    const auto it = timers.find(id);
    if (it != timers.end())
        it->second->stop();
}

bool MessageTable::isTimerRunning(int id) const {
    const auto it = timers.find(id);
    return it != timers.end() && it->second->isActive();
}

int MessageTable::timerInterval(int id) const {
    const auto it = timers.find(id);
    return it == timers.end() ? -1 : it->second->interval();
}

void MessageTable::fireTimer(int id) {
    const auto it = timers.find(id);
    if (it != timers.end() && it->second->isSingleShot())
        it->second->stop();
    elapsed(id);
}

void MessageTable::elapsed(int id) {
    const auto it = timerHandlers.find(id);
    if (it == timerHandlers.end() || !it->second)
        return;
    const TimerHandler handler = it->second;
    handler();
}

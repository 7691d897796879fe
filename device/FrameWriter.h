#pragma once

#include "device/DeviceClock.h"
#include "device/DeviceFrame.h"
#include "device/hid/HidBackend.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

// Sends frames to the mouse in the order they were queued, on a thread of its own, keeping the
// pauses the firmware needs between frames. Frames are built and numbered by the caller; the
// caller's thread never waits for the device. A pause only ever delays the next frame: nothing is
// slept after the last one, so an idle writer holds no waits and can stop at once.
class FrameWriter {
public:
    static constexpr int MinGapMs = 60;
    static constexpr int InfoReadDelayMs = 10;

    using InfoCallback = std::function<void(bool ok, const DeviceFrame& response)>;
    // error is 0 when the set-feature call succeeded, else an errno value.
    using SendObserver = std::function<void(const DeviceFrame& frame, int64_t atMs, int error)>;
    using SendResult = std::function<void(int error)>;

    explicit FrameWriter(DeviceClock& clock);
    ~FrameWriter(); // drops what is still queued; call finish() first to deliver it

    // Sends the frame (skipped when device is null, as the macro sender does without a handle); the
    // next frame leaves waitAfterMs later at the earliest. Any two frames are at least MinGapMs
    // apart. result, if given, runs on the writer thread with the outcome of a frame that was sent.
    void send(std::shared_ptr<HidDevice> device, const DeviceFrame& frame, int waitAfterMs,
              SendResult result = {});
    // Delays the next frame queued by ms more (the key pass waits after keys it does not send).
    void pause(int ms);
    // Drops pauses that no frame followed: they would only hold back whatever comes next.
    void endBatch();
    // Request, InfoReadDelayMs, read. The callback runs on the writer thread with the response (its
    // buffer pre-filled with 0xFF and the report ID, as the firmware expects).
    void exchangeInfo(std::shared_ptr<HidDevice> device, const DeviceFrame& request, InfoCallback callback);

    // Called on the writer thread after each set-feature call that succeeded or failed.
    void setSendObserver(SendObserver observer);

    // Blocks the caller until the queue is empty or realTimeoutMs of real time passed; true if empty.
    bool waitIdle(int realTimeoutMs);
    // Delivers what is queued (bounded by realTimeoutMs), then stops the thread.
    void finish(int realTimeoutMs);
    bool idle() const;
    // Frames queued or being written that have not reached the device yet (any thread).
    int framesLeft() const;

private:
    struct Item {
        enum Kind { Frame, Info } kind = Frame;
        std::shared_ptr<HidDevice> device;
        DeviceFrame frame;
        int waitAfterMs = 0;
        int waitBeforeMs = 0; // pauses queued since the frame before
        InfoCallback callback;
        SendResult result;
    };

    void enqueue(Item item);
    void stop(); // drops what is queued and ends the thread
    void run();
    void execute(Item& item);

    DeviceClock& clock;
    mutable std::mutex mutex;
    std::condition_variable wake;
    std::condition_variable drained;
    std::deque<Item> queue;
    bool busy = false;
    int framesQueued = 0; // Frame items queued or being executed; under the mutex
    bool stopping = false;
    int pendingPauseMs = 0;         // pauses waiting for the next frame; under the mutex
    int64_t lastFrameMs = -1000000; // writer thread only
    int64_t nextFrameMs = -1000000; // earliest time of the next frame; writer thread only
    SendObserver observer;
    std::thread thread;
};

#include "device/FrameWriter.h"

#include <algorithm>
#include <chrono>

FrameWriter::FrameWriter(DeviceClock& c) : clock(c) {
    thread = std::thread([this] { run(); });
}

FrameWriter::~FrameWriter() {
    stop();
}

void FrameWriter::stop() {
    {
        std::lock_guard lock(mutex);
        stopping = true;
        queue.clear();
        framesQueued = 0;
    }
    wake.notify_all();
    if (thread.joinable())
        thread.join();
}

void FrameWriter::send(std::shared_ptr<HidDevice> device, const DeviceFrame& frame, int waitAfterMs,
                       SendResult result) {
    Item item;
    item.kind = Item::Frame;
    item.device = std::move(device);
    item.frame = frame;
    item.waitAfterMs = waitAfterMs;
    item.result = std::move(result);
    enqueue(std::move(item));
}

void FrameWriter::pause(int ms) {
    std::lock_guard lock(mutex);
    pendingPauseMs += std::max(0, ms);
}

void FrameWriter::endBatch() {
    std::lock_guard lock(mutex);
    pendingPauseMs = 0;
}

void FrameWriter::exchangeInfo(std::shared_ptr<HidDevice> device, const DeviceFrame& request,
                               InfoCallback callback) {
    Item item;
    item.kind = Item::Info;
    item.device = std::move(device);
    item.frame = request;
    item.callback = std::move(callback);
    enqueue(std::move(item));
}

void FrameWriter::setSendObserver(SendObserver o) {
    std::lock_guard lock(mutex);
    observer = std::move(o);
}

void FrameWriter::enqueue(Item item) {
    {
        std::lock_guard lock(mutex);
        if (stopping)
            return;
        item.waitBeforeMs = pendingPauseMs;
        pendingPauseMs = 0;
        if (item.kind == Item::Frame)
            ++framesQueued;
        queue.push_back(std::move(item));
    }
    wake.notify_one();
}

bool FrameWriter::idle() const {
    std::lock_guard lock(mutex);
    return queue.empty() && !busy;
}

int FrameWriter::framesLeft() const {
    std::lock_guard lock(mutex);
    return framesQueued;
}

bool FrameWriter::waitIdle(int realTimeoutMs) {
    std::unique_lock lock(mutex);
    return drained.wait_for(lock, std::chrono::milliseconds(realTimeoutMs),
                            [this] { return queue.empty() && !busy; });
}

void FrameWriter::finish(int realTimeoutMs) {
    waitIdle(realTimeoutMs);
    stop();
}

void FrameWriter::run() {
    for (;;) {
        Item item;
        {
            std::unique_lock lock(mutex);
            wake.wait(lock, [this] { return stopping || !queue.empty(); });
            if (stopping)
                break;
            item = std::move(queue.front());
            queue.pop_front();
            busy = true;
        }
        execute(item);
        {
            std::lock_guard lock(mutex);
            busy = false;
            if (item.kind == Item::Frame && framesQueued > 0)
                --framesQueued;
            if (queue.empty())
                drained.notify_all();
        }
    }
    std::lock_guard lock(mutex);
    busy = false;
    drained.notify_all();
}

void FrameWriter::execute(Item& item) {
    SendObserver notify;
    {
        std::lock_guard lock(mutex);
        notify = observer;
    }
    // Earliest moment for this frame: the waits asked for since the frame before, and the gap.
    const int64_t dueMs = std::max(nextFrameMs + item.waitBeforeMs, lastFrameMs + MinGapMs);
    if (!item.device) {
        // Nothing leaves, but the waits around it still separate the frames either side.
        nextFrameMs = dueMs + item.waitAfterMs;
        if (item.callback)
            item.callback(false, DeviceFrame{});
        return;
    }
    clock.sleepUntil(dueMs);
    lastFrameMs = clock.nowMs();
    nextFrameMs = lastFrameMs + item.waitAfterMs;
    const int error = item.device->setFeature(item.frame.bytes.data(), item.frame.bytes.size());
    if (notify)
        notify(item.frame, lastFrameMs, error);

    switch (item.kind) {
    case Item::Frame:
        if (item.result)
            item.result(error);
        break;
    case Item::Info: {
        DeviceFrame response;
        bool ok = false;
        if (error == 0) {
            clock.sleepFor(InfoReadDelayMs);
            response.bytes = MouseProtocol::infoReadBuffer();
            ok = item.device->getFeature(response.bytes.data(), response.bytes.size()) == 0;
        }
        if (item.callback)
            item.callback(ok, response);
        break;
    }
    }
}

#pragma once

#include "base/SaveReport.h"
#include "session/ControlHandler.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QObject>
#include <QTimer>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

// vireoctl's requests to the running program. Requests that arrive while others are carried out
// wait and then go together: their changes are made in the order they came, one pass sends the
// result (so of several rates the last one wins), and the profiles are saved before any of them is
// answered. Each answer says what happened: Ok once the frames arrived and the files are on disk,
// MouseGone with the count of frames that did not arrive, Failed naming a file that was not saved.
class ControlQueue : public QObject {
    Q_OBJECT
public:
    using Reply = std::function<void(const QByteArray&)>;
    static constexpr int DeliveryTimeoutMs = 8000;
    static constexpr int PollMs = 20;

    ControlQueue(DeviceLink& link, SettingsStore& store, DpiTables& tables, QObject* parent = nullptr);

    // The window's part: what its controls hold goes into the profile before the changes, and the
    // profile back into them after.
    std::function<void()> beforeChange;
    std::function<void()> afterChange;
    // True once the program is ending: requests are then refused.
    std::function<bool()> ending;

    void handle(const QByteArray& line, Reply reply);
    // The program ends: every request is answered now, by what happened to it so far.
    void finishAll();
    // Requests not yet answered.
    int waiting() const { return int(queued.size() + batch.size()); }

private:
    struct Request {
        ControlRequest request;
        Reply reply;
        QDeadlineTimer deadline;
        ControlHandler::Result begun;
    };
    enum class Stage { Idle, Sending, Saving };

    void startBatch();
    void poll();
    void startSaving();
    void answerBatch(bool ended);

    DeviceLink& link;
    ControlHandler handler;
    std::deque<Request> queued;
    std::vector<Request> batch;
    std::optional<SaveReport> saves;
    Stage stage = Stage::Idle;
    bool delivered = false; // the batch's pass settled, or nothing of it is left to send
    bool finished = false;
    QTimer timer;
};

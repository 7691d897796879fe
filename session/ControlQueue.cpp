#include "session/ControlQueue.h"

#include <QCoreApplication>
#include <algorithm>

ControlQueue::ControlQueue(DeviceLink& l, SettingsStore& store, DpiTables& tables, QObject* parent)
    : QObject(parent), link(l), handler(l, store, tables) {
    timer.setInterval(PollMs);
    connect(&timer, &QTimer::timeout, this, &ControlQueue::poll);
}

void ControlQueue::handle(const QByteArray& line, Reply reply) {
    QString why;
    const std::optional<ControlRequest> request = ControlRequest::fromLine(line, &why);
    if (!request) {
        reply(ControlRequest::answerLine(ControlRequest::Usage, why));
        return;
    }
    if (finished || (ending && ending())) {
        // The end of the program most often follows the mouse's removal: that is what is told.
        if (!link.connected())
            reply(ControlRequest::answerLine(
                ControlRequest::NoMouse,
                QStringLiteral("the mouse was unplugged and vireo ended with it; nothing was changed.")));
        else
            reply(ControlRequest::answerLine(ControlRequest::Failed, QStringLiteral("vireo is ending.")));
        return;
    }
    queued.push_back({*request, std::move(reply), QDeadlineTimer(DeliveryTimeoutMs), {}});
    if (stage == Stage::Idle)
        startBatch();
}

void ControlQueue::startBatch() {
    while (stage == Stage::Idle && !queued.empty()) {
        batch.assign(std::make_move_iterator(queued.begin()), std::make_move_iterator(queued.end()));
        queued.clear();
        if (beforeChange)
            beforeChange(); // what the controls hold but the profile does not yet (a slider) is kept
        saves.emplace();
        for (Request& r : batch)
            r.begun = handler.begin(r.request, false);
        if (afterChange)
            afterChange();
        // A refusal changed nothing and is told at once.
        std::vector<Request> accepted;
        for (Request& r : batch) {
            if (r.begun.code == ControlRequest::Ok)
                accepted.push_back(std::move(r));
            else
                r.reply(ControlRequest::answerLine(r.begun.code, r.begun.message));
        }
        batch = std::move(accepted);
        if (batch.empty())
            continue;
        handler.send();
        stage = Stage::Sending;
        delivered = false;
        timer.start();
    }
}

void ControlQueue::poll() {
    if (stage == Stage::Sending) {
        delivered = handler.settled();
        const bool late =
            std::any_of(batch.begin(), batch.end(), [](const Request& r) { return r.deadline.hasExpired(); });
        if (!delivered && !late)
            return;
        startSaving();
    }
    if (stage == Stage::Saving && saves->ended())
        answerBatch(false);
}

void ControlQueue::startSaving() {
    stage = Stage::Saving;
    // Acknowledged means kept: the change is saved before the answer goes.
    if (link.savePending())
        link.saveNow();
    saves->close();
}

void ControlQueue::answerBatch(bool ended) {
    timer.stop();
    const ControlHandler::Result kept = ControlHandler::kept(*saves);
    // A pass that did not settle in time but left nothing queued has delivered what it could.
    const bool sent = delivered || link.frameWriter().idle();
    for (Request& r : batch) {
        ControlHandler::Result result = handler.finish(r.begun);
        if (result.code == ControlRequest::MouseGone && ended)
            result.message = QStringLiteral("the mouse went away and vireo ended with it: %1 frame(s) did "
                                            "not arrive.")
                                 .arg(link.lostFrames());
        else if (result.code == ControlRequest::Ok && !sent)
            result = {ControlRequest::Failed, QStringLiteral("the mouse did not take the frames in time.")};
        if (kept.code != ControlRequest::Ok)
            result = kept;
        r.reply(ControlRequest::answerLine(result.code, result.message));
    }
    batch.clear();
    saves.reset();
    stage = Stage::Idle;
    if (!ended)
        startBatch();
}

void ControlQueue::finishAll() {
    if (finished)
        return;
    finished = true;
    timer.stop();
    if (stage != Stage::Idle) {
        // Frames that failed on the way are counted before the answer names them.
        link.frameWriter().waitIdle(1000);
        QCoreApplication::sendPostedEvents(&link, QEvent::MetaCall);
        if (stage == Stage::Sending)
            startSaving();
        saves->wait();
        answerBatch(true);
    }
    for (Request& r : queued)
        r.reply(ControlRequest::answerLine(
            ControlRequest::Failed, QStringLiteral("vireo ended before it could carry out the request.")));
    queued.clear();
}

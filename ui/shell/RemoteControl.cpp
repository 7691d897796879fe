#include "ui/shell/RemoteControl.h"

#include "ui/shell/CVireoDlg.h"

#include <QDeadlineTimer>
#include <QTimer>

RemoteControl::RemoteControl(CVireoDlg& dialog, QObject* parent)
    : QObject(parent), dialog(dialog), handler(dialog.link(), dialog.store(), dialog.dpiTables()) {}

void RemoteControl::handle(const QByteArray& line, std::function<void(const QByteArray&)> reply) {
    QString why;
    const std::optional<ControlRequest> request = ControlRequest::fromLine(line, &why);
    if (!request) {
        reply(ControlRequest::answerLine(ControlRequest::Usage, why));
        return;
    }
    if (dialog.hasEnded()) {
        reply(ControlRequest::answerLine(ControlRequest::Failed, QStringLiteral("vireo is ending.")));
        return;
    }
    // What the controls hold but the profile does not yet (a slider being moved) is kept.
    dialog.CollectControls();
    const ControlHandler::Result begun = handler.begin(*request);
    if (request->command == ControlRequest::Command::AutoAdd ||
        request->command == ControlRequest::Command::AutoRemove)
        dialog.automatic().profilesChanged();
    dialog.RefreshAll();
    if (begun.code != ControlRequest::Ok) {
        reply(ControlRequest::answerLine(begun.code, begun.message));
        return;
    }
    auto* poll = new QTimer(this);
    const QDeadlineTimer deadline(DeliveryTimeoutMs);
    connect(poll, &QTimer::timeout, this, [this, poll, deadline, begun, reply] {
        const bool settled = handler.settled();
        if (!settled && !deadline.hasExpired())
            return;
        poll->stop();
        poll->deleteLater();
        const ControlHandler::Result result =
            settled ? handler.finish(begun)
                    : ControlHandler::Result{ControlRequest::Failed,
                                             QStringLiteral("the mouse did not take the frames in time.")};
        reply(ControlRequest::answerLine(result.code, result.message));
    });
    poll->start(PollMs);
}

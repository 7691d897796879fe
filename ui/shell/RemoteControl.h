#pragma once

#include "session/ControlHandler.h"

#include <QByteArray>
#include <QObject>
#include <functional>

class CVireoDlg;

// vireoctl's requests to the running program, carried out as edits in the main window: the
// profile changes, the window shows it, the pass sends it and the deferred save keeps it. The
// answer goes back once the frames have reached the mouse (or failed to).
class RemoteControl : public QObject {
    Q_OBJECT
public:
    static constexpr int DeliveryTimeoutMs = 8000;
    static constexpr int PollMs = 20;

    explicit RemoteControl(CVireoDlg& dialog, QObject* parent = nullptr);
    void handle(const QByteArray& line, std::function<void(const QByteArray&)> reply);

private:
    CVireoDlg& dialog;
    ControlHandler handler;
};

#pragma once

#include "session/ControlQueue.h"

#include <QByteArray>
#include <QObject>
#include <functional>

class CVireoDlg;

// vireoctl's requests to the running program, carried out as edits in the main window: the
// profile changes, the window shows it, the pass sends it and the save keeps it before the answer
// goes back. When the window ends, the requests still waiting are answered by what happened.
class RemoteControl : public QObject {
    Q_OBJECT
public:
    explicit RemoteControl(CVireoDlg& dialog, QObject* parent = nullptr);
    void handle(const QByteArray& line, std::function<void(const QByteArray&)> reply);
    ControlQueue& queue() { return requests; }

private:
    ControlQueue requests;
};

#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <memory>

// SIGTERM, SIGINT and SIGHUP (logout, Ctrl+C, a closed terminal) as a Qt signal on the main thread,
// so the program ends the way the tray's Exit ends it instead of dying with a save pending. The
// handler only writes the signal's number into a socket pair; one instance at a time.
class QuitSignals : public QObject {
    Q_OBJECT

public:
    explicit QuitSignals(QObject* parent = nullptr);
    // Puts back the handlers that were there before.
    ~QuitSignals() override;

    bool installed() const { return notifier != nullptr; }

signals:
    void received(int signalNumber);

private:
    void readPending();

    std::unique_ptr<QSocketNotifier> notifier;
};

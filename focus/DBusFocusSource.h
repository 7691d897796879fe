#pragma once

#include "focus/FocusSource.h"

#include <QDBusConnection>

// The focus as a desktop script reports it: the method FocusChanged(s appId, s title, u pid) of
// io.github.vireo.Vireo at /io/github/vireo/Vireo on the session bus. A pid of 0 is unknown; empty
// app id and title with pid 0 mean no window has the focus.
class DBusFocusSource : public FocusSource {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "io.github.vireo.Vireo")
public:
    static constexpr const char* Service = "io.github.vireo.Vireo";
    static constexpr const char* Path = "/io/github/vireo/Vireo";

    explicit DBusFocusSource(QObject* parent = nullptr);
    ~DBusFocusSource() override;

    // Takes the service name and exports the method; false (with the bus's reason in `error`) when
    // the bus cannot be reached or another program holds the name.
    bool open(const QDBusConnection& bus, QString* error = nullptr);
    QString name() const override { return QStringLiteral("D-Bus"); }

public slots:
    Q_SCRIPTABLE void FocusChanged(const QString& appId, const QString& title, uint pid);
    // KWin's callDBus hands a script's numbers on as signed or floating values; they mean the same.
    Q_SCRIPTABLE void FocusChanged(const QString& appId, const QString& title, int pid);
    Q_SCRIPTABLE void FocusChanged(const QString& appId, const QString& title, double pid);

private:
    std::optional<QDBusConnection> m_bus;
};

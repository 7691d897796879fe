#include "focus/DBusFocusSource.h"

#include "focus/ProcessFacts.h"

#include <QDBusConnectionInterface>
#include <cmath>

DBusFocusSource::DBusFocusSource(QObject* parent) : FocusSource(parent) {}

DBusFocusSource::~DBusFocusSource() {
    if (m_bus) {
        m_bus->unregisterObject(QString::fromLatin1(Path));
        m_bus->unregisterService(QString::fromLatin1(Service));
    }
}

bool DBusFocusSource::open(const QDBusConnection& bus, QString* error) {
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (!bus.isConnected())
        return fail(bus.lastError().message().isEmpty() ? QStringLiteral("no session bus")
                                                        : bus.lastError().message());
    QDBusConnection connection = bus;
    if (!connection.registerObject(QString::fromLatin1(Path), this, QDBusConnection::ExportScriptableSlots))
        return fail(QStringLiteral("%1 is exported already").arg(QString::fromLatin1(Path)));
    // Not queued: a second program waiting for the name would take focus reports it cannot act on.
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply =
        connection.interface()->registerService(QString::fromLatin1(Service),
                                                QDBusConnectionInterface::DontQueueService,
                                                QDBusConnectionInterface::DontAllowReplacement);
    if (!reply.isValid() || reply.value() != QDBusConnectionInterface::ServiceRegistered) {
        connection.unregisterObject(QString::fromLatin1(Path));
        return fail(reply.isValid()
                        ? QStringLiteral("%1 is taken by another program").arg(QString::fromLatin1(Service))
                        : reply.error().message());
    }
    m_bus = connection;
    return true;
}

void DBusFocusSource::FocusChanged(const QString& appId, const QString& title, uint pid) {
    if (appId.isEmpty() && title.isEmpty() && pid == 0) {
        deliver(std::nullopt);
        return;
    }
    ProgramLinks::Window facts;
    if (!appId.isEmpty())
        facts.classNames << appId;
    facts.title = title;
    facts.pid = pid;
    ProcessFacts::fill(facts);
    deliver(facts);
}

void DBusFocusSource::FocusChanged(const QString& appId, const QString& title, int pid) {
    FocusChanged(appId, title, uint(pid > 0 ? pid : 0));
}

void DBusFocusSource::FocusChanged(const QString& appId, const QString& title, double pid) {
    const bool valid = std::isfinite(pid) && pid > 0 && pid <= 4294967295.0 && pid == std::floor(pid);
    FocusChanged(appId, title, uint(valid ? pid : 0));
}

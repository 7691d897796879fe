#pragma once

#include "device/DeviceLink.h"

#include <QObject>
#include <QSet>
#include <QString>
#include <cstdint>

// Watches how the program's saves end. A file whose save failed is told once (until a later save
// of it works) and the change stays pending on the link, so the next save tries it again and the
// end of the program does too.
class SaveWatch : public QObject {
    Q_OBJECT
public:
    explicit SaveWatch(DeviceLink& link, QObject* parent = nullptr);
    ~SaveWatch() override;

    // Looks at the outcomes since the last look; the committer's report brings it on its own.
    void check();

signals:
    void saveFailed(const QString& file, const QString& reason);

private:
    DeviceLink& link;
    uint64_t seen;
    QSet<QString> failing;
};

#include "session/SaveWatch.h"

#include "base/FileCommitter.h"

#include <QFile>
#include <QMetaObject>
#include <algorithm>

SaveWatch::SaveWatch(DeviceLink& l, QObject* parent)
    : QObject(parent), link(l), seen(FileCommitter::instance().lastTicket()) {
    // Outcomes may come from the committer's worker: the look happens on this object's thread. The
    // destructor takes the listener back before this object goes, and a posted look dies with it.
    FileCommitter::instance().setListener(
        [this] { QMetaObject::invokeMethod(this, &SaveWatch::check, Qt::QueuedConnection); });
}

SaveWatch::~SaveWatch() {
    FileCommitter::instance().setListener(nullptr);
}

void SaveWatch::check() {
    for (const FileCommitter::Outcome& o : FileCommitter::instance().outcomesSince(seen)) {
        seen = std::max(seen, o.ticket);
        const QString file = QFile::decodeName(o.file);
        if (o.failure.isEmpty()) {
            failing.remove(file);
            continue;
        }
        link.keepSavePending();
        if (failing.contains(file))
            continue;
        failing.insert(file);
        emit saveFailed(file, o.failure);
    }
}

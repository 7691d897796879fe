#include "base/SaveReport.h"

#include "base/FileCommitter.h"

#include <QFile>
#include <QStringList>

SaveReport::SaveReport() : from(FileCommitter::instance().lastTicket()) {}

void SaveReport::close() {
    last = FileCommitter::instance().lastTicket();
    closed = true;
}

uint64_t SaveReport::upTo() const {
    return closed ? last : FileCommitter::instance().lastTicket();
}

bool SaveReport::ended() const {
    return FileCommitter::instance().ended(upTo());
}

void SaveReport::wait() const {
    FileCommitter::instance().waitUntilEnded(upTo());
}

std::vector<SaveReport::Failure> SaveReport::failures() const {
    const uint64_t end = upTo();
    std::vector<Failure> files;
    std::vector<bool> failing;
    for (const FileCommitter::Outcome& o : FileCommitter::instance().outcomesSince(from)) {
        if (o.ticket > end)
            continue;
        const QString file = QFile::decodeName(o.file);
        size_t i = 0;
        while (i < files.size() && files[i].file != file)
            ++i;
        if (i == files.size()) {
            files.push_back({file, QString()});
            failing.push_back(false);
        }
        files[i].reason = o.failure;
        failing[i] = !o.failure.isEmpty(); // a later save that worked makes up for an earlier one
    }
    std::vector<Failure> failed;
    for (size_t i = 0; i < files.size(); ++i)
        if (failing[i])
            failed.push_back(files[i]);
    return failed;
}

QString SaveReport::text() const {
    QStringList parts;
    for (const Failure& f : failures())
        parts << QStringLiteral("%1 could not be saved (%2)").arg(f.file, f.reason);
    return parts.join(QStringLiteral("; "));
}

#include "focus/FocusSource.h"

#include <QCoreApplication>

FocusSource::FocusSource(QObject* parent) : QObject(parent) {
    qRegisterMetaType<std::optional<ProgramLinks::Window>>();
}

const QStringList& FocusSource::ownAppIds() {
    static const QStringList ids = {QStringLiteral("vireo"), QStringLiteral("io.github.vireo.Vireo")};
    return ids;
}

bool FocusSource::isOwn(const ProgramLinks::Window& window) {
    bool own = window.pid != 0 && window.pid == QCoreApplication::applicationPid();
    for (const QString& name : window.classNames)
        own = own || ownAppIds().contains(name, Qt::CaseInsensitive);
    return own;
}

void FocusSource::deliver(std::optional<ProgramLinks::Window> window) {
    if (window && isOwn(*window))
        window.reset();
    if (m_sent && window == m_current)
        return;
    m_sent = true;
    m_current = window;
    emit focusChanged(m_current);
}

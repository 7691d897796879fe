#include "focus/WlrootsFocusSource.h"

#include "wlr-foreign-toplevel-management-unstable-v1-client-protocol.h"

#include <QSocketNotifier>
#include <algorithm>
#include <cstring>
#include <poll.h>
#include <wayland-client.h>

struct WlrootsFocusSource::Toplevel {
    WlrootsFocusSource* source = nullptr;
    zwlr_foreign_toplevel_handle_v1* handle = nullptr;
    QString title, appId;
    bool activated = false;
    // Changes wait for "done" before they count.
    QString pendingTitle, pendingAppId;
    bool pendingActivated = false;
};

struct WlrootsFocusSource::Listeners {
    static void global(void* data, wl_registry* registry, uint32_t name, const char* interface,
                       uint32_t version) {
        auto* self = static_cast<WlrootsFocusSource*>(data);
        if (self->m_manager || std::strcmp(interface, zwlr_foreign_toplevel_manager_v1_interface.name) != 0)
            return;
        self->m_manager = static_cast<zwlr_foreign_toplevel_manager_v1*>(wl_registry_bind(
            registry, name, &zwlr_foreign_toplevel_manager_v1_interface, std::min(version, 3u)));
        zwlr_foreign_toplevel_manager_v1_add_listener(self->m_manager, &manager, self);
    }
    static void globalRemove(void*, wl_registry*, uint32_t) {}

    static void toplevel(void* data, zwlr_foreign_toplevel_manager_v1*,
                         zwlr_foreign_toplevel_handle_v1* handle) {
        auto* self = static_cast<WlrootsFocusSource*>(data);
        auto entry = std::make_unique<Toplevel>();
        entry->source = self;
        entry->handle = handle;
        zwlr_foreign_toplevel_handle_v1_add_listener(handle, &window, entry.get());
        self->m_toplevels.push_back(std::move(entry));
    }
    static void finished(void* data, zwlr_foreign_toplevel_manager_v1* manager) {
        auto* self = static_cast<WlrootsFocusSource*>(data);
        zwlr_foreign_toplevel_manager_v1_destroy(manager);
        self->m_manager = nullptr;
    }

    static void title(void* data, zwlr_foreign_toplevel_handle_v1*, const char* text) {
        static_cast<Toplevel*>(data)->pendingTitle = QString::fromUtf8(text);
    }
    static void appId(void* data, zwlr_foreign_toplevel_handle_v1*, const char* text) {
        static_cast<Toplevel*>(data)->pendingAppId = QString::fromUtf8(text);
    }
    static void output(void*, zwlr_foreign_toplevel_handle_v1*, wl_output*) {}
    static void state(void* data, zwlr_foreign_toplevel_handle_v1*, wl_array* states) {
        const auto* begin = static_cast<const uint32_t*>(states->data);
        const auto* end = begin + states->size / sizeof(uint32_t);
        static_cast<Toplevel*>(data)->pendingActivated =
            std::find(begin, end, uint32_t(ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_ACTIVATED)) != end;
    }
    static void done(void* data, zwlr_foreign_toplevel_handle_v1*) {
        auto* entry = static_cast<Toplevel*>(data);
        entry->title = entry->pendingTitle;
        entry->appId = entry->pendingAppId;
        entry->activated = entry->pendingActivated;
    }
    static void closed(void* data, zwlr_foreign_toplevel_handle_v1* handle) {
        auto* entry = static_cast<Toplevel*>(data);
        auto& list = entry->source->m_toplevels;
        zwlr_foreign_toplevel_handle_v1_destroy(handle);
        list.erase(std::remove_if(list.begin(), list.end(), [&](const auto& t) { return t.get() == entry; }),
                   list.end());
    }
    static void parent(void*, zwlr_foreign_toplevel_handle_v1*, zwlr_foreign_toplevel_handle_v1*) {}

    static constexpr wl_registry_listener registry = {global, globalRemove};
    static constexpr zwlr_foreign_toplevel_manager_v1_listener manager = {toplevel, finished};
    static constexpr zwlr_foreign_toplevel_handle_v1_listener window = {title, appId, output, output,
                                                                        state, done,  closed, parent};
};

WlrootsFocusSource::WlrootsFocusSource(QObject* parent) : FocusSource(parent) {}

WlrootsFocusSource::~WlrootsFocusSource() {
    close();
}

void WlrootsFocusSource::close() {
    m_notifier.reset();
    for (const auto& entry : m_toplevels)
        zwlr_foreign_toplevel_handle_v1_destroy(entry->handle);
    m_toplevels.clear();
    if (m_manager)
        zwlr_foreign_toplevel_manager_v1_destroy(m_manager);
    m_manager = nullptr;
    if (m_registry)
        wl_registry_destroy(m_registry);
    m_registry = nullptr;
    if (m_display)
        wl_display_disconnect(m_display);
    m_display = nullptr;
}

bool WlrootsFocusSource::open(const QByteArray& display) {
    if (display.isEmpty())
        return false;
    m_display = wl_display_connect(display.constData());
    if (!m_display)
        return false;
    m_registry = wl_display_get_registry(m_display);
    wl_registry_add_listener(m_registry, &Listeners::registry, this);
    // The first round trip lists the globals, the second the windows that exist.
    if (wl_display_roundtrip(m_display) < 0 || !m_manager || wl_display_roundtrip(m_display) < 0) {
        close();
        return false;
    }
    m_notifier = std::make_unique<QSocketNotifier>(wl_display_get_fd(m_display), QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &WlrootsFocusSource::readEvents);
    settle();
    return true;
}

void WlrootsFocusSource::readEvents() {
    if (!m_display)
        return;
    auto lost = [this] {
        // The compositor went away; what was in front is no longer known.
        close();
        deliver(std::nullopt);
    };
    while (wl_display_prepare_read(m_display) != 0)
        if (wl_display_dispatch_pending(m_display) < 0)
            return lost();
    wl_display_flush(m_display);
    // Never block the event loop: read only what is there.
    pollfd socket{wl_display_get_fd(m_display), POLLIN, 0};
    if (poll(&socket, 1, 0) > 0)
        wl_display_read_events(m_display);
    else
        wl_display_cancel_read(m_display);
    wl_display_dispatch_pending(m_display);
    wl_display_flush(m_display);
    if (wl_display_get_error(m_display) != 0)
        return lost();
    settle();
}

namespace {
template <class T> ProgramLinks::Window factsOf(const T& toplevel) {
    ProgramLinks::Window facts;
    if (!toplevel.appId.isEmpty())
        facts.classNames << toplevel.appId;
    facts.title = toplevel.title;
    return facts;
}
} // namespace

void WlrootsFocusSource::settle() {
    const auto active =
        std::find_if(m_toplevels.begin(), m_toplevels.end(), [](const auto& t) { return t->activated; });
    if (active == m_toplevels.end()) {
        deliver(std::nullopt);
        return;
    }
    deliver(factsOf(**active));
}

std::vector<ProgramLinks::Window> WlrootsFocusSource::windows() {
    std::vector<ProgramLinks::Window> out;
    for (const auto& toplevel : m_toplevels)
        if (const ProgramLinks::Window facts = factsOf(*toplevel); !isOwn(facts))
            out.push_back(facts);
    return out;
}

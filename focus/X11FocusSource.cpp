#include "focus/X11FocusSource.h"

#include "focus/ProcessFacts.h"

#include <QSocketNotifier>
#include <QSysInfo>
#include <cstdlib>
#include <cstring>
#include <vector>
#include <xcb/xcb.h>

struct X11FocusSource::Atoms {
    xcb_atom_t activeWindow = XCB_ATOM_NONE;
    xcb_atom_t pid = XCB_ATOM_NONE;
    xcb_atom_t name = XCB_ATOM_NONE;
    xcb_atom_t utf8 = XCB_ATOM_NONE;
    xcb_atom_t type = XCB_ATOM_NONE;
    xcb_atom_t typeDesktop = XCB_ATOM_NONE;
    xcb_atom_t typeDock = XCB_ATOM_NONE;
    xcb_atom_t clientList = XCB_ATOM_NONE;
};

namespace {
// The bytes of a property, empty when it is missing or the window is gone.
QByteArray readProperty(xcb_connection_t* c, xcb_window_t window, xcb_atom_t atom, xcb_atom_t type) {
    if (atom == XCB_ATOM_NONE)
        return {};
    xcb_get_property_reply_t* reply =
        xcb_get_property_reply(c, xcb_get_property(c, 0, window, atom, type, 0, 4096), nullptr);
    if (!reply)
        return {};
    QByteArray bytes;
    if (reply->type != XCB_ATOM_NONE)
        // The length is in bytes already, whatever the format.
        bytes = QByteArray(static_cast<const char*>(xcb_get_property_value(reply)),
                           xcb_get_property_value_length(reply));
    std::free(reply);
    return bytes;
}

template <typename T> std::vector<T> values(const QByteArray& bytes) {
    std::vector<T> out(bytes.size() / sizeof(T));
    std::memcpy(out.data(), bytes.constData(), out.size() * sizeof(T));
    return out;
}

xcb_atom_t intern(xcb_connection_t* c, const char* name) {
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr);
    if (!reply)
        return XCB_ATOM_NONE;
    const xcb_atom_t atom = reply->atom;
    std::free(reply);
    return atom;
}
} // namespace

X11FocusSource::X11FocusSource(QObject* parent) : FocusSource(parent), m_atoms(std::make_unique<Atoms>()) {}

X11FocusSource::~X11FocusSource() {
    m_notifier.reset();
    if (m_connection)
        xcb_disconnect(m_connection);
}

bool X11FocusSource::open(const QByteArray& display) {
    if (display.isEmpty())
        return false;
    int screenNumber = 0;
    m_connection = xcb_connect(display.constData(), &screenNumber);
    if (xcb_connection_has_error(m_connection)) {
        xcb_disconnect(m_connection);
        m_connection = nullptr;
        return false;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(m_connection));
    for (int i = 0; i < screenNumber && screens.rem; ++i)
        xcb_screen_next(&screens);
    m_root = screens.data->root;

    m_atoms->activeWindow = intern(m_connection, "_NET_ACTIVE_WINDOW");
    m_atoms->pid = intern(m_connection, "_NET_WM_PID");
    m_atoms->name = intern(m_connection, "_NET_WM_NAME");
    m_atoms->utf8 = intern(m_connection, "UTF8_STRING");
    m_atoms->type = intern(m_connection, "_NET_WM_WINDOW_TYPE");
    m_atoms->typeDesktop = intern(m_connection, "_NET_WM_WINDOW_TYPE_DESKTOP");
    m_atoms->typeDock = intern(m_connection, "_NET_WM_WINDOW_TYPE_DOCK");
    m_atoms->clientList = intern(m_connection, "_NET_CLIENT_LIST");

    const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(m_connection, m_root, XCB_CW_EVENT_MASK, &mask);
    m_notifier =
        std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(m_connection), QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &X11FocusSource::readEvents);
    readActiveWindow();
    readEvents();
    return true;
}

void X11FocusSource::readEvents() {
    // Reading properties may pull further events into xcb's queue, where the socket no longer shows
    // them: read until a pass finds nothing new.
    while (m_connection) {
        bool activeChanged = false;
        bool titleChanged = false;
        while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection)) {
            if ((event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY) {
                const auto* notify = reinterpret_cast<const xcb_property_notify_event_t*>(event);
                if (notify->window == m_root && notify->atom == m_atoms->activeWindow)
                    activeChanged = true;
                else if (notify->window == m_active && notify->window != m_root &&
                         (notify->atom == m_atoms->name || notify->atom == XCB_ATOM_WM_NAME))
                    titleChanged = true;
            }
            std::free(event);
        }
        if (xcb_connection_has_error(m_connection)) {
            // The server went away: nothing more will come, and what was in front is unknown.
            m_notifier.reset();
            xcb_disconnect(m_connection);
            m_connection = nullptr;
            deliver(std::nullopt);
            return;
        }
        // A burst of changes (fast Alt+Tab) is read as its outcome.
        if (activeChanged)
            readActiveWindow();
        else if (titleChanged)
            readTitle();
        else
            return;
    }
}

void X11FocusSource::readActiveWindow() {
    const std::vector<uint32_t> active =
        values<uint32_t>(readProperty(m_connection, m_root, m_atoms->activeWindow, XCB_ATOM_WINDOW));
    const xcb_window_t window = active.empty() ? xcb_window_t(XCB_WINDOW_NONE) : active.front();
    watch(window);
    deliver(window == XCB_WINDOW_NONE ? std::nullopt : factsOf(window));
}

void X11FocusSource::readTitle() {
    if (m_active == XCB_WINDOW_NONE || !current())
        return;
    std::optional<ProgramLinks::Window> facts = factsOf(m_active);
    deliver(facts);
}

std::vector<ProgramLinks::Window> X11FocusSource::windows() {
    std::vector<ProgramLinks::Window> out;
    if (!m_connection)
        return out;
    for (uint32_t window :
         values<uint32_t>(readProperty(m_connection, m_root, m_atoms->clientList, XCB_ATOM_WINDOW)))
        // A window that tells nothing (gone, or never named) cannot be linked.
        if (const std::optional<ProgramLinks::Window> facts = factsOf(window);
            facts && !isOwn(*facts) &&
            (facts->pid || !facts->classNames.isEmpty() || !facts->title.isEmpty()))
            out.push_back(*facts);
    return out;
}

void X11FocusSource::watch(uint32_t window) {
    if (window == m_active)
        return;
    // Title changes matter for the window in front only.
    const uint32_t none = XCB_EVENT_MASK_NO_EVENT;
    const uint32_t property = XCB_EVENT_MASK_PROPERTY_CHANGE;
    if (m_active != XCB_WINDOW_NONE)
        xcb_change_window_attributes(m_connection, m_active, XCB_CW_EVENT_MASK, &none);
    if (window != XCB_WINDOW_NONE)
        xcb_change_window_attributes(m_connection, window, XCB_CW_EVENT_MASK, &property);
    m_active = window;
}

std::optional<ProgramLinks::Window> X11FocusSource::factsOf(uint32_t window) {
    for (xcb_atom_t type :
         values<xcb_atom_t>(readProperty(m_connection, window, m_atoms->type, XCB_ATOM_ATOM)))
        if (type == m_atoms->typeDesktop || type == m_atoms->typeDock)
            return std::nullopt;

    ProgramLinks::Window facts;
    const std::vector<uint32_t> pid =
        values<uint32_t>(readProperty(m_connection, window, m_atoms->pid, XCB_ATOM_CARDINAL));
    // A pid counts on the machine that runs the client only; a remote client's would name some
    // unrelated process here.
    QByteArray machine = readProperty(m_connection, window, XCB_ATOM_WM_CLIENT_MACHINE, XCB_ATOM_STRING);
    while (machine.endsWith('\0'))
        machine.chop(1);
    if (!pid.empty() && (machine.isEmpty() || machine == QSysInfo::machineHostName().toLocal8Bit()))
        facts.pid = pid.front();
    ProcessFacts::fill(facts);

    // WM_CLASS: instance and class, each ending in a zero byte.
    QByteArray wmClass = readProperty(m_connection, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING);
    if (wmClass.endsWith('\0'))
        wmClass.chop(1);
    for (const QByteArray& part : wmClass.split('\0'))
        if (!part.isEmpty())
            facts.classNames << QString::fromLatin1(part);

    const QByteArray name = readProperty(m_connection, window, m_atoms->name, m_atoms->utf8);
    if (!name.isEmpty())
        facts.title = QString::fromUtf8(name);
    else
        facts.title = QString::fromLatin1(
            readProperty(m_connection, window, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY));
    return facts;
}

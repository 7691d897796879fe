#include "tests/XClient.h"

#include <cstdlib>
#include <cstring>

XClient::~XClient() {
    disconnect();
}

bool XClient::connect(const QString& display) {
    disconnect();
    c = xcb_connect(display.toLatin1().constData(), nullptr);
    if (xcb_connection_has_error(c)) {
        disconnect();
        return false;
    }
    rootWindow = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    return true;
}

void XClient::disconnect() {
    if (c)
        xcb_disconnect(c);
    c = nullptr;
    rootWindow = 0;
}

xcb_atom_t XClient::atom(const char* name) const {
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, std::strlen(name), name), nullptr);
    const xcb_atom_t a = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return a;
}

std::vector<uint32_t> XClient::property(xcb_window_t window, const char* name, xcb_atom_t type) const {
    xcb_get_property_reply_t* reply =
        xcb_get_property_reply(c, xcb_get_property(c, 0, window, atom(name), type, 0, 1024), nullptr);
    std::vector<uint32_t> out;
    if (reply) {
        const auto* v = static_cast<const uint32_t*>(xcb_get_property_value(reply));
        out.assign(v, v + xcb_get_property_value_length(reply) / 4);
        std::free(reply);
    }
    return out;
}

XClient::Placed XClient::placed(xcb_window_t window) const {
    Placed p{window};
    xcb_get_geometry_reply_t* g = xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr);
    xcb_translate_coordinates_reply_t* t =
        xcb_translate_coordinates_reply(c, xcb_translate_coordinates(c, window, rootWindow, 0, 0), nullptr);
    if (g) {
        p.width = g->width;
        p.height = g->height;
    }
    if (t) {
        p.x = t->dst_x;
        p.y = t->dst_y;
    }
    std::free(g);
    std::free(t);
    return p;
}

xcb_window_t XClient::inputFocus() const {
    xcb_get_input_focus_reply_t* r = xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr);
    const xcb_window_t w = r ? r->focus : 0;
    std::free(r);
    return w;
}

bool XClient::ofProcess(xcb_window_t window, qint64 pid) const {
    const auto owner = property(window, "_NET_WM_PID", XCB_ATOM_CARDINAL);
    return !owner.empty() && owner[0] == uint32_t(pid);
}

std::vector<XClient::Placed> XClient::managedWindows(qint64 pid) const {
    std::vector<Placed> out;
    for (uint32_t w : property(rootWindow, "_NET_CLIENT_LIST", XCB_ATOM_WINDOW))
        if (ofProcess(w, pid))
            out.push_back(placed(w));
    return out;
}

std::vector<XClient::Placed> XClient::unmanagedWindows(qint64 pid, int minWidth) const {
    std::vector<Placed> out;
    xcb_query_tree_reply_t* tree = xcb_query_tree_reply(c, xcb_query_tree(c, rootWindow), nullptr);
    if (!tree)
        return out;
    const xcb_window_t* children = xcb_query_tree_children(tree);
    for (int i = 0; i < xcb_query_tree_children_length(tree); ++i) {
        xcb_get_window_attributes_reply_t* a =
            xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, children[i]), nullptr);
        const bool shown = a && a->override_redirect && a->map_state == XCB_MAP_STATE_VIEWABLE;
        std::free(a);
        if (shown && ofProcess(children[i], pid) && placed(children[i]).width >= minWidth)
            out.push_back(placed(children[i]));
    }
    std::free(tree);
    return out;
}

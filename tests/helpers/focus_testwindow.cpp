// A plain X11 window of a known class, title, type and process for the focus tests.
// Usage: focus_testwindow INSTANCE CLASS TITLE [normal|dock|desktop [MACHINE]]
// Prints the window id once the window is mapped, then sets each line read from standard input as
// its title and answers "ok"; ends at the end of its input.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <xcb/xcb.h>

namespace {
xcb_atom_t atom(xcb_connection_t* c, const char* name) {
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, std::strlen(name), name), nullptr);
    const xcb_atom_t a = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return a;
}

void setTitle(xcb_connection_t* c, xcb_window_t w, const std::string& title) {
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, atom(c, "_NET_WM_NAME"), atom(c, "UTF8_STRING"), 8,
                        title.size(), title.data());
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8, title.size(),
                        title.data());
}
} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s INSTANCE CLASS TITLE [normal|dock|desktop]\n", argv[0]);
        return 64;
    }
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "no X server\n");
        return 1;
    }
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const xcb_window_t w = xcb_generate_id(c);
    // Painted, because a compositor running the server rootless shows a window only once it has content.
    const uint32_t background = screen->white_pixel;
    xcb_create_window(c, XCB_COPY_FROM_PARENT, w, screen->root, 0, 0, 200, 100, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, XCB_CW_BACK_PIXEL, &background);

    std::string wmClass = std::string(argv[1]) + '\0' + argv[2] + '\0';
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8, wmClass.size(),
                        wmClass.data());
    setTitle(c, w, argv[3]);
    const uint32_t pid = getpid();
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, atom(c, "_NET_WM_PID"), XCB_ATOM_CARDINAL, 32, 1, &pid);
    const std::string type = argc > 4 ? argv[4] : "normal";
    const std::string typeName = type == "dock"      ? "_NET_WM_WINDOW_TYPE_DOCK"
                                 : type == "desktop" ? "_NET_WM_WINDOW_TYPE_DESKTOP"
                                                     : "_NET_WM_WINDOW_TYPE_NORMAL";
    const xcb_atom_t typeAtom = atom(c, typeName.c_str());
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, atom(c, "_NET_WM_WINDOW_TYPE"), XCB_ATOM_ATOM, 32, 1,
                        &typeAtom);
    if (argc > 5)
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, XCB_ATOM_WM_CLIENT_MACHINE, XCB_ATOM_STRING, 8,
                            std::strlen(argv[5]), argv[5]);
    xcb_map_window(c, w);
    free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    std::printf("%u\n", w);
    std::fflush(stdout);

    char line[1024];
    while (std::fgets(line, sizeof line, stdin)) {
        std::string title(line);
        if (!title.empty() && title.back() == '\n')
            title.pop_back();
        setTitle(c, w, title);
        free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
        std::printf("ok\n");
        std::fflush(stdout);
    }
    xcb_disconnect(c);
    return 0;
}

// Tells Vireo which window has the focus (Plasma 5 and 6). Vireo runs only while the user wants
// it; a call while it does not run goes nowhere and costs nothing.
var service = "io.github.vireo.Vireo";
var path = "/io/github/vireo/Vireo";

var followed = null;

function report(window) {
    // The desktop, panels and no window at all: nothing to follow.
    if (!window || window.desktopWindow || window.dock) {
        callDBus(service, path, service, "FocusChanged", "", "", 0);
        return;
    }
    var pid = window.pid > 0 ? window.pid : 0;
    callDBus(service, path, service, "FocusChanged", String(window.resourceClass || ""),
             String(window.caption || ""), pid);
}

function captionChanged() {
    if (followed && followed.active)
        report(followed);
}

function activated(window) {
    if (followed)
        followed.captionChanged.disconnect(captionChanged);
    followed = window && window.captionChanged ? window : null;
    if (followed)
        followed.captionChanged.connect(captionChanged);
    report(window);
}

// Plasma 6 names windows "window", Plasma 5 "client".
if (workspace.windowActivated) {
    workspace.windowActivated.connect(activated);
    activated(workspace.activeWindow);
} else {
    workspace.clientActivated.connect(activated);
    activated(workspace.activeClient);
}

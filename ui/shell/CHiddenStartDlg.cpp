#include "ui/shell/CHiddenStartDlg.h"

void CHiddenStartDlg::startHidden() {
    // Held back with or without a tray host: a second start brings the window up, and the tray icon
    // comes when a host does (at login the panel may well start after vireo).
    holding = true;
    // Connected after the window's own handlers, so these run once its show has been dropped.
    connect(&link(), &DeviceLink::showWindowRequested, this, [this] {
        // The device did not show the window, so its ending request must not minimise it onto
        // the screen either.
        if (holding)
            link().disownShow();
    });
    connect(&link(), &DeviceLink::infoReceived, this, [this] { holding = false; });
    start();
    // A window free to show (NeedPassword=0) has nothing left to wait for.
    if (link().windowShown())
        holding = false;
}

void CHiddenStartDlg::setVisible(bool visible) {
    if (visible && holding)
        return;
    CVireoDlg::setVisible(visible);
}

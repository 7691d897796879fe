#include "ui/shell/CHiddenStartDlg.h"

#include <QAction>
#include <QMenu>
#include <QSystemTrayIcon>

void CHiddenStartDlg::startHidden() {
    // Without a tray host nothing could bring a hidden window up: the start is an ordinary one.
    if (!trayHostAvailable()) {
        start();
        return;
    }
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
    // While holding, the window may not show yet, so the tray's restore asks the mouse; the hold
    // has ended by the time it answers.
    if (QMenu* menu = trayMenu(); menu && !menu->actions().isEmpty())
        connect(menu->actions().first(), &QAction::triggered, this, [this] { holding = false; });
    if (QSystemTrayIcon* tray = trayIcon())
        connect(tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
            if (reason == QSystemTrayIcon::DoubleClick || reason == QSystemTrayIcon::Trigger)
                holding = false;
        });
}

void CHiddenStartDlg::setVisible(bool visible) {
    if (visible && holding)
        return;
    CVireoDlg::setVisible(visible);
}

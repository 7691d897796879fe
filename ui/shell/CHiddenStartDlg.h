#pragma once

#include "ui/shell/CVireoDlg.h"

// The main window of a start that must not show it (vireo --hidden, as autostart runs it). It
// stays off the screen through the start and through the mouse's first answer, which would show
// it in a start that waits for the mouse (NeedPassword=1). From then on it comes up as usual: a
// second start, the tray icon, or a show request the mouse reports later.
class CHiddenStartDlg : public CVireoDlg {
    Q_OBJECT

public:
    using CVireoDlg::CVireoDlg;

    // start(), keeping the window hidden.
    void startHidden();
    // The user asked for the window; the hold ends.
    void showAsked() { holding = false; }
    bool holdingBack() const { return holding; }

    void setVisible(bool visible) override;

protected:
    // Whoever asks for the window (tray, second start) ends the hold.
    void userAsked() override { holding = false; }

private:
    bool holding = false;
};

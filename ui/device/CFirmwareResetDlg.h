#pragma once

#include "toolkit/CDlgBase.h"

// The confirmation before a factory reset: "Restore the mouse to factory settings?" (language text
// 140), confirm (2010, text 4), cancel (2011, text 5) and the close button (2004). Template 152,
// 429 × 140 design units, frame "skins\Frame_common.bmp". Only confirm ends it with IDOK.
// Use: if (CFirmwareResetDlg(window).DoModal() == CDlgBase::IDOK) { /* reset */ }
class CFirmwareResetDlg : public CDlgBase {
    Q_OBJECT

public:
    static constexpr int DesignWidth = 429;
    static constexpr int DesignHeight = 140;

    explicit CFirmwareResetDlg(QWidget* parent = nullptr);

    void CreateControls(const Rect& client) override;
};

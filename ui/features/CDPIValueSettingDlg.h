#pragma once

#include "settings/DpiTables.h"
#include "toolkit/CDlgBase.h"

class QLineEdit;
class CSliderControl;
class CStaticText;

// The DPI value dialog of one level: a slider over the sensor's steps (2021), the resolution of
// the slider position (text 2013), an edit box for typing a resolution, OK (2010) and the close
// button (2004). Template 152, 429 × 140 design units, frame "skins\Frame_DPI.bmp".
//
// Typed text is rounded up to the next step (DpiTables::indexForResolution): above the maximum
// gives the maximum. Enter applies the typed text and keeps the dialog open; Escape does nothing;
// the left and right arrow keys move the slider one step. OK applies the typed text and ends the
// dialog with IDOK; the close button ends it with IDCANCEL.
//
// Use: CDPIValueSettingDlg dlg(tables, profile.XYSetting[k], window);
//      if (dlg.DoModal() == CDlgBase::IDOK) profile.XYSetting[k] = dlg.selectedIndex();
class CDPIValueSettingDlg : public CDlgBase {
    Q_OBJECT

public:
    static constexpr uint32_t SliderId = 2021;
    static constexpr uint32_t ValueTextId = 2013;
    static constexpr int DesignWidth = 429;
    static constexpr int DesignHeight = 140;

    // `tables` are the current sensor's steps; `index` the level's step index now (kept within
    // the steps).
    CDPIValueSettingDlg(const DpiTables& tables, int index, QWidget* parent = nullptr);

    // The chosen step index (final once the dialog ended with IDOK).
    int selectedIndex() const { return index; }
    int stepCount() const;
    // Moves the slider to a step (kept within the steps) and shows its resolution in the text and
    // the edit box.
    void SetPosition(int stepIndex);
    // Reads the edit box as a decimal resolution and moves to its step; text without a number
    // leaves the position as it is. Returns the step index now chosen.
    int ApplyTypedText();
    QLineEdit* editBox() const { return edit; }

    void CreateControls(const Rect& client) override;
    void OnInitDialog() override;
    void OnOK() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    // True when the key was one of the dialog's own.
    bool handleKey(int key);
    void showValue();

    DpiTables tables;
    int index = 0;
    QLineEdit* edit = nullptr;
    CSliderControl* slider = nullptr;
    CStaticText* valueText = nullptr;
};

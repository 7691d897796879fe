#pragma once

#include "settings/ProfileRecord.h"
#include "toolkit/CDlgBase.h"

#include <QImage>

// The colour palette: the palette picture (bitmap resource 287) over the whole dialog, a preview
// square and the red, green and blue numbers (texts 2011, 2012, 2013). Template 152, 500 × 291
// design units.
//
// A left click in one of the two colour areas takes the colour of the picture under it, except the
// dialog's background grey (15, 15, 15). OK (2010) or Enter writes the colour into the record and
// ends with IDOK; the close button (2004) ends with IDCANCEL and writes nothing; Escape does
// nothing.
//
// kind 0 (LightingRules::LightingColor): Lighting1FixedColor[index][slot];
// kind 1 (LightingRules::DpiLevelColor): DPILevelIndication[index], levels outside 0..7 as 0.
// Use: CColorPaletteDlg dlg(profile, 0, effect, slot, window);
//      if (dlg.DoModal() == CDlgBase::IDOK) { /* the record holds dlg.color() */ }
class CColorPaletteDlg : public CDlgBase {
    Q_OBJECT

public:
    static constexpr uint32_t RedTextId = 2011;
    static constexpr uint32_t GreenTextId = 2012;
    static constexpr uint32_t BlueTextId = 2013;
    static constexpr int DesignWidth = 500;
    static constexpr int DesignHeight = 291;
    static constexpr ColorRef Background = 0x0F0F0F; // (15, 15, 15)

    CColorPaletteDlg(ProfileRecord& record, int kind, int index, int slot, QWidget* parent = nullptr);

    // The colour shown (red in the low byte, as the record holds it).
    uint32_t color() const { return current; }
    // Takes the colour under a client point when it lies in a colour area; true when it did.
    bool PickAt(const QPoint& point);
    // Whether a client point lies in one of the two colour areas.
    static bool inPaletteArea(const QPoint& point);
    // Shows a colour as if it had been picked.
    void SetColor(uint32_t color);
    // Writes the colour into the record and ends with IDOK.
    void OnOK() override;

    void CreateControls(const Rect& client) override;
    void DrawBackground(QPainter& painter, const Rect& client) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void showNumbers();
    Rect previewRect() const;

    ProfileRecord& record;
    int kind;
    int index;
    int slot;
    uint32_t current;
    QImage palette;
    QSize paletteSize;
};

#pragma once

#include "toolkit/SkinNames.h"

#include <QImage>

// The large surfaces: the main window background, the dialog frames, the panel frame, the colour
// palette and the scroll-bar arrow strips. All of them are drawn at one pixel per design unit,
// because the code takes their source regions in design units.
class WindowArt {
public:
    static QImage mainBackground();
    // One of the dialog frame kinds; a null image for any other kind.
    static QImage frame(SkinKind kind, int width, int height);
    static QImage panelFrame(int width, int height);
    static QImage palette(int width, int height);
    // Three cells side by side: normal, over, pressed.
    static QImage scrollArrowStrip(bool up, int width, int height);

    // The background colour of the palette dialog; clicks on it pick nothing.
    static constexpr int PaletteBackground = 15;
};

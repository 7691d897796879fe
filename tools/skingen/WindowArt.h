#pragma once

#include <QImage>
#include <QString>

// The large surfaces: the main window background, the dialog frames, the panel frame, the colour
// palette and the scroll-bar arrow strips. All of them are drawn at one pixel per design unit,
// because the code takes their source regions in design units.
class WindowArt {
public:
    static QImage mainBackground();
    // name is the frame's base name, e.g. "Frame_common"; a null image for an unknown frame.
    static QImage frame(const QString& name, int width, int height);
    static QImage panelFrame(int width, int height);
    static QImage palette(int width, int height);
    // Three cells side by side: normal, over, pressed.
    static QImage scrollArrowStrip(bool up, int width, int height);

    // The background colour of the palette dialog; clicks on it pick nothing.
    static constexpr int PaletteBackground = 15;
};

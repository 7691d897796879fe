#pragma once

#include <QString>
#include <QWidget>

// The small translucent display in the bottom-right corner that tells a DPI level or report rate
// the user chose with the mouse's own buttons.
class COSDDialog : public QWidget {
    Q_OBJECT

public:
    static constexpr int DesignWidth = 180;
    static constexpr int DesignHeight = 140;
    static constexpr double Opacity = 128.0 / 255.0;

    COSDDialog();

    void SetLines(const QString& level, const QString& value, const QString& rate);
    // Bottom-right corner of the available area of the screen that holds the pointer.
    void PlaceOnScreen();
    // A window that never takes the focus or clicks and that the window manager does not place.
    static Qt::WindowFlags windowFlagsForDisplay();

    // The three lines for a level slot (0..7), its DPI and a polling index.
    static QString levelLine(int slot);
    static QString rateLine(int pollingIndex);
    // Design x of the value line: narrower faces need less room for long numbers.
    static int valueX(int length, const QString& face);
    static int rateX(const QString& rate);

    QString level, value, rate;

protected:
    void paintEvent(QPaintEvent* event) override;
};

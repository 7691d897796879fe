#include "toolkit/UiScale.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

float& uiScale() {
    static float scale = 1.0f;
    return scale;
}

float& dpiScale() {
    static float scale = 1.0f;
    return scale;
}

int scaled(double designUnits) {
    return int(designUnits * double(uiScale()));
}

Rect scaledRect(int left, int top, int right, int bottom) {
    return {scaled(left), scaled(top), scaled(right), scaled(bottom)};
}

QScreen* pointerScreen() {
    if (QScreen* screen = QGuiApplication::screenAt(QCursor::pos()))
        return screen;
    return QGuiApplication::primaryScreen();
}

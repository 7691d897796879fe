#include "toolkit/UiScale.h"

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

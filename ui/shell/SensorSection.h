#pragma once

#include "ui/shell/MainSection.h"

// The sensor's options in the right-hand column: the polling rate, the lift-off distance, the
// key debounce (never shown) and the pointer section, whose values only travel between the
// profile and the window. The window refreshes and collects these parts apart, between the other
// sections.
class SensorSection : public MainSection {
public:
    using MainSection::MainSection;

    void addMessages(MessageTable& messages);
    void refreshPolling();
    // Lift-off distance and debounce.
    void refreshLiftOff();
    void refreshPointer();
    void collectPointer();
    // Lift-off distance and debounce.
    void collectLiftOff();

private:
    void onPolling(int index);
    void onLiftOff();
    void openMouseSettings();
};

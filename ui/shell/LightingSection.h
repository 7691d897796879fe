#pragma once

#include "ui/shell/MainSection.h"

// The lighting section: the effect list, speed and brightness, the colour slots and the
// direction of the current effect.
class LightingSection : public MainSection {
public:
    using MainSection::MainSection;

    void addMessages(MessageTable& messages);
    void refresh();
    // Speed, brightness and direction of the current effect.
    void collect();
    // An effect chosen from the effect list.
    void chooseEffect(int effect);

private:
    void onEffectList();
    void onSlider(uint32_t id, intptr_t code);
    void onColorSlot(int slot, intptr_t code);
    void onColorSlotTimer(int slot);
};

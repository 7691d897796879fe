#include "features/LightingRules.h"

#include <algorithm>

namespace {
bool isEffect(int effect) {
    return effect >= 0 && effect < ProfileRecord::LightingModes;
}

size_t at(int index) {
    return size_t(index);
}
} // namespace

const std::array<LightingRules::Effect, 3>& LightingRules::offeredEffects() {
    static const std::array<Effect, 3> effects = {
        {{2, int(Text::Breathing)}, {3, int(Text::Static)}, {0, int(Text::LightingOff)}}};
    return effects;
}

int LightingRules::effectNameText(int effect) {
    for (const Effect& e : offeredEffects())
        if (e.number == effect)
            return e.nameText;
    return 0;
}

QString LightingRules::effectName(int effect, const LangText& texts) {
    const int text = effectNameText(effect);
    return text ? texts.text(text) : QString();
}

int LightingRules::currentEffect(const ProfileRecord& record) {
    const int effect = record.Lighting1ModeValue[0];
    return isEffect(effect) ? effect : -1;
}

bool LightingRules::chooseEffect(ProfileRecord& record, int effect, const LangText& texts) {
    if (!isEffect(effect))
        return false;
    record.Lighting1ModeValue = {uint8_t(effect), 0, 0};
    record.Lighting1Name = effectName(effect, texts);
    return true;
}

int LightingRules::slotsShown(int effect) {
    switch (effect) {
    case 2:
        return 7;
    case 3:
        return 1;
    case 6:
        return 8;
    case 7:
        return 2;
    default:
        return 0;
    }
}

int LightingRules::leastInUse(int effect) {
    switch (effect) {
    case 2:
    case 3:
    case 7:
        return 1;
    case 6:
        return 2;
    default:
        return 0;
    }
}

int LightingRules::ruleText(int effect) {
    switch (effect) {
    case 2:
    case 3:
    case 7:
        return int(Text::OneColorRequired);
    case 6:
        return int(Text::TwoColorsRequired);
    default:
        return 0;
    }
}

int LightingRules::inUseCount(const ProfileRecord& record, int effect) {
    if (!isEffect(effect))
        return 0;
    const auto& selected = record.Lighting1ColorSelected[at(effect)];
    return int(std::count_if(selected.begin(), selected.begin() + slotsShown(effect),
                             [](uint8_t flag) { return flag != 0; }));
}

bool LightingRules::slotInUse(const ProfileRecord& record, int slot) {
    const int effect = currentEffect(record);
    if (effect < 0 || slot < 0 || slot >= ProfileRecord::ColorsPerMode)
        return false;
    return record.Lighting1ColorSelected[at(effect)][at(slot)] != 0;
}

uint32_t LightingRules::slotColor(const ProfileRecord& record, int slot) {
    const int effect = currentEffect(record);
    if (effect < 0 || slot < 0 || slot >= ProfileRecord::ColorsPerMode)
        return 0;
    return record.Lighting1FixedColor[at(effect)][at(slot)];
}

LightingRules::SlotResult LightingRules::toggleSlot(ProfileRecord& record, int slot) {
    const int effect = currentEffect(record);
    if (effect < 0 || slot < 0 || slot >= slotsShown(effect))
        return {};
    uint8_t& flag = record.Lighting1ColorSelected[at(effect)][at(slot)];
    if (!flag) {
        flag = 1;
        return {SlotChange::PutInUse, 0};
    }
    // Effect 3 has a single colour, which is the effect itself.
    if (effect == 3 || inUseCount(record, effect) - 1 < leastInUse(effect))
        return {SlotChange::Refused, ruleText(effect)};
    flag = 0;
    return {SlotChange::TakenOut, 0};
}

int LightingRules::speed(const ProfileRecord& record) {
    const int effect = currentEffect(record);
    return effect < 0 ? 0 : record.Lighting1Speed[at(effect)];
}

int LightingRules::brightness(const ProfileRecord& record) {
    const int effect = currentEffect(record);
    return effect < 0 ? 0 : record.Lighting1Brightness[at(effect)];
}

int LightingRules::direction(const ProfileRecord& record) {
    const int effect = currentEffect(record);
    return effect < 0 ? 0 : record.Lighting1Direction[at(effect)];
}

bool LightingRules::setSpeed(ProfileRecord& record, int position) {
    const int effect = currentEffect(record);
    if (effect < 0)
        return false;
    record.Lighting1Speed[at(effect)] = uint8_t(std::clamp(position, 0, SpeedStops - 1));
    return true;
}

bool LightingRules::setBrightness(ProfileRecord& record, int position) {
    const int effect = currentEffect(record);
    if (effect < 0)
        return false;
    record.Lighting1Brightness[at(effect)] = uint8_t(std::clamp(position, 0, BrightnessStops - 1));
    return true;
}

bool LightingRules::setDirection(ProfileRecord& record, int value) {
    const int effect = currentEffect(record);
    if (effect < 0)
        return false;
    record.Lighting1Direction[at(effect)] = value ? 1 : 0;
    return true;
}

QString LightingRules::speedText(int position) {
    return QString::number(std::clamp(position, 0, SpeedStops - 1) + 1);
}

QString LightingRules::brightnessText(int position) {
    return QStringLiteral("%1%").arg((std::clamp(position, 0, BrightnessStops - 1) + 1) * 25);
}

uint32_t LightingRules::paletteColor(const ProfileRecord& record, int kind, int index, int slot) {
    if (kind == DpiLevelColor) {
        const int level = index >= 0 && index < ProfileRecord::DpiLevelCount ? index : 0;
        return record.DPILevelIndication[at(level)];
    }
    if (kind == LightingColor && isEffect(index) && slot >= 0 && slot < ProfileRecord::ColorsPerMode)
        return record.Lighting1FixedColor[at(index)][at(slot)];
    return 0;
}

bool LightingRules::storePaletteColor(ProfileRecord& record, int kind, int index, int slot, uint32_t color) {
    color &= 0xFFFFFF;
    if (kind == DpiLevelColor) {
        const int level = index >= 0 && index < ProfileRecord::DpiLevelCount ? index : 0;
        record.DPILevelIndication[at(level)] = color;
        return true;
    }
    if (kind == LightingColor && isEffect(index) && slot >= 0 && slot < ProfileRecord::ColorsPerMode) {
        record.Lighting1FixedColor[at(index)][at(slot)] = color;
        return true;
    }
    return false;
}

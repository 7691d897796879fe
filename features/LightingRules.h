#pragma once

#include "base/LangText.h"
#include "settings/ProfileRecord.h"

#include <QString>
#include <array>
#include <cstdint>

// What the lighting page may do to the lighting data of a profile: which effects the list offers,
// how many colour slots of an effect must stay in use, and the speed, brightness and direction of
// the current effect. Everything works on the current effect (byte 0 of Lighting1ModeValue); a
// profile whose effect number is outside 0..9 has no current effect and nothing is changed.
class LightingRules {
public:
    static constexpr int SlotButtons = 8; // colour slot buttons 3180 … 3187
    static constexpr int SpeedStops = 3;
    static constexpr int BrightnessStops = 4;

    struct Effect {
        int number;   // effect number m
        int nameText; // language text of its name
    };
    // The effects the effect list offers, in list order: 2, 3, 0.
    static const std::array<Effect, 3>& offeredEffects();
    // The language text naming an offered effect; 0 for the effects the list does not offer.
    static int effectNameText(int effect);
    static QString effectName(int effect, const LangText& texts = LangText::instance());

    // The current effect number 0..9, or -1 when the profile holds none of those.
    static int currentEffect(const ProfileRecord& record);
    // Stores the chosen effect and its name (empty for an effect the list does not offer); false
    // (nothing changed) for an effect outside 0..9.
    static bool chooseEffect(ProfileRecord& record, int effect, const LangText& texts = LangText::instance());

    // Colour slots the page shows for an effect (7, 1, 8, 2, or 0 when it shows none).
    static int slotsShown(int effect);
    // The least number of shown slots that must stay in use; 0 when there is no rule. Effect 3
    // answers 1 and never lets its only slot go.
    static int leastInUse(int effect);
    // Language text of the notice when a slot may not be taken out of use (153 or 154), 0 when
    // the effect has no rule.
    static int ruleText(int effect);
    // In-use slots among the ones shown for the effect.
    static int inUseCount(const ProfileRecord& record, int effect);
    static bool slotInUse(const ProfileRecord& record, int slot);
    static uint32_t slotColor(const ProfileRecord& record, int slot);

    enum class SlotChange {
        Ignored,  // no current effect, or the slot is not shown for it
        PutInUse, // it was not in use
        TakenOut, // it was in use and the rule allows one fewer
        Refused,  // it must stay in use: show the notice with `text`
    };
    struct SlotResult {
        SlotChange change = SlotChange::Ignored;
        int text = 0; // language text of the notice when refused
    };
    // A single click on colour slot 0..7 of the current effect (the click that no double click
    // followed).
    static SlotResult toggleSlot(ProfileRecord& record, int slot);

    // Speed 0..2, brightness 0..3 and direction 0/1 of the current effect; reads give 0 without
    // one. Setters clamp into range and return false when there is no current effect.
    static int speed(const ProfileRecord& record);
    static int brightness(const ProfileRecord& record);
    static int direction(const ProfileRecord& record);
    static bool setSpeed(ProfileRecord& record, int position);
    static bool setBrightness(ProfileRecord& record, int position);
    static bool setDirection(ProfileRecord& record, int direction);
    // The read-outs: speed shows position + 1, brightness "25%" … "100%".
    static QString speedText(int position);
    static QString brightnessText(int position);

    // The colour the palette edits: kind 0 is lighting colour `slot` of effect `index`, kind 1 is
    // the indicator colour of DPI level `index` (levels outside 0..7 count as level 0). Reads give
    // 0 and stores return false (nothing changed) for anything else.
    enum PaletteKind { LightingColor = 0, DpiLevelColor = 1 };
    static uint32_t paletteColor(const ProfileRecord& record, int kind, int index, int slot);
    static bool storePaletteColor(ProfileRecord& record, int kind, int index, int slot, uint32_t color);
};

#include "device/UploadPlanner.h"

#include "device/MacroSlots.h"

#include <algorithm>

using P = MouseProtocol;

UploadPlanner::UploadPlanner() {
    known.set();
    macroKnown.set();
}

void UploadPlanner::addFrame(std::vector<Step>& steps, int image, const MouseProtocol::Report& report) {
    lost[size_t(image)] = 0; // queued again
    steps.push_back({image, report});
}

bool UploadPlanner::differs(Image image, bool changed) {
    const bool result = !known[image] || changed;
    known.set(image);
    return result;
}

std::vector<UploadPlanner::Step> UploadPlanner::plan(const UploadImages& next, const ProfileRecord& profile,
                                                     unsigned dirty, bool channel, uint8_t& sequence) {
    std::vector<Step> steps;
    const auto command = [&](Image image, uint8_t cmd, const uint8_t* payload, size_t length) {
        addFrame(steps, image, P::frame(cmd, sequence++, P::SinglePacket, uint8_t(length), payload, length));
    };
    if ((dirty & KeysDirty) && channel) {
        std::array<bool, 5> changed{};
        for (size_t d = 0; d < 5; ++d) {
            changed[d] = differs(Image(KeyImage0 + d), next.keys[d] != lastSent.keys[d]);
            lastSent.keys[d] = next.keys[d];
        }
        for (size_t d = 0; d < 5; ++d) {
            if (!changed[d]) {
                steps.push_back({}); // the key pass always takes five waits
                continue;
            }
            const auto payload = P::keyPayload(uint8_t(d), next.keys[d]);
            command(Image(KeyImage0 + d), P::KeyAssignment, payload.data(), payload.size());
        }
    }
    if ((dirty & SettingsDirty) && channel) {
        const bool dpi = differs(DpiImage, UploadImages::dpiDiffers(next.dpi, lastSent.dpi));
        const bool colours = differs(ColourImage, next.colours != lastSent.colours);
        const bool polling = differs(PollingImage, next.polling != lastSent.polling);
        const bool liftOff = differs(LiftOffImage, next.liftOff != lastSent.liftOff);
        const bool debounce = differs(DebounceImage, next.debounce != lastSent.debounce);
        const bool lighting =
            differs(LightingImage, UploadImages::lightingDiffers(next.lighting, lastSent.lighting));
        lastSent.dpi = next.dpi;
        lastSent.colours = next.colours;
        lastSent.polling = next.polling;
        lastSent.liftOff = next.liftOff;
        lastSent.debounce = next.debounce;
        lastSent.lighting = next.lighting;
        if (dpi)
            command(DpiImage, P::DpiLevels, next.dpi.data(), next.dpi.size());
        if (colours)
            command(ColourImage, P::DpiColours, next.colours.data(), next.colours.size());
        if (polling)
            command(PollingImage, P::PollingRate, &next.polling, 1);
        if (liftOff) {
            const auto payload = P::liftOffPayload(next.liftOff);
            command(LiftOffImage, P::LiftOff, payload.data(), payload.size());
        }
        if (debounce)
            command(DebounceImage, P::Debounce, &next.debounce, 1);
        if (lighting)
            addFrame(steps, LightingImage, P::lightingFrame(sequence++, next.lighting));
    }
    if ((dirty & PowerDirty) && channel && (!known[PowerImage] || next.power != lastSent.power)) {
        lastSent.power = next.power;
        known.set(PowerImage);
        command(PowerImage, P::PowerDown, next.power.data(), next.power.size());
    }
    if ((dirty & WakeupDirty) && channel && (!known[WakeupImage] || next.wakeup != lastSent.wakeup)) {
        lastSent.wakeup = next.wakeup;
        known.set(WakeupImage);
        command(WakeupImage, P::MotionWakeup, &next.wakeup, 1);
    }
    planMacros(steps, profile, true, &sequence);
    return steps;
}

void UploadPlanner::planMacros(std::vector<Step>& steps, const ProfileRecord& profile, bool send,
                               uint8_t* sequence) {
    for (const KeySlot& key : profile.Keys) {
        const uint8_t slot = MacroSlots::slotOf(key);
        if (slot == 0)
            continue; // never bound to a slot; nothing the mouse could play
        const MacroImage::Bytes image = MacroImage::build(key.Macro, slot);
        auto& stored = macroImages[slot];
        const bool changed = !macroKnown[slot] || !std::equal(stored.begin(), stored.end(), image.begin());
        std::copy_n(image.begin(), stored.size(), stored.begin());
        macroKnown.set(slot);
        if (!send)
            continue;
        if (changed)
            for (const MacroImage::Packet& p : MacroImage::packets(image, slot))
                addFrame(steps, MacroImage0 + slot, P::macroFrame((*sequence)++, p));
        steps.push_back({});
    }
}

void UploadPlanner::assumeHeld(const UploadImages& images, const ProfileRecord& profile) {
    lastSent = images;
    known.set();
    std::vector<Step> none;
    planMacros(none, profile, false, nullptr);
    // What failed to arrive is still not on the mouse, whatever the profile says.
    for (int image = 0; image < int(lost.size()); ++image) {
        if (lost[size_t(image)] == 0)
            continue;
        if (image >= MacroImage0)
            macroKnown.reset(size_t(image - MacroImage0));
        else
            known.reset(size_t(image));
    }
}

void UploadPlanner::forget() {
    known.reset();
    macroKnown.reset();
}

unsigned UploadPlanner::frameFailed(int image) {
    ++lost[size_t(image)];
    if (image >= MacroImage0) {
        macroKnown.reset(size_t(image - MacroImage0));
        return 0;
    }
    known.reset(size_t(image));
    return image < DpiImage      ? KeysDirty
           : image < PowerImage  ? SettingsDirty
           : image == PowerImage ? PowerDirty
                                 : WakeupDirty;
}

int UploadPlanner::lostFrames() const {
    int count = 0;
    for (int n : lost)
        count += n;
    return count;
}

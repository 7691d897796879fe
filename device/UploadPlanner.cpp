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

bool UploadPlanner::differs(int image, bool changed) {
    const bool result = !known[image] || changed;
    known.set(image);
    return result;
}

std::vector<UploadPlanner::Step> UploadPlanner::plan(const UploadImages& next, const ProfileRecord& profile,
                                                     unsigned dirty, bool channel, uint8_t& sequence) {
    std::vector<Step> steps;
    if ((dirty & KeysDirty) && channel) {
        std::array<bool, 5> changed{};
        for (size_t d = 0; d < 5; ++d) {
            changed[d] = differs(int(KeyImage0 + d), next.keys[d] != lastSent.keys[d]);
            lastSent.keys[d] = next.keys[d];
        }
        for (size_t d = 0; d < 5; ++d) {
            if (!changed[d]) {
                steps.push_back({}); // the key pass always takes five waits
                continue;
            }
            const auto payload = P::keyPayload(uint8_t(d), next.keys[d]);
            addFrame(steps, int(KeyImage0 + d),
                     P::frame(P::KeyAssignment, sequence++, P::SinglePacket, uint8_t(payload.size()),
                              payload.data(), payload.size()));
        }
    }
    if (channel) {
        for (const UploadImages::Setting& setting : UploadImages::settings()) {
            if (!(dirty & setting.dirty))
                continue;
            const bool changed = differs(setting.image, setting.differs(next, lastSent));
            setting.take(lastSent, next);
            if (changed)
                addFrame(steps, setting.image, setting.frame(next, sequence++));
        }
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
    return image < UploadImages::FirstSettingImage
               ? unsigned(KeysDirty)
               : UploadImages::settings()[size_t(image - UploadImages::FirstSettingImage)].dirty;
}

int UploadPlanner::lostFrames() const {
    int count = 0;
    for (int n : lost)
        count += n;
    return count;
}

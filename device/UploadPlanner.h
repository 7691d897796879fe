#pragma once

#include "device/MouseProtocol.h"
#include "device/UploadImages.h"
#include "macros/MacroImage.h"
#include "settings/ProfileRecord.h"

#include <array>
#include <bitset>
#include <cstdint>
#include <vector>

// What the mouse is believed to hold, and from it which frames a pass sends, numbered and in order.
// It knows no device, clock or thread: the link carries the steps out and reports back what did not
// arrive.
class UploadPlanner {
public:
    using enum UploadImages::DirtyFlag;
    static constexpr unsigned AllDirty = UploadImages::AllDirty;
    using Image = UploadImages::Image;
    using enum UploadImages::Image;

    // Images the mouse holds, by number; macro slot s is MacroImage0 + s.
    static constexpr int MacroImage0 = ImageCount;
    static constexpr int MacroSlotCount = 6; // slot 0 is never bound
    static constexpr int Wait = -1;

    // A frame that carries (part of) an image, or a wait in place of a frame not sent.
    struct Step {
        int image = Wait;
        MouseProtocol::Report report{};
        bool isWait() const { return image == Wait; }
    };

    UploadPlanner();

    // The frames of one pass: the settings images marked dirty (only with a command channel, else
    // they stay as they were), then the macro slots of the profile's bound buttons (numbered and
    // paced even without a channel). The images taken count as held from now on. `sequence` is the
    // number of the first frame and is advanced past the last.
    std::vector<Step> plan(const UploadImages& next, const ProfileRecord& profile, unsigned dirty,
                           bool channel, uint8_t& sequence);

    // The mouse holds these images (it reported them, or was just set to them), except for what
    // failed to arrive since.
    void assumeHeld(const UploadImages& images, const ProfileRecord& profile);
    // Forgets what was sent, so the next pass sends every frame of the profile.
    void forget();
    // The mouse was reset: what did not arrive before no longer matters.
    void forgetLost() { lost = {}; }

    // A frame of `image` did not arrive: the image is no longer held. Returns the dirty flag that
    // sends it again.
    unsigned frameFailed(int image);
    // Frames whose write failed and whose content has not been planned again since.
    int lostFrames() const;

private:
    void addFrame(std::vector<Step>& steps, int image, const MouseProtocol::Report& report);
    void planMacros(std::vector<Step>& steps, const ProfileRecord& profile, bool send, uint8_t* sequence);
    bool differs(int image, bool changed);

    UploadImages lastSent;
    std::bitset<ImageCount> known;
    std::array<std::array<uint8_t, MacroImage::ComparedBytes>, MacroSlotCount> macroImages{};
    std::bitset<MacroSlotCount> macroKnown;
    std::array<int, ImageCount + MacroSlotCount> lost{};
};

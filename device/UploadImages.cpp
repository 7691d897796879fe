#include "device/UploadImages.h"

#include "features/DpiLevels.h"

#include <algorithm>

namespace {
void putColour(uint8_t* at, uint32_t colour) {
    at[0] = ProfileRecord::red(colour);
    at[1] = ProfileRecord::green(colour);
    at[2] = ProfileRecord::blue(colour);
}

std::array<uint8_t, 25> lightingImage(const ProfileRecord& p) {
    std::array<uint8_t, 25> img{};
    const uint8_t mode = p.Lighting1ModeValue[0];
    img[1] = mode;
    if (mode >= ProfileRecord::LightingModes)
        return img; // no such effect: length 0
    img[2] = uint8_t(((p.Lighting1Brightness[mode] + 1) << 4) | ((p.Lighting1Speed[mode] + 1) & 0x0F));
    const auto& selected = p.Lighting1ColorSelected[mode];
    const auto& colours = p.Lighting1FixedColor[mode];
    switch (mode) {
    case 1:
        img[0] = 3;
        img[3] = p.Lighting1Direction[1];
        break;
    case 2: {
        uint8_t n = 0;
        for (int slot = 0; slot < 7; ++slot) {
            if (selected[slot] && (colours[slot] & 0xFFFFFF) != 0)
                putColour(&img[4 + 3 * n++], colours[slot]);
        }
        img[3] = n;
        img[0] = uint8_t(3 + 3 * n);
        break;
    }
    case 3:
        img[0] = 5;
        putColour(&img[3], colours[0]);
        break;
    case 6:
    case 7: {
        const int groups = mode == 6 ? 7 : 2;
        img[0] = uint8_t(2 + 3 * groups);
        for (int slot = 0; slot < groups; ++slot)
            if (selected[slot])
                putColour(&img[3 + 3 * slot], colours[slot]);
        break;
    }
    default:
        img[0] = 2;
        break;
    }
    return img;
}
} // namespace

uint8_t UploadImages::pollingCode(uint8_t rateIndex) {
    switch (rateIndex) {
    case 0:
        return 8;
    case 1:
        return 4;
    case 2:
        return 2;
    default:
        return 1;
    }
}

uint8_t UploadImages::pollingIndex(uint8_t intervalMs) {
    switch (intervalMs) {
    case 8:
        return 0;
    case 4:
        return 1;
    case 2:
        return 2;
    default:
        return 3;
    }
}

UploadImages UploadImages::build(const ProfileRecord& p, const DpiTables& tables) {
    UploadImages img;
    for (int k = 0; k < ProfileRecord::KeyCount; ++k)
        img.keys[size_t(deviceKeyIndex(k))] = p.Keys[size_t(k)].Value.bytes();

    img.dpi[0] = uint8_t(((p.CurrentDPILevel + 1) << 4) | (DpiLevels::enabledCount(p.DPIOffOnFlag) & 0x0F));
    img.dpi[1] = p.DPIOffOnFlag;
    for (int level = 0; level < 6; ++level) {
        const uint16_t code = tables.code(p.XYSetting[size_t(level)]);
        img.dpi[size_t(2 + 2 * level)] = uint8_t(code & 0xFF);
        img.dpi[size_t(3 + 2 * level)] = uint8_t(code >> 8);
    }
    for (int level = 0; level < ProfileRecord::DpiLevelCount; ++level)
        putColour(&img.colours[size_t(3 * level)], p.DPILevelIndication[size_t(level)]);

    img.polling = pollingCode(p.PollingRateValue[0]);
    img.liftOff = p.namedInt(ProfileRecord::LiftDetectionHeight) == 1 ? 1 : 2;
    img.debounce = uint8_t(p.namedInt(ProfileRecord::KeyDebounce));
    img.lighting = lightingImage(p);
    img.power = {uint8_t(p.namedInt(ProfileRecord::PowerDownTime)),
                 uint8_t(p.namedInt(ProfileRecord::MoveLightingOnOffMode))};
    img.wakeup = uint8_t(p.namedInt(ProfileRecord::MotionWakeup));
    return img;
}

bool UploadImages::dpiDiffers(const std::array<uint8_t, 18>& a, const std::array<uint8_t, 18>& b) {
    return !std::equal(a.begin(), a.begin() + 17, b.begin());
}

bool UploadImages::lightingDiffers(const std::array<uint8_t, 25>& next, const std::array<uint8_t, 25>& last) {
    const size_t end = std::min<size_t>(size_t(next[0]) + 1, next.size());
    return !std::equal(next.begin(), next.begin() + end, last.begin());
}

#include "device/UploadImages.h"

#include "features/DpiLevels.h"

#include <algorithm>

namespace {
using P = MouseProtocol;

void putColour(uint8_t* at, uint32_t colour) {
    at[0] = ProfileRecord::red(colour);
    at[1] = ProfileRecord::green(colour);
    at[2] = ProfileRecord::blue(colour);
}

// The effect's parameters: effect 1 its direction; effect 2 a count, then that many colours; the
// others a colour per slot at the slot's place.
UploadImages::Lighting lightingImage(const ProfileRecord& p) {
    UploadImages::Lighting img{};
    uint8_t& length = img[P::LightingImageLengthAt];
    uint8_t* payload = img.data() + P::LightingPayloadInImage;
    uint8_t* params = payload + P::LightingParamsAt;
    const uint8_t mode = p.Lighting1ModeValue[0];
    payload[P::LightingEffectAt] = mode;
    if (mode >= ProfileRecord::LightingModes)
        return img; // no such effect: length 0
    payload[P::LightingLevelsAt] =
        uint8_t(((p.Lighting1Brightness[mode] + 1) << 4) | ((p.Lighting1Speed[mode] + 1) & 0x0F));
    const auto& selected = p.Lighting1ColorSelected[mode];
    const auto& colours = p.Lighting1FixedColor[mode];
    constexpr size_t Head = P::MinLightingPayload;
    constexpr size_t Colour = P::BytesPerColour;
    switch (mode) {
    case 1:
        length = Head + 1;
        params[0] = p.Lighting1Direction[1];
        break;
    case 2: {
        uint8_t n = 0;
        for (int slot = 0; slot < 7; ++slot) {
            if (selected[slot] && (colours[slot] & 0xFFFFFF) != 0)
                putColour(&params[1 + Colour * n++], colours[slot]);
        }
        params[0] = n;
        length = uint8_t(Head + 1 + Colour * n);
        break;
    }
    case 3:
        length = Head + Colour;
        putColour(&params[0], colours[0]);
        break;
    case 6:
    case 7: {
        const int groups = mode == 6 ? 7 : 2;
        length = uint8_t(Head + Colour * groups);
        for (int slot = 0; slot < groups; ++slot)
            if (selected[slot])
                putColour(&params[Colour * slot], colours[slot]);
        break;
    }
    default:
        length = Head;
        break;
    }
    return img;
}
} // namespace

UploadImages UploadImages::build(const ProfileRecord& p, const DpiTables& tables) {
    UploadImages img;
    for (int k = 0; k < ProfileRecord::KeyCount; ++k)
        img.keys[size_t(deviceKeyIndex(k))] = p.Keys[size_t(k)].Value.bytes();

    img.dpi[P::DpiHeaderAt] = P::dpiHeader(p.CurrentDPILevel, DpiLevels::enabledCount(p.DPIOffOnFlag));
    img.dpi[P::DpiMaskAt] = p.DPIOffOnFlag;
    for (int level = 0; level < P::DpiLevelsSent; ++level)
        P::setDpiCode(img.dpi, level, tables.code(p.XYSetting[size_t(level)]));
    for (int level = 0; level < ProfileRecord::DpiLevelCount; ++level)
        putColour(&img.colours[P::colourAt(level)], p.DPILevelIndication[size_t(level)]);

    img.polling = P::pollingInterval(p.PollingRateValue[0]);
    img.liftOff = p.namedInt(ProfileRecord::LiftDetectionHeight) == 1 ? 1 : 2;
    img.debounce = uint8_t(p.namedInt(ProfileRecord::KeyDebounce));
    img.lighting = lightingImage(p);
    img.power[P::PowerMinutesAt] = uint8_t(p.namedInt(ProfileRecord::PowerDownTime));
    img.power[P::MovingLightAt] = uint8_t(p.namedInt(ProfileRecord::MoveLightingOnOffMode));
    img.wakeup = uint8_t(p.namedInt(ProfileRecord::MotionWakeup));
    return img;
}

bool UploadImages::dpiDiffers(const Dpi& a, const Dpi& b) {
    return !std::equal(a.begin(), a.begin() + DpiComparedBytes, b.begin());
}

bool UploadImages::lightingDiffers(const Lighting& next, const Lighting& last) {
    const size_t end = std::min<size_t>(size_t(next[P::LightingImageLengthAt]) + 1, next.size());
    return !std::equal(next.begin(), next.begin() + end, last.begin());
}

#include "device/UploadImages.h"

#include "features/DpiLevels.h"

#include <algorithm>
#include <type_traits>

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
template <auto Field> bool fieldDiffers(const UploadImages& next, const UploadImages& last) {
    return next.*Field != last.*Field;
}

template <auto Field> void takeField(UploadImages& last, const UploadImages& next) {
    last.*Field = next.*Field;
}

// A single-packet command whose payload is the field as it stands.
template <auto Field, uint8_t Command> P::Report fieldFrame(const UploadImages& images, uint8_t sequence) {
    const auto& value = images.*Field;
    if constexpr (std::is_same_v<std::decay_t<decltype(value)>, uint8_t>)
        return P::frame(Command, sequence, P::SinglePacket, 1, &value, 1);
    else
        return P::frame(Command, sequence, P::SinglePacket, uint8_t(value.size()), value.data(),
                        value.size());
}

template <auto Field, uint8_t Command, unsigned Dirty>
constexpr UploadImages::Setting plain(UploadImages::Image image) {
    return {image, Dirty, fieldFrame<Field, Command>, fieldDiffers<Field>, takeField<Field>};
}

P::Report liftOffFrame(const UploadImages& images, uint8_t sequence) {
    const auto payload = P::liftOffPayload(images.liftOff);
    return P::frame(P::LiftOff, sequence, P::SinglePacket, uint8_t(payload.size()), payload.data(),
                    payload.size());
}

P::Report lightingFrame(const UploadImages& images, uint8_t sequence) {
    return P::lightingFrame(sequence, images.lighting);
}

bool dpiDiffers(const UploadImages& next, const UploadImages& last) {
    return UploadImages::dpiDiffers(next.dpi, last.dpi);
}

bool lightingDiffers(const UploadImages& next, const UploadImages& last) {
    return UploadImages::lightingDiffers(next.lighting, last.lighting);
}

using U = UploadImages;
constexpr std::array<U::Setting, U::ImageCount - U::FirstSettingImage> kSettings = {{
    {U::DpiImage, U::SettingsDirty, fieldFrame<&U::dpi, P::DpiLevels>, dpiDiffers, takeField<&U::dpi>},
    plain<&U::colours, P::DpiColours, U::SettingsDirty>(U::ColourImage),
    plain<&U::polling, P::PollingRate, U::SettingsDirty>(U::PollingImage),
    {U::LiftOffImage, U::SettingsDirty, liftOffFrame, fieldDiffers<&U::liftOff>, takeField<&U::liftOff>},
    plain<&U::debounce, P::Debounce, U::SettingsDirty>(U::DebounceImage),
    {U::LightingImage, U::SettingsDirty, lightingFrame, lightingDiffers, takeField<&U::lighting>},
    plain<&U::power, P::PowerDown, U::PowerDirty>(U::PowerImage),
    plain<&U::wakeup, P::MotionWakeup, U::WakeupDirty>(U::WakeupImage),
}};

constexpr bool inImageOrder() {
    for (size_t i = 0; i < kSettings.size(); ++i)
        if (kSettings[i].image != U::FirstSettingImage + int(i))
            return false;
    return true;
}
static_assert(inImageOrder(), "the settings table is indexed by image");
} // namespace

const std::array<UploadImages::Setting, UploadImages::ImageCount - UploadImages::FirstSettingImage>&
UploadImages::settings() {
    return kSettings;
}

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

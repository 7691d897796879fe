#include "macros/MacroImage.h"

#include "buttons/KeyTables.h"

#include <algorithm>

std::array<uint8_t, 3> MacroImage::event(const MacroAction& action, uint32_t delayMs) {
    const uint8_t usage = KeyTables::VkToHidUsage(action.code());
    uint8_t type = 3;
    uint8_t data = usage;
    if (usage >= 0x91 && usage <= 0xE7) {
        type = 2;
        data = uint8_t(1u << (usage & 7));
    } else if (usage >= 0xF0 && usage <= 0xF4) {
        type = 1;
        data = uint8_t(1u << (usage & 7));
    } else if (usage >= 0xF5 && usage <= 0xF7) {
        type = uint8_t(4 + (usage - 0xF5));
        data = action.bytes[3];
    }
    const uint32_t delay = std::min(delayMs, MaxDelayMs);
    return {uint8_t((action.bytes[1] & 0x80) | (type << 4) | ((delay >> 8) & 0x0F)), uint8_t(delay & 0xFF),
            data};
}

MacroImage::Bytes MacroImage::build(const MacroKey& macro, uint8_t slot) {
    Bytes image{};
    image[0] = 0x09;
    image[1] = 0x90;
    image[2] = slot;
    image[3] = macro.MacroCommandActionNum;
    size_t at = 4;
    const uint32_t count = std::min(macro.actionCount, MacroKey::Capacity);
    for (uint32_t j = 0; j < count; ++j) {
        const MacroAction& action = macro.actions[j];
        if (action.code() == MacroAction::DelayCode)
            continue;
        uint32_t delay = 0;
        if (j + 1 < count && macro.actions[j + 1].code() == MacroAction::DelayCode)
            delay = macro.actions[j + 1].delayMs();
        if (at + 3 > Size)
            break; // more events than the image holds; the header count limits what is sent anyway
        const auto e = event(action, delay);
        std::copy(e.begin(), e.end(), image.begin() + at);
        at += 3;
    }
    return image;
}

std::vector<MacroImage::Packet> MacroImage::packets(const Bytes& image, uint8_t slot) {
    size_t remaining = size_t(image[3]) * 3;
    const size_t count = std::max<size_t>(1, (remaining + BytesPerPacket - 1) / BytesPerPacket);
    std::vector<Packet> out(count);
    for (size_t k = 0; k < count; ++k) {
        Packet& p = out[k];
        p.position = uint8_t((k << 4) | (count & 0x0F));
        if (remaining > BytesPerPacket) {
            p.length = 26;
            remaining -= BytesPerPacket;
        } else {
            p.length = uint8_t(remaining + 1);
        }
        p.payload[0] = slot;
        const size_t from = 4 + BytesPerPacket * k;
        for (size_t i = 0; i < BytesPerPacket && from + i < Size; ++i)
            p.payload[1 + i] = image[from + i];
    }
    return out;
}

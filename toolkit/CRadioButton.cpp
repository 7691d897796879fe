#include "toolkit/CRadioButton.h"

#include "toolkit/Skin.h"

#include <array>

uint32_t& RadioWord() {
    static uint32_t word = CRadioButton::InitialRadioWord;
    return word;
}

namespace {
struct RadioGroup {
    uint32_t mask;
    uint32_t firstBit;
    std::array<uint32_t, 4> ids; // 0 ends the list
};

constexpr std::array<RadioGroup, 5> groups = {{
    {0x00000180, 0x80, {2009, 2010, 0, 0}},
    {0x00001800, 0x800, {3240, 3250, 0, 0}},
    {0x0000E000, 0x2000, {2031, 2032, 2033, 0}},
    {0x000F0000, 0x10000, {3030, 3031, 3032, 3033}},
    {0x00300000, 0x100000, {3510, 3511, 0, 0}},
}};
} // namespace

bool CRadioButton::radioBit(uint32_t id, uint32_t& bit, uint32_t& groupMask) {
    for (const RadioGroup& group : groups) {
        for (size_t i = 0; i < group.ids.size() && group.ids[i] != 0; ++i) {
            if (group.ids[i] == id) {
                bit = group.firstBit << i;
                groupMask = group.mask;
                return true;
            }
        }
    }
    return false;
}

CRadioButton::CRadioButton(MessageWindow* parent, uint32_t id, const Rect& rect, const QString& text,
                           bool visible, bool shown, bool disabled)
    : CStateImageButton(parent, id, rect, text, visible, shown, disabled) {}

bool CRadioButton::isChecked() const {
    uint32_t bit = 0, mask = 0;
    return radioBit(id, bit, mask) && (RadioWord() & bit) != 0;
}

void CRadioButton::Draw(QPainter& painter, const Rect&) {
    const int shownLook = look();
    drawLook(painter, shownLook);
}

void CRadioButton::notifyClick() {
    uint32_t bit = 0, mask = 0;
    if (radioBit(id, bit, mask))
        RadioWord() = (RadioWord() & ~mask) | bit;
    CButtonBase::notifyClick();
}

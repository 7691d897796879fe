#include "ui/shell/MainSection.h"

#include "toolkit/CCheckButton.h"
#include "toolkit/CRadioButton.h"
#include "toolkit/CSliderControl.h"

MessageTable::Handler MainSection::onClick(std::function<void()> action) {
    return [action = std::move(action)](uintptr_t, intptr_t code) -> intptr_t {
        if (code == CodeClick)
            action();
        return 0;
    };
}

bool MainSection::checked(uint32_t id) const {
    const auto* check = control<CCheckButton>(id);
    return check && check->checked;
}

int MainSection::position(uint32_t id) const {
    const auto* slider = control<CSliderControl>(id);
    return slider ? slider->position : 0;
}

void MainSection::setText(uint32_t id, const QString& text) const {
    if (CControlBase* c = window.FindControl(id))
        c->SetText(text);
}

bool MainSection::selected(uint32_t radioId) {
    uint32_t bit = 0, mask = 0;
    return CRadioButton::radioBit(radioId, bit, mask) && (RadioWord() & bit) != 0;
}

void MainSection::select(uint32_t radioId) {
    uint32_t bit = 0, mask = 0;
    if (CRadioButton::radioBit(radioId, bit, mask))
        RadioWord() = (RadioWord() & ~mask) | bit;
}

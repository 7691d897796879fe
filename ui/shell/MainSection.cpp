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
    return check && check->isChecked();
}

int MainSection::position(uint32_t id) const {
    const auto* slider = control<CSliderControl>(id);
    return slider ? slider->position : 0;
}

void MainSection::setText(uint32_t id, const QString& text) const {
    if (CControlBase* c = window.FindControl(id))
        c->SetText(text);
}

bool MainSection::selected(uint32_t radioId) const {
    const auto* radio = control<CRadioButton>(radioId);
    return radio && radio->isChecked();
}

void MainSection::select(uint32_t radioId) const {
    if (auto* radio = control<CRadioButton>(radioId))
        radio->Check();
}

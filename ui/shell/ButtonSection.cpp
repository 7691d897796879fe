#include "ui/shell/ButtonSection.h"

#include "toolkit/CComboButton.h"
#include "toolkit/Skin.h"
#include "toolkit/UiScale.h"
#include "ui/shell/MainControls.h"
#include "ui/shell/MainLayout.h"

#include <QPainter>
#include <array>

using namespace MainControl;

namespace {
// Identifiers from ButtonFunction on mark the mouse picture; only markers 1 … 9 have a place.
constexpr uint32_t MarkedIds = 14;

// Where each button marker goes over the mouse picture, markers 1..9.
constexpr std::array<QPoint, 9> MarkerPositions = {{{495, 231},
                                                    {608, 231},
                                                    {553, 251},
                                                    {467, 311},
                                                    {471, 360},
                                                    {553, 333},
                                                    {616, 346},
                                                    {487, 284},
                                                    {487, 284}}};
} // namespace

void ButtonSection::addMessages(MessageTable& messages) {
    messages.add(ButtonFunctionNotice, [this](uintptr_t id, intptr_t code) -> intptr_t {
        onFunctionCombo(id, code);
        return 0;
    });
    // The function menus (button assignment) and the macro manager are not part of this window.
    messages.add(MacroButton, onClick([] {}));
}

void ButtonSection::refresh() {
    const ProfileRecord& p = window.profile();
    for (int k = 0; k < AssignableButtons; ++k)
        if (auto* combo = control<CComboButton>(ButtonFunction + uint32_t(k)))
            combo->displayText = p.Keys[size_t(k)].Name;
}

void ButtonSection::onFunctionCombo(uintptr_t id, intptr_t code) {
    if (code == CodeHover || code == CodeLeave) {
        if (code == CodeHover)
            markerIndex =
                id >= ButtonFunction && id < ButtonFunction + MarkedIds ? int(id - ButtonFunction) + 1 : 0;
        else
            markerIndex = 0;
        const Rect& picture = MainLayout::MousePicture;
        window.invalidate(scaledRect(picture.left, picture.top, picture.right, picture.bottom));
    }
    // Code 2 opens the function menu of the button assignment, which this window does not hold.
}

void ButtonSection::drawMarker(QPainter& painter) const {
    if (markerIndex < 1 || markerIndex > 9)
        return;
    QImage marker;
    int w = 0, h = 0;
    if (Skin::LoadSkinImage(QStringLiteral("skins\\mouse\\number%1.png").arg(markerIndex), marker, w, h)) {
        const QPoint at = MarkerPositions[size_t(markerIndex - 1)];
        Skin::DrawSkinImage(
            painter, marker,
            {scaled(at.x()), scaled(at.y()), scaled(at.x()) + scaled(w), scaled(at.y()) + scaled(h)});
    }
}

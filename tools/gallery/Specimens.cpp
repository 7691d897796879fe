#include "tools/gallery/Specimens.h"

#include "base/UiFont.h"
#include "macros/MacroAction.h"
#include "macros/MacroKey.h"
#include "macros/MacroLibrary.h"
#include "toolkit/CCheckButton.h"
#include "toolkit/CColorSelectButton.h"
#include "toolkit/CColorSelectCheckButton.h"
#include "toolkit/CComboButton.h"
#include "toolkit/CDPIRadioButton.h"
#include "toolkit/CImageButton.h"
#include "toolkit/CLinkButton.h"
#include "toolkit/CRadioButton.h"
#include "toolkit/CSliderControl.h"
#include "toolkit/CStaticImage.h"
#include "toolkit/CStaticText.h"
#include "toolkit/CTabControl.h"
#include "toolkit/CVScrollBar.h"
#include "toolkit/CVerticalSliderControl.h"
#include "toolkit/RadioGroup.h"
#include "toolkit/SkinText.h"
#include "toolkit/UiScale.h"
#include "ui/macros/CEditShowList.h"
#include "ui/macros/CImageShowList.h"

#include <array>
#include <memory>

namespace {
using Controls = std::vector<std::unique_ptr<CControlBase>>;

// A design rectangle by its size, at the current scale.
Rect at(int x, int y, int width, int height) {
    return scaledRect(x, y, x + width, y + height);
}

template <class T> T* add(Controls& list, std::unique_ptr<T> control) {
    T* raw = control.get();
    list.push_back(std::move(control));
    return raw;
}

QPoint centre(const Rect& r) {
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}
QPoint outside(const Rect& r) {
    return {r.right + scaled(100), r.bottom + scaled(100)};
}
// A point `fraction` of the way down the control, in its middle column.
QPoint down(const Rect& r, double fraction) {
    return {(r.left + r.right) / 2, r.top + int(r.height() * fraction)};
}

void moveTo(CControlBase& c, const QPoint& p) {
    c.OnMouseMove(0, p);
}
void pressAt(CControlBase& c, const QPoint& p) {
    c.OnMouseMove(0, p);
    c.OnLButtonDown(KeyLButton, p);
}
void clickAt(CControlBase& c, const QPoint& p) {
    pressAt(c, p);
    c.OnLButtonUp(0, p);
}

// The looks most buttons share, aimed at the middle of the control.
Look normal() {
    return {QStringLiteral("normal"), {}};
}
Look hover() {
    return {QStringLiteral("hover"), [](CControlBase& c) { moveTo(c, centre(c.rect)); }};
}
Look pressed() {
    return {QStringLiteral("pressed"), [](CControlBase& c) { pressAt(c, centre(c.rect)); }};
}
// Clicked, then the mouse has gone.
Look clicked(const QString& name) {
    return {name, [](CControlBase& c) {
                clickAt(c, centre(c.rect));
                moveTo(c, outside(c.rect));
            }};
}
// Clicked, with the mouse still on it.
Look clickedHover(const QString& name) {
    return {name, [](CControlBase& c) { clickAt(c, centre(c.rect)); }};
}
// Built disabled and then pressed: it should look as it does untouched.
Look disabled() {
    return {QStringLiteral("disabled"), [](CControlBase& c) { pressAt(c, centre(c.rect)); }, true};
}

Specimen imageButton() {
    return {
        QStringLiteral("CImageButton"),
        {340, 41},
        [](MessageWindow& stage, bool off) {
            Scene scene;
            add(scene.subjects,
                std::make_unique<CImageButton>(&stage, 2062, at(8, 8, 230, 25), TextCenter,
                                               QStringLiteral("Macro Manager"), true, true, off))
                ->SetImages(QStringLiteral("skins\\button1_nr.png"), QStringLiteral("skins\\button1_ov.png"));
            add(scene.subjects, std::make_unique<CImageButton>(&stage, 2010, at(246, 10, 69, 22), TextCenter,
                                                               QStringLiteral("OK"), true, true, off))
                ->SetImages(QStringLiteral("skins\\button2_nr.png"), QStringLiteral("skins\\button2_ov.png"));
            add(scene.subjects, std::make_unique<CImageButton>(&stage, 2004, at(323, 13, 15, 15), TextCenter,
                                                               QString(), true, true, off))
                ->SetImages(QStringLiteral("skins\\exit_nr.png"), QStringLiteral("skins\\exit_ov.png"));
            return scene;
        },
        {normal(), hover(), pressed(), disabled()}};
}

Specimen checkButton() {
    return {
        QStringLiteral("CCheckButton"),
        {301, 41},
        [](MessageWindow& stage, bool off) {
            Scene scene;
            add(scene.subjects, std::make_unique<CCheckButton>(&stage, 3504, at(8, 13, 15, 15), TextLeft,
                                                               QString(), true, true, off))
                ->SetImages(QStringLiteral("skins\\check_nr.png"), QStringLiteral("skins\\check_ov.png"),
                            QStringLiteral("skins\\check_dn.png"));
            add(scene.subjects, std::make_unique<CCheckButton>(&stage, 3001, at(31, 8, 262, 25), TextCenter,
                                                               QStringLiteral("DPI"), true, true, off))
                ->SetImages(QStringLiteral("skins\\header_nr.png"), QStringLiteral("skins\\header_ov.png"),
                            QStringLiteral("skins\\header_ov.png"));
            return scene;
        },
        {normal(), hover(), pressed(), clicked(QStringLiteral("checked")),
         clickedHover(QStringLiteral("checked_hover")), disabled()}};
}

Specimen radioButton() {
    // Three groups, none of them checked at the start: lift-off, lighting direction, polling rate.
    return {
        QStringLiteral("CRadioButton"),
        {147, 88},
        [](MessageWindow& stage, bool off) {
            Scene scene;
            auto groups = std::make_shared<std::array<RadioGroup, 3>>();
            scene.data = groups;
            add(scene.subjects, std::make_unique<CRadioButton>(&stage, 3510, at(8, 36, 15, 15), (*groups)[0],
                                                               0, QString(), true, true, off))
                ->SetImages(QStringLiteral("skins\\radio_nr.png"), QStringLiteral("skins\\radio_ov.png"),
                            QStringLiteral("skins\\radio_dn.png"));
            add(scene.subjects, std::make_unique<CRadioButton>(&stage, 3240, at(31, 34, 28, 20), (*groups)[1],
                                                               0, QString(), true, true, off))
                ->SetImages(QStringLiteral("skins\\up_nr.png"), QStringLiteral("skins\\up_ov.png"),
                            QStringLiteral("skins\\up_check.png"));
            add(scene.subjects, std::make_unique<CRadioButton>(&stage, 3030, at(67, 8, 72, 72), (*groups)[2],
                                                               0, QString(), true, true, off))
                ->SetImages(QStringLiteral("skins\\125hz_nr.png"), QStringLiteral("skins\\125hz_nr.png"),
                            QStringLiteral("skins\\125hz_dn.png"));
            return scene;
        },
        {normal(), hover(), pressed(), clicked(QStringLiteral("checked")), disabled()}};
}

Specimen dpiRadioButton() {
    // Level 2: not checked at the start.
    return {QStringLiteral("CDPIRadioButton"),
            {49, 34},
            [](MessageWindow& stage, bool off) {
                Scene scene;
                auto levels = std::make_shared<RadioGroup>();
                scene.data = levels;
                auto* level = add(scene.subjects,
                                  std::make_unique<CDPIRadioButton>(&stage, 3292, at(8, 8, 33, 18), *levels,
                                                                    2, QString(), true, true, off));
                level->SetImages(QStringLiteral("skins\\check_button_dpi_nr.png"),
                                 QStringLiteral("skins\\check_button_dpi_ov.png"),
                                 QStringLiteral("skins\\check_button_dpi_dn.png"));
                level->SetFont(scaled(11), UiFont::instance().UiFontFace);
                level->SetValue(32);
                return scene;
            },
            {normal(), hover(), pressed(), clicked(QStringLiteral("checked")), disabled()}};
}

Specimen colorSelectButton() {
    return {QStringLiteral("CColorSelectButton"),
            {63, 26},
            [](MessageWindow& stage, bool off) {
                Scene scene;
                const ColorRef colors[] = {rgb(255, 0, 0), rgb(0, 128, 255)};
                for (int i = 0; i < 2; ++i) {
                    const Rect r = at(8 + 24 * i, 8, 15, 10);
                    add(scene.subjects, std::make_unique<CColorSelectButton>(&stage, uint32_t(3270 + i), r, r,
                                                                             QString(), true, true, off))
                        ->SetColor(colors[i]);
                }
                return scene;
            },
            {normal(), hover(), pressed(), disabled()}};
}

Specimen colorSelectCheckButton() {
    return {QStringLiteral("CColorSelectCheckButton"),
            {33, 33},
            [](MessageWindow& stage, bool off) {
                Scene scene;
                auto* slot =
                    add(scene.subjects, std::make_unique<CColorSelectCheckButton>(
                                            &stage, 3180, at(8, 8, 17, 17), QString(), true, true, off));
                slot->SetImages(QStringLiteral("skins\\color_select_nr.png"),
                                QStringLiteral("skins\\color_select_check.png"));
                slot->SetColor(rgb(255, 128, 0));
                return scene;
            },
            // Which slot is in use is the owner's choice, not the mouse's.
            {normal(),
             hover(),
             pressed(),
             {QStringLiteral("selected"),
              [](CControlBase& c) { static_cast<CColorSelectCheckButton&>(c).SetSelected(true); }},
             disabled()}};
}

Specimen comboButton() {
    return {
        QStringLiteral("CComboButton"),
        {346, 37},
        [](MessageWindow& stage, bool off) {
            Scene scene;
            add(scene.subjects, std::make_unique<CComboButton>(&stage, 3120, at(8, 8, 160, 20), 1031,
                                                               QStringLiteral("Breathing"), TextCenter,
                                                               QString(), true, true, off))
                ->SetImages(QStringLiteral("skins\\combo3_nr.png"), QStringLiteral("skins\\combo3_ov.png"));
            add(scene.subjects, std::make_unique<CComboButton>(&stage, 2013, at(176, 8, 162, 21), 1028,
                                                               QStringLiteral("Left Button"), TextCenter,
                                                               QString(), true, true, off))
                ->SetImages(QStringLiteral("skins\\combo2_nr.png"), QStringLiteral("skins\\combo2_ov.png"));
            return scene;
        },
        // The owner marks the button while its popup is open; it stays lit with the mouse gone.
        {normal(),
         hover(),
         pressed(),
         {QStringLiteral("open"),
          [](CControlBase& c) {
              auto& combo = static_cast<CComboButton&>(c);
              clickAt(combo, centre(combo.rect));
              combo.SetPopupOpen(true);
              moveTo(combo, outside(combo.rect));
          }},
         disabled()}};
}

Specimen linkButton() {
    return {QStringLiteral("CLinkButton"),
            {216, 34},
            [](MessageWindow& stage, bool off) {
                Scene scene;
                add(scene.subjects,
                    std::make_unique<CLinkButton>(&stage, 3503, at(8, 8, 200, 18), TextCenter,
                                                  QStringLiteral("www.example.com"), true, true, off))
                    ->SetFont(scaled(18), QStringLiteral("Tahoma"));
                return scene;
            },
            {normal(), hover(), pressed(), disabled()}};
}

Specimen staticText() {
    return {
        QStringLiteral("CStaticText"),
        {262, 98},
        [](MessageWindow& stage, bool) {
            Scene scene;
            add(scene.subjects, std::make_unique<CStaticText>(&stage, 3402, at(8, 8, 246, 18), 0xB4B4B4,
                                                              TextLeft, QStringLiteral("Lift-off distance")));
            add(scene.subjects, std::make_unique<CStaticText>(&stage, 2012, at(8, 28, 246, 20), 0xFE9252,
                                                              TextLeft, QStringLiteral("Heading")));
            add(scene.subjects,
                std::make_unique<CStaticText>(
                    &stage, 2013, at(8, 50, 246, 40), 0xFFFFFF, TextCenter | TextWordBreak | TextEditControl,
                    QStringLiteral("A centred message that is long enough to break onto a second line.")));
            return scene;
        },
        {normal()}};
}

Specimen staticImage() {
    return {QStringLiteral("CStaticImage"),
            {83, 77},
            [](MessageWindow& stage, bool) {
                Scene scene;
                add(scene.subjects, std::make_unique<CStaticImage>(&stage, 3400, at(8, 8, 30, 61)))
                    ->SetImage(QStringLiteral("skins\\battery_full.png"));
                add(scene.subjects, std::make_unique<CStaticImage>(&stage, 3400, at(46, 8, 21, 19)))
                    ->SetImage(QStringLiteral("skins\\mouse\\serial_number1.png"));
                add(scene.subjects, std::make_unique<CStaticImage>(&stage, 3401, at(46, 35, 8, 8)))
                    ->SetImage(QStringLiteral("skins\\battery_green.png"));
                return scene;
            },
            {normal()}};
}

Specimen tabControl() {
    // The first tab stays out of the driving: a click on the second takes the selection from it.
    return {
        QStringLiteral("CTabControl"),
        {174, 41},
        [](MessageWindow& stage, bool off) {
            Scene scene;
            auto tabs = std::make_shared<RadioGroup>(0);
            scene.data = tabs;
            const auto looks = [](CTabControl* tab) {
                tab->SetImages(QStringLiteral("skins\\profile_slot_nr.png"),
                               QStringLiteral("skins\\profile_slot_ov.png"),
                               QStringLiteral("skins\\profile_slot_nr2.png"),
                               QStringLiteral("skins\\profile_slot_ov2.png"));
            };
            looks(
                add(scene.backdrop, std::make_unique<CTabControl>(&stage, 2049, at(8, 8, 75, 25), *tabs, 0,
                                                                  QStringLiteral("Profile 1"), TextCenter)));
            looks(add(scene.subjects, std::make_unique<CTabControl>(&stage, 2050, at(91, 8, 75, 25), *tabs, 1,
                                                                    QStringLiteral("Profile 2"), TextCenter,
                                                                    QString(), true, true, off)));
            return scene;
        },
        {normal(), hover(), pressed(), clicked(QStringLiteral("selected")),
         clickedHover(QStringLiteral("selected_hover")), disabled()}};
}

Specimen sliderControl() {
    // Only the knob belongs to the slider; the track under it is an image of its own.
    const auto knob = [](const CControlBase& c) {
        return centre(static_cast<const CSliderControl&>(c).knobRect);
    };
    return {QStringLiteral("CSliderControl"),
            {136, 34},
            [](MessageWindow& stage, bool off) {
                Scene scene;
                add(scene.backdrop, std::make_unique<CStaticImage>(&stage, 3191, at(8, 14, 120, 6)))
                    ->SetImage(QStringLiteral("skins\\Slider_bar.png"));
                auto* slider =
                    add(scene.subjects,
                        std::make_unique<CSliderControl>(&stage, 3220, at(8, 8, 120, 18), 10, scaled(6),
                                                         scaled(6), QString(), true, true, off));
                slider->SetKnobImage(QStringLiteral("skins\\Slider_Circle.png"));
                slider->SetPosition(3);
                return scene;
            },
            {normal(),
             {QStringLiteral("hover"), [knob](CControlBase& c) { moveTo(c, knob(c)); }},
             {QStringLiteral("pressed"), [knob](CControlBase& c) { pressAt(c, knob(c)); }},
             {QStringLiteral("dragged"),
              [knob](CControlBase& c) {
                  pressAt(c, knob(c));
                  moveTo(c, knob(c) + QPoint(scaled(45), 0));
              }},
             {QStringLiteral("disabled"), [knob](CControlBase& c) { pressAt(c, knob(c)); }, true}}};
}

Specimen verticalSliderControl() {
    return {QStringLiteral("CVerticalSliderControl"),
            {31, 134},
            [](MessageWindow& stage, bool off) {
                Scene scene;
                add(scene.subjects,
                    std::make_unique<CVerticalSliderControl>(&stage, 3280, at(8, 8, 15, 118), 10, 0, 0,
                                                             QString(), true, true, off))
                    ->SetImages(QStringLiteral("skins\\mouse\\dpi_bar_1.png"),
                                QStringLiteral("skins\\mouse\\dpi_bar_2.png"));
                return scene;
            },
            {normal(),
             hover(),
             {QStringLiteral("pressed"), [](CControlBase& c) { pressAt(c, down(c.rect, 0.6)); }},
             {QStringLiteral("dragged"),
              [](CControlBase& c) {
                  pressAt(c, down(c.rect, 0.9));
                  moveTo(c, down(c.rect, 0.2));
              }},
             {QStringLiteral("disabled"), [](CControlBase& c) { pressAt(c, down(c.rect, 0.6)); }, true}}};
}

Specimen scrollBar() {
    const auto bar = [](CControlBase& c) -> CVScrollBar& { return static_cast<CVScrollBar&>(c); };
    return {QStringLiteral("CVScrollBar"),
            {34, 166},
            [](MessageWindow& stage, bool off) {
                Scene scene;
                auto* scroll =
                    add(scene.subjects, std::make_unique<CVScrollBar>(&stage, 2021, at(8, 8, 18, 150),
                                                                      QString(), true, true, off));
                scroll->SetArrowResources(188, 187);
                scroll->SetScroll(10, 20, 60);
                return scene;
            },
            {normal(),
             {QStringLiteral("hover_up"), [bar](CControlBase& c) { moveTo(c, centre(bar(c).upRect)); }},
             {QStringLiteral("pressed_up"), [bar](CControlBase& c) { pressAt(c, centre(bar(c).upRect)); }},
             {QStringLiteral("hover_down"), [bar](CControlBase& c) { moveTo(c, centre(bar(c).downRect)); }},
             {QStringLiteral("hover_thumb"), [bar](CControlBase& c) { moveTo(c, centre(bar(c).thumbRect)); }},
             {QStringLiteral("dragged"),
              [bar](CControlBase& c) {
                  const QPoint grab = centre(bar(c).thumbRect);
                  pressAt(c, grab);
                  moveTo(c, grab + QPoint(0, scaled(40)));
              }},
             {QStringLiteral("disabled"), [bar](CControlBase& c) { pressAt(c, centre(bar(c).thumbRect)); },
              true}}};
}

// A row of a list, away from the folder icons.
QPoint listRow(const Rect& r, int row) {
    return {r.right - scaled(20), r.top + scaled(20) * row + scaled(10)};
}

Specimen editShowList() {
    return {
        QStringLiteral("CEditShowList"),
        {166, 136},
        [](MessageWindow& stage, bool off) {
            Scene scene;
            struct Tree {
                MacroLibrary library;
                MacroItemLocation selection = MacroItemLocation::none();
            };
            auto tree = std::make_shared<Tree>();
            MacroLibrary* const library = &tree->library;
            MacroItemLocation selected = MacroItemLocation::none();
            library->createFolder(QStringLiteral("Shooter"), selected);
            library->createFolder(QStringLiteral("Sniper"), selected);
            library->createMacro(QStringLiteral("Hold breath"), selected);
            selected = MacroItemLocation::top(0);
            library->createMacro(QStringLiteral("Burst fire"), selected);
            selected = MacroItemLocation::none();
            library->createMacro(QStringLiteral("Greeting"), selected);
            selected = MacroItemLocation::none();
            library->createMacro(QStringLiteral("Build order"), selected);
            scene.data = tree;
            // Both folders open, so the tree shows all three depths.
            for (const MacroItemLocation& folder :
                 {MacroItemLocation::top(0), MacroItemLocation::child(0, 0)})
                if (MacroItem* item = library->usedEntry(folder))
                    item->folderIsOpen = true;
            add(scene.subjects, std::make_unique<CEditShowList>(&stage, at(8, 8, 150, 120), library,
                                                                tree->selection, QString(), true, true, off))
                ->SetIcons(QStringLiteral("skins\\foldr_open.png"), QStringLiteral("skins\\foldr_close.png"));
            return scene;
        },
        {normal(),
         hover(),
         {QStringLiteral("selected"),
          [](CControlBase& c) {
              clickAt(c, listRow(c.rect, 3));
              moveTo(c, outside(c.rect));
          }},
         {QStringLiteral("disabled"), [](CControlBase& c) { pressAt(c, listRow(c.rect, 3)); }, true}}};
}

Specimen imageShowList() {
    return {QStringLiteral("CImageShowList"),
            {166, 116},
            [](MessageWindow& stage, bool off) {
                Scene scene;
                auto macro = std::make_shared<MacroKey>(QStringLiteral("Burst fire"));
                macro->insert(0, MacroAction::key(0x41, false));
                macro->insert(1, MacroAction::delay(50));
                macro->insert(2, MacroAction::key(0x41, true));
                macro->insert(3, MacroAction::delay(120));
                scene.data = macro;
                add(scene.subjects, std::make_unique<CImageShowList>(&stage, at(8, 8, 150, 100), macro.get(),
                                                                     QString(), true, true, off));
                return scene;
            },
            {normal(),
             hover(),
             {QStringLiteral("pressed"),
              [](CControlBase& c) {
                  clickAt(c, listRow(c.rect, 1));
                  moveTo(c, outside(c.rect));
              }},
             {QStringLiteral("disabled"), [](CControlBase& c) { pressAt(c, listRow(c.rect, 1)); }, true}}};
}
} // namespace

std::vector<Specimen> controlSpecimens() {
    return {imageButton(),           checkButton(),       radioButton(),
            dpiRadioButton(),        colorSelectButton(), colorSelectCheckButton(),
            comboButton(),           linkButton(),        staticText(),
            staticImage(),           tabControl(),        sliderControl(),
            verticalSliderControl(), scrollBar(),         editShowList(),
            imageShowList()};
}

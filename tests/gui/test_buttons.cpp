#include "tests/gui/GuiTestSupport.h"

#include "toolkit/CCheckButton.h"
#include "toolkit/CColorSelectButton.h"
#include "toolkit/CColorSelectCheckButton.h"
#include "toolkit/CComboButton.h"
#include "toolkit/CDPIRadioButton.h"
#include "toolkit/CImageButton.h"
#include "toolkit/CLinkButton.h"
#include "toolkit/CRadioButton.h"
#include "toolkit/RadioGroup.h"
#include "toolkit/SkinText.h"

#include <array>
#include <memory>

namespace {
const QPoint outside{390, 290};

// Buttons in a shown dialog, driven with simulated mouse input.
class ButtonsInDialog : public ::testing::Test {
protected:
    void show() { ASSERT_TRUE(showAndWait(dialog)); }
    void moveTo(QPoint p) { QTest::mouseMove(&dialog, p); }
    void press(QPoint p) { QTest::mousePress(&dialog, Qt::LeftButton, {}, p); }
    void release(QPoint p) { QTest::mouseRelease(&dialog, Qt::LeftButton, {}, p); }
    void click(QPoint p) {
        moveTo(p);
        press(p);
        release(p);
    }

    // Declared first: the dialog's buttons refer to them.
    RadioGroup rates{3};
    RadioGroup liftOff{1};
    TestDialog dialog;
};

// A dialog the toolkit has never heard of: ids of its own and one group of three radio buttons.
class ChoiceDialog : public CDlgBase {
public:
    static constexpr uint32_t FirstChoice = 4711;

    ChoiceDialog() : CDlgBase(SmallDialogTemplate) {
        SetDesignSize(200, 100);
        for (uint32_t k = 0; k < 3; ++k)
            messageTable.add(FirstChoice + k, [this, k](uintptr_t, intptr_t code) -> intptr_t {
                if (code == CodeClick)
                    clicked.push_back(int(k));
                return 0;
            });
    }
    void CreateControls(const Rect&) override {
        for (int k = 0; k < 3; ++k)
            buttons[size_t(k)] = AddControl(
                0, std::make_unique<CRadioButton>(this, FirstChoice + uint32_t(k), button(k), choice, k));
    }
    static Rect button(int k) { return {20 + 50 * k, 40, 40 + 50 * k, 60}; }
    int checkedLooks() const {
        int looks = 0;
        for (const CRadioButton* b : buttons)
            looks += b->look() == 2 ? 1 : 0;
        return looks;
    }

    RadioGroup choice;
    std::array<CRadioButton*, 3> buttons{};
    std::vector<int> clicked;
};

} // namespace

TEST(RadioGroupInANewDialog, ChecksOneButtonAtATimeAndKeepsItsChoiceToItself) {
    ChoiceDialog first, second;
    ASSERT_TRUE(showAndWait(first));
    ASSERT_TRUE(showAndWait(second));
    EXPECT_EQ(first.checkedLooks(), 0) << "nothing checked until a click";

    const auto clickButton = [](ChoiceDialog& d, int k) {
        const QPoint at = ChoiceDialog::button(k).toQRect().center();
        QTest::mouseMove(&d, at);
        clickAt(d, at);
    };
    clickButton(first, 2);
    EXPECT_EQ(first.choice.checked(), 2);
    EXPECT_EQ(first.buttons[2]->look(), 2);
    EXPECT_EQ(first.checkedLooks(), 1);
    clickButton(first, 0);
    EXPECT_EQ(first.choice.checked(), 0);
    EXPECT_TRUE(first.buttons[0]->isChecked());
    EXPECT_FALSE(first.buttons[2]->isChecked());
    EXPECT_EQ(first.checkedLooks(), 1);
    EXPECT_EQ(first.clicked, (std::vector<int>{2, 0}));

    // Another window of the same kind has a choice of its own.
    EXPECT_EQ(second.choice.checked(), RadioGroup::None);
    clickButton(second, 1);
    EXPECT_EQ(second.choice.checked(), 1);
    EXPECT_EQ(first.choice.checked(), 0);

    // Checked from the program, as a window loads its settings.
    second.buttons[2]->Check();
    EXPECT_EQ(second.choice.checked(), 2);
    EXPECT_EQ(second.checkedLooks(), 1);
}

TEST_F(ButtonsInDialog, PressInsideMoveOutReleaseSendsOnlyThePress) {
    auto* check = dialog.AddControl(
        0, std::make_unique<CCheckButton>(&dialog, 3504, Rect{50, 50, 65, 65}, TextLeft, QString()));
    show();
    moveTo({55, 55});
    press({55, 55});
    EXPECT_EQ(check->state, CButtonBase::Pressed);
    moveTo(outside);
    EXPECT_EQ(check->state, CButtonBase::Pressed) << "stays pressed while held";
    release(outside);
    EXPECT_FALSE(check->isChecked());
    EXPECT_EQ(check->state, CButtonBase::Normal);
    EXPECT_EQ(dialog.codes(3504), (std::vector<intptr_t>{CodePress}));
    EXPECT_EQ(dialog.hotControl, nullptr);

    // A whole click inside toggles it and sends press then click.
    dialog.sent.clear();
    click({55, 55});
    EXPECT_TRUE(check->isChecked());
    EXPECT_EQ(dialog.codes(3504), (std::vector<intptr_t>{CodePress, CodeClick}));
}

TEST_F(ButtonsInDialog, DropDownSendsFiveHoversThenOneLeave) {
    auto* combo = dialog.AddControl(
        0, std::make_unique<CComboButton>(&dialog, 2016, Rect{80, 80, 240, 100}, 1028, "Left", TextCenter));
    show();
    for (int x = 90; x < 200; x += 10) // eleven moves inside
        moveTo({x, 90});
    moveTo({90, 150});
    moveTo({90, 160});
    const std::vector<Sent> expected = {{1028, 2016, CodeHover}, {1028, 2016, CodeHover},
                                        {1028, 2016, CodeHover}, {1028, 2016, CodeHover},
                                        {1028, 2016, CodeHover}, {1028, 2016, CodeLeave}};
    EXPECT_EQ(dialog.sent, expected);

    // With its popup open, leaving says nothing; the leave comes once the popup has gone.
    dialog.sent.clear();
    for (int x = 90; x < 200; x += 10)
        moveTo({x, 90});
    combo->SetPopupOpen(true);
    moveTo({90, 150});
    EXPECT_EQ(dialog.codes(1028), std::vector<intptr_t>(5, CodeHover));
    combo->SetPopupOpen(false);
    moveTo({90, 160});
    EXPECT_EQ(dialog.codes(1028).back(), CodeLeave);
}

TEST(ComboButton, ShortVisitsAreAlsoFollowedByALeave) {
    RecordingWindow parent;
    CComboButton combo(&parent, 2013, {0, 0, 100, 20}, 1028, "x", TextCenter);
    Mouse mouse{combo};
    mouse.move(10, 10);
    mouse.move(20, 10);
    mouse.move(10, 50);
    mouse.move(10, 60);
    EXPECT_EQ(parent.codes(1028), (std::vector<intptr_t>{CodeHover, CodeHover, CodeLeave}));
}

TEST(ComboButton, PressAndClickGoOutDifferentlyAndNotWhenLocked) {
    RecordingWindow parent;
    CComboButton combo(&parent, 2013, {0, 0, 100, 20}, 1028, "x", TextCenter);
    Mouse mouse{combo};
    mouse.down(10, 10);
    mouse.up(10, 10);
    EXPECT_EQ(parent.sent, (std::vector<Sent>{{2013, 0, CodePress}, {1028, 2013, CodeClick}}));

    parent.clear();
    combo.locked = true;
    mouse.down(10, 10);
    mouse.up(10, 10);
    EXPECT_TRUE(parent.sent.empty());
    EXPECT_EQ(combo.state, CButtonBase::Over) << "a locked button still follows the mouse";
}

TEST_F(ButtonsInDialog, RadioClickLeavesOtherGroupsAlone) {
    for (int k = 0; k < 4; ++k)
        dialog.AddControl(4,
                          std::make_unique<CRadioButton>(&dialog, 3030 + uint32_t(k),
                                                         Rect{k * 80 + 10, 10, k * 80 + 82, 82}, rates, k));
    auto* lift = dialog.AddControl(
        5, std::make_unique<CRadioButton>(&dialog, 3510, Rect{10, 200, 25, 215}, liftOff, 0));
    show();
    click({130, 40}); // 3031
    EXPECT_EQ(rates.checked(), 1);
    EXPECT_EQ(liftOff.checked(), 1);
    EXPECT_EQ(dialog.codes(3031), (std::vector<intptr_t>{CodePress, CodeClick}));
    click({15, 205});
    EXPECT_EQ(liftOff.checked(), 0);
    EXPECT_EQ(rates.checked(), 1);
    EXPECT_EQ(lift->look(), 2);
}

TEST(DPIRadioButton, ClickChecksTheLevelsUpToItsOwn) {
    RadioGroup levels{1};
    RecordingWindow parent;
    std::vector<std::unique_ptr<CDPIRadioButton>> buttons;
    for (int k = 0; k < 8; ++k)
        buttons.push_back(std::make_unique<CDPIRadioButton>(&parent, 3290 + uint32_t(k),
                                                            Rect{k * 36, 0, k * 36 + 30, 30}, levels, k));
    Mouse{*buttons[3]}.click(3 * 36 + 5, 5);
    EXPECT_EQ(levels.checked(), 3);
    for (int k = 0; k < 8; ++k)
        EXPECT_EQ(buttons[size_t(k)]->look() == 2, k <= 3) << k;
    EXPECT_EQ(parent.codes(3293), (std::vector<intptr_t>{CodePress, CodeClick}));

    Mouse{*buttons[0]}.click(5, 5);
    EXPECT_EQ(levels.checked(), 0);
    for (int k = 0; k < 8; ++k)
        EXPECT_EQ(buttons[size_t(k)]->look() == 2, k == 0) << k;
}

TEST(CheckButton, CaptionsFollowTheCheckedLook) {
    RecordingWindow parent;
    CCheckButton check(&parent, 3001, {0, 0, 262, 25}, TextLeft, "header");
    check.SetCheckTexts("B", "A");
    QImage image(262, 25, QImage::Format_RGB32);
    QPainter painter(&image);
    Mouse mouse{check};

    check.SetChecked(true);
    check.Draw(painter, check.rect);
    EXPECT_EQ(check.text, "A");
    mouse.click(10, 10); // now unchecked, mouse still over it
    EXPECT_FALSE(check.isChecked());
    EXPECT_EQ(check.look(), 1);
    check.Draw(painter, check.rect);
    EXPECT_EQ(check.text, "B");
    mouse.move(10, 10);
    check.Draw(painter, check.rect);
    EXPECT_EQ(check.text, "B");

    // Checked looks pressed whatever the mouse does; empty captions keep the text.
    check.SetChecked(true);
    mouse.move(500, 500);
    EXPECT_EQ(check.look(), 2);
    CCheckButton plain(&parent, 3002, {0, 0, 10, 10}, TextLeft, "keep");
    plain.SetCheckTexts("", "");
    plain.Draw(painter, plain.rect);
    EXPECT_EQ(plain.text, "keep");
}

TEST(Buttons, DisabledButtonsNeitherChangeNorSend) {
    RecordingWindow parent;
    RadioGroup rates{3}, levels{1};
    const Rect r{0, 0, 50, 20};
    std::vector<std::pair<const char*, std::unique_ptr<CButtonBase>>> buttons;
    buttons.emplace_back("check", std::make_unique<CCheckButton>(&parent, 3260, r, TextLeft, "c"));
    buttons.emplace_back("colour", std::make_unique<CColorSelectButton>(&parent, 3270, r, r));
    buttons.emplace_back("colour check", std::make_unique<CColorSelectCheckButton>(&parent, 3180, r));
    buttons.emplace_back("combo", std::make_unique<CComboButton>(&parent, 2013, r, 1028, "d", TextCenter));
    buttons.emplace_back("DPI radio", std::make_unique<CDPIRadioButton>(&parent, 3291, r, levels, 1));
    buttons.emplace_back("image", std::make_unique<CImageButton>(&parent, 3502, r, TextCenter, "i"));
    buttons.emplace_back("link", std::make_unique<CLinkButton>(&parent, 3503, r, TextLeft, "link"));
    buttons.emplace_back("radio", std::make_unique<CRadioButton>(&parent, 3031, r, rates, 1));
    for (auto& [what, button] : buttons) {
        SCOPED_TRACE(what);
        button->SetDisabled(true);
        button->state = CButtonBase::Over; // keeps its last state
        Mouse mouse{*button};
        EXPECT_FALSE(mouse.move(10, 10));
        EXPECT_FALSE(mouse.down(10, 10));
        EXPECT_FALSE(mouse.move(100, 100));
        EXPECT_FALSE(mouse.up(10, 10));
        EXPECT_FALSE(button->OnLButtonDblClk(0, {10, 10}));
        EXPECT_EQ(button->state, CButtonBase::Over);
    }
    EXPECT_TRUE(parent.sent.empty());
    EXPECT_EQ(rates.checked(), 3);
    EXPECT_EQ(levels.checked(), 1);
    EXPECT_FALSE(static_cast<CCheckButton*>(buttons[0].second.get())->isChecked());
}

TEST(Buttons, StateFollowsTheMouseAndReportsChanges) {
    RecordingWindow parent;
    CImageButton button(&parent, 2045, {10, 10, 80, 30}, TextCenter, "Reset");
    Mouse mouse{button};
    EXPECT_TRUE(mouse.move(20, 20));
    EXPECT_EQ(button.state, CButtonBase::Over);
    EXPECT_FALSE(mouse.move(21, 20)) << "no change, no repaint";
    EXPECT_TRUE(mouse.down(20, 20));
    EXPECT_EQ(button.state, CButtonBase::Pressed);
    EXPECT_TRUE(mouse.up(20, 20));
    EXPECT_EQ(button.state, CButtonBase::Over);
    EXPECT_FALSE(mouse.down(5, 5)) << "a press outside is not its business";
    EXPECT_TRUE(mouse.move(5, 5));
    EXPECT_EQ(parent.sent, (std::vector<Sent>{{2045, 0, CodePress}, {2045, 2045, CodeClick}}));
}

TEST(ImageButton, ProfileButtonReportsEveryMoveOverIt) {
    RecordingWindow parent;
    CImageButton profile(&parent, 3502, {36, 700, 105, 720}, TextCenter, "Profile");
    profile.SetReportsMoves(true);
    CImageButton other(&parent, 3503, {36, 700, 105, 720}, TextCenter, "x");
    Mouse{profile}.move(40, 710);
    Mouse{profile}.move(41, 710);
    Mouse{profile}.move(10, 10);
    Mouse{other}.move(40, 710);
    EXPECT_EQ(parent.sent, (std::vector<Sent>{{3502, 0, CodeMoveOver}, {3502, 0, CodeMoveOver}}));
}

TEST(ImageButton, StripCellFollowsTheState) {
    SkinFolder folder;
    QImage strip(3, 1, QImage::Format_RGB32);
    strip.setPixel(0, 0, qRgb(255, 0, 0));
    strip.setPixel(1, 0, qRgb(0, 255, 0));
    strip.setPixel(2, 0, qRgb(0, 0, 255));
    folder.write("skins/res/png500.png", strip);
    RecordingWindow parent;
    CImageButton button(&parent, 2100, {0, 0, 6, 6}, TextCenter);
    EXPECT_FALSE(button.SetStripResource(501));
    ASSERT_TRUE(button.SetStripResource(500));
    QImage image(6, 6, QImage::Format_RGB32);
    const QRgb expected[] = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255)};
    for (int state = 0; state < 3; ++state) {
        button.state = state;
        QPainter painter(&image);
        button.Draw(painter, button.rect);
        EXPECT_EQ(image.pixel(3, 3), expected[state]) << state;
    }
    button.ReleaseImages();
    image.fill(Qt::black);
    QPainter painter(&image);
    button.Draw(painter, button.rect);
    EXPECT_EQ(image.pixel(3, 3), qRgb(0, 0, 0));
}

TEST(LinkButton, EnterAndLeaveAreSentOnce) {
    RecordingWindow parent;
    CLinkButton link(&parent, 3503, {463, 580, 663, 598}, TextCenter, "https://example.invalid");
    EXPECT_EQ(link.id, 3503u);
    Mouse mouse{link};
    mouse.move(470, 590);
    mouse.move(480, 590);
    mouse.down(480, 590);
    mouse.up(480, 590);
    mouse.move(10, 10);
    mouse.move(20, 10);
    EXPECT_EQ(parent.codes(3503), (std::vector<intptr_t>{CodeHover, CodePress, CodeClick, CodeLeave}));
}

TEST(ColorButtons, SwatchesAndDoubleClick) {
    RecordingWindow parent;
    CColorSelectCheckButton slot(&parent, 3180, {0, 0, 20, 20});
    EXPECT_FALSE(slot.OnLButtonDblClk(0, {50, 50}));
    slot.OnLButtonDblClk(0, {5, 5});
    EXPECT_EQ(parent.sent, (std::vector<Sent>{{3180, 0, CodeDoubleClick}}));

    QImage image(30, 30, QImage::Format_RGB32);
    image.fill(Qt::black);
    slot.SetColor(rgb(10, 20, 30));
    CColorSelectButton swatch(&parent, 3270, {0, 0, 30, 30}, {25, 25, 30, 30});
    swatch.SetColor(rgb(200, 0, 0));
    {
        QPainter painter(&image);
        slot.Draw(painter, slot.rect);
        swatch.Draw(painter, swatch.rect);
    }
    EXPECT_EQ(slot.swatch, (Rect{3, 3, 17, 17}));
    EXPECT_EQ(image.pixel(3, 3), qRgb(10, 20, 30));
    EXPECT_EQ(image.pixel(2, 2), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(17, 17), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(27, 27), qRgb(200, 0, 0));
    EXPECT_EQ(image.pixel(24, 24), qRgb(0, 0, 0)) << "only the swatch";

    // Laid out again, the swatch moves with its button; a button made without one is all swatch.
    swatch.SetRect({100, 50, 130, 80});
    EXPECT_EQ(swatch.swatch, (Rect{125, 75, 130, 80}));
    CColorSelectButton level(&parent, 3271, {}, {});
    level.SetRect({10, 10, 25, 20});
    EXPECT_EQ(level.swatch, (Rect{10, 10, 25, 20}));
}

TEST(ControlBase, SetTextRepaintsOnlyOnAChange) {
    RecordingWindow parent;
    CImageButton button(&parent, 2062, {36, 320, 266, 345}, TextCenter, "Macro");
    button.SetText("Macro");
    EXPECT_TRUE(parent.repainted.empty());
    button.SetText("macro");
    EXPECT_EQ(parent.repainted, (std::vector<Rect>{{36, 320, 266, 345}}));
    EXPECT_EQ(button.GetText(), "macro");

    button.SetBounds(1, 2, 3, 4);
    EXPECT_EQ(button.GetBounds(), (Rect{1, 2, 3, 4}));
    EXPECT_EQ(parent.repainted.size(), 1u) << "moving does not repaint";
    button.SetVisible(false);
    EXPECT_FALSE(button.isActive());
    button.SetVisible(true);
    button.SetShown(false);
    EXPECT_FALSE(button.isActive());
    EXPECT_TRUE(button.acceptsMouse);
    EXPECT_FALSE(button.OnPopupClosed(0));
}

#include "tests/gui/GuiTestSupport.h"

#include "toolkit/CCheckButton.h"
#include "toolkit/CImageButton.h"
#include "toolkit/CStaticText.h"
#include "toolkit/CTabControl.h"
#include "toolkit/RadioGroup.h"
#include "toolkit/SkinText.h"
#include "toolkit/UiScale.h"

#include <QEvent>
#include <memory>

namespace {
QRect unite(const std::vector<QRect>& areas) {
    QRect all;
    for (const QRect& r : areas)
        all |= r;
    return all;
}

class DialogRouting : public ::testing::Test {
protected:
    void show() { ASSERT_TRUE(showAndWait(dialog)); }
    void moveTo(QPoint p) { QTest::mouseMove(&dialog, p); }
    void click(QPoint p) { clickAt(dialog, p); }
    void rightClick(QPoint p) { clickAt(dialog, p, Qt::RightButton); }
    template <class T> T* add(int list, std::unique_ptr<T> control) {
        return dialog.AddControl(list, std::move(control));
    }
    std::unique_ptr<CImageButton> button(uint32_t id, Rect r) {
        return std::make_unique<CImageButton>(&dialog, id, r, TextCenter, QString::number(id));
    }

    RadioGroup tabs; // declared first: the dialog's tabs refer to it
    TestDialog dialog;
};
} // namespace

TEST_F(DialogRouting, OverlappingControlsTheLastIsHot) {
    auto* under = add(0, button(2100, {10, 10, 100, 40}));
    auto* middle = add(0, button(2101, {50, 10, 140, 40}));
    auto* top = add(1, button(2102, {90, 10, 180, 40}));
    show();
    moveTo({60, 20});
    EXPECT_EQ(dialog.hotControl, middle);
    moveTo({95, 20});
    EXPECT_EQ(dialog.hotControl, middle) << "the hot control keeps the mouse while it is inside";
    moveTo({300, 200});
    click({95, 20});
    EXPECT_EQ(dialog.hotControl, top);
    EXPECT_EQ(dialog.pressedControl, top);
    EXPECT_EQ(dialog.codes(2102), (std::vector<intptr_t>{CodePress, CodeClick}));
    EXPECT_TRUE(dialog.codes(2100).empty());
    EXPECT_TRUE(dialog.codes(2101).empty());

    // Hidden groups and unshown controls are passed over, even when hidden under the mouse.
    dialog.SetListVisible(1, false);
    click({95, 20});
    EXPECT_EQ(dialog.codes(2101), (std::vector<intptr_t>{CodePress, CodeClick}));
    middle->SetShown(false);
    click({95, 20});
    EXPECT_EQ(dialog.codes(2100), (std::vector<intptr_t>{CodePress, CodeClick}));
    EXPECT_EQ(under->state, CButtonBase::Over);
}

TEST_F(DialogRouting, ReleaseOutsideLeavesNoHotControl) {
    add(0, button(2100, {10, 10, 100, 40}));
    show();
    moveTo({20, 20});
    QTest::mousePress(&dialog, Qt::LeftButton, {}, {20, 20});
    EXPECT_TRUE(dialog.buttonDown);
    moveTo({200, 200});
    QTest::mouseRelease(&dialog, Qt::LeftButton, {}, {200, 200});
    EXPECT_FALSE(dialog.buttonDown);
    EXPECT_EQ(dialog.hotControl, nullptr);
    EXPECT_EQ(dialog.lastPoint, QPoint(-1, -1));
    EXPECT_EQ(dialog.pressedRect, Rect::none());
    EXPECT_EQ(dialog.codes(2100), (std::vector<intptr_t>{CodePress}));
}

TEST_F(DialogRouting, PressOnEmptySpaceDragsTheWindow) {
    add(0, button(2100, {10, 10, 100, 40}));
    show();
    const QPoint start = dialog.pos();
    moveTo({200, 200});
    QTest::mousePress(&dialog, Qt::LeftButton, {}, {200, 200});
    EXPECT_TRUE(dialog.isMovingWindow());
    EXPECT_EQ(dialog.pressedRect, Rect::none());
    QTest::mouseMove(&dialog, {230, 210});
    QTest::mouseRelease(&dialog, Qt::LeftButton, {}, {200, 200});
    EXPECT_EQ(dialog.pos(), start + QPoint(30, 10));
    EXPECT_FALSE(dialog.isMovingWindow());
    EXPECT_TRUE(dialog.sent.empty());

    // A click without a drag leaves the window where it is and nothing armed: a move handed over
    // after the button is up would glue the window to the pointer.
    const QPoint placed = dialog.pos();
    moveTo({200, 200});
    QTest::mousePress(&dialog, Qt::LeftButton, {}, {200, 200});
    QTest::mouseMove(&dialog, {201, 201});
    QTest::mouseRelease(&dialog, Qt::LeftButton, {}, {201, 201});
    EXPECT_EQ(dialog.pos(), placed);
    EXPECT_FALSE(dialog.isMovingWindow());
    QTest::mouseMove(&dialog, {260, 240});
    EXPECT_EQ(dialog.pos(), placed);

    // A press on a control does not.
    const QPoint moved = dialog.pos();
    moveTo({20, 20});
    QTest::mousePress(&dialog, Qt::LeftButton, {}, {20, 20});
    QTest::mouseMove(&dialog, {60, 30});
    QTest::mouseRelease(&dialog, Qt::LeftButton, {}, {60, 30});
    EXPECT_EQ(dialog.pos(), moved);
}

TEST_F(DialogRouting, OnlyListZeroTakesRightClicks) {
    add(0, std::make_unique<CTabControl>(&dialog, 2049, Rect{10, 10, 100, 40}, tabs, 0, "one", TextCenter));
    add(1, std::make_unique<CTabControl>(&dialog, 2050, Rect{10, 50, 100, 80}, tabs, 1, "two", TextCenter));
    // A list-1 control over a list-0 one: the hot control is not in list 0.
    add(0,
        std::make_unique<CTabControl>(&dialog, 2051, Rect{10, 100, 100, 130}, tabs, 2, "three", TextCenter));
    add(2,
        std::make_unique<CTabControl>(&dialog, 2052, Rect{10, 100, 100, 130}, tabs, 3, "four", TextCenter));
    show();
    rightClick({20, 20});
    rightClick({20, 60});
    rightClick({20, 110});
    rightClick({300, 200});
    EXPECT_EQ(dialog.sent, (std::vector<Sent>{{2049, 2049, CodeRightClick}}));
}

TEST_F(DialogRouting, LayoutChangingClicksRepaintTheWholeWindow) {
    // Whichever their ids: a control says whether its clicks change the layout.
    add(0, std::make_unique<CTabControl>(&dialog, 2050, Rect{10, 10, 60, 30}, tabs, 1, "tab", TextCenter))
        ->SetRepaintsWindow(true);
    add(0, button(2054, {100, 10, 160, 30}));
    add(0, std::make_unique<CCheckButton>(&dialog, 3003, Rect{10, 100, 60, 120}, TextLeft, "header"))
        ->SetRepaintsWindow(true);
    show();
    const QRect whole = dialog.rect();
    struct Case {
        const char* what;
        QPoint at;
        bool whole;
    };
    for (const Case c : {Case{"a tab", {20, 20}, true},
                         {"a plain button", {110, 20}, false},
                         {"a section header", {20, 110}, true}}) {
        SCOPED_TRACE(c.what);
        moveTo(c.at);
        flushPaints();
        dialog.paintedAreas.clear();
        QTest::mouseClick(&dialog, Qt::LeftButton, {}, c.at);
        flushPaints();
        EXPECT_FALSE(dialog.paintedAreas.empty());
        if (c.whole)
            EXPECT_EQ(unite(dialog.paintedAreas), whole);
        else
            EXPECT_EQ(unite(dialog.paintedAreas), QRect(100, 10, 60, 20));
    }
}

TEST_F(DialogRouting, LeavingTheWindowClearsTheHotControl) {
    auto* probe = add(0, std::make_unique<ProbeControl>(&dialog, 2100, Rect{10, 10, 100, 40}));
    show();
    moveTo({20, 20});
    EXPECT_EQ(dialog.hotControl, probe);
    EXPECT_TRUE(dialog.tracking);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&dialog, &leave);
    EXPECT_EQ(dialog.hotControl, nullptr);
    EXPECT_FALSE(dialog.tracking);
    EXPECT_EQ(probe->moves.back(), QPoint(-1, -1));
}

TEST_F(DialogRouting, DoubleClickReachesTheHotControl) {
    auto* probe = add(0, std::make_unique<ProbeControl>(&dialog, 2100, Rect{10, 10, 100, 40}));
    show();
    moveTo({20, 20});
    QTest::mouseDClick(&dialog, Qt::LeftButton, {}, {20, 20});
    EXPECT_EQ(probe->doubleClicks, 1);
    moveTo({200, 200});
    QTest::mouseDClick(&dialog, Qt::LeftButton, {}, {200, 200});
    EXPECT_EQ(probe->doubleClicks, 1);
}

TEST_F(DialogRouting, PressElsewhereTellsTheOwnerOfAnOpenPopup) {
    auto* owner = add(0, std::make_unique<ProbeControl>(&dialog, 2100, Rect{10, 10, 100, 40}));
    add(0, button(2101, {10, 100, 100, 140}));
    show();
    click({20, 20});
    EXPECT_EQ(dialog.pressedControl, owner);
    click({20, 120});
    EXPECT_EQ(owner->popupClosed, 1);
    EXPECT_NE(dialog.pressedControl, owner);
}

TEST(DialogBase, FindControlSearchesListsInOrder) {
    TestDialog dialog;
    auto* later = dialog.AddControl(3, std::make_unique<ProbeControl>(&dialog, 7, Rect{}));
    auto* first = dialog.AddControl(0, std::make_unique<ProbeControl>(&dialog, 7, Rect{}));
    auto* clamped = dialog.AddControl(99, std::make_unique<ProbeControl>(&dialog, 8, Rect{}));
    EXPECT_EQ(dialog.FindControl(7), first);
    EXPECT_NE(dialog.FindControl(7), later);
    EXPECT_EQ(dialog.FindControl(8), clamped);
    EXPECT_EQ(dialog.controls[6].size(), 1u);
    EXPECT_EQ(dialog.FindControl(9), nullptr);

    dialog.ReleaseAllImages();
    EXPECT_EQ(first->releases + later->releases + clamped->releases, 3);
}

TEST(DialogBase, InitializationSizesNamesAndCreatesOnce) {
    const float saved = uiScale();
    uiScale() = 1.5f;
    int created = 0;
    Rect client;
    TestDialog dialog(CDlgBase::SmallDialogTemplate, 319, 102);
    dialog.create = [&](TestDialog& d) {
        ++created;
        client = {0, 0, d.width(), d.height()};
    };
    uiScale() = saved;
    dialog.Initialize();
    dialog.Initialize();
    ASSERT_TRUE(showAndWait(dialog));
    EXPECT_EQ(created, 1);
    EXPECT_EQ(client, (Rect{0, 0, 478, 153}));
    EXPECT_EQ(dialog.size(), QSize(478, 153));
    EXPECT_EQ(dialog.windowTitle(), "Gaming Mouse");
    EXPECT_EQ(dialog.dialogFont.weight(), QFont::DemiBold);
    EXPECT_EQ(dialog.dialogFont.pointSize(), 10);
}

TEST(DialogBase, StandardSmallDialogButtons) {
    struct Case {
        const char* what;
        uint32_t id;
        intptr_t code;
        int result; // -1: the dialog stays open
    };
    const Case cases[] = {
        {"close clicked", CDlgBase::CloseButtonId, CodeClick, CDlgBase::IDCANCEL},
        {"cancel clicked", CDlgBase::CancelButtonId, CodeClick, CDlgBase::IDCANCEL},
        {"OK clicked", CDlgBase::OkButtonId, CodeClick, CDlgBase::IDOK},
        {"OK only pressed", CDlgBase::OkButtonId, CodePress, -1},
        {"close only hovered", CDlgBase::CloseButtonId, CodeHover, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        [&] { // a failed ASSERT ends this row only
            TestDialog dialog;
            auto* probe = dialog.AddControl(0, std::make_unique<ProbeControl>(&dialog, 1, Rect{}));
            ASSERT_TRUE(showAndWait(dialog));
            dialog.sendMessage(c.id, 0, c.code);
            EXPECT_EQ(dialog.isVisible(), c.result < 0);
            if (c.result >= 0) {
                EXPECT_EQ(dialog.result(), c.result);
                EXPECT_EQ(probe->releases, 1) << "images released before the end";
            }
        }();
    }

    // The main window has no such buttons: 2010 is one of its own controls there.
    TestDialog main(CDlgBase::MainWindowTemplate);
    ASSERT_TRUE(showAndWait(main));
    main.sendMessage(2010, 0, CodeClick);
    EXPECT_TRUE(main.isVisible());
    EXPECT_EQ(main.sent, (std::vector<Sent>{{2010, 0, CodeClick}}));
}

TEST(DialogBase, SmallDialogsRegisterWhileTheyLive) {
    TestDialog main(CDlgBase::MainWindowTemplate);
    const auto& table = main.openDialogs();
    const auto listed = [&](const QWidget* w) { return std::count(table.begin(), table.end(), w); };
    std::vector<std::unique_ptr<TestDialog>> dialogs;
    for (int i = 0; i < 11; ++i) {
        dialogs.push_back(std::make_unique<TestDialog>());
        dialogs.back()->SetListedIn(&main);
        dialogs.back()->Initialize();
    }
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(table[size_t(i)], dialogs[size_t(i)].get()) << i;
    // The eleventh is nowhere, so the tray's Exit would not close it.
    EXPECT_EQ(listed(dialogs[10].get()), 0);

    main.Initialize();
    EXPECT_EQ(listed(&main), 0);

    // A closing dialog takes itself out and the later ones move up.
    dialogs[3].reset();
    EXPECT_EQ(table[3], dialogs[4].get());
    EXPECT_EQ(table[8], dialogs[9].get());
    EXPECT_TRUE(table[9].isNull());
    dialogs[10].reset(); // never registered: changes nothing
    EXPECT_EQ(table[8], dialogs[9].get());
    // A dialog over the main window (or over one of its dialogs) is listed there without being told.
    auto another = std::make_unique<TestDialog>();
    another->setParent(dialogs[0].get(), another->windowFlags());
    another->Initialize();
    EXPECT_EQ(table[9], another.get());
    // A dialog of no main window is listed nowhere, and another main window has a table of its own.
    TestDialog orphan;
    orphan.Initialize();
    EXPECT_EQ(listed(&orphan), 0);
    TestDialog otherMain(CDlgBase::MainWindowTemplate);
    EXPECT_EQ(std::count_if(otherMain.openDialogs().begin(), otherMain.openDialogs().end(),
                            [](auto& p) { return !p.isNull(); }),
              0);
    another.reset();
    dialogs.clear();
    EXPECT_EQ(std::count_if(table.begin(), table.end(), [](auto& p) { return !p.isNull(); }), 0);
}

TEST(DialogBase, PaintsBackgroundFrameAndVisibleControls) {
    SkinFolder folder;
    QImage frame = SkinFolder::solid(40, 20, QColor(0, 0, 200));
    folder.write("skins\\Frame_common.bmp", frame);
    TestDialog dialog(CDlgBase::SmallDialogTemplate, 40, 30);
    dialog.SetFrameFile("skins\\Frame_common.bmp");
    dialog.backgroundColor = rgb(10, 200, 10);
    auto* shown = dialog.AddControl(0, std::make_unique<ProbeControl>(&dialog, 1, Rect{0, 22, 10, 30}));
    auto* hidden = dialog.AddControl(1, std::make_unique<ProbeControl>(&dialog, 2, Rect{20, 22, 30, 30}));
    hidden->SetVisible(false);
    ASSERT_TRUE(showAndWait(dialog));
    const QImage image = dialog.grab().toImage();
    EXPECT_EQ(image.pixel(35, 5), qRgb(0, 0, 200)) << "frame";
    EXPECT_EQ(image.pixel(35, 25), qRgb(10, 200, 10)) << "background colour below the frame";
    EXPECT_EQ(image.pixel(5, 25), QColor(Qt::magenta).rgb());
    EXPECT_EQ(image.pixel(25, 25), qRgb(10, 200, 10));
    EXPECT_GT(shown->draws, 0);
    EXPECT_EQ(hidden->draws, 0);

    // A repaint of one area draws only the controls that meet it.
    flushPaints();
    const int before = shown->draws;
    dialog.invalidate({30, 0, 40, 10});
    flushPaints();
    EXPECT_EQ(shown->draws, before);
    dialog.invalidate(shown->rect);
    flushPaints();
    EXPECT_EQ(shown->draws, before + 1);
}

TEST(DialogBase, BackgroundBitmapSetsColourAndCopy) {
    SkinFolder folder;
    QImage bitmap(4, 2, QImage::Format_RGB32);
    bitmap.fill(qRgb(200, 0, 0));
    for (int x = 0; x < 4; ++x)
        bitmap.setPixel(x, 1, qRgb(0, 0, 100));
    folder.write("skins\\bg.bmp", bitmap);
    TestDialog dialog(CDlgBase::SmallDialogTemplate, 40, 30);
    dialog.SetBackgroundFile("skins\\missing.bmp");
    EXPECT_EQ(dialog.backgroundColor, 0xEFE2BAu);
    EXPECT_TRUE(dialog.backgroundCopy.isNull());
    dialog.SetBackgroundFile("skins\\bg.bmp");
    EXPECT_EQ(dialog.backgroundColor, rgb(100, 0, 50));
    EXPECT_EQ(dialog.backgroundWidth, 4);
    EXPECT_EQ(dialog.backgroundHeight, 2);
    EXPECT_EQ(dialog.frameBorder, 2) << "window larger than the bitmap";
    EXPECT_EQ(dialog.backgroundCopy.size(), QSize(4, 2));
}

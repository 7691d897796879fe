#include "tests/gui/GuiTestSupport.h"

#include "macros/MacroKey.h"
#include "macros/MacroLibrary.h"
#include "toolkit/CSliderControl.h"
#include "toolkit/CStaticImage.h"
#include "toolkit/CStaticText.h"
#include "toolkit/CTabControl.h"
#include "toolkit/CVScrollBar.h"
#include "toolkit/CVerticalSliderControl.h"
#include "toolkit/RadioGroup.h"
#include "toolkit/SkinText.h"
#include "ui/macros/CEditShowList.h"
#include "ui/macros/CImageShowList.h"

#include <memory>

using Loc = MacroItemLocation;

namespace {
std::vector<uintptr_t> valuesOf(const std::vector<Sent>& sent, intptr_t code) {
    std::vector<uintptr_t> values;
    for (const Sent& s : sent)
        if (s.lParam == code)
            values.push_back(s.wParam);
    return values;
}
} // namespace

TEST(Slider, StopsAndSnapping) {
    RecordingWindow parent;
    CSliderControl slider(&parent, 3220, {100, 0, 200, 20}, 4, 6, 7);
    EXPECT_EQ(slider.stops, (std::vector<int>{106, 135, 164, 193}));
    struct Case {
        int x, stop;
    };
    for (const Case c : {Case{0, 0}, {119, 0}, {120, 1}, {148, 1}, {149, 2}, {178, 3}, {500, 3}}) {
        SCOPED_TRACE(testing::Message() << "x " << c.x);
        EXPECT_EQ(slider.snap(c.x), c.stop);
    }

    Mouse mouse{slider};
    mouse.down(120, 10);
    mouse.up(120, 10);
    EXPECT_EQ(slider.position, 1);
    EXPECT_EQ(slider.knobRect, (Rect{129, 0, 142, 20}));
    mouse.down(119, 10);
    mouse.up(119, 10);
    EXPECT_EQ(slider.position, 0);
    EXPECT_EQ(parent.codes(3220), (std::vector<intptr_t>{CodePress, CodeClick, CodePress, CodeClick}));

    // A release outside leaves the position; moving the control moves its stops.
    mouse.down(190, 10);
    mouse.up(500, 10);
    EXPECT_EQ(slider.position, 0);
    slider.SetBounds(0, 0, 100, 20);
    EXPECT_EQ(slider.stops, (std::vector<int>{6, 35, 64, 93}));
    EXPECT_EQ(slider.knobRect, (Rect{0, 0, 13, 20}));

    // Odd stop counts and positions are kept in range.
    slider.SetPosition(9);
    EXPECT_EQ(slider.position, 3);
    slider.SetPosition(-2);
    EXPECT_EQ(slider.position, 0);
    CSliderControl single(&parent, 1, {100, 0, 200, 20}, 0, 6, 7);
    EXPECT_EQ(single.stops, (std::vector<int>{106}));
    EXPECT_EQ(single.snap(300), 0);
}

TEST(Slider, DraggingPastEitherEndStopsAtTheEndStop) {
    RecordingWindow parent;
    CSliderControl slider(&parent, 3200, {100, 0, 200, 20}, 3, 6, 7);
    slider.SetPosition(1);
    Mouse mouse{slider};
    const int knob = slider.stop(1);
    ASSERT_TRUE(mouse.down(knob, 10));
    ASSERT_TRUE(slider.dragging);
    mouse.move(knob + 20, 10);
    // Outside the control the owner drives the drag with the held button.
    EXPECT_TRUE(slider.DragTo(1000));
    EXPECT_EQ(slider.position, 2);
    EXPECT_EQ(slider.knobX, 200 - 6) << "the free knob stays on the track";
    EXPECT_TRUE(slider.DragTo(-1000));
    EXPECT_EQ(slider.position, 0);
    EXPECT_TRUE(slider.DragTo(-999));
    mouse.up(-999, 10);
    EXPECT_FALSE(slider.dragging);
    EXPECT_FALSE(slider.DragTo(150)) << "no drag after the release";
    EXPECT_EQ(slider.position, 0);
    const std::vector<uintptr_t> changes = valuesOf(parent.sent, CodeValueChanged);
    EXPECT_EQ(changes, (std::vector<uintptr_t>{2, 0})) << "only real changes, only valid stops";

    // A press on the track but off the knob does not drag; its release jumps.
    parent.clear();
    ASSERT_TRUE(mouse.down(190, 10));
    EXPECT_FALSE(slider.dragging);
    mouse.move(150, 10);
    mouse.up(190, 10);
    EXPECT_EQ(slider.position, 2);
    EXPECT_TRUE(valuesOf(parent.sent, CodeValueChanged).empty());
}

TEST(Slider, KnobIsDrawnAtItsStopAtItsOwnSize) {
    SkinFolder folder;
    folder.write("skins\\Slider_Circle.png", SkinFolder::solid(4, 6, Qt::red));
    RecordingWindow parent;
    CSliderControl slider(&parent, 3200, {0, 0, 60, 10}, 3, 2, 2);
    ASSERT_TRUE(slider.SetKnobImage("skins\\Slider_Circle.png"));
    slider.SetPosition(1); // stop 30, knob from 28
    QImage image(60, 10, QImage::Format_RGB32);
    image.fill(Qt::black);
    {
        QPainter painter(&image);
        slider.Draw(painter, slider.rect);
    }
    EXPECT_EQ(image.pixel(28, 0), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(31, 5), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(32, 0), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(28, 6), qRgb(0, 0, 0));
}

TEST(VerticalSlider, ValueFromHeight) {
    RecordingWindow parent;
    CVerticalSliderControl slider(&parent, 3280, {0, 0, 20, 100}, 10, 0, 0);
    struct Case {
        int y, value;
    };
    for (const Case c : {Case{0, 9}, {-50, 9}, {1, 9}, {50, 4}, {99, 0}, {100, 0}, {300, 0}}) {
        SCOPED_TRACE(testing::Message() << "y " << c.y);
        EXPECT_EQ(slider.valueAt(c.y), c.value);
    }

    Mouse mouse{slider};
    mouse.down(10, 50);
    mouse.move(10, 10);
    mouse.move(10, -40);
    mouse.up(10, 10);
    EXPECT_EQ(parent.sent, (std::vector<Sent>{{3280, 4, CodePress},
                                              {3280, 8, CodeValueChanged},
                                              {3280, 9, CodeValueChanged},
                                              {3280, 8, CodeClick}}));
    CVerticalSliderControl flat(&parent, 3281, {0, 5, 20, 5}, 10, 0, 0);
    EXPECT_EQ(flat.valueAt(5), 0);
}

TEST(ScrollBar, ThumbFollowsPositionPageAndRange) {
    SkinFolder folder;
    folder.write("skins/res/png188.png", SkinFolder::solid(30, 10, Qt::red));
    folder.write("skins/res/png187.png", SkinFolder::solid(30, 10, Qt::blue));
    RecordingWindow parent;
    CVScrollBar bar(&parent, 2021, {169, 53, 187, 324});
    bar.SetArrowResources(188, 187);
    EXPECT_EQ(bar.cellWidth, 10);
    EXPECT_EQ(bar.upRect, (Rect{169, 53, 187, 63}));
    EXPECT_EQ(bar.downRect, (Rect{169, 314, 187, 324}));
    ASSERT_EQ(bar.trackTop, 63);
    ASSERT_EQ(bar.trackBottom, 313); // 251 pixels

    struct Case {
        const char* what;
        int position, page, range;
        bool thumb;
        int top, bottom;
    };
    const Case cases[] = {
        {"nothing to scroll", 0, 13, 0, false, 0, 0},
        {"page beyond the range: the whole track", 0, 13, 5, true, 63, 313},
        {"page equal to the range", 0, 13, 13, true, 63, 313},
        {"half: 125.5 rounds to 126 pixels", 0, 13, 26, true, 63, 188},
        {"the second half, cut at the track's end", 13, 13, 26, true, 189, 313},
        {"a page of a tenth, five percent down", 5, 10, 100, true, 76, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        bar.SetScroll(c.position, c.page, c.range);
        EXPECT_EQ(bar.hasThumb(), c.thumb);
        if (c.thumb) {
            EXPECT_EQ(bar.thumbTop, c.top);
            EXPECT_EQ(bar.thumbBottom, c.bottom);
        }
    }
    bar.SetScroll(0, 5, -3);
    EXPECT_FALSE(bar.hasThumb());
}

TEST(ScrollBar, PressPartsDragAndRelease) {
    RecordingWindow parent;
    // No arrow images: square arrows as wide as the bar.
    CVScrollBar bar(&parent, 2022, {0, 0, 18, 218});
    ASSERT_EQ(bar.trackTop, 18);
    ASSERT_EQ(bar.trackBottom, 199); // 182 pixels
    bar.SetScroll(10, 20, 91);       // thumb 38 … 77
    ASSERT_EQ(bar.thumbTop, 38);
    ASSERT_EQ(bar.thumbBottom, 77);
    Mouse mouse{bar};
    const struct {
        const char* what;
        int y;
        CVScrollBar::Part part;
    } parts[] = {{"up arrow", 5, CVScrollBar::PartUp},
                 {"down arrow", 210, CVScrollBar::PartDown},
                 {"track above the thumb", 30, CVScrollBar::PartAbove},
                 {"track below the thumb", 100, CVScrollBar::PartBelow}};
    for (const auto& p : parts) {
        SCOPED_TRACE(p.what);
        parent.clear();
        mouse.down(9, p.y);
        mouse.up(9, p.y);
        EXPECT_EQ(parent.sent.front(), (Sent{2022, uintptr_t(p.part), CodePress}));
        EXPECT_EQ(parent.sent.back(), (Sent{2022, 0, CodeClick}));
    }

    parent.clear();
    mouse.down(9, 40); // on the thumb, 2 below its top
    EXPECT_EQ(parent.sent.front(), (Sent{2022, 0, CodePress}));
    mouse.move(9, 60); // thumb top 58 → (58 - 18) × 91 / 182 = 20
    EXPECT_EQ(bar.position, 20);
    mouse.move(9, 61);   // 20.5 → still 20: nothing sent
    mouse.move(9, 1000); // kept inside the track: top 160 → 71
    EXPECT_EQ(bar.dragRect, (Rect{0, 160, 18, 200}));
    EXPECT_EQ(bar.position, 71);
    mouse.move(9, -1000);
    EXPECT_EQ(bar.position, 0);
    mouse.up(9, -1000);
    EXPECT_FALSE(bar.dragging);
    EXPECT_EQ(bar.thumbTop, 18) << "snapped back to the stored position";
    EXPECT_EQ(parent.codes(2022), (std::vector<intptr_t>{CodePress, CodeValueChanged, CodeValueChanged,
                                                         CodeValueChanged, CodeClick}));
}

class TreeList : public ::testing::Test {
protected:
    void SetUp() override {
        // Rows when all is open: Work, Sub, Deep, Hello, Top.
        Loc sel = Loc::none();
        ASSERT_EQ(library.createFolder("Work", sel), MacroLibrary::CreateResult::Created);
        ASSERT_EQ(library.createFolder("Sub", sel), MacroLibrary::CreateResult::Created);
        ASSERT_EQ(library.createMacro("Deep", sel), MacroLibrary::CreateResult::Created);
        sel = Loc::top(0);
        ASSERT_EQ(library.createMacro("Hello", sel), MacroLibrary::CreateResult::Created);
        sel = Loc::none();
        ASSERT_EQ(library.createMacro("Top", sel), MacroLibrary::CreateResult::Created);
        library.closeAllFolders();
        list = std::make_unique<CEditShowList>(&parent, Rect{25, 54, 168, 323}, &library, selection);
        list->iconWidth = 12;
        list->iconHeight = 10;
    }
    int rowY(int row) const { return 54 + (row - list->firstVisibleRow) * 20 + 5; }

    MacroLibrary library;
    Loc selection = Loc::none();
    RecordingWindow parent;
    std::unique_ptr<CEditShowList> list;
};

TEST_F(TreeList, RowsSelectionAndFolderToggles) {
    EXPECT_EQ(list->id, 2015u);
    EXPECT_EQ(list->visibleRows, 13); // (269 + 10) / 20
    ASSERT_EQ(list->rowCount(), 2);   // Work (closed), Top
    Mouse mouse{*list};

    // A press on the folder's text selects it without opening it.
    mouse.down(100, rowY(0));
    mouse.up(100, rowY(0));
    EXPECT_EQ(list->selectedRow, 0);
    EXPECT_EQ(selection, Loc::top(0));
    EXPECT_EQ(list->rowCount(), 2);
    EXPECT_EQ(parent.codes(2015), (std::vector<intptr_t>{CodePress, CodeClick}));

    // A press on its icon opens it.
    mouse.down(25 + 5, rowY(0));
    mouse.up(25 + 5, rowY(0));
    EXPECT_EQ(list->rowCount(), 4); // Work, Sub, Hello, Top
    // Sub sits one level down: its icon zone reaches two icon widths.
    mouse.down(25 + 20, rowY(1));
    EXPECT_EQ(selection, Loc::child(0, 0));
    EXPECT_EQ(list->rowCount(), 5);
    mouse.down(25 + 30, rowY(2));
    EXPECT_EQ(selection, Loc::grandchild(0, 0, 0));
    EXPECT_EQ(list->rowCount(), 5) << "a macro has nothing to open";

    // Below the last row: nothing selected.
    mouse.down(100, rowY(7));
    EXPECT_EQ(list->selectedRow, -1);
    EXPECT_EQ(selection, Loc::none());

    // A double click toggles a folder wherever it lands on the row and says so.
    parent.clear();
    EXPECT_TRUE(mouse.dbl(100, rowY(0)));
    EXPECT_EQ(list->rowCount(), 2);
    EXPECT_EQ(parent.sent, (std::vector<Sent>{{2015, 0, CodeDoubleClick}}));
    EXPECT_FALSE(mouse.dbl(100, rowY(5)));
}

TEST_F(TreeList, RightClickSelectsAndPointsAtTheClick) {
    QPoint received{-1, -1};
    parent.messages().add(2015, [&](uintptr_t w, intptr_t code) -> intptr_t {
        if (code == CodeRightClick)
            received = *reinterpret_cast<const QPoint*>(w);
        return 0;
    });
    Mouse mouse{*list};
    mouse.right(26, rowY(1));
    EXPECT_EQ(received, QPoint(26, rowY(1)));
    EXPECT_EQ(selection, Loc::top(1));
    EXPECT_EQ(list->rowCount(), 2) << "a right click on the icon does not open the folder";
}

TEST_F(TreeList, KeepSelectionVisible) {
    for (int i = 0; i < 30; ++i) {
        Loc sel = Loc::none();
        library.createMacro("M" + QString::number(i), sel);
    }
    const int count = list->rowCount(); // 32
    struct Case {
        const char* what;
        int selected, first, expected;
    };
    const Case cases[] = {
        {"nothing selected, more than fits: leave it", -1, 5, 5},
        {"below the view: last visible row", 20, 0, 8},
        {"the last visible row itself", 12, 0, 0},
        {"just past it", 13, 0, 1},
        {"above the view: no scrolling up", 3, 10, 10},
        {"the view past the end is pulled back", 30, 25, 19},
        {"nothing selected, the view past the end is pulled back", -1, 25, 19},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        list->selectedRow = c.selected;
        list->firstVisibleRow = c.first;
        list->KeepSelectionVisible();
        EXPECT_EQ(list->firstVisibleRow, c.expected) << "of " << count;
    }

    // Fewer items than rows: never scrolled.
    MacroLibrary small;
    Loc sel = Loc::none();
    small.createMacro("only", sel);
    CEditShowList few(&parent, {25, 54, 168, 323}, &small, sel);
    for (int selected : {-1, 0}) {
        SCOPED_TRACE(testing::Message() << "selected " << selected);
        few.selectedRow = selected;
        few.firstVisibleRow = 4;
        few.KeepSelectionVisible();
        EXPECT_EQ(few.firstVisibleRow, 0);
    }
    CEditShowList empty(&parent, {25, 54, 168, 323}, nullptr, sel);
    empty.OnLButtonDown(0, {30, 60});
    EXPECT_EQ(empty.selectedRow, -1);
}

TEST_F(TreeList, RowsScrollWithTheFirstVisibleRow) {
    library.usedEntry(Loc::top(0))->folderIsOpen = true; // Work, Sub, Hello, Top
    list->firstVisibleRow = 2;
    Mouse mouse{*list};
    mouse.down(100, 54 + 5);
    EXPECT_EQ(selection, Loc::child(0, 1));
    EXPECT_EQ(list->selectedRow, 2);

    // Drawn: the selected row in the highlight colour, the rest on the list's grey.
    QImage image(200, 330, QImage::Format_RGB32);
    image.fill(Qt::black);
    {
        QPainter painter(&image);
        list->Draw(painter, list->rect);
    }
    EXPECT_EQ(image.pixel(160, 56), toQColor(0xDEA035).rgb());
    EXPECT_EQ(image.pixel(160, 80), toQColor(0x4B4B4B).rgb());
    EXPECT_EQ(image.pixel(24, 56), qRgb(0, 0, 0));
}

TEST(ActionList, RowsAndNotifications) {
    MacroKey macro("m");
    macro.insert(0, MacroAction::key(0x41, false));
    macro.insert(1, MacroAction::delay(50));
    macro.insert(2, MacroAction::key(0x41, true));
    RecordingWindow parent;
    CImageShowList list(&parent, {190, 54, 333, 323}, &macro);
    EXPECT_EQ(list.id, 2020u);
    EXPECT_EQ(list.rowCount(), 3);
    Mouse mouse{list};
    mouse.down(250, 54 + 25);
    mouse.up(250, 54 + 25);
    EXPECT_EQ(list.pressedRow, 1);
    mouse.dbl(250, 54 + 45); // row 2
    mouse.dbl(250, 54 + 85); // below the last row: nothing
    mouse.down(250, 54 + 85);
    EXPECT_EQ(list.pressedRow, -1);
    EXPECT_EQ(parent.codes(2020), (std::vector<intptr_t>{CodePress, CodeClick, CodeDoubleClick, CodePress}));

    QImage image(340, 330, QImage::Format_RGB32);
    image.fill(Qt::black);
    list.pressedRow = 0;
    {
        QPainter painter(&image);
        list.Draw(painter, list.rect);
    }
    EXPECT_EQ(image.pixel(190 + 18, 55), toQColor(0xDEA035).rgb()) << "rows start 17 right of the edge";
    EXPECT_EQ(image.pixel(190 + 16, 55), toQColor(0x4B4B4B).rgb());
    CImageShowList none(&parent, {0, 0, 100, 100}, nullptr);
    EXPECT_EQ(none.rowCount(), 0);
}

TEST(Tabs, ClickSelectsTheSlotAndRightClickNamesTheTab) {
    RadioGroup tabs{0};
    RecordingWindow parent;
    CTabControl first(&parent, 2049, {0, 0, 50, 20}, tabs, 0, "One", TextCenter);
    CTabControl third(&parent, 2051, {100, 0, 150, 20}, tabs, 2, "Three", TextCenter);
    EXPECT_EQ(first.look(), 2);
    EXPECT_EQ(third.look(), 0);
    Mouse mouse{third};
    mouse.move(110, 10);
    EXPECT_EQ(third.look(), 1);
    mouse.down(110, 10);
    mouse.up(110, 10);
    EXPECT_EQ(tabs.checked(), 2);
    EXPECT_EQ(third.look(), 3);
    EXPECT_EQ(first.look(), 0);
    mouse.right(110, 10);
    mouse.right(10, 10);
    EXPECT_EQ(parent.sent,
              (std::vector<Sent>{{2051, 0, CodePress}, {2051, 0, CodeClick}, {2051, 2051, CodeRightClick}}));
}

TEST(StaticControls, NeverNotifyWhateverTheMouseDoes) {
    TestDialog dialog;
    auto* text = dialog.AddControl(
        0, std::make_unique<CStaticText>(&dialog, 3402, Rect{10, 10, 200, 30}, 0xB4B4B4, TextLeft, "label"));
    dialog.AddControl(0, std::make_unique<CStaticImage>(&dialog, 3400, Rect{10, 40, 200, 80}));
    ASSERT_TRUE(showAndWait(dialog));
    const QPoint start = dialog.pos();
    for (const auto& [what, p] : {std::pair{"label", QPoint(20, 20)}, {"image", QPoint(20, 60)}}) {
        SCOPED_TRACE(what);
        clickAt(dialog, p);
        QTest::mouseDClick(&dialog, Qt::LeftButton, {}, p);
        QTest::mouseClick(&dialog, Qt::RightButton, {}, p);
        QTest::mouseMove(&dialog, p + QPoint(30, 5));
    }
    EXPECT_TRUE(dialog.sent.empty());
    EXPECT_EQ(dialog.pos(), start) << "a press on a label does not drag the window";
    EXPECT_TRUE(text->isDisabled());

    // Labels change through their caption or their text alike.
    text->SetCaption("other");
    EXPECT_EQ(text->caption, "other");
    text->SetText("third");
    EXPECT_EQ(text->caption, "third");
}

#include "tests/gui/GuiTestSupport.h"

#include "toolkit/CAttentionDlg.h"
#include "toolkit/CImageButton.h"
#include "toolkit/CProgressBarDlg.h"
#include "toolkit/CStaticText.h"
#include "toolkit/CWndPopup.h"
#include "toolkit/SkinText.h"
#include "ui/buttons/CComboPopup.h"
#include "ui/features/CComboLightingPopup.h"
#include "ui/macros/CComboActionInsertPopup.h"
#include "ui/macros/CMacroListPopup.h"
#include "ui/profiles/CComboProfilePopup.h"
#include "ui/profiles/CProfileRKeyPopup.h"

#include <memory>

namespace {
// A popup that records the hooks it is given and draws one colour.
class TestPopup : public CWndPopup {
public:
    TestPopup(int kind, uint32_t closeMessage) : CWndPopup(kind, closeMessage) {}
    void InitItems() override { ++inits; }
    void DrawContent(QPainter& painter, const Rect&) override {
        ++draws;
        painter.fillRect(QRect(0, 0, 10, 10), Qt::red);
    }
    bool OnPopupMouseMove(const QPoint& p) override {
        moves.push_back(p);
        return false;
    }
    bool OnPopupLButtonDown(const QPoint&) override {
        ++downs;
        return true;
    }
    bool OnPopupLButtonUp(const QPoint&) override {
        ++ups;
        NotifyParent(selectionMessage, ownerId, 7);
        return false;
    }
    int inits = 0, draws = 0, downs = 0, ups = 0;
    std::vector<QPoint> moves;
};

void deactivate(QWidget& widget) {
    QEvent event(QEvent::WindowDeactivate);
    QCoreApplication::sendEvent(&widget, &event);
}

void runDeferredDeletes() {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QRect besideParent(const QWidget& parent) {
    return QRect(parent.mapToGlobal(QPoint(20, 20)), QSize(120, 80));
}
} // namespace

TEST(Popup, EveryMenuClosesWithItsOwnMessage) {
    struct Case {
        const char* what;
        int kind;
        uint32_t message;
        CRowListPopup::Setup setup;
    };
    const Case cases[] = {
        {"button functions", 0, 1029, CComboPopup::Menu},
        {"profiles", 7, 1126, CComboProfilePopup::Menu},
        {"lighting effects", 9, 1146, CComboLightingPopup::Menu},
        {"profile context menu", 13, 1165, CProfileRKeyPopup::Menu},
        {"macro insert menu", 14, 1168, CComboActionInsertPopup::Menu},
        {"macro tree menu", 15, 1170, CMacroListPopup::Menu},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.setup.kind, c.kind);
        EXPECT_EQ(c.setup.closeMessage, c.message);
    }
    // The function submenus close with their leave message.
    const std::pair<int, uint32_t> submenus[] = {{2, 1042}, {3, 1045}, {12, 1162}, {11, 1159}, {10, 1156}};
    ASSERT_EQ(CComboPopup::submenus().size(), std::size(submenus));
    for (size_t i = 0; i < std::size(submenus); ++i) {
        SCOPED_TRACE(testing::Message() << "submenu " << i);
        EXPECT_EQ(CComboPopup::submenus()[i].kind, submenus[i].first);
        EXPECT_EQ(CComboPopup::submenus()[i].leaveMessage, submenus[i].second);
    }
}

TEST(Popup, LosingActivationAsksTheParentOnceToClose) {
    TestDialog parent;
    ASSERT_TRUE(showAndWait(parent));
    QPointer<TestPopup> popup = new TestPopup(0, 1029);
    ASSERT_TRUE(popup->Create(&parent, besideParent(parent), 1027, 2013));
    EXPECT_EQ(popup->inits, 1);
    EXPECT_GE(popup->draws, 1);
    EXPECT_EQ(popup->pos(), parent.mapToGlobal(QPoint(20, 20)));
    EXPECT_TRUE(QTest::qWaitForWindowActive(popup.data()));

    // The real thing: another window becomes active.
    parent.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&parent));
    deactivate(*popup); // a repeated loss changes nothing
    EXPECT_EQ(parent.sent, (std::vector<Sent>{{1029, 2013, 0}}));

    // The parent closes it; closing tells the parent with WM_USER+1 and nothing else.
    parent.sent.clear();
    parent.SetPopup(0, popup);
    parent.ClosePopupSlot(0);
    EXPECT_EQ(parent.popup(0), nullptr);
    runDeferredDeletes();
    EXPECT_TRUE(popup.isNull()) << "a closed popup deletes itself";
    EXPECT_EQ(parent.sent, (std::vector<Sent>{{1025, 0, 0}}));
}

TEST(Popup, KindsWithoutCloseMessageSendNothing) {
    TestDialog parent;
    ASSERT_TRUE(showAndWait(parent));
    for (int kind : {4, 5, 6}) {
        auto* popup = new TestPopup(kind, 0);
        popup->Create(&parent, besideParent(parent), 1027, 2013);
        deactivate(*popup);
        popup->OnNcActivate(false);
        popup->close();
        runDeferredDeletes();
    }
    EXPECT_EQ(parent.sent, (std::vector<Sent>(3, Sent{1025, 0, 0})));
}

TEST(Popup, RegainedActivationArmsTheCloseMessageAgain) {
    TestDialog parent;
    auto* popup = new TestPopup(9, 1146);
    popup->Create(&parent, QRect(0, 0, 50, 50), 1144, 3120);
    popup->OnNcActivate(false);
    popup->OnNcActivate(true);
    popup->OnNcActivate(false);
    EXPECT_EQ(parent.sent, (std::vector<Sent>(2, Sent{1146, 3120, 9})));
    delete popup;
}

TEST(Popup, WithoutAParentItSendsNothing) {
    auto* orphan = new TestPopup(0, 1029);
    orphan->Create(nullptr, QRect(0, 0, 50, 50), 1027, 1);
    EXPECT_FALSE(orphan->NotifyParent(1027, 1, 2));
    orphan->OnNcActivate(false);
    QWidget plain; // a window that takes no messages
    auto* stranger = new TestPopup(0, 1029);
    stranger->Create(&plain, QRect(0, 0, 50, 50), 1027, 1);
    EXPECT_FALSE(stranger->NotifyParent(1027, 1, 2));

    TestDialog* parent = new TestDialog;
    QPointer<TestPopup> child = new TestPopup(0, 1029);
    child->Create(parent, QRect(0, 0, 50, 50), 1027, 1);
    delete parent; // takes its popups with it
    EXPECT_TRUE(child.isNull());
    delete orphan;
}

TEST(Popup, MouseReachesTheHooksAndRedraws) {
    TestDialog parent;
    ASSERT_TRUE(showAndWait(parent));
    QPointer<TestPopup> popup = new TestPopup(0, 1029);
    popup->Create(&parent, besideParent(parent), 1027, 2015);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(popup.data()));
    QTest::mouseMove(popup.data(), {30, 30});
    QTest::mouseMove(popup.data(), {31, 30});
    const int draws = popup->draws;
    QTest::mouseClick(popup.data(), Qt::LeftButton, {}, {30, 30});
    EXPECT_EQ(popup->downs, 1);
    EXPECT_EQ(popup->ups, 1);
    EXPECT_EQ(popup->draws, draws + 1) << "redrawn when a hook says so";
    EXPECT_FALSE(popup->buttonDown);
    ASSERT_GE(popup->moves.size(), 2u);
    EXPECT_EQ(popup->moves[0], QPoint(30, 30));
    EXPECT_EQ(popup->moves[1], QPoint(31, 30));
    EXPECT_EQ(parent.sent, (std::vector<Sent>{{1027, 2015, 7}}));
    EXPECT_EQ(popup->grab().toImage().pixel(5, 5), qRgb(255, 0, 0));
    EXPECT_EQ(popup->grab().toImage().pixel(50, 50), qRgb(0, 0, 0));
    delete popup;
}

TEST(Popup, ClosingASlotTellsThePressedControlWhenItIsNotHot) {
    TestDialog parent;
    auto* opener = parent.AddControl(0, std::make_unique<ProbeControl>(&parent, 2013, Rect{10, 10, 50, 30}));
    parent.pressedControl = opener;
    parent.hotControl = opener;
    auto* first = new TestPopup(0, 1029);
    first->Create(&parent, QRect(0, 0, 50, 50), 1027, 2013);
    parent.SetPopup(0, first);
    parent.ClosePopupSlot(0);
    EXPECT_EQ(opener->popupClosed, 0) << "still under the mouse";
    EXPECT_EQ(parent.pressedControl, opener);

    parent.hotControl = nullptr;
    auto* second = new TestPopup(0, 1029);
    second->Create(&parent, QRect(0, 0, 50, 50), 1027, 2013);
    parent.SetPopup(10, second);
    parent.ClosePopupSlot(10);
    EXPECT_EQ(opener->popupClosed, 1);
    EXPECT_EQ(parent.pressedControl, nullptr);
    parent.ClosePopupSlot(10); // empty: nothing
    parent.ClosePopupSlot(11); // no such slot
    parent.SetPopup(-1, second);
    runDeferredDeletes();
    EXPECT_EQ(parent.codes(1025).size(), 2u);
}

// Waiting for work, the bar is never ahead of it and the dialog stays until none is left, however
// long that takes; work added on the way counts too.
TEST(ProgressDialog, FollowsTheWorkLeftAndClosesOnlyWhenNoneIsLeft) {
    CProgressBarDlg dialog("Saving", "");
    int left = 100;
    dialog.followWork([&] { return left; }, [](int n) { return QStringLiteral("%1 left").arg(n); });
    dialog.Initialize();
    MessageTable& timers = dialog.messages();
    const auto leftText = [&] { return dialog.FindControl(CProgressBarDlg::LeftTextId)->text; };
    struct Step {
        int left;  // work left before the tick
        int ticks; // fill ticks
        int bar;   // the bar after them
        bool closing;
    } steps[] = {
        {100, 60, 0, false},                    // nothing done: the half-second fill is over, the bar waits
        {75, 1, 25, false},                     // a quarter done
        {150, 1, 0, false},                     // more work queued than was ever seen: the total grows
        {30, 1, 80, false},  {0, 1, 100, true}, // all done: closes
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.left);
        left = s.left;
        for (int i = 0; i < s.ticks; ++i)
            timers.fireTimer(CProgressBarDlg::FillTimer);
        EXPECT_EQ(dialog.progress, s.bar);
        EXPECT_EQ(timers.isTimerRunning(CProgressBarDlg::CloseTimer), s.closing);
        EXPECT_EQ(leftText(), s.left > 0 ? QStringLiteral("%1 left").arg(s.left) : QString());
    }
    timers.fireTimer(CProgressBarDlg::CloseTimer);
    EXPECT_EQ(dialog.result(), CDlgBase::IDOK);
}

TEST(ProgressDialog, FillsInFiftyStepsThenClosesItself) {
    CProgressBarDlg dialog("Saving", "");
    dialog.Initialize();
    MessageTable& timers = dialog.messages();
    ASSERT_TRUE(timers.isTimerRunning(CProgressBarDlg::FillTimer));
    EXPECT_EQ(timers.timerInterval(CProgressBarDlg::FillTimer), 10);
    for (int i = 0; i < 49; ++i)
        timers.fireTimer(CProgressBarDlg::FillTimer);
    EXPECT_EQ(dialog.progress, 98);
    EXPECT_FALSE(timers.isTimerRunning(CProgressBarDlg::CloseTimer));
    timers.fireTimer(CProgressBarDlg::FillTimer);
    EXPECT_EQ(dialog.progress, 100);
    EXPECT_FALSE(timers.isTimerRunning(CProgressBarDlg::FillTimer));
    ASSERT_TRUE(timers.isTimerRunning(CProgressBarDlg::CloseTimer));
    EXPECT_EQ(timers.timerInterval(CProgressBarDlg::CloseTimer), 20);
    timers.fireTimer(CProgressBarDlg::CloseTimer);
    EXPECT_EQ(dialog.result(), CDlgBase::IDOK);
    EXPECT_FALSE(timers.isTimerRunning(CProgressBarDlg::CloseTimer));
    EXPECT_TRUE(dialog.backImage.isNull());
    auto* title = static_cast<CStaticText*>(dialog.FindControl(2012));
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->caption, "Saving");
    EXPECT_EQ(title->textColor, 0xBEBEBEu);
}

TEST(ProgressDialog, ClosesItselfInAboutHalfASecond) {
    // Fires the dialog's running timer as the event loop would once its interval is up, until no
    // timer runs; returns the virtual time that took.
    auto runToTheEnd = [](CProgressBarDlg& dialog) {
        MessageTable& timers = dialog.messages();
        int elapsedMs = 0;
        for (int fired = 0; fired < 1000; ++fired) {
            const int running = timers.isTimerRunning(CProgressBarDlg::FillTimer) ? CProgressBarDlg::FillTimer
                                : timers.isTimerRunning(CProgressBarDlg::CloseTimer)
                                    ? CProgressBarDlg::CloseTimer
                                    : 0;
            if (!running)
                break;
            elapsedMs += timers.timerInterval(running);
            timers.fireTimer(running);
        }
        return elapsedMs;
    };
    // Two at once: each runs its own fill.
    CProgressBarDlg first("a", ""), second("b", "");
    first.show();
    second.show();
    const int firstMs = runToTheEnd(first);
    EXPECT_GE(firstMs, 450);
    EXPECT_LT(firstMs, 3000);
    EXPECT_FALSE(first.isVisible());
    EXPECT_EQ(first.result(), CDlgBase::IDOK);
    EXPECT_TRUE(second.isVisible()) << "the other one waits for its own timers";
    EXPECT_EQ(second.progress, 0);

    const int secondMs = runToTheEnd(second);
    EXPECT_GE(secondMs, 450);
    EXPECT_LT(secondMs, 3000);
    EXPECT_FALSE(second.isVisible());
    EXPECT_EQ(second.result(), CDlgBase::IDOK);
}

TEST(AttentionDialog, ShowsHeadingAndMessageAndEndsByItsButtons) {
    TestDialog mainWindow(CDlgBase::MainWindowTemplate);
    CAttentionDlg notice("Warning", "Something happened");
    notice.SetListedIn(&mainWindow);
    ASSERT_TRUE(showAndWait(notice));
    EXPECT_EQ(notice.size(), QSize(319, 102));
    EXPECT_EQ(mainWindow.openDialogs()[0], &notice);
    struct Expected {
        const char* what;
        uint32_t id;
        Rect rect;
    };
    for (const Expected& e :
         {Expected{"close", 2004, {300, 4, 315, 19}}, Expected{"OK", 2010, {240, 70, 309, 90}},
          Expected{"heading", 2012, {21, 11, 175, 31}}, Expected{"message", 2013, {0, 40, 319, 60}}}) {
        SCOPED_TRACE(e.what);
        [&] { // a failed ASSERT ends this row only
            CControlBase* control = notice.FindControl(e.id);
            ASSERT_NE(control, nullptr);
            EXPECT_EQ(control->rect, e.rect);
        }();
    }
    auto* heading = static_cast<CStaticText*>(notice.FindControl(2012));
    auto* message = static_cast<CStaticText*>(notice.FindControl(2013));
    EXPECT_EQ(heading->caption, "Warning");
    EXPECT_EQ(heading->textColor, rgb(82, 146, 254));
    EXPECT_EQ(message->caption, "Something happened");
    EXPECT_EQ(message->alignment & (TextCenter | TextWordBreak), TextCenter | TextWordBreak);

    clickAt(notice, {250, 80});
    EXPECT_FALSE(notice.isVisible());
    EXPECT_EQ(notice.result(), CDlgBase::IDOK);

    CAttentionDlg closed("h", "m");
    ASSERT_TRUE(showAndWait(closed));
    clickAt(closed, {305, 10});
    EXPECT_EQ(closed.result(), CDlgBase::IDCANCEL);
}

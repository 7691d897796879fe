#include "tests/gui/GuiTestSupport.h"
#include "ui/buttons/CKeyboardHook.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <memory>

namespace {
constexpr uint32_t KeyMessage = CKeyboardHook::KeyMessage;
constexpr intptr_t Released = CKeyboardHook::ReleaseBit;

// A small dialog as the hook's users are: it receives the key messages, Enter clicks its default
// button and Esc rejects it; a line edit has the focus.
class KeyboardHookTest : public ::testing::Test {
protected:
    void SetUp() override {
        QObject::connect(&ok, &QPushButton::clicked, &dialog, &QDialog::accept);
        ok.setDefault(true);
        edit.setFocus();
        ASSERT_TRUE(showAndWait(dialog));
        dialog.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
        hook.SetClock([this] { return now; });
    }

    std::vector<Sent> keyMessages(const std::vector<Sent>& sent) const {
        std::vector<Sent> keys;
        for (const Sent& s : sent)
            if (s.message == KeyMessage)
                keys.push_back(s);
        return keys;
    }
    std::vector<Sent> keyMessages() const { return keyMessages(dialog.sent); }

    static void sendKey(QWidget* to, QEvent::Type type, Qt::Key key, bool autoRepeat) {
        QKeyEvent event(type, key, Qt::NoModifier, QString(), autoRepeat);
        QApplication::sendEvent(to, &event);
    }

    TestDialog dialog;
    QLineEdit edit{&dialog};
    QPushButton ok{&dialog};
    CKeyboardHook hook;
    uint32_t now = 1000;
};
} // namespace

TEST_F(KeyboardHookTest, ReportsPressesAndReleasesWithTimeStamps) {
    ASSERT_NE(hook.StartHook(&dialog), 0);
    EXPECT_TRUE(hook.IsStarted());
    QTest::keyPress(&edit, Qt::Key_A);
    now = 1250;
    QTest::keyRelease(&edit, Qt::Key_A);
    now = 0x80000000u + 7; // past 2^31 the stamp wraps and never sets the release bit
    QTest::keyPress(&edit, Qt::Key_F5);
    QTest::keyRelease(&edit, Qt::Key_F5);

    const std::vector<Sent> expected = {
        {KeyMessage, 0x41, 1000},
        {KeyMessage, 0x41, Released | 1250},
        {KeyMessage, 0x74, 7},
        {KeyMessage, 0x74, Released | 7},
    };
    EXPECT_EQ(keyMessages(), expected);
    EXPECT_TRUE(CKeyboardHook::IsRelease(expected[1].lParam));
    EXPECT_FALSE(CKeyboardHook::IsRelease(expected[2].lParam));
    EXPECT_EQ(CKeyboardHook::TimeOf(expected[1].lParam), 1250u);
    EXPECT_EQ(edit.text(), ""); // the keys went to the hook only
}

TEST_F(KeyboardHookTest, HeldKeyRepeatsAsPressesAndIsReleasedOnce) {
    hook.StartHook(&dialog);
    sendKey(&edit, QEvent::KeyPress, Qt::Key_B, false);
    for (int i = 0; i < 2; ++i) {
        ++now;
        sendKey(&edit, QEvent::KeyRelease, Qt::Key_B, true);
        sendKey(&edit, QEvent::KeyPress, Qt::Key_B, true);
    }
    ++now;
    sendKey(&edit, QEvent::KeyRelease, Qt::Key_B, false);

    const std::vector<Sent> expected = {
        {KeyMessage, 0x42, 1000},
        {KeyMessage, 0x42, 1001},
        {KeyMessage, 0x42, 1002},
        {KeyMessage, 0x42, Released | 1003},
    };
    EXPECT_EQ(keyMessages(), expected);
}

TEST_F(KeyboardHookTest, ModifierKeysAndStoppedHook) {
    EXPECT_EQ(hook.StopHook(), 0); // stopping a hook never started is harmless
    hook.StartHook(&dialog);
    QTest::keyClick(&edit, Qt::Key_Return);
    QTest::keyPress(&edit, Qt::Key_Shift);
    QTest::keyRelease(&edit, Qt::Key_Shift);
    QTest::keyClick(&edit, Qt::Key_Adiaeresis); // no code: eaten, not reported
    EXPECT_EQ(keyMessages(), (std::vector<Sent>{{KeyMessage, 0x0D, 1000},
                                                {KeyMessage, 0x0D, Released | 1000},
                                                {KeyMessage, 0xA0, 1000},
                                                {KeyMessage, 0xA0, Released | 1000}}));
    EXPECT_EQ(edit.text(), "");

    EXPECT_NE(hook.StopHook(), 0);
    EXPECT_FALSE(hook.IsStarted());
    dialog.sent.clear();
    QTest::keyClicks(&edit, "ab");
    EXPECT_TRUE(keyMessages().empty());
    EXPECT_EQ(edit.text(), "ab");
}

TEST_F(KeyboardHookTest, EnterAndEscDoNotCloseTheDialogWhileHooked) {
    int accepted = 0;
    int rejected = 0;
    QObject::connect(&dialog, &QDialog::accepted, [&] { ++accepted; });
    QObject::connect(&dialog, &QDialog::rejected, [&] { ++rejected; });

    hook.StartHook(&dialog);
    QTest::keyClick(&edit, Qt::Key_Return);
    QTest::keyClick(&edit, Qt::Key_Enter, Qt::KeypadModifier);
    QTest::keyClick(&edit, Qt::Key_Escape);
    QCoreApplication::processEvents();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(accepted, 0);
    EXPECT_EQ(rejected, 0);
    const std::vector<Sent> keys = keyMessages();
    ASSERT_EQ(keys.size(), 6u);
    EXPECT_EQ(keys[0].wParam, 0x0Du);
    EXPECT_EQ(keys[2].wParam, 0x0Du);
    EXPECT_EQ(keys[4].wParam, 0x1Bu);

    // The same keys close it once the hook has stopped.
    hook.StopHook();
    QTest::keyClick(&edit, Qt::Key_Return);
    EXPECT_EQ(accepted, 1);
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(KeyboardHookTest, ShortcutsDoNotFireWhileHooked) {
    int fired = 0;
    QShortcut shortcut(QKeySequence(Qt::CTRL | Qt::Key_S), &dialog);
    QObject::connect(&shortcut, &QShortcut::activated, [&] { ++fired; });
    QTest::keyClick(&edit, Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(fired, 1); // the shortcut works in this window

    hook.StartHook(&dialog);
    QTest::keyClick(&edit, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(fired, 1);
    const std::vector<Sent> keys = keyMessages();
    ASSERT_EQ(keys.size(), 4u); // Ctrl down, S down, S up, Ctrl up
    EXPECT_EQ(keys[0].wParam, 0xA2u);
    EXPECT_EQ(keys[1].wParam, 0x53u);
    EXPECT_EQ(keys[2].wParam, 0x53u);
    EXPECT_EQ(keys[3].wParam, 0xA2u);
}

TEST_F(KeyboardHookTest, OneHookRunsAtATime) {
    RecordingWindow other;
    CKeyboardHook second;
    second.SetClock([] { return 5u; });

    hook.StartHook(&dialog);
    second.StartHook(&other);
    EXPECT_FALSE(hook.IsStarted());
    EXPECT_TRUE(second.IsStarted());
    QTest::keyClick(&edit, Qt::Key_C);
    EXPECT_TRUE(keyMessages().empty());
    EXPECT_EQ(keyMessages(other.sent),
              (std::vector<Sent>{{KeyMessage, 0x43, 5}, {KeyMessage, 0x43, Released | 5}}));

    // The first does not come back by itself when the second stops; it is started again.
    second.StopHook();
    QTest::keyClick(&edit, Qt::Key_D);
    EXPECT_TRUE(keyMessages().empty());
    EXPECT_EQ(edit.text(), "d");
    hook.StartHook(&dialog);
    EXPECT_FALSE(second.IsStarted());
    QTest::keyClick(&edit, Qt::Key_E);
    EXPECT_EQ(keyMessages().size(), 2u);
    EXPECT_EQ(keyMessages(other.sent).size(), 2u);
}

// A receiver may end the hook from its handler (a dialog closing on a key); the key in flight
// finishes safely and no later key is reported.
TEST_F(KeyboardHookTest, ReceiverMayDestroyTheHook) {
    RecordingWindow receiver;
    auto owned = std::make_unique<CKeyboardHook>();
    int calls = 0;
    receiver.messages().add(KeyMessage, [&](uintptr_t, intptr_t) -> intptr_t {
        ++calls;
        owned.reset();
        return 0;
    });
    owned->StartHook(&receiver);
    QTest::keyClick(&edit, Qt::Key_X);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(owned, nullptr);
    EXPECT_EQ(edit.text(), ""); // the press was the hook's; only the release went on
    QTest::keyClick(&edit, Qt::Key_Y);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(edit.text(), "y");

    // A destroyed started hook no longer counts as the running one.
    CKeyboardHook next;
    EXPECT_NE(next.StartHook(&receiver), 0);
    EXPECT_EQ(next.StartHook(nullptr), 0);
}

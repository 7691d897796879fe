#include "tests/gui/GuiTestSupport.h"

#include "toolkit/MessageTable.h"

#include <memory>

TEST(MessageTable, SendRunsTheHandlerAtOnce) {
    MessageTable table;
    std::vector<Sent> seen;
    table.add(WM_USER + 43, [&](uintptr_t w, intptr_t l) -> intptr_t {
        seen.push_back({WM_USER + 43, w, l});
        return 99;
    });
    EXPECT_EQ(table.send(1067, 5, -1), 99);
    EXPECT_EQ(seen, (std::vector<Sent>{{1067, 5, -1}}));
    EXPECT_TRUE(table.handles(1067));
    EXPECT_EQ(table.send(2999), 0) << "no handler, no default: 0";

    table.setDefaultHandler([&](uint32_t m, uintptr_t w, intptr_t l) -> intptr_t {
        seen.push_back({m, w, l});
        return -7;
    });
    EXPECT_EQ(table.send(2999, 1, 2), -7);
    EXPECT_EQ(seen.back(), (Sent{2999, 1, 2}));

    // The later handler for a number wins; removing it falls back to the default one.
    table.add(1067, [](uintptr_t, intptr_t) -> intptr_t { return 1; });
    EXPECT_EQ(table.send(1067), 1);
    table.remove(1067);
    EXPECT_FALSE(table.handles(1067));
    EXPECT_EQ(table.send(1067), -7);
}

TEST(MessageTable, HandlersMayChangeTheTableWhileTheyRun) {
    MessageTable table;
    int runs = 0;
    table.add(1030, [&](uintptr_t, intptr_t) -> intptr_t {
        ++runs;
        table.remove(1030); // destroys the stored handler; the running copy stays valid
        table.add(1031, [&](uintptr_t, intptr_t) -> intptr_t { return runs * 10; });
        return runs;
    });
    EXPECT_EQ(table.send(1030), 1);
    EXPECT_EQ(table.send(1030), 0);
    EXPECT_EQ(table.send(1031), 10);

    // A handler may send further messages (nested sends are synchronous too).
    std::vector<int> order;
    table.add(1, [&](uintptr_t, intptr_t) -> intptr_t {
        order.push_back(1);
        table.send(2);
        order.push_back(3);
        return 0;
    });
    table.add(2, [&](uintptr_t, intptr_t) -> intptr_t {
        order.push_back(2);
        return 0;
    });
    table.send(1);
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
}

TEST(MessageTable, PostIsQueuedInOrderAndDroppedWithTheTable) {
    auto table = std::make_unique<MessageTable>();
    std::vector<Sent> seen;
    table->setDefaultHandler([&](uint32_t m, uintptr_t w, intptr_t l) -> intptr_t {
        seen.push_back({m, w, l});
        return 0;
    });
    table->post(1067, 1, 2);
    table->post(1068, 3, 4);
    EXPECT_TRUE(seen.empty()) << "nothing runs before the event loop";
    QCoreApplication::processEvents();
    EXPECT_EQ(seen, (std::vector<Sent>{{1067, 1, 2}, {1068, 3, 4}}));

    seen.clear();
    table->post(1069);
    table.reset();
    QCoreApplication::processEvents();
    EXPECT_TRUE(seen.empty());
}

TEST(MessageTable, TimersRestartStopAndRepeat) {
    MessageTable table;
    int periodic = 0, single = 0;
    table.addTimer(40, [&] { ++periodic; });
    table.addTimer(70, [&] { ++single; });
    EXPECT_EQ(table.timerInterval(40), -1);
    EXPECT_FALSE(table.isTimerRunning(40));

    table.setTimer(40, 5);
    table.setTimer(70, 10000, MessageTable::Repeat::SingleShot);
    table.setTimer(70, 5, MessageTable::Repeat::SingleShot); // starting a running id restarts it
    EXPECT_EQ(table.timerInterval(70), 5);
    ASSERT_TRUE(QTest::qWaitFor([&] { return periodic >= 3 && single >= 1; }, 2000));
    EXPECT_TRUE(table.isTimerRunning(40));
    EXPECT_FALSE(table.isTimerRunning(70));
    QTest::qWait(20);
    EXPECT_EQ(single, 1) << "single-shot fires once";

    table.killTimer(40);
    const int stopped = periodic;
    QTest::qWait(20);
    EXPECT_EQ(periodic, stopped);
    table.killTimer(12345); // unknown: nothing
}

TEST(MessageTable, FiringATimerDirectly) {
    MessageTable table;
    int fired = 0;
    table.addTimer(30, [&] {
        ++fired;
        table.killTimer(30); // the apply pass stops its own timer
    });
    table.setTimer(30, 20, MessageTable::Repeat::SingleShot);
    table.fireTimer(30);
    EXPECT_EQ(fired, 1);
    EXPECT_FALSE(table.isTimerRunning(30));
    table.fireTimer(31); // no handler: nothing
    table.setTimer(30, 0);
    table.setTimer(30, 100000); // still one timer, restarted
    EXPECT_EQ(table.timerInterval(30), 100000);
    EXPECT_TRUE(table.isTimerRunning(30));
    table.fireTimer(30);
    EXPECT_EQ(fired, 2);
}

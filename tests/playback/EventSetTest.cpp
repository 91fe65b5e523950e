#include "playback/EventSet.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace std::chrono_literals;

namespace {

enum { kA, kB, kC };

TEST(EventSet, TheFirstSignalledInTheAskedOrderWins) {
    EventSet events{EventKind::AutoReset, EventKind::AutoReset, EventKind::AutoReset};
    events.Set(kC);
    events.Set(kA);
    EXPECT_EQ(events.WaitAny({kB, kC, kA}, 0ms), kC);
    EXPECT_EQ(events.WaitAny({kB, kC, kA}, 0ms), kA);
    EXPECT_EQ(events.WaitAny({kB, kC, kA}, 0ms), EventSet::kTimeout);
}

TEST(EventSet, AutoResetEventsForgetRepeatsCountingEventsKeepThem) {
    EventSet events{EventKind::AutoReset, EventKind::Counting};
    for (int i = 0; i < 3; ++i) {
        events.Set(kA);
        events.Set(kB);
    }
    EXPECT_EQ(events.WaitAny({kA}, 0ms), kA);
    EXPECT_EQ(events.WaitAny({kA}, 0ms), EventSet::kTimeout);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(events.WaitAny({kB}, 0ms), kB);
    EXPECT_EQ(events.WaitAny({kB}, 0ms), EventSet::kTimeout);

    events.Set(kB);
    events.Set(kB);
    events.Reset(kB);
    EXPECT_EQ(events.WaitAny({kA, kB}, 0ms), EventSet::kTimeout);
}

TEST(EventSet, EventsNotAskedForStaySignalled) {
    EventSet events{EventKind::AutoReset, EventKind::AutoReset};
    events.Set(kB);
    EXPECT_EQ(events.WaitAny({kA}, 1ms), EventSet::kTimeout);
    EXPECT_EQ(events.WaitAny({kB}, 0ms), kB);
}

TEST(EventSet, WaitTimesOutAfterTheIntervalAndWakesForAnotherThread) {
    EventSet events{EventKind::AutoReset, EventKind::Counting};
    const auto before = std::chrono::steady_clock::now();
    EXPECT_EQ(events.WaitAny({kA, kB}, 20ms), EventSet::kTimeout);
    EXPECT_GE(std::chrono::steady_clock::now() - before, 20ms);

    for (int round = 0; round < 50; ++round) {
        std::thread setter([&events] {
            for (int i = 0; i < 10; ++i)
                events.Set(kB);
        });
        for (int taken = 0; taken < 10; ++taken)
            ASSERT_EQ(events.WaitAny({kA, kB}, 5000ms), kB) << taken;
        setter.join();
        EXPECT_EQ(events.WaitAny({kA, kB}, 0ms), EventSet::kTimeout);
    }
}

} // namespace

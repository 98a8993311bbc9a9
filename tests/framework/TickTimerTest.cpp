#include <gtest/gtest.h>

#include "framework/TickTimer.h"
#include "platform/headless/Clock.h"

class TickTimerTest : public ::testing::Test {
 protected:
  void TearDown() override { platform::UseRealClock(); }
};

TEST_F(TickTimerTest, LogicGridFiresAtSixteenMilliseconds) {
  platform::UseVirtualClock(1000);
  TickTimer t;
  t.Reset();
  platform::AdvanceVirtualClock(15);
  t.Update();
  EXPECT_FALSE(t.Fired(0.016));
  platform::AdvanceVirtualClock(1);
  t.Update();
  EXPECT_TRUE(t.Fired(0.016));
}

TEST_F(TickTimerTest, DecideAndDirectionGridsFireOnTheirPeriods) {
  platform::UseVirtualClock(0);
  TickTimer t;
  t.Reset();
  platform::AdvanceVirtualClock(48);
  t.Update();
  EXPECT_FALSE(t.Fired(0.06));
  platform::AdvanceVirtualClock(16);  // 64 ms: the 0.06 s grid fires
  t.Update();
  EXPECT_TRUE(t.Fired(0.06));
  t.Tick();
  platform::AdvanceVirtualClock(96);
  t.Update();
  EXPECT_FALSE(t.Fired(0.1));
  platform::AdvanceVirtualClock(16);
  t.Update();
  EXPECT_TRUE(t.Fired(0.1));
}

TEST_F(TickTimerTest, GridsKeepFiringAcrossTheClockWrap) {
  platform::UseVirtualClock(0xFFFFFFF0u);  // 16 ms before the 32-bit wrap
  TickTimer t;
  t.Reset();
  platform::AdvanceVirtualClock(32);  // now 16 after the wrap
  t.Update();
  EXPECT_EQ(static_cast<uint32_t>(t.current), 16u);
  EXPECT_NEAR(t.Elapsed(), 0.032f, 1e-6);
  EXPECT_TRUE(t.Fired(0.016));
  t.Tick();
  platform::AdvanceVirtualClock(10);
  t.Update();
  EXPECT_FALSE(t.Fired(0.016));
}

TEST_F(TickTimerTest, TheFiringTimeIsTheFirstMillisecondTheGridFiresAt) {
  // Found by trying every millisecond the way the grids compare (float
  // elapsed against the period), for the game's grids and awkward periods.
  for (double period : {0.0, 0.001, 0.016, 0.04, 0.06, 0.1, 0.3, 0.333, 1.0, 2.5}) {
    platform::UseVirtualClock(0xFFFFFF00u);  // and across the wrap
    TickTimer t;
    t.Reset();
    uint32_t first = 0;
    for (;; ++first) {
      t.Update();
      if (t.Fired(period)) break;
      platform::AdvanceVirtualClock(1);
    }
    t.Update();
    EXPECT_EQ(t.FiringMs(period), first) << period;
    EXPECT_EQ(t.SecondsUntilFired(period, due::NowSeconds(platform::timeGetTime())), 0.0) << period;
    EXPECT_NEAR(t.SecondsUntilFired(period, due::NowSeconds(0xFFFFFF00u)), first / 1000.0, 1e-9) << period;
  }
}

TEST(DueTime, SecondsUntilATimeAcrossTheWrapAndPastTimes) {
  EXPECT_DOUBLE_EQ(due::Until(1300, due::NowSeconds(1000)), 0.3);
  EXPECT_DOUBLE_EQ(due::Until(200, due::NowSeconds(0xFFFFFF9Cu)), 0.3);  // 100 ms before the wrap
  EXPECT_EQ(due::Until(900, due::NowSeconds(1000)), 0.0);
  EXPECT_EQ(due::Until(1000, due::NowSeconds(1000)), 0.0);
  EXPECT_EQ(due::ClockMs(due::NowSeconds(0xFFFFFFFFu)), 0xFFFFFFFFu);
}

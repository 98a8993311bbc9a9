#include <gtest/gtest.h>

#include "app/framework/TickTimer.h"
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

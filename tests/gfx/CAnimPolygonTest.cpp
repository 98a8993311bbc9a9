#include "gfx/CAnimPolygon.h"

#include <gtest/gtest.h>

#include <cmath>

#include "platform/headless/Clock.h"

using namespace platform;

namespace {

// The cursor's four strips.
const std::vector<TexRect> kStrips = {{0, 0, 0.25f, 1}, {0.25f, 0, 0.5f, 1}, {0.5f, 0, 0.75f, 1}, {0.75f, 0, 1, 1}};

class AnimClock : public ::testing::Test {
 protected:
  void SetUp() override { UseVirtualClock(100000); }
  void TearDown() override { UseRealClock(); }
};

}  // namespace

TEST_F(AnimClock, SetupLeavesTheRectangleUntilTheFirstInterval) {
  CAnimPolygon p;
  p.SetTexRect(0.1f, 0.2f, 0.3f, 0.4f);
  EXPECT_EQ(p.Setup(kStrips, 0.3f, 610, 402, 0.9f, 24, 32, 0, 200, 0), 0);
  EXPECT_EQ(p.color, 0xC8FFFFFFu);
  EXPECT_EQ(p.clock.last, 100000u);
  EXPECT_FLOAT_EQ(p.tu0, 0.1f);
}

TEST_F(AnimClock, AdvancesOnlyWhenStrictlyPastTheIntervalOneFramePerCall) {
  CAnimPolygon p;
  p.Setup(kStrips, 0.5f, 0, 0, 0.9f, 24, 32, 0, 255, 0);
  AdvanceVirtualClock(500);
  p.Update();
  EXPECT_FLOAT_EQ(p.tu0, 0) << "exactly the interval is not enough";
  EXPECT_FLOAT_EQ(p.tu1, 1);
  AdvanceVirtualClock(1);
  p.Update();
  EXPECT_FLOAT_EQ(p.tu1, 0.25f);  // frame 0
  EXPECT_EQ(p.current, 1u);
  p.Update();
  EXPECT_EQ(p.current, 1u) << "the frame began at this call";

  AdvanceVirtualClock(2000);  // a stall of four intervals
  p.Update();
  EXPECT_FLOAT_EQ(p.tu0, 0.25f);  // frame 1 only
  p.Update();
  EXPECT_FLOAT_EQ(p.tu0, 0.25f);

  for (int i = 0; i < 2; ++i) {
    AdvanceVirtualClock(501);
    p.Update();
  }
  EXPECT_FLOAT_EQ(p.tu0, 0.75f);  // the last frame
  EXPECT_EQ(p.current, 0u);
  AdvanceVirtualClock(501);
  p.Update();
  EXPECT_FLOAT_EQ(p.tu0, 0) << "after the last frame the first shows again";
  EXPECT_FLOAT_EQ(p.tu1, 0.25f);
}

TEST_F(AnimClock, EmptyFrameListNeverChangesTheRectangle) {
  CAnimPolygon p;
  p.Setup({}, 0.1f, 0, 0, 0.9f, 10, 10, 0, 255, 0);
  p.SetTexRect(0.5f, 0.5f, 1, 1);
  for (int i = 0; i < 5; ++i) {
    AdvanceVirtualClock(1000);
    EXPECT_EQ(p.Update(), 0);
  }
  EXPECT_FLOAT_EQ(p.tu0, 0.5f);
  EXPECT_EQ(p.current, 0u);
}

TEST_F(AnimClock, KeepsItsPaceAcrossTheClockWrap) {
  UseVirtualClock(0xFFFFFF00u);
  CAnimPolygon p;
  p.Setup(kStrips, 0.3f, 0, 0, 0.9f, 24, 32, 0, 255, 0);
  AdvanceVirtualClock(200);  // wraps to 0x000000C8
  p.Update();
  EXPECT_EQ(p.current, 0u) << "200 ms across the wrap are 200 ms";
  AdvanceVirtualClock(101);
  p.Update();
  EXPECT_EQ(p.current, 1u);
  AdvanceVirtualClock(300);
  p.Update();
  EXPECT_EQ(p.current, 1u);
}

TEST_F(AnimClock, TheNextFrameIsDueExactlyWhenUpdateMovesIt) {
  // Called every millisecond, Update moves a frame at the very call the due
  // time names, and at no call before it; for the cursor's 0.3 s and
  // intervals whose float form lies either side of the decimal.
  for (float interval : {0.3f, 0.1f, 0.7f, 0.016f}) {
    CAnimPolygon p;
    p.Setup(kStrips, interval, 0, 0, 0.9f, 24, 32, 0, 255, 0);
    int moves = 0;
    for (int ms = 0; ms < 2000; ++ms) {
      AdvanceVirtualClock(1);
      const double due = p.SecondsUntilNextFrame(timeGetTime() / 1000.0);
      const uint64_t last = p.clock.last;
      p.Update();
      const bool moved = p.clock.last != last;
      ASSERT_EQ(moved, due == 0) << interval << " at " << ms;
      if (moved) ++moves;
    }
    EXPECT_GE(moves, int(2.0f / (interval + 0.001f)) - 1) << interval;  // strictly past: a millisecond more
  }
  CAnimPolygon still;
  still.Setup({}, 0.3f, 0, 0, 0.9f, 24, 32, 0, 255, 0);
  EXPECT_TRUE(std::isinf(still.SecondsUntilNextFrame(timeGetTime() / 1000.0)));  // no frames, never
}

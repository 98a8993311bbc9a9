// The bound on one player action on its own: which entries begin an action,
// what a fade that lasted starts afresh, and when a script's return is cut.
#include <gtest/gtest.h>

#include <string>

#include "msgbox/ActionBounds.h"
#include "platform/diagnostics/Debug.h"
#include "platform/diagnostics/Report.h"

using msgbox::ActionBounds;
using msgbox::ActionKind;

namespace {

class ActionBoundsTest : public ::testing::Test {
 protected:
  void SetUp() override { platform::SetDebugEcho(false); }
  void TearDown() override { platform::SetDebugEcho(true); }

  // Starts distinct scripts until the bound says no; how many it allowed.
  int StartsAllowed(const std::string& prefix) {
    testing::internal::CaptureStderr();
    int n = 0;
    while (n <= ActionBounds::kMaxChainedStarts && bounds.MayStart(prefix + std::to_string(n))) ++n;
    testing::internal::GetCapturedStderr();
    return n;
  }
  // Shows a failure box, as a failing command would.
  static void ShowFailure() {
    testing::internal::CaptureStderr();
    DXTRACE("test", E_FAIL, "failure", true);
    testing::internal::GetCapturedStderr();
  }

  ActionBounds bounds;
};

TEST_F(ActionBoundsTest, OnlyTheOutermostEntryBeginsAnAction) {
  bounds.Enter(ActionKind::New, "a", true);
  EXPECT_EQ(StartsAllowed("x"), ActionBounds::kMaxChainedStarts);
  // A step nested in the action (a goto's first step) counts on.
  bounds.Enter(ActionKind::New, "a", true);
  EXPECT_EQ(StartsAllowed("y"), 0);
  bounds.Leave();
  bounds.Leave();
  // The next action begins at nothing.
  bounds.Enter(ActionKind::New, "a", true);
  EXPECT_EQ(StartsAllowed("z"), ActionBounds::kMaxChainedStarts);
  bounds.Leave();
}

TEST_F(ActionBoundsTest, AFadeThatLastedCountsAfreshAndAnInstantOneDoesNot) {
  bounds.Enter(ActionKind::New, "a", true);
  EXPECT_EQ(StartsAllowed("x"), ActionBounds::kMaxChainedStarts);
  bounds.Leave();
  // A fade with nothing in it ended at once: still the same action.
  bounds.Enter(ActionKind::Continued, "a", true);
  EXPECT_EQ(StartsAllowed("y"), 0);
  bounds.Leave();
  // One the player watched was a pause: the count starts again.
  bounds.Enter(ActionKind::AfterLastingFade, "a", true);
  EXPECT_EQ(StartsAllowed("z"), ActionBounds::kMaxChainedStarts);
  bounds.Leave();
}

TEST_F(ActionBoundsTest, AfterAShownFailureOnlyAReturnToAScriptAlreadyRunIsCut) {
  bounds.Enter(ActionKind::New, "a", true);
  EXPECT_TRUE(bounds.MayStart("b"));
  // Without a failure coming round again is allowed (a menu loop).
  EXPECT_TRUE(bounds.MayStart("a"));
  ShowFailure();
  EXPECT_FALSE(bounds.MayStart("a"));  // the script the action stepped
  EXPECT_FALSE(bounds.MayStart("b"));  // one the action started
  EXPECT_TRUE(bounds.MayStart("c"));
  EXPECT_FALSE(bounds.MayStart("c"));
  bounds.Leave();
  // A new action begins with no failure shown.
  bounds.Enter(ActionKind::New, "a", true);
  EXPECT_TRUE(bounds.MayStart("a"));
  bounds.Leave();
}

TEST_F(ActionBoundsTest, WithNoScriptOpenNothingCountsAsRunAlready) {
  bounds.Enter(ActionKind::New, "a", false);
  ShowFailure();
  EXPECT_TRUE(bounds.MayStart("a"));
  EXPECT_FALSE(bounds.MayStart("a"));
  bounds.Leave();
}

}  // namespace

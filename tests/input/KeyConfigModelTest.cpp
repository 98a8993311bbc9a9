#include <gtest/gtest.h>

#include "support/InputTestSupport.h"
#include "input/KeyConfigModel.h"
#include "platform/input/InputBindings.h"

using input::KeyConfigModel;
using platform::RawPress;

namespace {
std::vector<input::KeyConfigAction> Actions() {
  std::vector<input::KeyConfigAction> out;
  for (const DIACTION& a : GameActions())
    out.push_back({a.uAppData, a.lptszActionName, platform::IsAxisSemantic(a.dwSemantic)});
  return out;
}

KeyConfigModel Fresh() {
  platform::ActionMapSpec spec = GameSpec();
  return KeyConfigModel(spec, Actions(), platform::DefaultBindings(spec));
}

RawPress Key(const std::string& name, bool repeat = false) { return {RawPress::Keyboard, "key:" + name, repeat}; }
RawPress Pad(const std::string& name) { return {RawPress::Pad, "pad:" + name, false}; }

void Press(KeyConfigModel& m, std::initializer_list<RawPress> presses, uint32_t now = 0) {
  for (const RawPress& p : presses) m.Press(p, now);
}
}  // namespace

TEST(KeyConfigModel, KeyboardAloneRebindsDecideAndConfirms) {
  KeyConfigModel m = Fresh();
  // Row 2 is the decide button; Enter starts a capture there, K is bound.
  Press(m, {Key("Down"), Key("Down"), Key("Return")});
  ASSERT_TRUE(m.capturing());
  Press(m, {Key("K")});
  EXPECT_FALSE(m.capturing());
  EXPECT_EQ(m.Controls(ACT_DECIDE, false), (std::vector<std::string>{"key:Return", "key:Z", "key:K"}));
  // Delete clears the keyboard cell only; the pad's A stays.
  Press(m, {Key("Delete")});
  EXPECT_TRUE(m.Controls(ACT_DECIDE, false).empty());
  EXPECT_EQ(m.Controls(ACT_DECIDE, true), std::vector<std::string>{"pad:a"});
  // Up wraps from the first row onto the buttons; Right reaches OK.
  Press(m, {Key("Up"), Key("Up"), Key("Up")});
  EXPECT_EQ(m.row(), 10);
  EXPECT_EQ(m.column(), KeyConfigModel::kDefaults);
  Press(m, {Key("Right"), Key("Return")});
  EXPECT_EQ(m.outcome(), KeyConfigModel::Outcome::Ok);
}

TEST(KeyConfigModel, PadAloneBindsAStickDirectionAndAnAxis) {
  KeyConfigModel m = Fresh();
  // Down to "左ボタン" (row 4), over to the pad column, A, then push the stick left.
  Press(m, {Pad("dpdown"), Pad("lefty+"), Pad("dpdown"), Pad("dpdown"), Pad("dpright"), Pad("a")});
  EXPECT_EQ(m.row(), 4);
  ASSERT_TRUE(m.capturing());
  Press(m, {Pad("leftx-")});
  EXPECT_EQ(m.Controls(ACT_LEFT, true), std::vector<std::string>{"pad:leftx-"});
  EXPECT_EQ(m.Controls(ACT_LEFT_RIGHT, true), std::vector<std::string>{"pad:dpadx"});  // the axis went
  // The axis action takes only whole axes: buttons and keys are ignored, a
  // d-pad press names the d-pad's axis, a stick direction its axis.
  Press(m, {Pad("dpup"), Pad("dpup"), Pad("dpup"), Pad("dpup"), Pad("a")});
  EXPECT_EQ(m.row(), 0);
  Press(m, {Pad("b"), Key("A"), Pad("rightx+")});
  EXPECT_FALSE(m.capturing());
  EXPECT_EQ(m.Controls(ACT_LEFT_RIGHT, true), (std::vector<std::string>{"pad:dpadx", "pad:rightx"}));
  // Y clears the pad cell; B leaves without saving.
  Press(m, {Pad("y")});
  EXPECT_TRUE(m.Controls(ACT_LEFT_RIGHT, true).empty());
  Press(m, {Pad("b")});
  EXPECT_EQ(m.outcome(), KeyConfigModel::Outcome::Cancel);
}

TEST(KeyConfigModel, OkIsRefusedWhileAnActionHasNoBinding) {
  KeyConfigModel m = Fresh();
  Press(m, {Key("Down"), Key("Down"), Key("Delete"), Key("Right"), Key("Delete")});  // decide: nothing left
  Press(m, {Key("Up"), Key("Up"), Key("Up"), Key("Return")});  // the column carries over: OK
  EXPECT_EQ(m.column(), KeyConfigModel::kOk);
  EXPECT_EQ(m.outcome(), KeyConfigModel::Outcome::Open);
  EXPECT_TRUE(m.unboundWarning());
  // Restoring the defaults makes OK possible again.
  Press(m, {Key("Left"), Key("Return"), Key("Right"), Key("Return")});
  EXPECT_EQ(m.outcome(), KeyConfigModel::Outcome::Ok);
  EXPECT_EQ(m.bindings(), platform::DefaultBindings(GameSpec()));
}

TEST(KeyConfigModel, CaptureEndsAfterFiveSecondsAndIgnoresRepeats) {
  KeyConfigModel m = Fresh();
  m.Press(Key("Return"), 1000);
  ASSERT_TRUE(m.capturing());
  EXPECT_EQ(m.captureLeftMs(3000), 3000u);
  m.Press(Key("Return", true), 2000);  // the held Enter repeating binds nothing
  m.Press({RawPress::ScriptedAction, "decide", false}, 2000);
  EXPECT_TRUE(m.capturing());
  m.Tick(5999);
  EXPECT_TRUE(m.capturing());
  m.Tick(6000);
  EXPECT_FALSE(m.capturing());
  // Held arrows repeat; a held Enter does not start another capture.
  m.Press(Key("Down", true), 7000);
  EXPECT_EQ(m.row(), 1);
  m.Press(Key("Return", true), 7000);
  EXPECT_FALSE(m.capturing());
  EXPECT_EQ(m.bindings(), platform::DefaultBindings(GameSpec()));
}

TEST(KeyConfigModel, ScriptedActionsNavigate) {
  KeyConfigModel m = Fresh();
  auto act = [&](const char* name) { m.Press({RawPress::ScriptedAction, name, false}, 0); };
  act("down");
  act("right");
  act("up");
  act("left");
  EXPECT_EQ(m.row(), 0);
  EXPECT_EQ(m.column(), 0);
  act("cancel");
  EXPECT_EQ(m.outcome(), KeyConfigModel::Outcome::Cancel);
}

TEST(KeyConfigModel, TheCountdownsEachSecondAndTheTimeoutAreDueNothingElse) {
  KeyConfigModel m = Fresh();
  EXPECT_EQ(m.MsUntilDue(0), UINT32_MAX);  // the screen waits for a press
  m.Press(Key("Return"), 1000);
  ASSERT_TRUE(m.capturing());
  // Waiting exactly as long as said always lands on a change of the shown
  // seconds (or the timeout), and the shown number never changes before.
  uint32_t now = 1000;
  auto shown = [&](uint32_t t) { return (m.captureLeftMs(t) + 999) / 1000; };
  int waits = 0;
  while (m.capturing() && waits < 20) {
    const uint32_t wait = m.MsUntilDue(now);
    ASSERT_GT(wait, 0u);
    for (uint32_t t = now; t < now + wait; t += 37) ASSERT_EQ(shown(t), shown(now)) << t;
    now += wait;
    EXPECT_NE(shown(now), shown(now - 1)) << now;
    m.Tick(now);
    ++waits;
  }
  EXPECT_FALSE(m.capturing());
  EXPECT_EQ(now, 6000u);
  EXPECT_EQ(waits, 5);
  EXPECT_EQ(m.MsUntilDue(now), UINT32_MAX);
  // Started off the second, the first wait is the part second.
  m.Press(Key("Return"), 10250);
  EXPECT_EQ(m.MsUntilDue(10500), 750u);
  EXPECT_EQ(m.MsUntilDue(15249), 1u);
  EXPECT_EQ(m.MsUntilDue(15250), 0u);
}

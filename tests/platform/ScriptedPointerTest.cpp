// The scripted input's mouse lines and the platform events they become, and
// window points mapped into the letterboxed game area.
#include <gtest/gtest.h>

#include "platform/input/ScriptedInput.h"
#include "platform/window/Event.h"

using namespace platform;

TEST(ScriptedPointer, MouseLinesParseIntoButtonsWheelAndPoints) {
  std::vector<ScriptedEvent> ev;
  std::string error;
  ASSERT_TRUE(ParseScriptedInput("3 mouse 10 20\n4 click\n5 click 30 40\n6 press mouse\n7 release mouse\n"
                                 "8 rclick\n9 wheel up\n9 wheel down\n",
                                 ev, error))
      << error;
  ASSERT_EQ(ev.size(), 11u);
  EXPECT_EQ(ev[0].kind, ScriptedEvent::MouseMove);
  EXPECT_TRUE(ev[0].at);
  EXPECT_EQ(ev[0].x, 10);
  EXPECT_EQ(ev[1].kind, ScriptedEvent::MouseDown);
  EXPECT_FALSE(ev[1].at);
  // The clicks' releases come five passes later, like a tap's.
  auto at = [&](uint64_t frame, ScriptedEvent::Kind kind) {
    for (const ScriptedEvent& e : ev)
      if (e.frame == frame && e.kind == kind) return true;
    return false;
  };
  EXPECT_TRUE(at(9, ScriptedEvent::MouseUp));
  EXPECT_TRUE(at(10, ScriptedEvent::MouseUp));
  EXPECT_TRUE(at(6, ScriptedEvent::MouseDown));
  EXPECT_TRUE(at(7, ScriptedEvent::MouseUp));
  EXPECT_TRUE(at(8, ScriptedEvent::MouseDown));

  for (const char* bad : {"1 mouse 10", "1 mouse a b", "1 click 5", "1 rclick 3 4", "1 wheel", "1 wheel left",
                          "1 mouse -1 5"}) {
    EXPECT_FALSE(ParseScriptedInput(bad, ev, error)) << bad;
    EXPECT_NE(error.find("line 1"), std::string::npos);
  }
}

TEST(ScriptedPointer, ButtonsHappenWhereThePointerLastWentAndKeysAreFlagged) {
  std::vector<ScriptedEvent> ev;
  std::string error;
  ASSERT_TRUE(ParseScriptedInput("1 mouse 7 8\n1 click\n2 click 50 60\n3 press key:Left_Ctrl\n3 press decide\n"
                                 "3 wheel down\n",
                                 ev, error));
  ScriptedPointer pointer;
  std::vector<ScriptedEvent> first, later;
  for (const ScriptedEvent& e : ev) (e.frame <= 1 ? first : later).push_back(e);
  std::vector<Event> out = pointer.Translate(first);
  ASSERT_EQ(out.size(), 2u);
  EXPECT_EQ(out[0].type, Event::Type::MouseMotion);
  EXPECT_EQ(out[1].type, Event::Type::MouseDown);
  EXPECT_EQ(out[1].x, 7);
  EXPECT_EQ(out[1].y, 8);
  out = pointer.Translate(later);
  // Move and press at 50,60; the key; the wheel there; the releases. The
  // action name stays with the scripted device alone.
  std::vector<Event::Type> types;
  for (const Event& e : out) {
    types.push_back(e.type);
    EXPECT_TRUE(e.scripted);
  }
  ASSERT_GE(out.size(), 5u);
  EXPECT_EQ(types[0], Event::Type::MouseMotion);
  EXPECT_EQ(types[1], Event::Type::MouseDown);
  EXPECT_EQ(out[1].x, 50);
  EXPECT_EQ(types[2], Event::Type::KeyDown);
  EXPECT_EQ(out[2].key, Key::LeftCtrl);
  EXPECT_EQ(types[3], Event::Type::MouseWheel);
  EXPECT_EQ(out[3].wheel, -1);
  EXPECT_EQ(out[3].x, 50);
}

TEST(ScriptedPointer, WindowPointsMapThroughScalingAndLetterboxing) {
  // A 1280 x 742 window with a 22-pixel menu bar: the game area is scaled by
  // 1.5 to 960 x 720 and centred, bars left and right.
  GameArea a{160, 22, 960, 720, 640, 480};
  int32_t x = 0, y = 0;
  WindowToGame(a, 160, 22, x, y);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 0);
  WindowToGame(a, 160 + 959, 22 + 719, x, y);
  EXPECT_EQ(x, 639);
  EXPECT_EQ(y, 479);
  WindowToGame(a, 640, 382, x, y);
  EXPECT_EQ(x, 320);
  EXPECT_EQ(y, 240);
  // In the bars, and on the menu bar: outside the game area, never on its edge.
  WindowToGame(a, 159, 10, x, y);
  EXPECT_LT(x, 0);
  EXPECT_LT(y, 0);
  WindowToGame(GameArea{0, 0, 0, 0, 640, 480}, 5, 5, x, y);  // a window with no area yet
  EXPECT_EQ(x, 0);
}

// The comfort controller on a real message box: the pointer over menus,
// hiding the window, the history, skipping and auto mode, keys the player
// bound to the game's actions.
#include <gtest/gtest.h>

#include <limits>

#include "comfort/Controller.h"
#include "input/GameActions.h"
#include "support/MsgBoxTestSupport.h"

using comfort::Controller;
using comfort::SkipState;
using msgboxtest::U;
using platform::Event;
using platform::Key;
using platform::MouseButton;

namespace {
class ComfortController : public msgboxtest::MsgBoxTest {
 protected:
  void SetUp() override {
    MsgBoxTest::SetUp();
    Make();
  }
  void TearDown() override {
    comforts.reset();
    MsgBoxTest::TearDown();
  }
  void Make(std::function<bool(const std::string&)> bound = nullptr) {
    comforts.reset();
    Controller::Config c;
    c.listen = false;
    c.seenPath = "seen";
    c.bound = std::move(bound);
    c.latch = &latch;
    comforts = std::make_unique<Controller>(*box, actions, c);
  }
  // The decide grid fired: what the mouse let go of before it goes.
  void DecideGridFired() { latch.GridFired(actions, {ACT_DECIDE}); }
  // Hands the events over and runs the controller's part of one step.
  bool Step(std::initializer_list<Event> events, double now = 0.0) {
    for (const Event& e : events) comforts->OnEvent(e);
    return comforts->BeginStep(now);
  }
  static Event Key(platform::Key k, bool down = true) { return Event::KeyPress(k, down); }
  static Event Click(int x, int y, bool down = true) { return Event::MouseClick(MouseButton::Left, down, x, y); }
  int32_t ButtonCursor() const { return box->Buttons().ButtonMenuCursor()->first; }
  // Three buttons down the screen's left column, 150 x 133 pixels each.
  void LeftMenu() {
    ASSERT_EQ(Run({"ButtonMenu", "Left", "{", "フォーマット", "1", "3", "メニューアイテム", "{", "a", "1", "A", "b", "2",
                   "B", "c", "3", "C", "}", "}"}),
              S_OK);
    ASSERT_TRUE(box->MenuOpen());
  }
  input::ActionLatch latch;
  std::unique_ptr<Controller> comforts;
};
}  // namespace

TEST_F(ComfortController, PointerMovesTheButtonCursorAndAClickDecidesOnlyOnAnItem) {
  LeftMenu();
  Step({Event::MouseMove(75, 200)});
  EXPECT_EQ(ButtonCursor(), 2);
  const ButtonMenuItem& lifted = *box->Buttons().ButtonMenuItems().at(2);
  EXPECT_GT(lifted.position.x, lifted.basePosition.x);  // lifted as the keys lift it
  EXPECT_EQ(box->Buttons().ButtonMenuItems().at(1)->position.x, 0.0f);
  Step({Event::MouseMove(80, 210)});  // still over the same button: no move, no sound
  EXPECT_EQ(ButtonCursor(), 2);

  // Outside every item a click does nothing while the menu is open.
  Step({Click(400, 300), Click(400, 300, false)});
  EXPECT_EQ(actions[ACT_DECIDE], 0);
  EXPECT_EQ(ButtonCursor(), 2);

  // On an item it moves the cursor there and decides.
  Step({Click(20, 300)});
  EXPECT_EQ(ButtonCursor(), 3);
  EXPECT_EQ(actions[ACT_DECIDE], 1);
  Step({Click(20, 300, false)});
  DecideGridFired();
  EXPECT_EQ(actions[ACT_DECIDE], 0);
}

TEST_F(ComfortController, PointerPassesOverTextItemsThatCannotBeChosen) {
  ASSERT_EQ(Run({"FontMenu", "{", "フォーマット", "1", "3", "メニューアイテム", "{", "a", "1", "A", "b", "2", "B", "c",
                 "3", "C", "}", "}"}),
            S_OK);
  box->SetFontItemSelectable(2, false);
  const auto& items = box->TextMenu().FontMenuItems();
  auto over = [&](int id) {
    const FontMenuItem& i = *items.at(id);
    return Event::MouseMove(int(i.position.x + 5), int(i.position.y + 5));
  };
  Step({over(3)});
  EXPECT_EQ(box->TextMenu().FontMenuCursor()->first, 3);
  Step({over(2)});
  EXPECT_EQ(box->TextMenu().FontMenuCursor()->first, 3);
  Step({over(1)});
  EXPECT_EQ(box->TextMenu().FontMenuCursor()->first, 1);
  EXPECT_EQ(items.at(1)->brightness, items.at(1)->highlightValue);
  EXPECT_EQ(items.at(3)->brightness, items.at(3)->normalValue);
}

TEST_F(ComfortController, ClickAndWheelDownAreDecidesTheDecideGridSeesOnce) {
  ASSERT_EQ(Run({"一", "二", "三"}), S_OK);
  // Held: decide until released, once the grid has seen it.
  Step({Click(300, 200)});
  EXPECT_EQ(actions[ACT_DECIDE], 1);
  DecideGridFired();
  EXPECT_EQ(actions[ACT_DECIDE], 1);
  Step({Click(300, 200, false)});
  EXPECT_EQ(actions[ACT_DECIDE], 0);
  // Down and up within one step: still one decide, let go after the grid fired.
  Step({Click(300, 200), Click(300, 200, false)});
  EXPECT_EQ(actions[ACT_DECIDE], 1);
  Step({});
  EXPECT_EQ(actions[ACT_DECIDE], 1);
  DecideGridFired();
  EXPECT_EQ(actions[ACT_DECIDE], 0);
  // In the letterbox bars, outside the game area, a click is nothing.
  Step({Click(-3, 200), Click(-3, 200, false)});
  EXPECT_EQ(actions[ACT_DECIDE], 0);
  Step({Click(640, 479)});
  EXPECT_EQ(actions[ACT_DECIDE], 0);
  // The wheel's decide the same.
  // (The set slot is what wakes the loop for the grid.)
  Step({Event::Wheel(-1)});
  EXPECT_EQ(actions[ACT_DECIDE], 1);
  DecideGridFired();
  EXPECT_EQ(actions[ACT_DECIDE], 0);
}

TEST_F(ComfortController, HiddenWindowComesBackOnTheNextPressWhichDoesNothingElse) {
  ASSERT_EQ(Run({"一", "二"}), S_OK);
  Step({Event::MouseClick(MouseButton::Right, true, 10, 10)});
  EXPECT_TRUE(comforts->WindowHidden());
  EXPECT_TRUE(box->ChromeHidden());
  EXPECT_FALSE(comforts->WantsStep(0.0));
  // The key also reached the action map: its decide is taken back.
  actions[ACT_DECIDE] = 1;
  Step({Key(Key::Return)});
  EXPECT_FALSE(comforts->WindowHidden());
  EXPECT_FALSE(box->ChromeHidden());
  EXPECT_EQ(actions[ACT_DECIDE], 0);
  Step({Key(Key::H)});
  EXPECT_TRUE(comforts->WindowHidden());
  Step({Click(5, 5)});
  EXPECT_FALSE(comforts->WindowHidden());
  EXPECT_EQ(actions[ACT_DECIDE], 0);
}

TEST_F(ComfortController, HistoryKeepsWhatWasShownAndHoldsTheGameWhileOpen) {
  ASSERT_EQ(Run({"太郎：", "「やあ」", "静かだ。", "太郎：", "長い文章がここに入りますが二十六文字を超えると次の行に送られるはずです"}),
            S_OK);
  box->Step();
  box->Step();
  const auto& entries = comforts->Messages().Entries();
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(U(entries[0].speaker), "太郎：");
  EXPECT_EQ(U(entries[0].text), "「やあ」");
  // As shown: the window keeps the last speaker's label for the next text.
  EXPECT_EQ(U(entries[1].speaker), "太郎：");
  EXPECT_EQ(U(entries[1].text), "静かだ。");
  // Rows as typed: the long message keeps its break, one line feed apart.
  EXPECT_NE(U(entries[2].text).find('\n'), std::string::npos);
  EXPECT_EQ(U(entries[2].text).find("\n\n"), std::string::npos);

  EXPECT_FALSE(Step({}));
  EXPECT_TRUE(Step({Event::Wheel(1)}));  // opens at the newest page
  EXPECT_TRUE(comforts->Messages().IsOpen());
  // The game's own keys reach only the history while it is open.
  actions[ACT_DECIDE] = 1;
  EXPECT_TRUE(Step({}));
  EXPECT_EQ(actions[ACT_DECIDE], 0);
  EXPECT_FALSE(comforts->WantsStep(0.0));
  EXPECT_EQ(comforts->SecondsUntilDue(0.0), std::numeric_limits<double>::infinity());
  // Wheel down past the newest entry closes it.
  EXPECT_FALSE(Step({Event::Wheel(-1)}));
  for (Event closer : {Key(Key::Escape), Event::MouseClick(MouseButton::Right, true, 0, 0)}) {
    EXPECT_TRUE(Step({Key(Key::PageUp)}));
    EXPECT_FALSE(Step({closer}));
  }
  EXPECT_TRUE(Step({Key(Key::PageUp)}));
  actions[ACT_CANCEL] = 1;
  EXPECT_FALSE(Step({}));
  EXPECT_FALSE(comforts->WindowHidden());  // the right click closed, it did not hide
  // A load starts it afresh.
  box->Load("none");
  EXPECT_TRUE(comforts->Messages().Empty());
}

TEST_F(ComfortController, HeldCtrlSkipsUntilAMenuAndReleasingStops) {
  ASSERT_EQ(Run({"長いメッセージです", "二", "三"}), S_OK);
  EXPECT_FALSE(comforts->WantsStep(0.0));
  Step({Key(Key::LeftCtrl)});
  EXPECT_EQ(comforts->Skip(), SkipState::Held);
  EXPECT_EQ(comforts->SecondsUntilDue(0.0), 0.0);
  EXPECT_TRUE(box->Window().TypedLength() < box->Window().MessageText().size());
  EXPECT_TRUE(comforts->WantsStep(0.0));
  // The message is shown whole before the step.
  EXPECT_EQ(box->Window().TypedLength(), box->Window().MessageText().size());
  Step({Key(Key::LeftCtrl, false)});
  EXPECT_EQ(comforts->Skip(), SkipState::Off);
  EXPECT_FALSE(comforts->WantsStep(0.0));

  LeftMenu();
  Step({Key(Key::RightCtrl)});
  EXPECT_FALSE(comforts->WantsStep(0.0));
}

TEST_F(ComfortController, AutoModeWaitsAfterTypingAndAPlayersDecideEndsIt) {
  ASSERT_EQ(Run({"abc", "def"}), S_OK);
  comfort::Settings s;
  s.autoDelay = 1.0;
  s.autoPerCharacter = 0.5;
  comforts->Change(s);
  Step({Key(Key::A)}, 10.0);
  EXPECT_TRUE(comforts->Auto());
  box->ShowWholeMessage();
  Step({}, 10.0);  // typed out at 10 s: due 1 + 3 x 0.5 s later
  EXPECT_DOUBLE_EQ(comforts->SecondsUntilDue(10.0), 2.5);
  EXPECT_FALSE(comforts->WantsStep(12.0));
  EXPECT_TRUE(comforts->WantsStep(12.5));
  actions[ACT_DECIDE] = 1;
  Step({}, 13.0);
  EXPECT_FALSE(comforts->Auto());
}

TEST_F(ComfortController, KeysThePlayerBoundKeepTheirActionAndLoseTheirComfort) {
  Make([](const std::string& control) { return control == "key:H" || control == "key:Left Ctrl"; });
  ASSERT_EQ(Run({"一", "二"}), S_OK);
  Step({Key(Key::H), Key(Key::LeftCtrl)});
  EXPECT_FALSE(comforts->WindowHidden());
  EXPECT_EQ(comforts->Skip(), SkipState::Off);
  Step({Key(Key::Tab)});
  EXPECT_EQ(comforts->Skip(), SkipState::Seen);
}

TEST_F(ComfortController, PressesMadeOnTheKeyConfigurationScreenAreNoComforts) {
  uint64_t screens = 0;
  comforts.reset();
  Controller::Config c;
  c.listen = false;
  c.modalScreens = [&] { return screens; };
  comforts = std::make_unique<Controller>(*box, actions, c);
  ASSERT_EQ(Run({"一", "二"}), S_OK);
  comforts->OnEvent(Key(Key::LeftCtrl));
  comforts->BeginStep(0.0);
  EXPECT_EQ(comforts->Skip(), SkipState::Held);
  // The screen was up: its presses go, its releases still count.
  for (Event e : {Key(Key::H), Key(Key::A), Key(Key::LeftCtrl, false)}) comforts->OnEvent(e);
  ++screens;
  comforts->BeginStep(0.0);
  EXPECT_FALSE(comforts->WindowHidden());
  EXPECT_FALSE(comforts->Auto());
  EXPECT_EQ(comforts->Skip(), SkipState::Off);
  Step({Key(Key::H)});  // afterwards as before
  EXPECT_TRUE(comforts->WindowHidden());
}

TEST_F(ComfortController, SkipModePassesSeenMessagesAndStopsAtTheFirstUnseen) {
  ASSERT_EQ(Run({"一", "二", "三", "四"}), S_OK);
  box->Step();  // 一 and 二 seen
  Make();       // a new run of the program: the record comes back from its file
  ASSERT_EQ(Run({"一", "二", "三", "四"}), S_OK);
  EXPECT_EQ(comforts->Seen().Size(), 2u);
  Step({Key(Key::Tab)});
  EXPECT_EQ(comforts->Skip(), SkipState::Seen);
  EXPECT_TRUE(comforts->WantsStep(0.0));
  box->Step();  // 二: seen before
  EXPECT_TRUE(comforts->WantsStep(0.0));
  box->Step();  // 三: new, skip mode ends here
  EXPECT_EQ(comforts->Skip(), SkipState::Off);
  EXPECT_FALSE(comforts->WantsStep(0.0));
  EXPECT_EQ(U(box->Window().MessageText()).substr(0, 3), "三");
}

TEST_F(ComfortController, TraceShowsTheComfortStateOnlyOnceItLeftItsDefaults) {
  ASSERT_EQ(Run({"一", "二"}), S_OK);
  std::string line = TracedPass([&] { Step({Click(1, 1), Click(1, 1, false)}); });
  EXPECT_EQ(line.find("\"comfort\""), std::string::npos);
  line = TracedPass([&] { Step({Key(Key::PageUp)}); });
  EXPECT_NE(line.find("\"comfort\":{\"historyOpen\":true,\"historyFirst\":0,\"history\":[{\"speaker\":\"\",\"text\":\"一\"}]"),
            std::string::npos)
      << line;
  line = TracedPass([&] { Step({Key(Key::Escape)}); });
  EXPECT_NE(line.find("\"historyOpen\":false"), std::string::npos);
}

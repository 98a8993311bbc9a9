// Rolling the demo game back and forward as a player would, headless: at
// every message and menu of a whole play, Backspace gives back the trace of
// the wait point before and decide the trace of this one again; rolling back
// past the park's choice and choosing the other item plays the other branch.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "app/GameApp.h"
#include "comfort/Controller.h"
#include "msgbox/CMsgBox.h"
#include "platform/diagnostics/Debug.h"
#include "platform/diagnostics/Trace.h"
#include "platform/headless/Clock.h"
#include "platform/text/TextCodec.h"
#include "platform/window/Window.h"
#include "saves/Keeper.h"
#include "sound/CDSMusic.h"
#include "support/ScratchDir.h"

namespace fs = std::filesystem;
using namespace platform;

namespace {
// The state a trace line holds, without what the comforts add (the record's
// own depth and place) and the action slots of this pass.
std::string GameState() {
  std::string s = trace::CurrentState();
  const size_t comfort = s.find(",\"comfort\":");
  if (comfort != std::string::npos) s.resize(comfort);
  return std::regex_replace(s, std::regex("\"actions\":\\{[^}]*\\}"), "\"actions\":{}");
}

class DemoRollback : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::path game = fs::path(VANTOREL_BINARY_DIR) / "game";
    if (!fs::exists(game / "GameData")) GTEST_SKIP() << "demo game not built";
    fs::copy(game / "GameData", fs::path(dir.Path()) / "GameData", fs::copy_options::recursive);
    setenv("XDG_CONFIG_HOME", (dir.Path() + "/config").c_str(), 1);
    setenv("XDG_DATA_HOME", (dir.Path() + "/data").c_str(), 1);
    UseVirtualClock(0);
    SetDebugEcho(false);
    options.headless = true;
    options.maxFrames = 1;
    app.SetRunOptions(options);
    ASSERT_EQ(app.Create(nullptr, 1), S_OK);
    box = app.MessageWindow();
  }
  void TearDown() override {
    UseRealClock();
    SetDebugEcho(true);
    SetCurrentWindow(nullptr);
  }
  // Runs `frames` passes with these events (relative pass, verb, target).
  void Play(uint64_t frames, std::vector<ScriptedEvent> events = {}) {
    const uint64_t at = app.PassNumber();
    for (ScriptedEvent& e : events) e.frame += at;
    options.input = std::move(events);
    options.maxFrames = at + frames;
    app.SetRunOptions(options);
    app.Run();
  }
  void Tap(const std::string& target, uint64_t settle = 12) {
    Play(settle, {{1, ScriptedEvent::Press, target}, {3, ScriptedEvent::Release, target}});
  }
  // Decide until the game stands at its next wait point (a fade runs by itself).
  bool NextWaitPoint() {
    Tap("decide");
    for (int i = 0; i < 400 && !box->AtWaitPoint(); ++i) Play(5);
    return box->AtWaitPoint();
  }
  std::string Script() const { return Cp932ToUtf8(CMsgBox::currentScriptName); }
  void FirstWaitPoint() {
    for (int i = 0; i < 400 && !box->AtWaitPoint(); ++i) Play(5);
    ASSERT_TRUE(box->AtWaitPoint());
  }
  // The picture, without the wait cursor (its animation goes on by the clock).
  std::vector<uint32_t> Screen() {
    std::vector<uint32_t> px;
    EXPECT_TRUE(app.GetDevice()->ReadPixels(px));
    for (int y = 400; y < 436 && !px.empty(); ++y)
      for (int x = 606; x < 640; ++x) px[size_t(y) * 640 + size_t(x)] = 0;
    return px;
  }
  // Walks on until the park's choice is open.
  void ToParkChoice() {
    FirstWaitPoint();
    for (int i = 0; i < 80; ++i) {
      if (box->TextMenu().MenuActive() && Script().find("公園1") != std::string::npos) return;
      ASSERT_TRUE(NextWaitPoint());
    }
    FAIL() << "never reached the park's choice";
  }
  std::string SavesDir() { return app.Keeper()->Place().Directory(); }

  ScratchDir dir;
  RunOptions options;
  GameApp app;
  CMsgBox* box = nullptr;
};

TEST_F(DemoRollback, EveryWaitPointComesBackAsItWasAndForwardAgain) {
  for (int i = 0; i < 400 && !box->AtWaitPoint(); ++i) Play(5);
  ASSERT_TRUE(box->AtWaitPoint());
  std::string before = GameState();
  int points = 0, menus = 0;
  while (box->Script().Running() && points < 200) {
    const bool menu = box->MenuOpen();
    if (!NextWaitPoint()) break;
    ++points;
    menus += box->MenuOpen();
    const std::string here = GameState();
    Tap("key:Backspace");
    ASSERT_EQ(GameState(), before) << "rolled back from wait point " << points << " in " << Script();
    if (menu) {
      Tap("decide");  // the same choice replays the recorded future
    } else {
      Tap("decide");
    }
    ASSERT_EQ(GameState(), here) << "rolled forward to wait point " << points << " in " << Script();
    EXPECT_EQ(app.Keeper()->Record().BackCount(), 0u);
    before = here;
  }
  EXPECT_GT(points, 40);
  EXPECT_GE(menus, 2);
}

TEST_F(DemoRollback, BackPastTheParkChoiceChoosesTheOtherBranch) {
  ToParkChoice();
  Tap("decide");  // 煮干し
  for (int i = 0; i < 4; ++i) ASSERT_TRUE(NextWaitPoint());
  ASSERT_NE(Script().find("煮干し"), std::string::npos);
  for (int i = 0; i < 10 && !box->TextMenu().MenuActive(); ++i) Tap("key:Backspace");
  ASSERT_TRUE(box->TextMenu().MenuActive());
  EXPECT_GT(app.Keeper()->Record().BackCount(), 0u);
  EXPECT_EQ(app.Keeper()->Record().Current()->chosen, 1);
  Tap("down");
  Tap("decide");  // 待つ, the other item: the old future goes
  ASSERT_TRUE(NextWaitPoint());
  EXPECT_NE(Script().find("待つ"), std::string::npos);
  EXPECT_EQ(app.Keeper()->Record().BackCount(), 0u);
  EXPECT_EQ(Cp932ToUtf8(box->Script().Variables().at(Utf8ToCp932Lossy("$ミケの呼び方"))), "待つ");
}

TEST_F(DemoRollback, QuickLoadGivesBackTheLineAndThePictureOfTheQuickSave) {
  FirstWaitPoint();
  for (int i = 0; i < 6; ++i) ASSERT_TRUE(NextWaitPoint());
  Play(30);
  const std::string state = GameState();
  const auto screen = Screen();
  Tap("key:F5");
  ASSERT_TRUE(std::filesystem::exists(app.Keeper()->Place().HostPath("quick.vsave")));
  const int32_t saved = app.Keeper()->Record().Current()->snapshot.musicTick;
  ASSERT_GT(saved, 0);  // the title's piece, a while in
  for (int i = 0; i < 5; ++i) ASSERT_TRUE(NextWaitPoint());
  EXPECT_NE(GameState(), state);
  const int32_t later = CDSMusic::Position();
  ASSERT_GT(later, saved);
  Tap("key:F9");
  // The piece back at its place, a few frames on, not where it had got to.
  const int32_t loaded = CDSMusic::Position();
  EXPECT_GE(loaded, saved);
  EXPECT_LT(loaded - saved, (later - saved) / 4) << saved << " " << later << " " << loaded;
  Play(30);
  EXPECT_EQ(GameState(), state);
  EXPECT_EQ(Screen(), screen);
}

// The demo played in its English translation (--language en).
class DemoRollbackInEnglish : public DemoRollback {
 protected:
  void SetUp() override {
    options.language = "en";
    DemoRollback::SetUp();
  }
};

TEST_F(DemoRollbackInEnglish, AfterALoadTheHistoryShowsInTheLanguageInForce) {
  FirstWaitPoint();
  for (int i = 0; i < 6; ++i) ASSERT_TRUE(NextWaitPoint());
  const comfort::History& history = app.Comforts()->Messages();
  auto shown = [&history] {
    std::vector<std::string> texts;
    for (const comfort::HistoryEntry& e : history.Entries()) texts.push_back(e.ShownSpeaker() + e.ShownText());
    return texts;
  };
  const std::vector<std::string> before = shown();
  ASSERT_GE(before.size(), 4u);
  size_t translated = 0;
  for (const comfort::HistoryEntry& e : history.Entries()) translated += e.translated;
  ASSERT_GE(translated, 4u);  // the demo's English has these messages
  Tap("key:F5");
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(NextWaitPoint());
  Tap("key:F9");
  EXPECT_EQ(shown(), before);
}

TEST_F(DemoRollback, EveryMenuLeavesAnAutosave) {
  ToParkChoice();  // the title's menu (not kept: no progress) and the park's
  namespace fs = std::filesystem;
  auto autos = [this] {
    int n = 0;
    for (const auto& f : fs::directory_iterator(SavesDir())) n += f.path().filename().string().rfind("auto", 0) == 0;
    return n;
  };
  EXPECT_EQ(autos(), 1);
  Tap("decide");
  for (int i = 0; i < 60 && !box->MenuOpen(); ++i) ASSERT_TRUE(NextWaitPoint());
  ASSERT_TRUE(box->MenuOpen());  // the rest's save screen
  EXPECT_EQ(autos(), 2);
}

TEST_F(DemoRollback, ReturnToTheTitleStartsAsStartUpDoes) {
  FirstWaitPoint();
  const std::string title = GameState();
  for (int i = 0; i < 4; ++i) ASSERT_TRUE(NextWaitPoint());
  ScriptedEvent right{1, ScriptedEvent::MouseDown, ""};
  right.button = MouseButton::Right;
  ScriptedEvent up = right;
  up.kind = ScriptedEvent::MouseUp;
  up.frame = 2;
  Play(5, {right, up});
  ASSERT_TRUE(app.Keeper()->GameMenu().IsOpen());
  for (int i = 0; i < 6; ++i) Tap("down");
  ASSERT_EQ(app.Keeper()->GameMenu().Cursor(), saves::GameMenuRoom::kTitle);
  Tap("decide");
  ASSERT_TRUE(app.Keeper()->GameMenu().Asking());
  Tap("left");
  Tap("decide");
  EXPECT_FALSE(app.Keeper()->GameMenu().IsOpen());
  FirstWaitPoint();
  EXPECT_EQ(GameState(), title);
  EXPECT_EQ(app.Comforts()->Messages().Entries().size(), 0u);
}

TEST_F(DemoRollback, DecidingAnEntryOfTheHistoryRollsTheGameBackToIt) {
  FirstWaitPoint();
  const comfort::History& history = app.Comforts()->Messages();
  std::map<uint64_t, std::string> at;  // the game at each message, by its number
  for (int i = 0; i < 40 && at.size() < 6; ++i) {
    ASSERT_TRUE(NextWaitPoint());
    if (!box->MenuOpen()) at[history.Added()] = GameState();
  }
  ASSERT_GE(at.size(), 6u);
  comfort::HistoryRoom& room = app.Comforts()->HistoryScreen();
  // A point on entry `n`'s rows, the page scrolled until it shows.
  auto pointAt = [&](uint64_t n, int32_t& y) {
    const long entry = long(n - (history.Added() - history.Entries().size()) - 1);
    for (int i = 0; i < 40 && entry < long(history.First()); ++i) Tap("up");
    for (y = 0; y < 480; ++y)
      if (room.EntryAt(320, y) == entry) return true;
    return false;
  };

  // The pointer over an entry, then decide.
  const uint64_t later = std::prev(at.end(), 2)->first;
  Tap("key:PageUp");
  ASSERT_TRUE(room.IsOpen());
  int32_t y = 0;
  ASSERT_TRUE(pointAt(later, y));
  ScriptedEvent move{1, ScriptedEvent::MouseMove, ""};
  move.at = true, move.x = 320, move.y = y;
  Play(3, {move});
  Tap("decide");
  EXPECT_FALSE(room.IsOpen());
  EXPECT_EQ(GameState(), at[later]);
  EXPECT_EQ(history.Added(), later);
  EXPECT_GT(app.Keeper()->Record().BackCount(), 0u);

  // A click on an older one.
  const uint64_t older = at.begin()->first;
  Tap("key:PageUp");
  ASSERT_TRUE(pointAt(older, y));
  ScriptedEvent click{1, ScriptedEvent::MouseDown, ""};
  click.at = true, click.x = 320, click.y = y;
  ScriptedEvent up = click;
  up.kind = ScriptedEvent::MouseUp, up.frame = 3;
  Play(12, {click, up});
  EXPECT_FALSE(room.IsOpen());
  EXPECT_EQ(GameState(), at[older]);
  // And forward again through the recorded future with decide.
  Tap("decide");
  EXPECT_NE(GameState(), at[older]);
  EXPECT_EQ(history.Added(), older + 1);
}

TEST_F(DemoRollback, SettingsTurnRollbackOffAndGiveTheRightClickBackToHiding) {
  FirstWaitPoint();
  for (int i = 0; i < 4; ++i) ASSERT_TRUE(NextWaitPoint());
  comfort::Settings s = app.Comforts()->Current();
  s.rollback = false;
  app.Comforts()->Change(s);
  const std::string here = GameState();
  Tap("key:Backspace");
  EXPECT_EQ(GameState(), here);
  EXPECT_EQ(app.Keeper()->Record().BackCount(), 0u);
  // The history only shows: nothing marked, decide rolls nothing.
  comfort::HistoryRoom& room = app.Comforts()->HistoryScreen();
  Tap("key:PageUp");
  ASSERT_TRUE(room.IsOpen());
  EXPECT_EQ(room.Target(), -1);
  Tap("decide");
  EXPECT_TRUE(room.IsOpen());
  Tap("key:Escape");
  EXPECT_EQ(GameState(), here);

  s.rightClickHides = true;
  app.Comforts()->Change(s);
  auto click = [this](MouseButton button) {
    ScriptedEvent down{1, ScriptedEvent::MouseDown, ""};
    down.button = button;
    ScriptedEvent up = down;
    up.kind = ScriptedEvent::MouseUp, up.frame = 2;
    Play(5, {down, up});
  };
  click(MouseButton::Right);
  EXPECT_TRUE(app.Comforts()->WindowHidden());
  EXPECT_FALSE(app.Keeper()->GameMenu().IsOpen());
  click(MouseButton::Right);
  EXPECT_FALSE(app.Comforts()->WindowHidden());
  click(MouseButton::Middle);
  EXPECT_TRUE(app.Keeper()->GameMenu().IsOpen());
  EXPECT_FALSE(app.Comforts()->WindowHidden());
}
}  // namespace

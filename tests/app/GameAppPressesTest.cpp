// Presses as a player makes them, through scripted input in headless runs:
// every tap of decide and of each direction counts once however short, and
// a decide held since before a menu or screen opened never chooses for the
// player, whatever the hold length; the wheel never chooses either.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>

#include "app/GameApp.h"
#include "comfort/Controller.h"
#include "comfort/SettingsScreen.h"
#include "msgbox/CMsgBox.h"
#include "platform/diagnostics/Debug.h"
#include "platform/diagnostics/Report.h"
#include "platform/diagnostics/Trace.h"
#include "platform/files/Files.h"
#include "platform/headless/Clock.h"
#include "platform/input/ScriptedInput.h"
#include "platform/text/TextCodec.h"
#include "platform/window/HeadlessWindow.h"
#include "platform/window/Window.h"
#include "script/CTextFile.h"
#include "script/WordList.h"
#include "support/ScratchDir.h"

using namespace platform;

namespace {
class GameAppPresses : public ::testing::Test {
 protected:
  void SetUp() override {
    UseVirtualClock(0);
    SetDebugEcho(false);
    setenv("XDG_CONFIG_HOME", (dir.Path() + "/config").c_str(), 1);
    const char* data = std::getenv("XDG_DATA_HOME");
    oldData_ = data ? data : "";
    hadData_ = data != nullptr;
    setenv("XDG_DATA_HOME", (dir.Path() + "/data").c_str(), 1);
  }
  void TearDown() override {
    UseRealClock();
    SetDebugEcho(true);
    SetCurrentWindow(nullptr);
    if (hadData_) setenv("XDG_DATA_HOME", oldData_.c_str(), 1);
    else unsetenv("XDG_DATA_HOME");
  }
  // A script under GameData\Text, enciphered as the game reads it.
  void Script(const std::string& utf8Name, const std::string& utf8Words) {
    const std::string path = dir.Path() + "/GameData/Text/" + utf8Name;
    MakeHostDirs(path.substr(0, path.rfind('/')));
    WordList words;
    SplitWords(Utf8ToCp932Lossy(utf8Words), words);
    CTextFile file(true);
    ASSERT_EQ(file.Write(Utf8ToCp932Lossy("GameData\\Text\\" + utf8Name), words), S_OK);
  }
  void Opening(const std::string& utf8Words) { Script("オープニング/オープニング1.Dat", utf8Words); }
  // Plays `frames` passes of the scripted input; `each` sees the game at the
  // start of every pass, `end` once the run is over.
  void Play(uint64_t frames, const std::string& input, const std::function<void(uint64_t, GameApp&)>& each,
            const std::function<void(GameApp&)>& end = nullptr) {
    RunOptions o;
    o.headless = true;
    o.maxFrames = frames;
    std::string error;
    ASSERT_TRUE(ParseScriptedInput(input, o.input, error)) << error;
    CMsgBox::currentScriptName.clear();
    GameApp app;
    app.SetRunOptions(o);
    if (each) app.SetPassInput([&](uint64_t pass, std::vector<ScriptedEvent>&) { each(pass, app); });
    ASSERT_EQ(app.Create(nullptr, 1), S_OK);
    app.Run();
    ASSERT_NE(app.MessageWindow(), nullptr) << "the game ended";
    if (end) end(app);
  }
  static bool Chosen() { return CMsgBox::currentScriptName == SJ("選ばれた.Dat") || CMsgBox::currentScriptName == SJ("二番.Dat"); }

  testsupport::ScratchDir dir;

 private:
  std::string oldData_;
  bool hadData_ = false;
};

// "c" waits; the decide that steps on from it opens a two-item text menu
// over the dialogue frame (item 1 at y 296-364, item 2 at 364-432).
const char kMenuAfterC[] =
    "c FontMenu { フォーマット 1 2 メニューアイテム { 一番 1 選ばれた 二番 2 二番 } }";

std::string Taps(uint64_t first, uint64_t every, int count, const std::vector<std::string>& what) {
  std::ostringstream in;
  for (int k = 0; k < count; ++k) in << first + every * uint64_t(k) << " tap " << what[size_t(k) % what.size()] << "\n";
  return in.str();
}
}  // namespace

TEST_F(GameAppPresses, EveryOneStepTapOfDecideStepsTheScriptOnce) {
  // One-character messages type out in one step, so each tap finds its
  // message typed out. Taps 5 passes apart (the grid fires every 4) meet
  // the grid at every phase.
  std::string words;
  for (int i = 0; i < 60; ++i) words += std::string(1, char('a' + i % 26)) + " ";
  Opening(words);
  struct Case {
    const char* what;
    std::vector<std::string> taps;
  } cases[] = {
      {"tap decide 1", {"decide 1"}},
      {"released in the pass it was pressed", {"decide 0"}},
      {"the keys", {"key:Return 1", "key:Space 0", "key:Z 1", "key:Return 0"}},
  };
  for (const Case& c : cases) {
    size_t start = 0, end = 0;
    Play(
        130, Taps(20, 5, 20, c.taps), [&](uint64_t pass, GameApp& app) {
          if (pass == 1) start = app.MessageWindow()->Script().Position();
        },
        [&](GameApp& app) { end = app.MessageWindow()->Script().Position(); });
    EXPECT_EQ(end - start, 20u) << c.what;
  }
}

TEST_F(GameAppPresses, EveryOneStepTapOfEachDirectionMovesTheMenuOnce) {
  Opening("FontMenu { フォーマット 1 4 メニューアイテム { a 1 A b 2 B c 3 C d 4 D } }");
  // Taps 8 passes apart: the direction grid fires every 7, so each tap has
  // a firing of its own, at every phase.
  for (const char* direction : {"right", "down", "left", "up", "key:Right", "key:Up"}) {
    const std::string dir(direction);
    const int expected = dir.find("right") != std::string::npos || dir.find("down") != std::string::npos ||
                                 dir.find("Right") != std::string::npos
                             ? 1
                             : -1;
    int moves = 0, wrong = 0, last = -1;
    auto look = [&](GameApp& app) {
      const int now = app.MessageWindow()->TextMenu().FontMenuCursor()->first;
      if (last >= 0 && now != last) ((now - last + 4) % 4 == (expected + 4) % 4 ? moves : wrong)++;
      last = now;
    };
    Play(
        200, Taps(20, 8, 20, {dir + " 1", dir + " 0"}),
        [&](uint64_t, GameApp& app) { look(app); }, look);
    EXPECT_EQ(moves, 20) << direction;
    EXPECT_EQ(wrong, 0) << direction;
  }
}

TEST_F(GameAppPresses, ADecideHeldIntoAMenuLeavesItOpenUntilAFreshPress) {
  Opening(kMenuAfterC);
  Script("選ばれた.Dat", "選んだ");
  Script("二番.Dat", "二番目");
  // Pressed on "c" at each phase of the decide grid, held for each length:
  // the menu opens and waits; a fresh tap then chooses.
  for (uint64_t hold : {1, 2, 3, 4, 5, 6, 8, 12, 20, 40, 90}) {
    for (uint64_t phase = 0; phase < 4; ++phase) {
      const uint64_t press = 10 + phase, release = press + hold, fresh = release + 8;
      std::ostringstream in;
      in << press << " press decide\n" << release << " release decide\n" << fresh << " tap decide 1\n";
      bool opened = false, chosenEarly = false, closedEarly = false;
      Play(
          fresh + 20, in.str(),
          [&](uint64_t pass, GameApp& app) {
            if (pass > fresh) return;
            const bool open = app.MessageWindow()->MenuOpen();
            if (open) opened = true;
            if (Chosen()) chosenEarly = true;
            if (opened && !open) closedEarly = true;
          },
          [&](GameApp&) {
            EXPECT_EQ(CMsgBox::currentScriptName, SJ("選ばれた.Dat")) << "hold " << hold << " phase " << phase;
          });
      EXPECT_TRUE(opened) << "hold " << hold << " phase " << phase;
      EXPECT_FALSE(chosenEarly) << "hold " << hold << " phase " << phase;
      EXPECT_FALSE(closedEarly) << "hold " << hold << " phase " << phase;
    }
  }
}

TEST_F(GameAppPresses, AClickOrWheelMadeBeforeTheMenuWasShownNeverChooses) {
  Opening(kMenuAfterC);
  Script("選ばれた.Dat", "選んだ");
  Script("二番.Dat", "二番目");
  struct Case {
    const char* what;
    const char* input;
    bool chooses;  // the last event chooses item 2
  } cases[] = {
      // The button held on "c", where item 1 will be, into the menu.
      {"click held into the menu", "10 mouse 300 330\n10 press mouse\n40 release mouse\n", false},
      {"short click into the menu", "10 click 300 330\n", false},
      // The wheel steps on from "c"; over the menu, on an item or off it, it
      // never chooses.
      {"wheel down", "10 wheel down\n", false},
      {"wheel down off the items", "10 wheel down\n30 mouse 300 100\n40 wheel down\n50 wheel down\n", false},
      {"wheel down on an item", "10 wheel down\n30 mouse 300 400\n40 wheel down\n50 wheel down\n", false},
      // A click off the items does nothing; on one it chooses that one.
      {"a fresh click off the items", "10 tap decide 1\n30 click 300 100\n", false},
      {"a fresh click on item 2", "10 tap decide 1\n30 click 300 400\n", true},
  };
  for (const Case& c : cases) {
    bool opened = false;
    Play(
        80, c.input, [&](uint64_t, GameApp& app) { opened |= app.MessageWindow()->MenuOpen(); },
        [&](GameApp& app) {
          EXPECT_TRUE(opened) << c.what;
          if (c.chooses) {
            EXPECT_EQ(CMsgBox::currentScriptName, SJ("二番.Dat")) << c.what;
          } else {
            EXPECT_FALSE(Chosen()) << c.what;
            EXPECT_TRUE(app.MessageWindow()->MenuOpen()) << c.what;
          }
        });
  }
}

TEST_F(GameAppPresses, ADecideHeldIntoTheSaveScreenOrAButtonMenuChoosesNothing) {
  // The save screen opens with its cursor on the back item; a choice would
  // start "戻り先" (or, for the button menu, 選ばれた) at once.
  Script("戻り先.Dat", "戻った");
  Script("選ばれた.Dat", "選んだ");
  for (const char* opening : {"string $戻る = 戻り先 c SaveMenu 戻り先 NextScriptFile オープニング\\オープニング1.Dat",
                              "c ButtonMenu { フォーマット 1 2 メニューアイテム { 一番 1 選ばれた 二番 2 二番 } }"}) {
    Opening(opening);
    for (uint64_t hold : {1, 3, 6, 30}) {
      std::ostringstream in;
      in << "10 press key:Return\n" << 10 + hold << " release key:Return\n";
      Play(60, in.str(), nullptr, [&](GameApp& app) {
        EXPECT_TRUE(app.MessageWindow()->MenuOpen()) << opening << " hold " << hold;
        EXPECT_TRUE(CMsgBox::currentScriptName.find(SJ("戻り先")) == std::string::npos &&
                    CMsgBox::currentScriptName.find(SJ("選ばれた")) == std::string::npos)
            << opening << " hold " << hold;
      });
    }
  }
}

TEST_F(GameAppPresses, HoldingStaysAsItWas) {
  // A held direction moves once; a decide pressed while the menu is up and
  // held decides it once and does not step the chosen script on.
  Opening("FontMenu { フォーマット 1 4 メニューアイテム { a 1 A b 2 B c 3 C d 4 D } }");
  Script("B.Dat", "x y z");
  int moves = 0, last = -1;
  Play(
      120, "10 press down\n60 release down\n80 press decide\n",
      [&](uint64_t, GameApp& app) {
        if (!app.MessageWindow()->MenuOpen()) return;
        const int now = app.MessageWindow()->TextMenu().FontMenuCursor()->first;
        if (last >= 0 && now != last) ++moves;
        last = now;
      },
      [&](GameApp& app) {
        EXPECT_EQ(moves, 1);
        EXPECT_EQ(CMsgBox::currentScriptName, SJ("B.Dat"));
        EXPECT_EQ(app.MessageWindow()->Window().MessageText().substr(0, 2), "x\n");
      });
}

TEST_F(GameAppPresses, ADecideHeldIntoTheKeyConfigurationDecidesNothingThere) {
  // The decide that steps on from "c" opens the screen, its cursor on the
  // first row's keyboard cell (x 234-400, y 76-100) and OK at (320, 380).
  Opening("c キーコンフィグ d");
  struct Case {
    std::string what, input;
  } cases[] = {
      {"decide held 1", "10 press decide\n11 release decide\n"},
      {"decide held 3", "10 press decide\n13 release decide\n"},
      {"Return held 6", "10 press key:Return\n16 release key:Return\n"},
      {"decide held 30", "10 press decide\n40 release decide\n"},
      {"click held on the cursor's cell", "10 mouse 300 88\n10 press mouse\n30 release mouse\n"},
      {"click where OK will be", "10 click 320 380\n"},
  };
  const std::string path = dir.Path() + "/trace.jsonl";
  for (const Case& c : cases) {
    ASSERT_TRUE(trace::Open(path));
    Play(70, c.input + "50 tap cancel 1\n", nullptr);
    trace::Close();
    std::ifstream in(path);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find(R"({"type":"keyconfig","event":"open"})"), std::string::npos) << c.what;
    EXPECT_EQ(text.find(R"("capturing":true)"), std::string::npos) << c.what;
    EXPECT_NE(text.find(R"("event":"close","result":"cancel")"), std::string::npos) << c.what;
  }
}

TEST_F(GameAppPresses, TapsReleasedInThePassTheyWerePressedWorkTheSettingsScreen) {
  Opening("c d e");
  const double before = comfort::Settings{}.autoDelay;
  Play(80, "10 tap key:F2 1\n15 tap down 0\n20 tap right 0\n25 tap right 0\n30 tap right 0\n35 tap left 0\n"
           "40 tap right 0\n45 tap right 0\n50 tap right 0\n55 tap right 0\n",
       nullptr, [&](GameApp& app) {
         ASSERT_TRUE(app.Comforts()->SettingsOpen());
         EXPECT_EQ(app.Comforts()->SettingsCursor(), comfort::SettingsScreen::kAutoDelay);
         EXPECT_DOUBLE_EQ(app.Comforts()->Current().autoDelay, before + 6 * 0.25);
       });
}

TEST_F(GameAppPresses, ATapOntoAFailingStepReportsOnceAndIsUsedUp) {
  // The opening ends by naming a script that does not exist: the decide
  // that steps past its last word fails to start it. A tap is used up at
  // the firing it met, failed or not; a decide still held tries again.
  Opening("文 NextScriptFile 無.Dat");
  SetHeadlessAnswer(false);  // each failure asks whether to quit: the player says no
  struct Case {
    const char* what;
    const char* input;
    uint64_t least, most;  // reports after the first pass
  } cases[] = {
      {"a one-pass tap", "20 tap decide 1\n", 1, 1},
      {"a tap let go in its pass", "20 tap decide 0\n", 1, 1},
      {"two taps", "20 tap decide 1\n60 tap decide 1\n", 2, 2},
      {"held for 40 passes", "20 press decide\n60 release decide\n", 2, 41},
  };
  for (const Case& c : cases) {
    uint64_t before = 0;
    Play(
        120, c.input, [&](uint64_t pass, GameApp&) {
          if (pass == 1) before = ShownReportCount();
        },
        [&](GameApp&) {
          const uint64_t shown = ShownReportCount() - before;
          EXPECT_GE(shown, c.least) << c.what;
          EXPECT_LE(shown, c.most) << c.what;
        });
  }
  SetHeadlessAnswer(true);
}

// The comforts in the whole game, driven headless through scripted input as
// a player would drive them: Ctrl skipping to a menu, the history holding
// the game, skip mode across two runs of the program, auto mode.
#include <gtest/gtest.h>

#include <cstdlib>

#include "app/GameApp.h"
#include "app/Resources.h"
#include "comfort/Controller.h"
#include "msgbox/CMsgBox.h"
#include "platform/diagnostics/Debug.h"
#include "platform/files/Files.h"
#include "platform/headless/Clock.h"
#include "platform/input/ScriptedInput.h"
#include "platform/text/TextCodec.h"
#include "platform/window/Window.h"
#include "script/CTextFile.h"
#include "script/WordList.h"
#include "support/ScratchDir.h"

using namespace platform;

namespace {
class ComfortGame : public ::testing::Test {
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
  void Opening(const std::string& utf8Words) {
    MakeHostDirs(dir.Path() + "/GameData/Text/オープニング");
    WordList words;
    SplitWords(Utf8ToCp932Lossy(utf8Words), words);
    CTextFile file(true);
    ASSERT_EQ(file.Write(SJ("GameData\\Text\\オープニング\\オープニング1.Dat"), words), S_OK);
  }
  // Plays the scripted input for `frames` passes; returns where the script stood.
  size_t Play(uint64_t frames, const std::string& input) {
    RunOptions o;
    o.headless = true;
    o.maxFrames = frames;
    std::string error;
    EXPECT_TRUE(ParseScriptedInput(input, o.input, error)) << error;
    GameApp app;
    app.SetRunOptions(o);
    EXPECT_EQ(app.Create(nullptr, 1), S_OK);
    app.Run();
    menuOpen = app.MessageWindow()->MenuOpen();
    fullScreen = app.GetWindow()->Fullscreen();
    skipChecked = app.GetWindow()->MenuChecked(IDM_SKIP_MODE);
    autoChecked = app.GetWindow()->MenuChecked(IDM_AUTO_MODE);
    message = Cp932ToUtf8(app.MessageWindow()->Window().MessageText());
    return app.MessageWindow()->Script().Position();
  }
  testsupport::ScratchDir dir;
  bool menuOpen = false, fullScreen = false, skipChecked = false, autoChecked = false;
  std::string message;

 private:
  std::string oldData_;
  bool hadData_ = false;
};

const char* kStory = "一 二 三 四 五 六 七 八 九 十 FontMenu { フォーマット 1 2 メニューアイテム { 右 1 右 左 2 左 } } 後";
}  // namespace

TEST_F(ComfortGame, HeldCtrlSkipsToTheNextMenuAndWaitsThere) {
  Opening(kStory);
  EXPECT_EQ(Play(60, ""), 1u);  // nothing pressed: the first message waits
  EXPECT_FALSE(menuOpen);
  // Ten messages at one step per 0.06 s: well within 60 passes of 16 ms.
  Play(60, "5 press key:Left_Ctrl\n");
  EXPECT_TRUE(menuOpen);
  // Held on at the menu, it does not choose.
  Play(200, "5 press key:Left_Ctrl\n");
  EXPECT_TRUE(menuOpen);
}

TEST_F(ComfortGame, HistoryOpenHoldsTheGameWhileTheDecideIsHeld) {
  Opening(kStory);
  const size_t read = Play(80, "5 tap decide\n25 tap decide\n");
  EXPECT_GT(read, 0u);
  // Opened before the presses: nothing of the game advances.
  EXPECT_EQ(Play(80, "5 tap decide\n25 tap decide\n40 wheel up\n45 press decide\n"), read);
  // Closed again (wheel down past the newest), the held decide goes on stepping.
  EXPECT_GT(Play(120, "5 tap decide\n25 tap decide\n40 wheel up\n50 wheel down\n60 click\n"), read);
}

TEST_F(ComfortGame, SkipModeStopsAtTheFirstMessageNotSeenInAnEarlierRun) {
  Opening(kStory);
  // First run: read up to 四 (decides at 10, 30, 50).
  Play(70, "10 tap decide\n30 tap decide\n50 tap decide\n");
  EXPECT_EQ(message.substr(0, 3), "四");
  // Second run of the program: skip mode passes 一 to 四 and stops at 五.
  Play(120, "10 tap key:Tab\n");
  EXPECT_EQ(message.substr(0, 3), "五");
  EXPECT_FALSE(menuOpen);
}

TEST_F(ComfortGame, AutoModeAdvancesByItself) {
  Opening(kStory);
  // The default wait: one second and a little per character, about 66 passes per message.
  const size_t at = Play(300, "5 tap key:A\n");
  EXPECT_GE(at, 4u);
  EXPECT_FALSE(menuOpen);
  EXPECT_EQ(Play(300, ""), 1u);  // past the first message only
}

// A window sleeps until the game says a step is due: what the comforts wait
// for must be part of that answer, or auto mode and held skips would lag by
// up to the loop's longest sleep.
TEST_F(ComfortGame, WhatTheComfortsWaitForWakesTheLoop) {
  Opening(kStory);
  // The first message is typed out and waits with its animated cursor;
  // auto mode steps about a second after it was typed. Somewhere in that
  // wait the auto step comes before the cursor's next frame.
  bool comfortFirst = false;
  for (uint64_t frames = 30; frames <= 90; frames += 3) {
    RunOptions o;
    o.headless = true;
    o.maxFrames = frames;
    std::string error;
    ASSERT_TRUE(ParseScriptedInput("5 tap key:A\n", o.input, error)) << error;
    GameApp app;
    app.SetRunOptions(o);
    ASSERT_EQ(app.Create(nullptr, 1), S_OK);
    app.Run();
    const double now = timeGetTime() / 1000.0;
    const double comfortDue = app.Comforts()->SecondsUntilDue(now);
    const double boxDue = app.MessageWindow()->SecondsUntilDue(now);
    EXPECT_LE(app.SecondsUntilDue(now), std::min(comfortDue, boxDue)) << "after " << frames << " passes";
    comfortFirst = comfortFirst || comfortDue < boxDue;
  }
  EXPECT_TRUE(comfortFirst) << "the auto step never came before the cursor's frame: the check saw nothing";
}

TEST_F(ComfortGame, SettingsFileNamedOnTheCommandLineIsUsedAndADamagedOneReplaced) {
  Opening(kStory);
  const std::string file = dir.Path() + "/my-settings";
  auto run = [&] {
    RunOptions o;
    o.headless = true;
    o.maxFrames = 5;
    o.settingsFile = file;
    GameApp app;
    app.SetRunOptions(o);
    EXPECT_EQ(app.Create(nullptr, 1), S_OK);
    app.Run();
    return app.Comforts()->Current();
  };
  ASSERT_TRUE(WriteHostFileAtomic(file, "# vantorel settings 1\nmusic-volume = 50\nscaling = sharp\n"));
  comfort::Settings s = run();
  EXPECT_EQ(s.musicVolume, 50);
  EXPECT_TRUE(s.sharpScaling);
  EXPECT_EQ(s.effectVolume, 100);  // not named: its default
  ASSERT_TRUE(WriteHostFileAtomic(file, "something else entirely\n"));
  EXPECT_EQ(run(), comfort::Settings{});
  // Replaced by one that reads without fault, the line kept as a comment and
  // the whole file as it was beside it.
  comfort::Settings back;
  std::string error;
  EXPECT_TRUE(comfort::ParseSettings(testsupport::ReadHostFile(file), back, error)) << error;
  EXPECT_EQ(back, comfort::Settings{});
  EXPECT_EQ(testsupport::ReadHostFile(file).rfind("# something else entirely\n", 0), 0u);
  EXPECT_EQ(testsupport::ReadHostFile(file + ".bak"), "something else entirely\n");
}

TEST_F(ComfortGame, FullScreenByF11OrAltEnterSurvivesARestartAndTheKeysDoNothingElse) {
  Opening(kStory);
  Play(20, "5 tap key:F11\n");
  EXPECT_TRUE(fullScreen);
  EXPECT_EQ(Play(20, ""), 1u);  // the next start: full screen from the first pass
  EXPECT_TRUE(fullScreen);
  // Alt+Enter back out: the Return decided nothing.
  EXPECT_EQ(Play(40, "5 press key:Left_Alt\n8 tap key:Return\n20 release key:Left_Alt\n"), 1u);
  EXPECT_FALSE(fullScreen);
  Play(5, "");
  EXPECT_FALSE(fullScreen);
}

TEST_F(ComfortGame, TheSystemMenuChecksSkipModeAndAutoModeWhileOn) {
  Opening(kStory);
  Play(70, "10 tap decide\n30 tap decide\n50 tap decide\n");  // read up to 四
  EXPECT_FALSE(skipChecked || autoChecked);
  Play(12, "5 tap key:A\n");
  EXPECT_TRUE(autoChecked);
  EXPECT_FALSE(skipChecked);
  Play(9, "5 tap key:Tab\n");  // passing what was read before
  EXPECT_TRUE(skipChecked);
  EXPECT_FALSE(autoChecked);
  // Skip mode ends at the first message not seen before, and its mark with it.
  Play(120, "5 tap key:Tab\n");
  EXPECT_EQ(message.substr(0, 3), "五");
  EXPECT_FALSE(skipChecked);
}

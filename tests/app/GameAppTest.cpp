// The game application driven headless through scripted input, as a player
// would drive it: the decide and direction grids, held buttons, the failure
// at start-up.
#include <gtest/gtest.h>

#include <fstream>

#include "support/AudioTestMedia.h"
#include "support/ScratchDir.h"
#include "app/GameApp.h"
#include "input/GameActions.h"
#include "msgbox/CMsgBox.h"
#include "platform/diagnostics/Debug.h"
#include "platform/diagnostics/Report.h"
#include "platform/diagnostics/Trace.h"
#include "platform/files/Files.h"
#include "platform/headless/Clock.h"
#include "platform/text/TextCodec.h"
#include "platform/window/HeadlessWindow.h"
#include "platform/window/Window.h"
#include "script/CTextFile.h"
#include "script/WordList.h"
#include "sound/CDSMusic.h"

using namespace platform;

namespace {
class GameAppTest : public ::testing::Test {
 protected:
  void SetUp() override {
    UseVirtualClock(0);
    SetDebugEcho(false);
    setenv("XDG_CONFIG_HOME", dir.Path().c_str(), 1);  // no bindings of the machine's player
  }
  void TearDown() override {
    UseRealClock();
    SetDebugEcho(true);
    SetCurrentWindow(nullptr);
  }
  // The opening script, enciphered as the game reads it.
  void Opening(const std::string& utf8Words) {
    MakeHostDirs(dir.Path() + "/GameData/Text/オープニング");
    WordList words;
    std::string cp = Utf8ToCp932Lossy(utf8Words);
    SplitWords(cp, words);
    CTextFile file(true);
    ASSERT_EQ(file.Write(SJ("GameData\\Text\\オープニング\\オープニング1.Dat"), words), S_OK);
  }
  static RunOptions Run(uint64_t frames, std::vector<ScriptedEvent> input) {
    RunOptions o;
    o.headless = true;
    o.maxFrames = frames;
    o.input = std::move(input);
    return o;
  }
  ScratchDir dir;
};

ScriptedEvent Ev(uint64_t frame, ScriptedEvent::Kind kind, const char* target = "") {
  return ScriptedEvent{frame, kind, target};
}
}  // namespace

TEST_F(GameAppTest, MissingOpeningScriptFailsStartUp) {
  GameApp app;
  app.SetRunOptions(Run(10, {}));
  EXPECT_EQ(app.Create(nullptr, 1), E_FAIL);
}

TEST_F(GameAppTest, HeldDecideStepsTheScriptEveryDecideGrid) {
  // One-byte text words type out in one logic step, so only the grid paces.
  std::string script;
  for (int i = 0; i < 40; ++i) script += "w" + std::to_string(i % 10) + " ";
  Opening(script);
  GameApp app;
  // Held from pass 10 through pass 49: 40 passes of 16 ms = 640 ms.
  app.SetRunOptions(Run(60, {Ev(10, ScriptedEvent::Press, "decide"), Ev(50, ScriptedEvent::Release, "decide")}));
  ASSERT_EQ(app.Create(nullptr, 1), S_OK);
  int start = app.MessageWindow()->Script().Position();
  app.Run();
  int steps = app.MessageWindow()->Script().Position() - start;
  // The 0.06 s grid fires every fourth 16 ms pass: about ten steps in 640 ms.
  EXPECT_GE(steps, 9);
  EXPECT_LE(steps, 11);
}

TEST_F(GameAppTest, ShortTapStepsOnceAndCancelChangesNothing) {
  Opening("a b c d e f g h");
  GameApp app;
  app.SetRunOptions(Run(60, {Ev(10, ScriptedEvent::Press, "decide"), Ev(11, ScriptedEvent::Release, "decide"),
                             Ev(30, ScriptedEvent::Press, "cancel"), Ev(32, ScriptedEvent::Release, "cancel"),
                             Ev(34, ScriptedEvent::Press, "key:B"), Ev(36, ScriptedEvent::Release, "key:B")}));
  ASSERT_EQ(app.Create(nullptr, 1), S_OK);
  int start = app.MessageWindow()->Script().Position();
  app.Run();
  // A tap shorter than the time to the next grid firing is seen only if the
  // grid fires while it is held; either way it steps at most once.
  EXPECT_LE(app.MessageWindow()->Script().Position() - start, 1);
  EXPECT_EQ(app.actionStates[ACT_CANCEL], 0);
  EXPECT_EQ(app.actionStates[ACT_DECIDE], 0);
}

TEST_F(GameAppTest, ScriptThatRunsOutStartsTheNamedScriptAndGameEndEnds) {
  Opening("one goto 二");
  WordList second;
  SplitWords(Utf8ToCp932Lossy("two three"), second);
  CTextFile file(true);
  ASSERT_EQ(file.Write(SJ("GameData\\Text\\二.Dat"), second), S_OK);
  GameApp app;
  app.SetRunOptions(Run(80, {Ev(10, ScriptedEvent::Press, "decide")}));
  ASSERT_EQ(app.Create(nullptr, 1), S_OK);
  app.Run();
  EXPECT_EQ(CMsgBox::currentScriptName, SJ("二.Dat"));
}

TEST_F(GameAppTest, FailedReopenAsksToQuitAndNoRetriesOnTheNextStep) {
  Opening("one goto 無い");  // the target does not exist
  SetHeadlessAnswer(false);
  GameApp app;
  app.SetRunOptions(Run(60, {Ev(10, ScriptedEvent::Press, "decide")}));
  ASSERT_EQ(app.Create(nullptr, 1), S_OK);
  app.Run();
  SetHeadlessAnswer(true);
  // Still running: every failed retry asked and was answered no.
  EXPECT_NE(app.GetDevice(), nullptr);
  EXPECT_EQ(app.actionStates[ACT_DECIDE], 1);
}

namespace {
void WriteEnciphered(const std::string& utf8Name, const std::string& utf8Words) {
  WordList words;
  SplitWords(Utf8ToCp932Lossy(utf8Words), words);
  CTextFile file(true);
  ASSERT_EQ(file.Write(Utf8ToCp932Lossy("GameData\\Text\\" + utf8Name), words), S_OK);
}
}  // namespace

TEST_F(GameAppTest, ContinueBeforeAnySaveExistsShowsOneBoxPerPressAndTheGameStillQuits) {
  // Each press is held for four passes: the decide grid fires exactly once.
  Opening("FontMenu { フォーマット 1 2 メニューアイテム { つづきから 1 続き } }");
  WriteEnciphered("続き.Dat", "Load セーブデータ\\セーブデータ1 続きの話");
  GameApp app;
  app.SetRunOptions(Run(200, {Ev(10, ScriptedEvent::Press, "decide"), Ev(14, ScriptedEvent::Release, "decide"),
                              Ev(40, ScriptedEvent::Press, "decide"), Ev(44, ScriptedEvent::Release, "decide"),
                              Ev(70, ScriptedEvent::Press, "decide"), Ev(74, ScriptedEvent::Release, "decide"),
                              Ev(100, ScriptedEvent::MenuQuit)}));
  ASSERT_EQ(app.Create(nullptr, 1), S_OK);
  const uint64_t before = ShownReportCount();
  app.Run();
  EXPECT_EQ(ShownReportCount() - before, 3u);  // the menu decision and two steps
  EXPECT_EQ(app.GetDevice(), nullptr);         // the quit question was asked and answered
}

TEST_F(GameAppTest, LoadMenuReachedByTheFrameLoopOpensTheLoadScreenWithoutTheQuitQuestion) {
  Opening("文 NextScriptFile ロード.Dat");
  WriteEnciphered("ロード.Dat", "LoadMenu");
  GameApp app;  // a quit question would be answered yes and end the game
  app.SetRunOptions(Run(60, {Ev(20, ScriptedEvent::Press, "decide"), Ev(24, ScriptedEvent::Release, "decide")}));
  ASSERT_EQ(app.Create(nullptr, 1), S_OK);
  app.Run();
  ASSERT_NE(app.GetDevice(), nullptr);
  EXPECT_TRUE(app.MessageWindow()->TextMenu().MenuActive());
  EXPECT_TRUE(app.MessageWindow()->Saves().LoadMode());
  // As when a step reaches LoadMenu: the script was opened again and waits.
  EXPECT_EQ(app.MessageWindow()->Script().Position(), 0u);
}

TEST_F(GameAppTest, AnOpeningThatStartsWithLoadMenuStartsAtTheLoadScreen) {
  Opening("LoadMenu");
  GameApp app;
  app.SetRunOptions(Run(5, {}));
  ASSERT_EQ(app.Create(nullptr, 1), S_OK);
  EXPECT_TRUE(app.MessageWindow()->TextMenu().MenuActive() && app.MessageWindow()->Saves().LoadMode());
}

TEST_F(GameAppTest, TextTypesAtSixtyTwoAndAHalfCharactersASecondOnASlowDisplay) {
  // Every present waits 33 ms, as on a 30 Hz display with vsync.
  Opening(std::string(600, 'x'));
  GameApp app;
  app.SetRunOptions(Run(60, {}));
  ASSERT_EQ(app.Create(nullptr, 1), S_OK);
  app.GetDevice()->SetPresentHook([] { AdvanceVirtualClock(33); });
  app.Run();
  double seconds = timeGetTime() / 1000.0;  // 60 passes of 49 ms
  double perSecond = app.MessageWindow()->Window().TypedLength() / seconds;
  EXPECT_GT(perSecond, 61.5);
  EXPECT_LT(perSecond, 63.0);
}

TEST_F(GameAppTest, MusicKeepsLoopingWhileTheKeyConfigurationScreenIsOpen) {
  dir.Write("GameData/Music/MIDI/a.mid", testmedia::Scale(250000));  // 1 s
  Opening("はじめ MIDIPlay a キーコンフィグ つぎ");
  std::string tracePath = dir.Path() + "/trace.jsonl";
  ASSERT_TRUE(trace::Open(tracePath));
  GameApp app;
  // The decide tap runs the command; the screen then stays open to the end
  // of the run, 4.5 s later.
  app.SetRunOptions(Run(300, {Ev(10, ScriptedEvent::Press, "decide"), Ev(12, ScriptedEvent::Release, "decide")}));
  ASSERT_EQ(app.Create(nullptr, 1), S_OK);
  app.Run();
  bool playing = CDSMusic::Graph() && CDSMusic::Graph()->Playing();
  trace::Close();
  std::ifstream in(tracePath);
  std::string line;
  int opened = 0, restarts = 0;
  while (std::getline(in, line)) {
    if (line.find(R"({"type":"keyconfig","event":"open"})") != std::string::npos) opened = 1;
    if (opened && line.find(R"({"type":"midi","name":"","result":0})") != std::string::npos) ++restarts;
  }
  EXPECT_EQ(opened, 1);
  EXPECT_GE(restarts, 3);
  EXPECT_TRUE(playing);
}

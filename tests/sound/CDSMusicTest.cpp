#include <gtest/gtest.h>

#include <climits>
#include <fstream>
#include <sstream>

#include "support/AudioTestMedia.h"
#include "support/ScratchDir.h"
#include "app/CD3DApp.h"
#include "platform/audio/AudioMix.h"
#include "platform/audio/AudioPump.h"
#include "platform/audio/MusicGraph.h"
#include "platform/diagnostics/Debug.h"
#include "platform/diagnostics/Report.h"
#include "platform/diagnostics/Trace.h"
#include "platform/headless/Clock.h"
#include "platform/window/Window.h"
#include "sound/CDSMusic.h"

using namespace platform;

namespace {
class CDSMusicTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetDebugEcho(false);
    dir.Write("GameData/Music/MIDI/a.mid", testmedia::Scale(250000));  // 1 s
    dir.Write("GameData/Music/MIDI/b.mid", testmedia::Scale(500000));  // 2 s
    window = Window::Create(WindowConfig{}, true);
    ASSERT_EQ(CDSMusic::InitGraph(window.get()), S_OK);
    music.SetDirectory("GameData\\Music\\MIDI\\");
    music.SetVolume(-3000);
  }
  void TearDown() override {
    CDSMusic::ReleaseGraph();
    SetDebugEcho(true);
  }
  // Runs the pump like the headless main loop, handing WM_MUSIC_EVENT to
  // the player, for `passes` passes of 16 ms.
  int RunPasses(int passes) {
    int events = 0;
    for (int i = 0; i < passes; ++i) {
      AudioPump(16);
      while (window->PeekMessage()) {
        Message m;
        window->GetMessage(m);
        if (m.msg == CDSMusic::kMusicEventMessage) {
          ++events;
          music.OnGraphEvent();
        }
      }
    }
    return events;
  }
  ScratchDir dir;
  std::unique_ptr<Window> window;
  CDSMusic music;
};

int Peak(MusicGraph& graph, double seconds) {
  std::vector<int16_t> s(static_cast<size_t>(seconds * kAudioRate) * 2);
  graph.Render(s.data(), s.size() / 2);
  int p = 0;
  for (int16_t v : s) p = std::max(p, std::abs(int(v)));
  return p;
}
}  // namespace

TEST_F(CDSMusicTest, VolumeIsClampedAndStepsCannotWrap) {
  music.SetVolume(10);
  EXPECT_EQ(music.GetVolume(), 0);
  music.SetVolume(-12000);
  EXPECT_EQ(music.GetVolume(), -10000);
  music.SetVolume(-9980);
  music.AddVolume(-50);
  EXPECT_EQ(music.GetVolume(), -10000);
  music.AddVolume(INT_MAX);
  EXPECT_EQ(music.GetVolume(), 0);
  music.AddVolume(INT_MIN);
  EXPECT_EQ(music.GetVolume(), -10000);
  CDSMusic::ReleaseGraph();
  EXPECT_EQ(music.SetVolume(-50), 0);  // nothing to apply it to
  EXPECT_EQ(music.GetVolume(), -50);
}

TEST_F(CDSMusicTest, EmptyNameBeforeAnyPieceFindsNoFile) {
  EXPECT_EQ(music.Play(""), 2);
  EXPECT_EQ(music.GetPath(), "");
  EXPECT_FALSE(CDSMusic::Graph()->Playing());
}

TEST_F(CDSMusicTest, FinishedPieceStartsAgainAtTheVolumeThenCurrent) {
  ASSERT_EQ(music.Play("a.mid"), 0);
  EXPECT_EQ(music.GetPath(), "GameData\\Music\\MIDI\\a.mid");
  EXPECT_EQ(RunPasses(60), 0);  // 0.96 s
  music.SetVolume(-10000);       // turned down to silence just before the end
  EXPECT_EQ(RunPasses(5), 1);
  EXPECT_TRUE(CDSMusic::Graph()->Playing());
  EXPECT_EQ(Peak(*CDSMusic::Graph(), 0.3), 0);  // the new round is silent: it took the current volume

  music.SetVolume(0);
  RunPasses(60);  // to the next end, after which it starts at full volume
  EXPECT_TRUE(CDSMusic::Graph()->Playing());
  EXPECT_GT(Peak(*CDSMusic::Graph(), 0.3), 1000);
}

TEST_F(CDSMusicTest, MissingFileLeavesThePiecePlayingToItsEndOnly) {
  ASSERT_EQ(music.Play("b.mid"), 0);
  RunPasses(10);
  EXPECT_EQ(music.Play("missing.mid"), 2);
  EXPECT_EQ(music.GetPath(), "GameData\\Music\\MIDI\\missing.mid");
  EXPECT_TRUE(CDSMusic::Graph()->Playing());
  EXPECT_EQ(RunPasses(120), 1);  // b.mid ends; starting "again" finds no file
  EXPECT_FALSE(CDSMusic::Graph()->Playing());
  EXPECT_EQ(RunPasses(120), 0);
}

TEST_F(CDSMusicTest, ANewPieceIsNotRestartedByTheOldPiecesEnd) {
  ASSERT_EQ(music.Play("a.mid"), 0);
  for (int i = 0; i < 64; ++i) AudioPump(16);  // a.mid ends; its message waits in the queue
  ASSERT_EQ(music.Play("b.mid"), 0);
  for (int i = 0; i < 50; ++i) AudioPump(16);  // 0.8 s into b.mid
  EXPECT_EQ(RunPasses(1), 1);                   // the stale message: no event of b.mid behind it
  EXPECT_TRUE(CDSMusic::Graph()->Playing());
  EXPECT_EQ(RunPasses(72), 0);  // to 1.968 s
  EXPECT_EQ(RunPasses(4), 1);   // b.mid ends 2 s after its start, not 2 s after the stale message
}

// b.mid's four notes begin at ticks 0, 96, 192 and 288 of 384 (192 a second).
TEST_F(CDSMusicTest, APieceStartedAtItsPlaceGoesOnFromThereAndEndsWithTheRest) {
  EXPECT_EQ(CDSMusic::Position(), -1);  // nothing plays
  music.SetVolume(0);
  ASSERT_EQ(music.Play("b.mid"), 0);
  EXPECT_EQ(CDSMusic::Position(), 0);
  RunPasses(75);  // 1.2 s
  const int32_t place = CDSMusic::Position();
  EXPECT_NEAR(place, 230, 4);
  music.Play("a.mid");
  RunPasses(10);
  ASSERT_EQ(music.PlayFrom("b.mid", place), 0);
  EXPECT_EQ(CDSMusic::Position(), place);  // before a sample is made
  // The note that began before the place does not sound again; the next does.
  EXPECT_EQ(Peak(*CDSMusic::Graph(), 0.25), 0);
  EXPECT_GT(Peak(*CDSMusic::Graph(), 0.2), 1000);
  EXPECT_NEAR(CDSMusic::Position(), place + 86, 4);
  // It ends when the rest of it has played, and starts again from its beginning.
  EXPECT_EQ(RunPasses(20), 0);  // to 0.77 s after the place: 0.03 s are left
  EXPECT_EQ(RunPasses(5), 1);
  EXPECT_LT(CDSMusic::Position(), 20);
}

TEST_F(CDSMusicTest, StateAndPlaysAreTraced) {
  std::string tracePath = dir.Path() + "/trace.jsonl";
  ASSERT_TRUE(trace::Open(tracePath));
  music.Play("a.mid");
  music.PlayFrom("b.mid", 0);
  music.PlayFrom("b.mid", 50);
  music.Play("none.mid");
  trace::EndFrame(0, 0);
  trace::Close();
  std::ifstream in(tracePath);
  std::stringstream text;
  text << in.rdbuf();
  const std::string& t = text.str();
  EXPECT_NE(t.find(R"({"type":"midi","name":"a.mid","result":0})"), std::string::npos) << t;
  // A place only where there is one.
  EXPECT_NE(t.find(R"({"type":"midi","name":"b.mid","result":0})"), std::string::npos) << t;
  EXPECT_NE(t.find(R"({"type":"midi","name":"b.mid","result":0,"at":50})"), std::string::npos) << t;
  EXPECT_NE(t.find(R"({"type":"midi","name":"none.mid","result":2})"), std::string::npos);
  EXPECT_NE(t.find(R"("music":{"path":"GameData\\Music\\MIDI\\none.mid","volume":-3000,"playing":true})"),
            std::string::npos);
}

namespace {
// The framework's loop with a player wired as the game wires it.
class MusicApp : public CD3DApp {
 public:
  HRESULT SetupScene() override {
    CDSMusic::InitGraph(GetWindow());
    player = std::make_unique<CDSMusic>();
    player->SetDirectory("GameData\\Music\\MIDI\\");
    player->SetVolume(-3000);
    return S_OK;
  }
  HRESULT StartScene() override { return player->Play("a.mid") == 0 ? S_OK : E_FAIL; }
  HRESULT ReleaseScene() override {
    CDSMusic::ReleaseGraph();
    player.reset();
    return S_OK;
  }
  LRESULT HandleMessage(HWND hwnd, uint32_t msg, uintptr_t w, intptr_t l) override {
    if (msg == WM_MUSIC_EVENT) {
      ++musicEvents;
      player->OnGraphEvent();
      return 0;
    }
    return CD3DApp::HandleMessage(hwnd, msg, w, l);
  }
  std::unique_ptr<CDSMusic> player;
  int musicEvents = 0;
};
}  // namespace

TEST(CDSMusicHeadless, TheMainLoopAdvancesAndLoopsThePieceOnTheVirtualClock) {
  SetDebugEcho(false);
  ScratchDir dir;
  dir.Write("GameData/Music/MIDI/a.mid", testmedia::Scale(250000));  // 1 s
  UseVirtualClock(0);
  {
    MusicApp app;
    RunOptions o;
    o.headless = true;
    o.maxFrames = 200;  // 3.2 s: the piece ends three times
    app.SetRunOptions(o);
    ASSERT_EQ(app.Create(nullptr, 1), S_OK);
    app.Run();
    EXPECT_EQ(app.musicEvents, 3);
    EXPECT_TRUE(CDSMusic::Graph()->Playing());
    app.ReleaseScene();
  }
  UseRealClock();
  SetCurrentWindow(nullptr);
  SetDebugEcho(true);
}

// A file the synthesiser's player gives up on after reading its first
// track (a running status with nothing before it to repeat): the piece ends
// at once. It used to count as finished and start again on every logic
// step; now it is reported once, on the debug output and in the trace, with
// no box, and left alone, also when the script asks for it again.
TEST_F(CDSMusicTest, APieceThatEndsAtOnceIsReportedOnceAndNotStartedAgain) {
  auto track = [](const std::string& events) {
    std::string t = "MTrk";
    testmedia::Be(t, uint32_t(events.size()), 4);
    return t + events;
  };
  std::string file = "MThd";
  testmedia::Be(file, 6, 4);
  testmedia::Be(file, 1, 2);
  testmedia::Be(file, 2, 2);
  testmedia::Be(file, 96, 2);
  file += track(std::string("\x00\xFF\x51\x03\x07\xA1\x20\x81\x40\xFF\x2F\x00", 12));  // tempo; ends at 192
  file += track(std::string("\x00\x3C\x60\x81\x40\x3C\x00\x00\xFF\x2F\x00", 11));
  dir.Write("GameData/Music/MIDI/bad.mid", file);
  std::string tracePath = dir.Path() + "/trace.jsonl";
  ASSERT_TRUE(trace::Open(tracePath));
  const uint64_t boxes = ShownReportCount();
  EXPECT_EQ(music.Play("bad.mid"), 0);
  RunPasses(30);
  music.Play("bad.mid");
  RunPasses(30);
  trace::EndFrame(0, 0);
  trace::Close();
  EXPECT_EQ(ShownReportCount(), boxes);
  std::ifstream in(tracePath);
  std::stringstream text;
  text << in.rdbuf();
  const std::string& t = text.str();
  auto count = [&t](const std::string& what) {
    size_t n = 0;
    for (size_t at = t.find(what); at != std::string::npos; at = t.find(what, at + 1)) ++n;
    return n;
  };
  EXPECT_EQ(count(R"({"type":"midi")"), 2u) << t;  // the script's two plays, no more
  EXPECT_EQ(count(R"({"type":"report","unit":"CDSMusic")"), 1u) << t;
  EXPECT_NE(t.find(R"("subject":"bad.mid")"), std::string::npos) << t;
  EXPECT_NE(t.find(R"("playing":false)"), std::string::npos);
}

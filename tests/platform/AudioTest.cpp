#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <future>
#include <thread>
#include <vector>

#include "support/AudioTestMedia.h"
#include "support/ScratchDir.h"
#include "app/CD3DApp.h"
#include "platform/audio/AudioMix.h"
#include "platform/audio/AudioPerformance.h"
#include "platform/audio/AudioPump.h"
#include "platform/audio/AudioSegment.h"
#include "platform/audio/MusicGraph.h"
#include "platform/diagnostics/Debug.h"
#include "platform/headless/Clock.h"

using namespace platform;

namespace {
const char* kPiece = "GameData\\Music\\MIDI\\scale.mid";

std::vector<int16_t> Pull(MusicGraph& graph, double seconds) {
  std::vector<int16_t> out(static_cast<size_t>(seconds * kAudioRate) * 2);
  graph.Render(out.data(), out.size() / 2);
  return out;
}

double Rms(const std::vector<int16_t>& s) {
  double sum = 0;
  for (int16_t v : s) sum += double(v) * v;
  return std::sqrt(sum / s.size());
}

int Peak(const std::vector<int16_t>& s) {
  int p = 0;
  for (int16_t v : s) p = std::max(p, std::abs(int(v)));
  return p;
}

class MusicGraphTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetDebugEcho(false);
    dir.Write("GameData/Music/MIDI/scale.mid", testmedia::Scale(250000));  // 1 s long
  }
  void TearDown() override { SetDebugEcho(true); }
  ScratchDir dir;
};
}  // namespace

TEST(AudioGain, HundredthsOfADecibelBecomeGains) {
  EXPECT_FLOAT_EQ(DecibelGain(0), 1.0f);
  EXPECT_NEAR(DecibelGain(-600), 0.50119f, 1e-5);
  EXPECT_NEAR(DecibelGain(1000), 3.16228f, 1e-5);
  EXPECT_EQ(DecibelGain(-10000), 0.0f);
  EXPECT_EQ(DecibelGain(-20000), 0.0f);
}

// The music bus's curve: the design's volumes in order, full volume as it
// is, the title's default a few dB under it, fades ending 50 dB down, and
// every fade step (50) a small change; silence at -10000.
TEST(AudioGain, TheMusicCurveKeepsTheOrderOfVolumesAndEndsInSilence) {
  EXPECT_EQ(MusicVolumeDb(0), 0.0);
  EXPECT_NEAR(MusicVolumeDb(-3000), -kMusicDefaultDrop, 1e-9);
  EXPECT_NEAR(MusicVolumeDb(-5000), -50.0, 1e-9);
  for (int32_t v = -9950; v <= 0; v += 50) {
    EXPECT_GT(MusicVolumeDb(v), MusicVolumeDb(v - 50)) << v;
    EXPECT_LT(MusicVolumeDb(v) - MusicVolumeDb(v - 50), v > -5000 ? 2.5 : 3.0) << v;
  }
  EXPECT_EQ(MusicVolumeGain(-10000), 0.0f);
  EXPECT_EQ(MusicVolumeGain(0), 1.0f);
  // A piece 12 dB under the target is raised by 12 dB; the correction has bounds.
  EXPECT_NEAR(LoudnessGain(kMusicFullLoudness - 12.0), 3.981f, 1e-3);
  EXPECT_NEAR(LoudnessGain(-200.0), DecibelGain(2400), 1e-3);
  EXPECT_NEAR(LoudnessGain(60.0), DecibelGain(-4000), 1e-6);
  EXPECT_EQ(LoudnessGain(-HUGE_VAL), 1.0f);
  EXPECT_EQ(LoudnessGain(NAN), 1.0f);
}

TEST(AudioGain, AmplifiedSamplesSaturateInsteadOfWrapping) {
  std::vector<int16_t> s = {20000, -20000, 1000, -1000, 32767, -32768};
  ScaleSamples(s.data(), s.size(), DecibelGain(1000));
  EXPECT_EQ(s, (std::vector<int16_t>{32767, -32768, 3162, -3162, 32767, -32768}));
}

// A fresh graph renders a piece the same way every time (a reused one starts
// it at another phase of its internal blocks and effects).
std::vector<int16_t> RenderFresh(int32_t volume, double seconds) {
  MusicGraph graph;
  graph.SetVolume(volume);
  EXPECT_TRUE(graph.Play(kPiece));
  return Pull(graph, seconds);
}

TEST_F(MusicGraphTest, PulledPieceSoundsAndVolumeScalesItExactly) {
  MusicGraph idle;
  std::vector<int16_t> before(1024 * 2, 123);
  idle.Render(before.data(), 1024);
  EXPECT_EQ(Peak(before), 0);  // nothing plays yet: silence

  std::vector<int16_t> full = RenderFresh(0, 0.5);
  EXPECT_GT(Peak(full), 1000) << "soundfont " << idle.SoundFontPath();
  double ratio = Rms(RenderFresh(-600, 0.5)) / Rms(full);
  EXPECT_NEAR(ratio, 0.5, 0.005);
  EXPECT_NEAR(ratio, DecibelGain(-600), 0.001);
  EXPECT_EQ(Peak(RenderFresh(-10000, 0.5)), 0);
}

// VANTOREL_SOUNDFONT naming a file that is missing, or no soundfont, or one
// that looks like one but does not load: the music plays with the next
// soundfont in order (it used to be silent while counting as playing).
TEST_F(MusicGraphTest, ASoundFontThatCannotBeUsedIsPassedOverForTheNext) {
  const char* given = std::getenv("VANTOREL_SOUNDFONT");
  const std::string saved = given ? given : "";
  unsetenv("VANTOREL_SOUNDFONT");
  const std::string installed = ChooseSoundFont();
  if (installed.empty()) GTEST_SKIP() << "no soundfont installed";
  dir.Write("fonts/text.sf2", "not a soundfont at all");
  dir.Write("fonts/cut.sf2", std::string("RIFF\x10\0\0\0sfbkLIST", 16));
  const std::string fonts = dir.Path() + "/fonts/";
  for (const std::string& named : {fonts + "missing.sf2", fonts + "text.sf2", fonts + "cut.sf2"}) {
    setenv("VANTOREL_SOUNDFONT", named.c_str(), 1);
    std::string passedOver;
    const std::string chosen = ChooseSoundFont(&passedOver);
    const bool looksRight = named.find("cut") != std::string::npos;
    EXPECT_EQ(chosen, looksRight ? named : installed) << named;
    EXPECT_EQ(passedOver.find(named) != std::string::npos, !looksRight) << passedOver;
    EXPECT_GT(Peak(RenderFresh(0, 0.5)), 1000) << named;
  }
  if (saved.empty()) {
    unsetenv("VANTOREL_SOUNDFONT");
  } else {
    setenv("VANTOREL_SOUNDFONT", saved.c_str(), 1);
  }
}

TEST_F(MusicGraphTest, EndOfPieceIsSeenWhenItsLastTickIsReached) {
  MusicGraph graph;
  ASSERT_TRUE(graph.Play(kPiece));
  int code = 0;
  size_t frames = 0;
  std::vector<int16_t> block(64 * 2);
  while (!graph.GetEvent(code) && frames < size_t(kAudioRate) * 2) {
    graph.Render(block.data(), 64);
    frames += 64;
  }
  EXPECT_EQ(code, MusicGraph::kComplete);
  // 384 ticks at 96 per quarter and 0.25 s per quarter: 1 s, to the block.
  EXPECT_NEAR(double(frames) / kAudioRate, 1.0, 0.005);
  EXPECT_FALSE(graph.Playing());
  EXPECT_FALSE(graph.GetEvent(code));  // once only
  Pull(graph, 6.0);                     // the release tail ends; silence after it
  EXPECT_EQ(Peak(Pull(graph, 0.1)), 0);
}

// Frames until the piece's end event, moved on in 64-frame blocks by
// rendering or by advancing without samples.
size_t FramesToEnd(bool advance) {
  MusicGraph graph;
  EXPECT_TRUE(graph.Play(kPiece));
  int code = 0;
  size_t frames = 0;
  std::vector<int16_t> block(64 * 2);
  while (!graph.GetEvent(code) && frames < size_t(kAudioRate) * 4) {
    if (advance)
      graph.Advance(64);
    else
      graph.Render(block.data(), 64);
    frames += 64;
  }
  EXPECT_EQ(code, MusicGraph::kComplete);
  return frames;
}

TEST_F(MusicGraphTest, AdvancingWithoutSamplesEndsThePieceOnTheSameFrameAsRendering) {
  EXPECT_EQ(FramesToEnd(true), FramesToEnd(false));
  // A slower piece (its tempo comes from the player's meta events, which
  // must still be read while notes are dropped) ends later, alike in both.
  dir.Write("GameData/Music/MIDI/scale.mid", testmedia::Scale(500000));
  const size_t slow = FramesToEnd(true);
  EXPECT_EQ(slow, FramesToEnd(false));
  EXPECT_NEAR(double(slow) / kAudioRate, 2.0, 0.005);
}

TEST_F(MusicGraphTest, RenderingAfterAdvancingSoundsAgainWithItsEffects) {
  MusicGraph graph;
  ASSERT_TRUE(graph.Play(kPiece));
  graph.Advance(kAudioRate / 4);
  // Notes dropped while advancing do not sound later; the next ones do.
  std::vector<int16_t> later = Pull(graph, 0.5);
  EXPECT_GT(Peak(later), 1000);
  // The piece started again after advancing sounds as on a fresh graph,
  // its reverberation after the last note included: the effects were
  // switched back on.
  ASSERT_TRUE(graph.Play(kPiece));
  graph.Advance(64);
  ASSERT_TRUE(graph.Play(kPiece));
  std::vector<int16_t> again = Pull(graph, 2.0), fresh = RenderFresh(0, 2.0);
  auto tail = [](const std::vector<int16_t>& s) {
    return Rms(std::vector<int16_t>(s.begin() + kAudioRate * 2 * 12 / 10, s.end()));  // 1.2 s on
  };
  EXPECT_NEAR(tail(again) / tail(fresh), 1.0, 0.1);
}

TEST_F(MusicGraphTest, BadFilesLeaveTheCurrentPieceOrAbort) {
  dir.Write("GameData/Music/MIDI/text.mid", "this is no MIDI file");
  dir.Write("GameData/Music/MIDI/cut.mid", std::string("MThd\0\0\0\6\0\0\0\1\0\x60MTrk\0\0\1\0\x90", 23));
  MusicGraph graph;
  ASSERT_TRUE(graph.Play(kPiece));
  EXPECT_FALSE(graph.Play("GameData\\Music\\MIDI\\text.mid"));
  EXPECT_FALSE(graph.Play("GameData\\Music\\MIDI\\none.mid"));
  EXPECT_TRUE(graph.Playing());

  ASSERT_TRUE(graph.Play("GameData\\Music\\MIDI\\cut.mid"));  // looks like MIDI, cannot be read
  Pull(graph, 0.1);
  int code = 0;
  ASSERT_TRUE(graph.GetEvent(code));
  EXPECT_EQ(code, MusicGraph::kErrorAbort);  // not a completion: nothing restarts it
  EXPECT_FALSE(graph.Playing());
}

// The device's render never waits for the soundfont (it holds the device's
// lock, which effects need): silence until the load is done, then the piece.
TEST_F(MusicGraphTest, TheDeviceRenderGivesSilenceWhileTheSoundFontLoads) {
  // A soundfont that cannot be read until we say so: a FIFO blocks its reader.
  std::string fifo = dir.Path() + "/slow.sf2";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  setenv("VANTOREL_SOUNDFONT", fifo.c_str(), 1);
  {
    MusicGraph blocked;
    ASSERT_TRUE(blocked.Play(kPiece));
    auto render = std::async(std::launch::async, [&blocked] {
      std::vector<int16_t> out(2048 * 2, 77);
      blocked.Render(out.data(), 2048, false);
      return Peak(out);
    });
    bool returned = render.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
    // Let the loader go (it reads an empty file and gives up) before judging.
    int fd = open(fifo.c_str(), O_WRONLY);
    if (fd >= 0) close(fd);
    ASSERT_TRUE(returned) << "the device render waited for the soundfont";
    EXPECT_EQ(render.get(), 0);
    EXPECT_TRUE(blocked.Playing());
  }
  unsetenv("VANTOREL_SOUNDFONT");

  MusicGraph graph;
  ASSERT_TRUE(graph.Play(kPiece));
  std::vector<int16_t> out(1024 * 2);
  int peak = 0;
  for (int i = 0; i < 2000 && peak < 1000; ++i) {  // blocks of 23 ms: the load takes well under 46 s
    graph.Render(out.data(), 1024, false);
    peak = std::max(peak, Peak(out));
    if (peak == 0) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  EXPECT_GE(peak, 1000) << "the piece starts once the soundfont is in";
}

TEST_F(MusicGraphTest, RmidFilesAreUnwrapped) {
  std::string smf = testmedia::Scale(250000);
  std::string riff = "RIFF";
  testmedia::Le(riff, uint32_t(4 + 8 + smf.size()), 4);
  riff += "RMIDdata";
  testmedia::Le(riff, uint32_t(smf.size()), 4);
  dir.Write("GameData/Music/MIDI/wrapped.mid", riff + smf);
  MusicGraph graph;
  graph.SetVolume(0);
  ASSERT_TRUE(graph.Play("GameData\\Music\\MIDI\\wrapped.mid"));
  EXPECT_GT(Peak(Pull(graph, 0.3)), 1000);
}

TEST_F(MusicGraphTest, PumpAdvancesMusicOnTheNullOutputWithTheClock) {
  UseVirtualClock(5000);
  AudioPerformance performance;
  ASSERT_EQ(performance.InitAudio(true), S_OK);
  EXPECT_FALSE(performance.HasDevice());
  MusicGraph graph;
  int notified = 0;
  graph.SetNotify([&] { ++notified; });
  AudioPumpToClock();  // the first call only starts counting
  ASSERT_TRUE(graph.Play(kPiece));
  for (int pass = 0; pass < 62; ++pass) {  // 0.992 s
    AdvanceVirtualClock(16);
    AudioPumpToClock();
  }
  EXPECT_EQ(notified, 0);
  AdvanceVirtualClock(16);
  AudioPumpToClock();
  EXPECT_EQ(notified, 1);
  int code = 0;
  EXPECT_TRUE(graph.GetEvent(code));
  EXPECT_EQ(code, MusicGraph::kComplete);
  UseRealClock();
}

namespace {
class AudioChannels : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    SetDebugEcho(false);
    dir.Write("GameData/Music/SE/tone.wav", testmedia::SineWav(2.0));
    ASSERT_EQ(performance.InitAudio(false), S_OK);
    if (!performance.HasDevice()) GTEST_SKIP() << "no audio device, not even the dummy one";
  }
  void TearDown() override {
    performance.CloseDown();
    SetDebugEcho(true);
  }
  ScratchDir dir;
  AudioPerformance performance;
  AudioLoader loader;
};
}  // namespace

TEST_F(AudioChannels, EveryPlayMixesOverTheOthersAndChannelsGrowToTheCap) {
  AudioSegmentPtr tone;
  ASSERT_EQ(loader.LoadSegment("GameData\\Music\\SE\\tone.wav", tone), S_OK);
  ASSERT_EQ(tone->Download(performance), S_OK);
  AudioSegmentStatePtr first, second;
  ASSERT_EQ(performance.PlaySegment(*tone, AudioPerformance::kSecondary, nullptr, first), S_OK);
  ASSERT_EQ(performance.PlaySegment(*tone, AudioPerformance::kSecondary, nullptr, second), S_OK);
  EXPECT_TRUE(first->Playing());
  EXPECT_TRUE(second->Playing());
  EXPECT_EQ(performance.PlayingVoices(), 2);

  AudioSegmentStatePtr last;
  for (int i = 0; i < 298; ++i) performance.PlaySegment(*tone, AudioPerformance::kSecondary, nullptr, last);
  EXPECT_EQ(performance.Channels(), 256);
  EXPECT_EQ(performance.PlayingVoices(), 256);
  EXPECT_FALSE(first->Playing());  // the oldest plays gave way
  EXPECT_TRUE(last->Playing());
}

TEST_F(AudioChannels, APrimaryPlayReplacesThePreviousPrimary) {
  AudioSegmentPtr tone;
  ASSERT_EQ(loader.LoadSegment("GameData\\Music\\SE\\tone.wav", tone), S_OK);
  AudioSegmentStatePtr a, b;
  ASSERT_EQ(performance.PlaySegment(*tone, 0, nullptr, a), S_OK);
  ASSERT_EQ(performance.PlaySegment(*tone, 0, nullptr, b), S_OK);
  EXPECT_FALSE(a->Playing());
  EXPECT_TRUE(b->Playing());
}

TEST_F(AudioChannels, DestroyingAPathStopsItsSounds) {
  AudioSegmentPtr tone;
  ASSERT_EQ(loader.LoadSegment("GameData\\Music\\SE\\tone.wav", tone), S_OK);
  std::unique_ptr<AudioPath> path;
  ASSERT_EQ(performance.CreateStandardAudioPath(path), S_OK);
  AudioSegmentStatePtr onPath, onDefault;
  performance.PlaySegment(*tone, AudioPerformance::kSecondary, path.get(), onPath);
  performance.PlaySegment(*tone, AudioPerformance::kSecondary, nullptr, onDefault);
  path.reset();
  EXPECT_FALSE(onPath->Playing());
  EXPECT_TRUE(onDefault->Playing());
}

// The output goes to the first performance; one opened beside it plays on
// the null output (silent plays, no channels) and leaves the device alone,
// and once the first closes the device is free for the next.
TEST_F(AudioChannels, ASecondPerformancePlaysSilentlyUntilTheOutputIsFree) {
  AudioSegmentPtr tone;
  ASSERT_EQ(loader.LoadSegment("GameData\\Music\\SE\\tone.wav", tone), S_OK);
  AudioSegmentStatePtr loud, quiet;
  ASSERT_EQ(performance.PlaySegment(*tone, AudioPerformance::kSecondary, nullptr, loud), S_OK);
  {
    AudioPerformance second;
    ASSERT_EQ(second.InitAudio(false), S_OK);
    EXPECT_FALSE(second.HasDevice());
    ASSERT_EQ(second.PlaySegment(*tone, AudioPerformance::kSecondary, nullptr, quiet), S_OK);
    EXPECT_FALSE(quiet->Playing());
    EXPECT_EQ(second.Channels(), 0);
    EXPECT_EQ(second.PlayingVoices(), 0);
    second.CloseDown();
  }
  EXPECT_TRUE(loud->Playing());  // the second one's close left the device open
  EXPECT_EQ(performance.PlayingVoices(), 1);
  performance.CloseDown();
  EXPECT_FALSE(loud->Playing());
  AudioPerformance next;
  ASSERT_EQ(next.InitAudio(false), S_OK);
  EXPECT_TRUE(next.HasDevice());
  next.CloseDown();
}

TEST(AudioLoader, DecodesToStereoAtTheOutputRateAndRefusesOtherFiles) {
  SetDebugEcho(false);
  ScratchDir dir;
  dir.Write("mono.wav", testmedia::SineWav(0.5, 22050, 1));
  dir.Write("bad.wav", "RIFF....WAVEjunk");
  AudioLoader loader;
  AudioSegmentPtr seg;
  ASSERT_EQ(loader.LoadSegment("mono.wav", seg), S_OK);
  EXPECT_NEAR(double(seg->Frames()), 0.5 * kAudioRate, 8);
  int64_t length = 0;
  seg->GetLength(length);
  EXPECT_EQ(length, int64_t(seg->Frames()));
  EXPECT_EQ(loader.LoadSegment("missing.wav", seg), DMUS_E_LOADER_FAILEDOPEN);
  EXPECT_FALSE(seg);
  EXPECT_TRUE(FAILED(loader.LoadSegment("bad.wav", seg)));
  EXPECT_TRUE(FAILED(loader.SetSearchDirectory(dir.Path() + "/nowhere")));
  SetDebugEcho(true);
}

namespace {
class AudioApp : public CD3DApp {
 public:
  using CD3DApp::dmAudioPath;
  using CD3DApp::dmComposer;
  using CD3DApp::dmLoader;
  using CD3DApp::dmNotificationEvent;
  using CD3DApp::dmPerformance;
};
}  // namespace

TEST(FrameworkAudio, HeadlessCreateMakesTheFiveObjectsOnTheNullOutputAndCloseReleasesThem) {
  UseVirtualClock(0);
  {
    AudioApp app;
    RunOptions o;
    o.headless = true;
    o.maxFrames = 5;
    o.input = {{2, ScriptedEvent::Close, ""}};
    app.SetRunOptions(o);
    ASSERT_EQ(app.Create(nullptr, 1), S_OK);
    ASSERT_NE(app.dmPerformance, nullptr);
    EXPECT_FALSE(app.dmPerformance->HasDevice());
    EXPECT_NE(app.dmLoader, nullptr);
    EXPECT_NE(app.dmAudioPath, nullptr);
    EXPECT_NE(app.dmComposer, nullptr);
    EXPECT_EQ(app.dmPerformance->NotificationHandle(), app.dmNotificationEvent);
    app.Run();
    EXPECT_EQ(app.dmPerformance, nullptr);
    EXPECT_EQ(app.dmLoader, nullptr);
    EXPECT_EQ(app.dmAudioPath, nullptr);
  }
  UseRealClock();
  SetCurrentWindow(nullptr);
}

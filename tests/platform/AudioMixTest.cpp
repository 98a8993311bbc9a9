// The mix as it leaves the engine: levels of the music and effect buses at
// the game's default volumes, the volume relations at the output, and the
// limiter on the sum. The output is SDL's disk driver, which writes exactly
// what a sound card would get to a file (at a block per millisecond).
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <thread>
#include <vector>

#include "support/AudioTestMedia.h"
#include "support/ScratchDir.h"
#include "platform/audio/AudioMix.h"
#include "platform/audio/AudioPerformance.h"
#include "platform/audio/AudioSegment.h"
#include "platform/diagnostics/Debug.h"
#include "platform/text/TextCodec.h"
#include "sound/CDMMusic.h"
#include "sound/CDSMusic.h"

using namespace platform;

namespace {
double Db(double x) { return 20.0 * std::log10(x); }

double Rms(const float* s, size_t n) {
  double sum = 0;
  for (size_t i = 0; i < n; ++i) sum += double(s[i]) * s[i];
  return std::sqrt(sum / double(n));
}
double Rms(const std::vector<float>& s) { return Rms(s.data(), s.size()); }

float Peak(const std::vector<float>& s) {
  float p = 0;
  for (float v : s) p = std::max(p, std::fabs(v));
  return p;
}

const float kKnee = DecibelGain(MixLimiter::kKnee);
const float kCeiling = DecibelGain(MixLimiter::kCeiling);

// A mono 16-bit WAV holding one value throughout: what sums the fastest.
std::string ConstantWav(double seconds, int16_t value) {
  std::string w = testmedia::SineWav(seconds, 44100, 1, 0.0);
  for (size_t i = 44; i + 1 < w.size(); i += 2) {
    w[i] = char(value & 0xFF);
    w[i + 1] = char((value >> 8) & 0xFF);
  }
  return w;
}

class DiskOutputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetDebugEcho(false);
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);
    setenv("SDL_DISKAUDIODELAY", "1", 1);  // ms per block: some 20 times faster than real time
  }
  void TearDown() override {
    performance.CloseDown();
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    unsetenv("SDL_DISKAUDIOFILE");
    unsetenv("SDL_DISKAUDIODELAY");
    SetDebugEcho(true);
  }

  // Opens the output and an effect player on it at the game's volumes.
  void Open() {
    ASSERT_EQ(performance.InitAudio(false), S_OK);
    if (!performance.HasDevice()) GTEST_SKIP() << "SDL's disk audio driver is not available";
    effects = std::make_unique<CDMMusic>();
    effects->Init(&performance, &loader, nullptr, nullptr, nullptr);
    effects->SetMasterVolume(1000);
  }
  void Effect(const std::string& file, const std::string& bytes) {
    dir.Write("GameData/Music/SE/" + file, bytes);
    ASSERT_EQ(effects->LoadSegment(file, file, 1, 0, 0, 0), S_OK);
  }
  // A sound of the demo game, made by its tool; false when the tool is not built.
  bool DemoSound(const std::string& name, const std::string& relative) {
    dir.Write(relative, "");
    std::string command = std::string(VANTOREL_BINARY_DIR) + "/vantorel-makesound " + name + " '" + dir.Path() +
                          "/" + relative + "' >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
  }

  // Lets the output run until `seconds` have been written from its first
  // sound on, closes it and returns those samples (stereo floats).
  std::vector<float> Take(double seconds) {
    size_t need = size_t(seconds * kAudioRate) * 2;
    std::vector<float> all;
    size_t first = std::numeric_limits<size_t>::max();
    int fd = open(file.c_str(), O_RDONLY);
    off_t at = 0;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    std::vector<float> buffer(16384);
    while (fd >= 0 && std::chrono::steady_clock::now() < deadline) {
      ssize_t got = pread(fd, buffer.data(), buffer.size() * sizeof(float), at);
      if (got >= ssize_t(sizeof(float))) {
        size_t n = size_t(got) / sizeof(float);
        at += off_t(n * sizeof(float));
        for (size_t i = 0; i < n; ++i) {
          if (first == std::numeric_limits<size_t>::max() && buffer[i] != 0.0f) first = (all.size() + i) & ~size_t(1);
        }
        all.insert(all.end(), buffer.begin(), buffer.begin() + std::ptrdiff_t(n));
        if (first != std::numeric_limits<size_t>::max() && all.size() >= first + need) break;
      } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      }
    }
    if (fd >= 0) close(fd);
    performance.CloseDown();
    if (first == std::numeric_limits<size_t>::max() || all.size() < first + need) {
      ADD_FAILURE() << "the output gave " << all.size() / 2 << " frames, none or too few of them sound";
      return {};
    }
    return std::vector<float>(all.begin() + std::ptrdiff_t(first), all.begin() + std::ptrdiff_t(first + need));
  }

  ScratchDir dir;
  std::string file = dir.Path() + "/output.raw";
  AudioPerformance performance;
  AudioLoader loader;
  std::unique_ptr<CDMMusic> effects;
};
}  // namespace

TEST(MixLimiter, IsTheIdentityBelowTheKneeAndNeverReachesFullScale) {
  MixLimiter limiter;
  std::vector<float> quiet(4410 * 2);
  for (size_t i = 0; i < quiet.size(); ++i) quiet[i] = 0.99f * kKnee * std::sin(0.05f * float(i));
  std::vector<float> out = quiet;
  limiter.Process(out.data(), out.size() / 2);
  EXPECT_EQ(out, quiet);  // bit for bit

  const float inf = std::numeric_limits<float>::infinity();
  std::vector<float> loud = {0.8f, -1.0f, 1.0f, 1.5f, -10.0f, 1e6f, 3e38f, -3e38f, inf, -inf, NAN, 0.5f};
  std::vector<float> limited = loud;
  limiter.Process(limited.data(), limited.size() / 2);
  for (size_t i = 0; i < loud.size(); ++i) {
    EXPECT_LE(std::fabs(limited[i]), kCeiling) << loud[i];
    if (std::isnan(loud[i])) {
      EXPECT_EQ(limited[i], 0.0f);
    } else {
      EXPECT_EQ(std::signbit(limited[i]), std::signbit(loud[i])) << loud[i];  // nothing wraps
    }
  }
  // The curve rises with its input and is bent only a little just over the knee.
  EXPECT_NEAR(limiter.Curve(kKnee * 1.01f), kKnee * 1.01f, 1e-4f);
  EXPECT_LT(limiter.Curve(2.0f), limiter.Curve(4.0f));
  EXPECT_LT(limiter.Curve(1e30f), 1.0f);

  // Even after that the gain comes back: a sound at half the knee passes as
  // it is again within 1.5 s.
  std::vector<float> half(quiet.size());
  for (size_t i = 0; i < half.size(); ++i) half[i] = quiet[i] * 0.5f;
  for (int block = 0; block < 15; ++block) {
    out = half;
    limiter.Process(out.data(), out.size() / 2);
  }
  out = half;
  limiter.Process(out.data(), out.size() / 2);
  EXPECT_EQ(out, half);
}

TEST(MixLimiter, SilentBlocksAreSkippedOnlyWhenTheGainIsAtRest) {
  // A loud block, silence, a block just over the knee: processed in blocks
  // as the device hands them or all at once, the output is the same, so
  // the release still runs through the silence after a loud block.
  const size_t n = 1024;
  std::vector<float> all;
  for (size_t i = 0; i < n; ++i) all.insert(all.end(), 2, (i % 2 ? 1.0f : -1.0f) * 2.5f);
  all.insert(all.end(), 2 * n, 0.0f);
  for (size_t i = 0; i < n; ++i) all.insert(all.end(), 2, (i % 2 ? 1.0f : -1.0f) * 0.8f);
  std::vector<float> blocks = all;
  platform::MixLimiter whole, byBlock;
  whole.Process(all.data(), 3 * n);
  for (int b = 0; b < 3; ++b) byBlock.Process(blocks.data() + 2 * n * b, n);
  EXPECT_EQ(all, blocks);
  EXPECT_LT(std::fabs(all[4 * n]), 0.8f);  // still held down on entering the third block
  // At rest, silence stays silence, and sound afterwards is limited as on a fresh limiter.
  platform::MixLimiter rested, fresh;
  std::vector<float> silence(2 * n, 0.0f), a(all.begin() + 4 * n, all.end()), b = a;
  rested.Process(silence.data(), n);
  EXPECT_TRUE(std::all_of(silence.begin(), silence.end(), [](float v) { return v == 0.0f; }));
  rested.Process(a.data(), n);
  fresh.Process(b.data(), n);
  EXPECT_EQ(a, b);
}

TEST_F(DiskOutputTest, TheTitleMusicAtItsDefaultVolumeSitsInTheListeningBand) {
  Open();
  if (!DemoSound("school-theme", "GameData/Music/MIDI/School.mid")) GTEST_SKIP() << "vantorel-makesound not built";
  CDSMusic::InitGraph(nullptr);
  {
    CDSMusic music;  // at its own default, -3000
    music.SetDirectory("GameData\\Music\\MIDI\\");
    ASSERT_EQ(music.Play("School.mid"), 0);
    std::vector<float> out = Take(30.0);  // the quiet first part and the start of the fuller second
    ASSERT_FALSE(out.empty());
    // Between -32 and -14 dBFS over any 3 s, and the limiter left alone.
    const size_t window = 3 * kAudioRate * 2, step = kAudioRate;
    for (size_t at = 0; at + window <= out.size(); at += step) {
      double rms = Db(Rms(out.data() + at, window));
      EXPECT_GE(rms, -32.0) << "3 s from " << double(at) / (2 * kAudioRate) << " s";
      EXPECT_LE(rms, -14.0) << "3 s from " << double(at) / (2 * kAudioRate) << " s";
    }
    EXPECT_LT(Peak(out), kKnee);
  }
  CDSMusic::ReleaseGraph();
}

// The music bus: every piece comes to one loudness at full volume, lower
// volumes keep their order along the bus's curve, and the player's music
// level is an exact gain on top.
TEST_F(DiskOutputTest, PiecesOfDifferentLoudnessComeOutAlikeAndVolumesKeepTheirOrder) {
  dir.Write("GameData/Music/MIDI/soft.mid", testmedia::Scale(250000, 50));
  dir.Write("GameData/Music/MIDI/loud.mid", testmedia::Scale(250000, 120));
  auto music = [this](const char* name, int32_t volume, int32_t player = 0) {
    Open();
    SetPlayerLevels(player, 0);
    CDSMusic::InitGraph(nullptr);
    double rms = 0;
    {
      CDSMusic piece;
      piece.SetDirectory("GameData\\Music\\MIDI\\");
      piece.SetVolume(volume);
      piece.Play(name);
      std::vector<float> out = Take(0.8);
      EXPECT_LE(Peak(out), kKnee) << name << " at " << volume;
      rms = Db(Rms(out));
    }
    CDSMusic::ReleaseGraph();
    SetPlayerLevels(0, 0);
    return rms;
  };
  const double soft = music("soft.mid", 0), loud = music("loud.mid", 0);
  EXPECT_NEAR(soft, loud, 1.5);  // some 15 dB apart in the files
  const double title = music("loud.mid", -3000), lower = music("loud.mid", -4000);
  EXPECT_NEAR(loud - title, kMusicDefaultDrop, 0.3);
  EXPECT_NEAR(title - lower, MusicVolumeDb(-3000) - MusicVolumeDb(-4000), 0.3);
  EXPECT_NEAR(music("loud.mid", -3000, -1204) - title, -12.04, 0.3);  // the settings' half
}

TEST_F(DiskOutputTest, EffectsAtTheDefaultMasterVolumeStayClearOfFullScale) {
  // The demo's loudest effect, the cat, plays near the knee, not over it.
  Open();
  if (!DemoSound("meow", "GameData/Music/SE/Meow.wav")) GTEST_SKIP() << "vantorel-makesound not built";
  ASSERT_EQ(effects->LoadSegment("Meow.wav", "cat", 1, 0, 0, 0), S_OK);
  const AudioSegment& segment = *effects->FindByAlias("cat")->segment;
  std::vector<int16_t> samples(segment.Samples(), segment.Samples() + segment.Frames() * 2);
  ASSERT_EQ(effects->Play("cat"), S_OK);
  std::vector<float> cat = Take(0.7);
  ASSERT_FALSE(cat.empty());
  EXPECT_GT(Db(Peak(cat)), -8.0);
  EXPECT_LE(Peak(cat), kKnee);
  // The mixer plays a float copy; the 16-bit samples come back from it exactly.
  EXPECT_TRUE(std::equal(samples.begin(), samples.end(), segment.Samples()));

  // A file at full scale, 10 dB up: loud, and still below full scale.
  Open();
  Effect("full.wav", testmedia::SineWav(0.5, 44100, 1, 1.0, 1000.0));
  ASSERT_EQ(effects->Play("full.wav"), S_OK);
  std::vector<float> full = Take(0.4);
  ASSERT_FALSE(full.empty());
  EXPECT_GT(Peak(full), kKnee);
  EXPECT_LT(Peak(full), kCeiling + 1e-6f);
}

TEST_F(DiskOutputTest, ManyOverlappingEffectsAreLimitedWithoutWrapping) {
  Open();
  Effect("dc.wav", ConstantWav(1.0, 29000));
  for (int i = 0; i < 48; ++i) ASSERT_EQ(effects->Play("dc.wav"), S_OK);
  std::vector<float> out = Take(0.5);  // all 48 sound by then: a sum of some 40 times full scale
  ASSERT_FALSE(out.empty());
  float lowest = 1.0f;
  for (float v : out) lowest = std::min(lowest, v);
  EXPECT_GT(lowest, 0.0f) << "a positive sum came out negative: it wrapped";
  EXPECT_LT(Peak(out), kCeiling + 1e-6f);
  EXPECT_GT(Peak(out), kKnee);
}

TEST_F(DiskOutputTest, VolumeRelationsHoldAtTheOutputBelowTheKnee) {
  // An effect as loud as the demo's (peak -6 dBFS) at the master volume's
  // +1000 against 0, and a secondary path at -600.
  auto play = [this](int32_t master, int32_t secondary) {
    Open();
    Effect("tone.wav", testmedia::SineWav(0.5, 44100, 1, 0.5, 500.0));
    effects->SetMasterVolume(master);
    effects->SetSecondaryVolume(secondary);
    effects->Play("tone.wav");
    std::vector<float> out = Take(0.4);
    EXPECT_LE(Peak(out), kKnee);
    return Rms(out);
  };
  double unity = play(0, 0), loud = play(1000, 0), half = play(1000, -600);
  EXPECT_NEAR(loud / unity, 3.1623, 0.01);
  EXPECT_NEAR(half / loud, 0.5012, 0.005);

  // The player's effect level is an exact gain on top.
  SetPlayerLevels(0, -1204);
  const double settingsHalf = play(1000, 0);
  SetPlayerLevels(0, 0);
  EXPECT_NEAR(Db(settingsHalf / loud), -12.04, 0.05);
}

// Effects are parsed and checked when loaded and converted when first
// needed: a bad file must still fail at its load, and a sound played right
// after loading must sound, with the length it was registered with.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "support/AudioTestMedia.h"
#include "support/Bytes.h"
#include "support/ScratchDir.h"
#include "platform/audio/AudioMix.h"
#include "platform/audio/AudioPerformance.h"
#include "platform/audio/AudioSegment.h"
#include "platform/diagnostics/Debug.h"
#include "platform/diagnostics/Trace.h"
#include "platform/text/TextCodec.h"
#include "sound/CDMMusic.h"

using namespace platform;

namespace {
// A WAV header with any format tag, channel count and bit depth over `data`;
// `claimed` overrides the data chunk's size (a cut file claims more).
std::string Wav(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits, const std::string& data,
                uint32_t claimed = 0) {
  std::string f = "RIFF";
  testmedia::Le(f, static_cast<uint32_t>(36 + data.size()), 4);
  f += "WAVEfmt ";
  testmedia::Le(f, 16, 4);
  testmedia::Le(f, tag, 2);
  testmedia::Le(f, channels, 2);
  testmedia::Le(f, rate, 4);
  testmedia::Le(f, rate * channels * bits / 8, 4);
  testmedia::Le(f, channels * bits / 8, 2);
  testmedia::Le(f, bits, 2);
  f += "data";
  testmedia::Le(f, claimed ? claimed : static_cast<uint32_t>(data.size()), 4);
  return f + data;
}

class AudioSegmentTest : public ::testing::Test {
 protected:
  void SetUp() override { SetDebugEcho(false); }
  void TearDown() override { SetDebugEcho(true); }
  ScratchDir dir;
  AudioLoader loader;
};
}  // namespace

TEST_F(AudioSegmentTest, LoadingChecksTheFileAndTheFirstUseConvertsIt) {
  const std::string wav = testmedia::SineWav(0.25, kAudioRate, 1);
  dir.Write("mono.wav", wav);
  AudioSegmentPtr seg;
  ASSERT_EQ(loader.LoadSegment("mono.wav", seg), S_OK);
  EXPECT_FALSE(seg->Decoded());
  int64_t length = 0;
  ASSERT_EQ(seg->GetLength(length), S_OK);
  EXPECT_EQ(length, kAudioRate / 4);
  EXPECT_FALSE(seg->Decoded());  // the length of an unresampled sound needs no conversion

  ASSERT_EQ(seg->Frames(), size_t(kAudioRate / 4));
  EXPECT_TRUE(seg->Decoded());
  // Mono becomes the same sample on both sides, the value kept (to a step).
  const int16_t* s = seg->Samples();
  const size_t dataAt = 44;
  for (size_t i = 0; i < seg->Frames(); i += 997) {
    auto source = static_cast<int16_t>(testsupport::ReadLe16(wav, dataAt + 2 * i));
    EXPECT_EQ(s[2 * i], s[2 * i + 1]) << i;
    EXPECT_NEAR(s[2 * i], source, 1) << i;
  }
}

TEST_F(AudioSegmentTest, TheLengthBeforeConversionIsTheLengthAfter) {
  // A cut file: the data chunk claims 1000 frames, 301 and a half are there.
  dir.Write("cut.wav", Wav(1, 1, kAudioRate, 16, std::string(603, '\x10'), 2000));
  dir.Write("stereo.wav", testmedia::SineWav(0.1, kAudioRate, 2));
  dir.Write("slow.wav", testmedia::SineWav(0.1, 11025, 1));
  dir.Write("bytes.wav", Wav(1, 1, kAudioRate, 8, std::string(500, '\x90')));
  for (const char* name : {"cut.wav", "stereo.wav", "slow.wav", "bytes.wav"}) {
    AudioSegmentPtr seg;
    ASSERT_EQ(loader.LoadSegment(name, seg), S_OK) << name;
    int64_t before = -1;
    seg->GetLength(before);
    EXPECT_EQ(before, int64_t(seg->Frames())) << name;
    EXPECT_GT(before, 0) << name;
  }
}

TEST_F(AudioSegmentTest, FilesThatCannotBePlayedFailWhenLoaded) {
  dir.Write("twelve.wav", Wav(1, 12, kAudioRate, 16, std::string(12 * 2 * 100, '\0')));  // no 12-channel layout
  dir.Write("mp3.wav", Wav(0x55, 1, kAudioRate, 16, std::string(200, '\0')));           // an encoding SDL lacks
  dir.Write("nodata.wav", testmedia::SineWav(0.1, kAudioRate, 1).substr(0, 36));         // no data chunk
  for (const char* name : {"twelve.wav", "mp3.wav", "nodata.wav"}) {
    AudioSegmentPtr seg;
    EXPECT_TRUE(FAILED(loader.LoadSegment(name, seg))) << name;
    EXPECT_FALSE(seg) << name;
  }
}

TEST_F(AudioSegmentTest, AnEffectPlayedRightAfterItsLoadSoundsAtOnce) {
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  dir.Write("GameData/Music/SE/bell.wav", testmedia::SineWav(1.0, 22050, 1));
  dir.Write("GameData/Music/SE/twelve.wav", Wav(1, 12, kAudioRate, 16, std::string(12 * 2 * 100, '\0')));
  std::string tracePath = dir.Path() + "/trace.jsonl";
  ASSERT_TRUE(trace::Open(tracePath));
  AudioPerformance performance;
  ASSERT_EQ(performance.InitAudio(false), S_OK);
  if (!performance.HasDevice()) {
    trace::Close();
    GTEST_SKIP() << "no audio device, not even the dummy one";
  }
  AudioPath* path = nullptr;
  performance.GetDefaultAudioPath(path);
  AudioComposer composer;
  AudioEvent event;
  {
    CDMMusic music;
    music.Init(&performance, &loader, path, &composer, &event);
    ASSERT_EQ(music.LoadSegment("bell.wav", SJ("チャイム"), 1, 0, 0, 0), S_OK);
    const CDMMusic::SegmentRecord* bell = music.FindByAlias(SJ("チャイム"));
    ASSERT_EQ(music.Play(SJ("チャイム")), S_OK);
    ASSERT_NE(bell->segmentState, nullptr);
    EXPECT_TRUE(bell->segmentState->Playing());
    EXPECT_EQ(bell->length, int64_t(bell->segment->Frames()));
    EXPECT_NEAR(double(bell->length), kAudioRate, 8);

    // The bad file is reported by its load, and nothing is registered.
    EXPECT_EQ(music.LoadSegment("twelve.wav", "bad", 1, 0, 0, 0), E_FAIL);
    EXPECT_EQ(music.FindByAlias("bad"), nullptr);
    EXPECT_EQ(music.Play("bad"), E_FAIL);  // silently
    trace::EndFrame(0, 0);
  }
  performance.CloseDown();
  trace::Close();
  std::ifstream in(tracePath);
  std::stringstream text;
  text << in.rdbuf();
  size_t report = text.str().find("\"type\":\"report\"");
  ASSERT_NE(report, std::string::npos) << text.str();
  EXPECT_NE(text.str().find("セグメントのロードに失敗。", report), std::string::npos) << text.str();
  EXPECT_EQ(text.str().find("\"type\":\"report\"", report + 1), std::string::npos) << "one report only";
}

TEST_F(AudioSegmentTest, AChunkLongerThanTheFileLoadsWhatTheFileHolds) {
  // A damaged header may claim gigabytes; only the bytes present are taken
  // (nothing the size of the claim is allocated: the wav_fuzz seed corpus
  // holds such a file and runs under a memory limit).
  std::string wav = testmedia::SineWav(0.01, kAudioRate, 1);
  const size_t frames = (wav.size() - 44) / 2;
  for (uint32_t claim : {0x91000042u, 0xFFFFFFFFu}) {
    std::string damaged = wav;
    for (int i = 0; i < 4; ++i) damaged[40 + i] = char((claim >> (8 * i)) & 0xFF);
    // SDL also reads a file whose RIFF header is missing: the same holds there.
    for (const std::string& file : {damaged, damaged.substr(8)}) {
      dir.Write("long.wav", file);
      AudioSegmentPtr seg;
      ASSERT_EQ(loader.LoadSegment("long.wav", seg), S_OK) << std::hex << claim;
      EXPECT_EQ(seg->Frames(), frames);
    }
  }
  // The same for a format chunk that runs past the end: refused, not read on.
  std::string cut = wav.substr(0, 30);
  dir.Write("cut.wav", cut);
  AudioSegmentPtr seg;
  EXPECT_NE(loader.LoadSegment("cut.wav", seg), S_OK);
  EXPECT_EQ(seg, nullptr);
}

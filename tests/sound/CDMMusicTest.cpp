#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "support/AudioTestMedia.h"
#include "support/ScratchDir.h"
#include "platform/audio/AudioPerformance.h"
#include "platform/audio/AudioSegment.h"
#include "platform/diagnostics/Debug.h"
#include "platform/diagnostics/Trace.h"
#include "platform/text/TextCodec.h"
#include "sound/CDMMusic.h"

using namespace platform;

namespace {
class CDMMusicTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetDebugEcho(false);
    dir.Write("GameData/Music/SE/Kachi04.wav", testmedia::SineWav(1.5));
    dir.Write("GameData/Music/SE/Push11.wav", testmedia::SineWav(0.2, 11025, 2));
  }
  void TearDown() override {
    music.reset();
    performance.CloseDown();
    SetDebugEcho(true);
  }
  void Start(bool headless) {
    ASSERT_EQ(performance.InitAudio(headless), S_OK);
    AudioPath* path = nullptr;
    performance.GetDefaultAudioPath(path);
    music = std::make_unique<CDMMusic>();
    ASSERT_EQ(music->Init(&performance, &loader, path, &composer, &event), S_OK);
  }
  ScratchDir dir;
  AudioPerformance performance;
  AudioLoader loader;
  AudioComposer composer;
  AudioEvent event;
  std::unique_ptr<CDMMusic> music;
};
}  // namespace

TEST_F(CDMMusicTest, VolumesAreClampedToTheirRanges) {
  Start(true);
  EXPECT_EQ(music->SetMasterVolume(5000), S_OK);
  EXPECT_EQ(music->GetMasterVolume(), 1000);
  music->SetMasterVolume(-20000);
  EXPECT_EQ(music->GetMasterVolume(), -10000);
  EXPECT_EQ(music->SetPrimaryVolume(100), S_OK);
  EXPECT_EQ(music->GetPrimaryVolume(), 0);
  music->SetPrimaryVolume(-10000);
  EXPECT_EQ(music->GetPrimaryVolume(), -9600);
  music->SetSecondaryVolume(-10000);
  EXPECT_EQ(music->GetSecondaryVolume(), -9600);
  music->SetSecondaryVolume(-1234);
  EXPECT_EQ(music->GetSecondaryVolume(), -1234);
}

TEST_F(CDMMusicTest, VolumesWithoutAPerformanceFailQuietly) {
  CDMMusic idle;  // never initialised: nothing to set the volumes on
  EXPECT_EQ(idle.SetMasterVolume(1000), E_FAIL);
  EXPECT_EQ(idle.GetMasterVolume(), 1000);
  EXPECT_EQ(idle.SetPrimaryVolume(0), E_FAIL);
  EXPECT_EQ(idle.Play(SJ("決定キー音")), E_FAIL);
}

TEST_F(CDMMusicTest, AFileLoadsOnceAndAnAliasKeepsItsFirstSound) {
  Start(true);
  const std::string decide = SJ("決定キー音"), other = SJ("別の音");
  ASSERT_EQ(music->LoadSegment("Kachi04.wav", decide, 1, 0, 0, 0), S_OK);
  // The same file under another alias: refused, silently.
  EXPECT_EQ(music->LoadSegment("Kachi04.wav", other, 1, 0, 0, 0), E_FAIL);
  EXPECT_EQ(music->FindByAlias(other), nullptr);
  EXPECT_EQ(music->FindByFile("Kachi04.wav")->alias, decide);

  // Another file under the alias in use: registered by file, but the alias
  // goes on playing the earlier sound.
  EXPECT_EQ(music->LoadSegment("Push11.wav", decide, 1, 0, 0, 0), S_OK);
  ASSERT_NE(music->FindByFile("Push11.wav"), nullptr);
  EXPECT_EQ(music->FindByAlias(decide)->fileName, "Kachi04.wav");
  EXPECT_EQ(music->LoadSegment("Push11.wav", other, 1, 0, 0, 0), E_FAIL);
  EXPECT_EQ(music->Play(decide), S_OK);
  EXPECT_EQ(music->Play(other), E_FAIL);
}

TEST_F(CDMMusicTest, AFailedLoadRegistersNothingAndCanBeTriedAgain) {
  Start(true);
  const std::string alias = SJ("方向キー音");
  EXPECT_EQ(music->LoadSegment("Late.wav", alias, 1, 0, 0, 0), E_FAIL);
  EXPECT_EQ(music->FindByAlias(alias), nullptr);
  EXPECT_EQ(music->Play(alias), E_FAIL);
  dir.Write("GameData/Music/SE/Late.wav", testmedia::SineWav(0.1));
  EXPECT_EQ(music->LoadSegment("Late.wav", alias, 1, 0, 0, 0), S_OK);
  EXPECT_EQ(music->Play(alias), S_OK);
  EXPECT_NE(music->FindByAlias(alias)->segmentState, nullptr);
  EXPECT_EQ(music->FindByAlias(alias)->length, 4410);
}

TEST_F(CDMMusicTest, PlayingAnEffectAgainOverlapsTheFirstPlay) {
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  Start(false);
  if (!performance.HasDevice()) GTEST_SKIP() << "no audio device, not even the dummy one";
  const std::string decide = SJ("決定キー音");
  ASSERT_EQ(music->LoadSegment("Kachi04.wav", decide, 1, 0, 0, 0), S_OK);
  music->SetMasterVolume(1000);
  ASSERT_EQ(music->Play(decide), S_OK);
  AudioSegmentStatePtr first = music->FindByAlias(decide)->segmentState;
  ASSERT_EQ(music->Play(decide), S_OK);
  AudioSegmentStatePtr second = music->FindByAlias(decide)->segmentState;
  EXPECT_NE(first, second);
  EXPECT_TRUE(first->Playing());
  EXPECT_TRUE(second->Playing());
  EXPECT_EQ(performance.PlayingVoices(), 2);
}

TEST_F(CDMMusicTest, EveryPlayIsTraced) {
  std::string tracePath = dir.Path() + "/trace.jsonl";
  ASSERT_TRUE(trace::Open(tracePath));
  Start(true);
  music->LoadSegment("Push11.wav", SJ("方向キー音"), 1, 0, 0, 0);
  music->Play(SJ("方向キー音"));
  music->Play("nothing");
  trace::EndFrame(0, 0);
  trace::Close();
  std::ifstream in(tracePath);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_NE(text.str().find(R"({"type":"se","alias":"方向キー音","result":0})"), std::string::npos) << text.str();
  EXPECT_NE(text.str().find(R"({"type":"se","alias":"nothing","result":-2147467259})"), std::string::npos);
}

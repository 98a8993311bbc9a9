// Picture and music fades: alpha steps of 5 at least 40 ms apart on the
// virtual clock, volume steps of 50 per logic step, what each target fades,
// and the script going on by itself when a fade ends.
#include <vector>

#include "support/MsgBoxTestSupport.h"
#include "platform/headless/Clock.h"
#include "sound/CDSMusic.h"

using namespace msgboxtest;

namespace {

class CMsgBoxFades : public MsgBoxTest {
 protected:
  void SetUp() override {
    platform::UseVirtualClock(1000);
    MsgBoxTest::SetUp();
  }
  void TearDown() override {
    MsgBoxTest::TearDown();
    platform::UseRealClock();
  }

  // One logic step after `ms` milliseconds.
  void Frame(uint32_t ms = 16) {
    platform::AdvanceVirtualClock(ms);
    box->FrameMove();
  }

  // Frames of `ms` until the picture fade ends; the alpha of `watched` after
  // each frame. Gives up after `limit` frames.
  std::vector<int> RunImageFade(const CPolygon* watched, uint32_t ms, int limit = 1000) {
    std::vector<int> alphas;
    while (box->Fading().ImageFadeActive() && limit-- > 0) {
      Frame(ms);
      alphas.push_back(watched->GetAlpha());
    }
    return alphas;
  }

  std::vector<CPolygon*> AllSprites() const {
    return {box->Window().RightSprite().get(),        box->Window().CenterSprite().get(),  box->Window().LeftSprite().get(),
            box->Window().WideCenterSprite().get(),   box->Window().BgSprite().get(),      box->Window().PictureFrameSprite().get(),
            box->Window().SpeakerSprite().get(),      box->Window().WindowSprite().get()};
  }

  // Pictures everywhere, a speaker, and the first message shown in full.
  const std::vector<std::string> kStage = {"Texture", "t", "taro.tga", "Texture", "b", "bg.tga", "Texture", "w",
                                           "wide.tga", "BG", "b", "Right", "t", "Center", "t", "Left", "t",
                                           "WideCenter", "w", "t：", "最初"};

  HRESULT Stage(std::vector<std::string> tail) {
    std::vector<std::string> words = kStage;
    words.insert(words.end(), tail.begin(), tail.end());
    HRESULT hr = Run(words);
    while (box->Window().Typing() || box->Window().TypedLength() < box->Window().MessageText().size()) Frame();
    return hr;
  }
};

TEST_F(CMsgBoxFades, FadeInStepsByFiveAtMostEvery40msAndTheScriptGoesOn) {
  ASSERT_EQ(Stage({"FadeIn", "Right", ".", "続き"}), S_OK);
  ASSERT_EQ(box->Step(), S_OK);
  ASSERT_TRUE(box->Fading().ImageFadeActive());
  EXPECT_EQ(Word(), ".");
  // The first frame only sets the start alpha.
  Frame();
  EXPECT_EQ(box->Window().RightSprite()->GetAlpha(), 0);
  EXPECT_EQ(box->Window().LeftSprite()->GetAlpha(), 255);
  // A decide press while the fade runs does nothing.
  EXPECT_EQ(box->StepIfIdle(), S_OK);
  EXPECT_EQ(Word(), ".");

  // Frames 10 ms apart: a step on every fourth frame, never two at once.
  std::vector<int> alphas = RunImageFade(box->Window().RightSprite().get(), 10);
  int steps = 0, framesSinceStep = 0, previous = 0;
  for (size_t i = 0; i + 1 < alphas.size(); ++i) {
    ++framesSinceStep;
    if (alphas[i] == previous) continue;
    EXPECT_EQ(alphas[i], previous + 5) << "frame " << i;
    EXPECT_EQ(framesSinceStep, 4) << "frame " << i;
    previous = alphas[i];
    framesSinceStep = 0;
    ++steps;
  }
  EXPECT_EQ(steps, 51);
  EXPECT_EQ(previous, 255);
  // The frame after the step that reached 255 ends the fade and steps on.
  EXPECT_EQ(alphas.size(), 51u * 4 + 1);
  EXPECT_FALSE(box->Fading().ImageFadeActive());
  EXPECT_TRUE(box->Fading().FadeSprites().empty());
  EXPECT_EQ(Message(), "t：続き\n\n");
  EXPECT_EQ(box->Window().RightSprite()->GetAlpha(), 255);
}

TEST_F(CMsgBoxFades, SlowAndUnevenFramesStillStepOnceEach) {
  ASSERT_EQ(Stage({"FadeOut", "Left", "続き"}), S_OK);
  ASSERT_EQ(box->Step(), S_OK);
  Frame();
  EXPECT_EQ(box->Window().LeftSprite()->GetAlpha(), 255);
  // A long frame is one step, not many.
  Frame(500);
  EXPECT_EQ(box->Window().LeftSprite()->GetAlpha(), 250);
  // 39 ms is too soon; one more millisecond is enough.
  Frame(39);
  EXPECT_EQ(box->Window().LeftSprite()->GetAlpha(), 250);
  Frame(1);
  EXPECT_EQ(box->Window().LeftSprite()->GetAlpha(), 245);
  // The wait counts from the step, not from the last frame.
  Frame(30);
  Frame(9);
  EXPECT_EQ(box->Window().LeftSprite()->GetAlpha(), 245);
  Frame(1);
  EXPECT_EQ(box->Window().LeftSprite()->GetAlpha(), 240);
  std::vector<int> alphas = RunImageFade(box->Window().LeftSprite().get(), 41);
  EXPECT_EQ(alphas.size(), 48u + 1);
  EXPECT_EQ(box->Window().LeftSprite()->GetAlpha(), 0);
  EXPECT_EQ(Message(), "t：続き\n\n");
}

TEST_F(CMsgBoxFades, StepsGoOnAcrossTheClockWrap) {
  platform::UseVirtualClock(0xFFFFFFFFu - 50);
  ASSERT_EQ(Stage({"FadeIn", "Center", "続き"}), S_OK);
  ASSERT_EQ(box->Step(), S_OK);
  std::vector<int> alphas = RunImageFade(box->Window().CenterSprite().get(), 20);
  EXPECT_EQ(alphas.size(), 1u + 51 * 2 + 1);
  EXPECT_EQ(box->Window().CenterSprite()->GetAlpha(), 255);
}

TEST_F(CMsgBoxFades, FadeOutAllTakesEverythingAndKeepsItHidden) {
  ASSERT_EQ(Stage({"FadeOut", "All", "Texture", "h", "hanako.tga", "Right", "h", "BG", "b", "t：", "次", "FadeIn",
                   "All", "最後"}),
              S_OK);
  ASSERT_EQ(box->Step(), S_OK);
  const std::vector<CPolygon*> all = AllSprites();
  EXPECT_EQ(box->Fading().FadeSprites(), (std::list<CPolygon*>(all.begin(), all.end())));
  EXPECT_EQ(box->Fading().FadeTexts(), (std::list<TextFont*>{box->Window().MessageTextObject().get()}));
  RunImageFade(box->Window().WindowSprite().get(), 40);
  for (CPolygon* sprite : AllSprites()) EXPECT_EQ(sprite->GetAlpha(), 0);
  EXPECT_EQ(box->Window().MessageTextObject()->alpha, 0);
  // New pictures and new messages after the fade stay invisible.
  EXPECT_EQ(box->Window().RightSprite()->textureName, "hanako.tga");
  EXPECT_EQ(box->Window().RightSprite()->GetAlpha(), 0);
  EXPECT_EQ(Message(), "t：次\n\n");
  while (box->Window().Typing()) Frame();
  EXPECT_EQ(box->Window().MessageTextObject()->alpha, 0);

  ASSERT_EQ(box->Step(), S_OK);
  ASSERT_TRUE(box->Fading().ImageFadeActive());
  RunImageFade(box->Window().WindowSprite().get(), 40);
  for (CPolygon* sprite : AllSprites()) EXPECT_EQ(sprite->GetAlpha(), 255);
  EXPECT_EQ(box->Window().MessageTextObject()->alpha, 255);
  EXPECT_EQ(Message(), "t：最後\n\n");
}

TEST_F(CMsgBoxFades, FadeOutImagesLeavesTheWindowAlone) {
  ASSERT_EQ(Stage({"FadeOut", "Images", "続き"}), S_OK);
  ASSERT_EQ(box->Step(), S_OK);
  EXPECT_EQ(box->Fading().FadeSprites(), (std::list<CPolygon*>{box->Window().RightSprite().get(), box->Window().CenterSprite().get(),
                                                    box->Window().LeftSprite().get(), box->Window().WideCenterSprite().get(),
                                                    box->Window().BgSprite().get()}));
  EXPECT_TRUE(box->Fading().FadeTexts().empty());
  RunImageFade(box->Window().BgSprite().get(), 40);
  for (CPolygon* sprite : {box->Window().RightSprite().get(), box->Window().CenterSprite().get(), box->Window().LeftSprite().get(),
                           box->Window().WideCenterSprite().get(), box->Window().BgSprite().get()}) {
    EXPECT_EQ(sprite->GetAlpha(), 0);
  }
  for (CPolygon* sprite : {box->Window().PictureFrameSprite().get(), box->Window().SpeakerSprite().get(), box->Window().WindowSprite().get()}) {
    EXPECT_EQ(sprite->GetAlpha(), 255);
  }
  EXPECT_EQ(box->Window().MessageTextObject()->alpha, 255);
}

TEST_F(CMsgBoxFades, UnknownTargetEndsOnTheNextFrame) {
  ASSERT_EQ(Stage({"FadeIn", "Nope", "続き"}), S_OK);
  ASSERT_EQ(box->Step(), S_OK);
  EXPECT_TRUE(box->Fading().ImageFadeActive());
  EXPECT_TRUE(box->Fading().FadeSprites().empty());
  Frame(0);
  EXPECT_FALSE(box->Fading().ImageFadeActive());
  EXPECT_EQ(Message(), "t：続き\n\n");
  for (CPolygon* sprite : AllSprites()) EXPECT_EQ(sprite->GetAlpha(), 255);
}

TEST_F(CMsgBoxFades, FadeAtTheEndOfAScriptClearsTheShownTextOnly) {
  ASSERT_EQ(Stage({"FadeOut", "Right"}), S_OK);
  EXPECT_EQ(box->Window().MessageTextObject()->GetText(), box->Window().MessageText());
  ASSERT_EQ(box->Step(), S_OK);
  EXPECT_FALSE(box->Script().Running());
  RunImageFade(box->Window().RightSprite().get(), 40);
  EXPECT_FALSE(box->Fading().ImageFadeActive());
  // The window shows nothing; the text itself is kept (a save records it).
  EXPECT_EQ(box->Window().MessageTextObject()->GetText(), "");
  EXPECT_EQ(Message(), "t：最初\n\n");
  // The script has ended: the next press fails into the frame loop.
  EXPECT_EQ(box->Step(), E_FAIL);
}

TEST_F(CMsgBoxFades, MusicFadeInReachesFullVolumeAfterExactly100Steps) {
  CDSMusic music;
  box->UseMusicPlayer(&music);
  ASSERT_EQ(Stage({"FadeIn", "Volume", "続き", "FadeOut", "Volume", "終わり"}), S_OK);
  ASSERT_EQ(box->Step(), S_OK);
  ASSERT_TRUE(box->Fading().VolumeFadeActive());
  EXPECT_FALSE(box->Fading().ImageFadeActive());
  Frame(0);  // the clock plays no part
  EXPECT_EQ(music.GetVolume(), -5000);
  int frames = 0;
  while (music.GetVolume() < 0 && frames < 1000) {
    Frame(0);
    ++frames;
    EXPECT_EQ(music.GetVolume(), -5000 + 50 * frames);
  }
  EXPECT_EQ(frames, 100);
  EXPECT_TRUE(box->Fading().VolumeFadeActive());
  EXPECT_EQ(Message(), "t：最初\n\n");
  Frame(0);
  EXPECT_FALSE(box->Fading().VolumeFadeActive());
  EXPECT_EQ(Message(), "t：続き\n\n");

  while (box->Window().Typing() || box->Window().TypedLength() < box->Window().MessageText().size()) Frame();
  ASSERT_EQ(box->Step(), S_OK);
  ASSERT_TRUE(box->Fading().VolumeFadeActive());
  frames = 0;
  while (box->Fading().VolumeFadeActive() && frames < 1000) {
    Frame(0);
    ++frames;
  }
  // Start frame, 100 steps, finish frame.
  EXPECT_EQ(frames, 102);
  EXPECT_EQ(music.GetVolume(), -5000);
  EXPECT_EQ(Message(), "t：終わり\n\n");
  box->UseMusicPlayer(nullptr);
}

TEST_F(CMsgBoxFades, MusicFadeWithoutAPlayerStillEnds) {
  ASSERT_EQ(Stage({"FadeOut", "Volume", "続き"}), S_OK);
  ASSERT_EQ(box->Step(), S_OK);
  for (int i = 0; i < 5 && box->Fading().VolumeFadeActive(); ++i) Frame();
  EXPECT_FALSE(box->Fading().VolumeFadeActive());
  EXPECT_EQ(Message(), "t：続き\n\n");
}

TEST_F(CMsgBoxFades, FadedSpritesKeepTheirAlphaWithANewPicture) {
  ASSERT_EQ(
      Stage({"FadeOut", "Left", "Texture", "h", "hanako.tga", "Left", "h", "Clear", "Left", "Left", "t", "続き"}),
      S_OK);
  ASSERT_EQ(box->Step(), S_OK);
  RunImageFade(box->Window().LeftSprite().get(), 40);
  EXPECT_EQ(box->Window().LeftSprite()->textureName, "taro.tga");
  EXPECT_TRUE(box->Window().LeftSprite()->texture);
  EXPECT_EQ(box->Window().LeftSprite()->GetAlpha(), 0);
  // Opening another script blanks and later re-sets the picture; the alpha stays.
  ASSERT_EQ(Run({"Left", "t", "別"}), S_OK);
  EXPECT_EQ(box->Window().LeftSprite()->GetAlpha(), 0);
  // Only a new layout makes it visible again.
  box->SetLayout(GameLayout());
  EXPECT_EQ(box->Window().LeftSprite()->GetAlpha(), 255);
}

TEST_F(CMsgBoxFades, ANewMessageWindowStartsItsFadeAfresh) {
  // A window released in the middle of a fade must not leave the next
  // window's fade half-way.
  ASSERT_EQ(Stage({"FadeOut", "Right", "続き"}), S_OK);
  ASSERT_EQ(box->Step(), S_OK);
  Frame();
  Frame(40);
  box = std::make_unique<CMsgBox>();
  box->Init(&textFile, nullptr, actions, nullptr, nullptr, W("ＭＳ Ｐゴシック"), 12, 1);
  box->SetLayout(GameLayout());
  ASSERT_EQ(Stage({"FadeIn", "Right", "続き"}), S_OK);
  ASSERT_EQ(box->Step(), S_OK);
  Frame();
  EXPECT_EQ(box->Window().RightSprite()->GetAlpha(), 0);
}

}  // namespace

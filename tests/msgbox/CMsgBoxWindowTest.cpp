// The message window: layout, typewriter, wait cursor and drawing.
#include "support/AudioTestMedia.h"
#include "support/MsgBoxTestSupport.h"
#include "platform/audio/AudioPerformance.h"
#include "platform/audio/AudioSegment.h"
#include "platform/headless/Clock.h"
#include "script/MenuItems.h"
#include "sound/CDMMusic.h"

using namespace msgboxtest;
using CMsgBoxWindow = MsgBoxTest;

namespace {
void ExpectPlaced(const CPolygon& s, float x, float y, float w, float h, int alpha) {
  EXPECT_FLOAT_EQ(s.x, x);
  EXPECT_FLOAT_EQ(s.y, y);
  EXPECT_FLOAT_EQ(s.z, 0.9f);
  EXPECT_FLOAT_EQ(s.width, w);
  EXPECT_FLOAT_EQ(s.height, h);
  EXPECT_EQ(s.alpha, alpha);
  EXPECT_EQ(s.depthTest, 0);
}
}  // namespace

TEST_F(CMsgBoxWindow, LayoutPlacesWindowPicturesCursorAndText) {
  box->SetLayout(GameLayout(128));
  ExpectPlaced(*box->Window().BgSprite(), 10, 10, 620, 460, 128);
  ExpectPlaced(*box->Window().PictureFrameSprite(), 10, 296, 136, 136, 128);
  ExpectPlaced(*box->Window().SpeakerSprite(), 12, 300, 128, 128, 128);
  ExpectPlaced(*box->Window().WindowSprite(), 160, 296, 470, 136, 128);
  // Standing pictures are opaque whatever the layout alpha.
  ExpectPlaced(*box->Window().LeftSprite(), 30, 20, 200, 426, 255);
  ExpectPlaced(*box->Window().CenterSprite(), 230, 20, 200, 426, 255);
  ExpectPlaced(*box->Window().RightSprite(), 430, 20, 200, 426, 255);
  ExpectPlaced(*box->Window().WideCenterSprite(), 130, 20, 400, 426, 255);
  ExpectPlaced(*box->Window().CursorSprite(), 610, 402, 24, 32, 128);
  ASSERT_EQ(box->Window().CursorSprite()->frames.size(), 4u);
  EXPECT_FLOAT_EQ(box->Window().CursorSprite()->frames[1].tu0, 0.25f);
  EXPECT_FLOAT_EQ(box->Window().CursorSprite()->frames[3].tu1, 1.0f);
  EXPECT_FLOAT_EQ(box->Window().MessageTextObject()->x, 180);
  EXPECT_FLOAT_EQ(box->Window().MessageTextObject()->y, 331);
  EXPECT_FLOAT_EQ(box->Window().Layout().window.x, 160);
  EXPECT_EQ(box->Window().Layout().alpha, 128);
  EXPECT_EQ(box->Window().WindowSprite()->textureName, "MsgBox\\MsgBox.dds");
  EXPECT_EQ(box->Window().PictureFrameSprite()->textureName, "MsgBox\\CharaPicFrame.dds");
  EXPECT_EQ(box->Window().CursorSprite()->textureName, "MsgBox\\Cursor.tga");
  EXPECT_EQ(U(box->Script().TextDir()), "GameData\\Text\\");
  EXPECT_EQ(U(box->Saves().SaveSlots()[3].path), "GameData\\Text\\セーブデータ\\セーブデータ3.Dat");
  EXPECT_TRUE(box->Saves().SaveSlots()[0].path.empty());
}

TEST_F(CMsgBoxWindow, InitLoadsTheMenuSounds) {
  std::filesystem::create_directories("GameData/Music/SE");
  ASSERT_TRUE(platform::WriteFileAtomic("GameData\\Music\\SE\\Push11.wav", testmedia::SineWav(0.1)));
  ASSERT_TRUE(platform::WriteFileAtomic("GameData\\Music\\SE\\Kachi04.wav", testmedia::SineWav(0.1)));
  platform::AudioPerformance performance;
  ASSERT_EQ(performance.InitAudio(true), S_OK);
  platform::AudioPath* path = nullptr;
  performance.GetDefaultAudioPath(path);
  platform::AudioLoader loader;
  platform::AudioComposer composer;
  platform::AudioEvent event;
  {
    CDMMusic sounds;
    ASSERT_EQ(sounds.Init(&performance, &loader, path, &composer, &event), S_OK);
    CMsgBox withSound;
    withSound.Init(&textFile, nullptr, actions, nullptr, &sounds, W("ＭＳ Ｐゴシック"), 12, 1);
    const CDMMusic::SegmentRecord* direction = sounds.FindByAlias(W("方向キー音"));
    const CDMMusic::SegmentRecord* decide = sounds.FindByAlias(W("決定キー音"));
    ASSERT_TRUE(direction && decide);
    EXPECT_EQ(direction->fileName, "Push11.wav");
    EXPECT_EQ(decide->fileName, "Kachi04.wav");
    EXPECT_EQ(decide->secondary, 1);
  }
  performance.CloseDown();
}

TEST_F(CMsgBoxWindow, TypewriterShowsOneCharacterPerFrame) {
  ASSERT_EQ(Run({"aあb"}), S_OK);  // 6 bytes with the final row break
  for (uint32_t expected : {1u, 3u, 4u, 5u, 6u}) {
    box->FrameMove();
    EXPECT_EQ(box->Window().TypedLength(), expected);
    EXPECT_TRUE(box->Window().Typing());
  }
  box->FrameMove();
  EXPECT_EQ(box->Window().TypedLength(), 6u);
  EXPECT_FALSE(box->Window().Typing());

  // While typing the decide press does nothing; once typed it steps.
  ASSERT_EQ(Run({".", "いい", "次の文"}), S_OK);
  box->FrameMove();
  EXPECT_EQ(box->StepIfIdle(), S_OK);
  EXPECT_EQ(Message(), "いい\n\n");
  for (int i = 0; i < 4; ++i) box->FrameMove();
  EXPECT_FALSE(box->Window().Typing());
  EXPECT_EQ(box->StepIfIdle(), S_OK);
  EXPECT_EQ(Message(), "次の文\n\n");
  // Without "." the next message goes on from where typing stood.
  EXPECT_EQ(box->Window().TypedLength(), 6u);
}

// Three rows of 52 bytes: one byte more runs out of the window. The text as
// given is kept apart from the row breaks the window puts in.
TEST_F(CMsgBoxWindow, MessageFitsThreeRowsOfTheWindow) {
  const std::string full(156, 'a');
  ASSERT_EQ(Run({full, full + "b", "."}), S_OK);
  EXPECT_TRUE(box->Window().MessageFits());
  EXPECT_EQ(box->Window().GivenText(), full);
  EXPECT_GT(box->Window().MessageText().size(), full.size());
  for (int i = 0; i < 200; ++i) box->FrameMove();
  ASSERT_EQ(box->StepIfIdle(), S_OK);
  EXPECT_FALSE(box->Window().MessageFits());
  EXPECT_EQ(box->Window().GivenText().size(), 157u);
  for (int i = 0; i < 200; ++i) box->FrameMove();
  box->StepIfIdle();  // "." clears the message
  EXPECT_TRUE(box->Window().GivenText().empty());
  EXPECT_TRUE(box->Window().MessageFits());
}

TEST_F(CMsgBoxWindow, TypewriterStopsWhenNoScriptRuns) {
  ASSERT_EQ(Run({"最初", "GameEnd"}), S_OK);
  box->FrameMove();
  ASSERT_EQ(box->Step(), GameEndResult);
  uint32_t typed = box->Window().TypedLength();
  box->FrameMove();
  EXPECT_EQ(box->Window().TypedLength(), typed);
}

TEST_F(CMsgBoxWindow, EmptyMessageShowsTheCursorAtOnce) {
  ASSERT_EQ(Run({".", "Map"}), S_OK);
  EXPECT_TRUE(box->Window().MessageText().empty());
  box->FrameMove();
  EXPECT_FALSE(box->Window().Typing());
  EXPECT_TRUE(box->Script().Running());
}

TEST_F(CMsgBoxWindow, ShorterMessageWithoutClearIsStillShown) {
  ASSERT_EQ(Run({"長い長い文章です", "短い"}), S_OK);
  for (int i = 0; i < 20; ++i) box->FrameMove();
  ASSERT_EQ(box->Step(), S_OK);
  box->FrameMove();
  EXPECT_EQ(box->Window().TypedLength(), box->Window().MessageText().size());
  EXPECT_FALSE(box->Window().Typing());
  EXPECT_EQ(box->Window().MessageTextObject()->text, box->Window().MessageText());
}

TEST_F(CMsgBoxWindow, CursorAnimatesOnlyWhileTheScriptWaits) {
  platform::UseVirtualClock(1000);
  box->SetLayout(GameLayout());
  ASSERT_EQ(Run({"あ"}), S_OK);
  box->FrameMove();  // types "あ"
  platform::AdvanceVirtualClock(400);
  box->FrameMove();  // types the row break: still typing, no animation
  EXPECT_FLOAT_EQ(box->Window().CursorSprite()->tu0, 0.0f);
  EXPECT_FLOAT_EQ(box->Window().CursorSprite()->tu1, 1.0f);
  box->FrameMove();
  box->FrameMove();  // typed out: the first frame takes effect
  EXPECT_FALSE(box->Window().Typing());
  EXPECT_FLOAT_EQ(box->Window().CursorSprite()->tu1, 0.25f);
  // With no script running the cursor stands still.
  box->ForceHold(CMsgBox::Hold::Running, false);
  platform::AdvanceVirtualClock(400);
  box->FrameMove();
  EXPECT_FLOAT_EQ(box->Window().CursorSprite()->tu1, 0.25f);
  box->ForceHold(CMsgBox::Hold::Running, true);
  box->FrameMove();
  EXPECT_FLOAT_EQ(box->Window().CursorSprite()->tu0, 0.25f);
  EXPECT_FLOAT_EQ(box->Window().CursorSprite()->tu1, 0.5f);
  platform::UseRealClock();
}

TEST_F(CMsgBoxWindow, RenderDrawsWindowTextAndCursorOnlyWhenIdle) {
  platform::Device* device = CPolygon::GetDevice();
  auto draws = [&] {
    uint64_t before = device->DrawCalls();
    device->Clear(0xFF000000);
    EXPECT_EQ(box->Render(), S_OK);
    device->Present();
    return device->DrawCalls() - before;
  };
  ASSERT_EQ(Run({"Texture", "b", "bg.tga", "BG", "b", "あ"}), S_OK);
  box->FrameMove();
  ASSERT_TRUE(box->Window().Typing());
  uint64_t typing = draws();
  while (box->Window().Typing()) box->FrameMove();
  box->FrameMove();
  uint64_t idle = draws();
  EXPECT_EQ(idle, typing + 1);  // the cursor

  // A menu hides the window, the text and the cursor; the frame stays.
  box->ForceHold(CMsgBox::Hold::FontMenu, true);
  uint64_t menu = draws();
  EXPECT_LT(menu, typing);
  EXPECT_GE(menu, 2u);  // background and picture frame
  box->ForceHold(CMsgBox::Hold::FontMenu, false);

  // No script running: no cursor.
  box->ForceHold(CMsgBox::Hold::Running, false);
  EXPECT_EQ(draws(), typing);

  std::vector<uint32_t> pixels;
  ASSERT_TRUE(device->ReadPixels(pixels));
  EXPECT_NE(pixels[400 * 640 + 200], 0xFF000000u);  // inside the window
}

TEST_F(CMsgBoxWindow, MissingButtonTextureStopsTheFrame) {
  auto item = std::make_unique<ButtonMenuItem>();
  item->label = W("はい");
  item->id = 1;
  item->size = {100, 40, 0};
  box->InsertButtonItem(std::move(item));
  box->ForceHold(CMsgBox::Hold::ButtonMenu, true);
  testing::internal::CaptureStderr();
  EXPECT_EQ(box->Render(), E_FAIL);
  EXPECT_NE(testing::internal::GetCapturedStderr().find("ボタンテクスチャが見つかりません。"), std::string::npos);
  box->SetTextureAlias(W("はいボタン"), "bg.tga");
  EXPECT_EQ(box->Render(), S_OK);
  EXPECT_FLOAT_EQ(box->Buttons().ButtonSprite()->width, 100);
  EXPECT_EQ(box->Buttons().ButtonSprite()->textureName, "bg.tga");
}

TEST_F(CMsgBoxWindow, DeleteObjectsReleasesSpritesAndAliases) {
  box->SetTextureAlias("a", "bg.tga");
  box->DeleteObjects();
  EXPECT_FALSE(box->Window().WindowSprite());
  EXPECT_FALSE(box->Window().CursorSprite());
  EXPECT_FALSE(box->Window().MessageTextObject());
  EXPECT_FALSE(box->Buttons().ButtonSprite());
  EXPECT_TRUE(box->Script().TextureAliases().empty());
  EXPECT_EQ(box->FrameMove(), S_OK);
  EXPECT_EQ(box->Render(), S_OK);
}

// The command set: pictures, texture aliases, texture loading, and the
// keywords whose words are taken while their units are not wired in.
#include "support/MsgBoxTestSupport.h"
#include "msgbox/DeviceCalls.h"

using namespace msgboxtest;
using CMsgBoxCommands = MsgBoxTest;

TEST_F(CMsgBoxCommands, FirstTextureDefinitionStands) {
  ASSERT_EQ(Run({"Texture", "a", "taro.tga", "texture", "a", "hanako.tga", "Left", "a", "文"}), S_OK);
  EXPECT_EQ(box->Script().TextureAliases().at("a"), "taro.tga");
  EXPECT_EQ(box->Window().LeftSprite()->textureName, "taro.tga");
}

TEST_F(CMsgBoxCommands, PictureCommandsInBothSpellings) {
  ASSERT_EQ(Run({"Texture", "b", "bg.tga", "Texture", "t", "taro.tga", "Texture", "w", "wide.tga", "bg", "b", "right",
                 "t", "center", "t", "left", "t", "WideCenter", "w", "文"}),
            S_OK);
  EXPECT_EQ(box->Window().BgSprite()->textureName, "bg.tga");
  EXPECT_EQ(box->Window().WideCenterSprite()->textureName, "wide.tga");
  for (CPolygon* sprite : {box->Window().RightSprite().get(), box->Window().CenterSprite().get(), box->Window().LeftSprite().get()}) {
    EXPECT_EQ(sprite->textureName, "taro.tga");
    EXPECT_TRUE(sprite->texture);
  }
  // One file, one texture, shared.
  EXPECT_EQ(box->Window().RightSprite()->texture, box->Window().LeftSprite()->texture);
}

TEST_F(CMsgBoxCommands, UndefinedAliasIsReportedAndThePictureStays) {
  testing::internal::CaptureStderr();
  ASSERT_EQ(Run({"Texture", "b", "bg.tga", "BG", "b", "BG", "undefined", "Right", "undefined", "続き"}), S_OK);
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("エイリアスネームに対応するテクスチャ名が見つかりませんでした。"), std::string::npos);
  EXPECT_EQ(box->Window().BgSprite()->textureName, "bg.tga");
  EXPECT_EQ(box->Window().RightSprite()->textureName, "Nothing");
  EXPECT_EQ(Message(), "続き\n\n");
}

TEST_F(CMsgBoxCommands, ClearTargets) {
  std::vector<std::string> setUp = {"Texture", "t", "taro.tga", "Texture", "b", "bg.tga", "BG", "b", "Left", "t",
                                    "Right", "t", "Center", "t", "WideCenter", "t", "Texture", "s", "hanako.tga"};
  auto run = [&](std::vector<std::string> tail) {
    std::vector<std::string> words = setUp;
    words.push_back("s：");
    words.push_back("a");
    words.insert(words.end(), tail.begin(), tail.end());
    return Run(words);
  };
  // Clear is tested three times in a row within one pass; lower-case
  // targets and other words are taken and do nothing.
  ASSERT_EQ(run({"Clear", "Left", "Clear", "left", "Clear", "Nope", "Clear", "Right", "文"}), S_OK);
  ASSERT_EQ(box->Step(), S_OK);
  EXPECT_EQ(box->Window().LeftSprite()->textureName, "Nothing");
  EXPECT_FALSE(box->Window().LeftSprite()->texture);
  EXPECT_EQ(box->Window().RightSprite()->textureName, "Nothing");
  EXPECT_EQ(box->Window().CenterSprite()->textureName, "taro.tga");
  EXPECT_EQ(Message(), "s：文\n\n");

  ASSERT_EQ(run({"Clear", "All", "文"}), S_OK);
  ASSERT_EQ(box->Step(), S_OK);
  for (CPolygon* sprite : {box->Window().LeftSprite().get(), box->Window().CenterSprite().get(), box->Window().RightSprite().get(),
                           box->Window().WideCenterSprite().get()}) {
    EXPECT_EQ(sprite->textureName, "Nothing");
  }
  // The background and the speaker picture stay.
  EXPECT_EQ(box->Window().BgSprite()->textureName, "bg.tga");
  EXPECT_EQ(box->Window().SpeakerSprite()->textureName, "hanako.tga");
}

TEST_F(CMsgBoxCommands, TexLoadAndTexUnload) {
  testing::internal::CaptureStderr();
  ASSERT_EQ(Run({"Texture", "t", "taro.tga", "Left", "t", "TexLoad", "t", "TexUnload", "t", "TexUnload", "t", "文"}),
            S_OK);
  // Unloading a texture that is not loaded is no error.
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(err.find("エイリアス"), std::string::npos);
  EXPECT_EQ(CPolygon::Registry().count("taro.tga"), 0u);
  // The picture keeps what it showed.
  EXPECT_TRUE(box->Window().LeftSprite()->texture);
  EXPECT_EQ(Message(), "文\n\n");

  ASSERT_EQ(Run({"Texture", "t", "taro.tga", "TexLoad", "t", "文"}), S_OK);
  EXPECT_EQ(CPolygon::Registry().count("taro.tga"), 1u);

  for (const char* keyword : {"TexLoad", "TexUnload"}) {
    SCOPED_TRACE(keyword);
    testing::internal::CaptureStderr();
    EXPECT_EQ(Run({keyword, "undefined", "文"}), E_FAIL);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("エイリアスネームに対応するテクスチャ名が見つかりませんでした。"),
              std::string::npos);
    EXPECT_EQ(Word(), "undefined");
  }
}

TEST_F(CMsgBoxCommands, LaterKeywordsTakeTheirWords) {
  // Each keyword swallows exactly its argument words, even when they are
  // keywords or text themselves.
  // (SaveMenu, LoadMenu and Load open screens or scripts: see the save tests;
  // fades end the step: see the fade tests.)
  ASSERT_EQ(Run({"キーコンフィグ", "MIDILoad", "GameEnd", "Battle", "SELoad", "a.wav", "音", "MIDIPlay", "曲", "SEPlay",
                 "音", "Save", "s", "f", "save", "s", "f", "文"}),
            S_OK);
  EXPECT_EQ(Message(), "文\n\n");
  EXPECT_FALSE(box->TextMenu().MenuActive());
  EXPECT_TRUE(box->Script().Running());
  // A fade as the last words still ends the step without failure.
  EXPECT_EQ(Run({"FadeOut", "All"}), S_OK);
  EXPECT_FALSE(box->Script().Running());
}

TEST_F(CMsgBoxCommands, MenuBlocksOpenTheirMenus) {
  ASSERT_EQ(Run({"ButtonMenu", "{", "フォーマット", "2", "1", "メニューアイテム", "{", "はい", "1", "分岐A", "いいえ", "2", "分岐B",
                 "}", "}", "後"}),
            S_OK);
  EXPECT_TRUE(box->Buttons().ButtonMenuActive());
  EXPECT_EQ(box->Buttons().ButtonMenuFrame(), "InsideSerifuFrame");
  EXPECT_EQ(Word(), "後");
  // A frame the font menu has no reader for opens nothing and fails the step.
  box->ForceHold(CMsgBox::Hold::ButtonMenu, false);
  testing::internal::CaptureStderr();
  EXPECT_EQ(Run({"FontMenu", "Left", "{", "メニューアイテム", "{", "x", "1", "y", "}", "}", "後"}), E_FAIL);
  EXPECT_NE(testing::internal::GetCapturedStderr().find("フォントメニューの項目が設定されていません。"), std::string::npos);
  EXPECT_EQ(box->TextMenu().FontMenuFrame(), "Left");
  EXPECT_FALSE(box->TextMenu().MenuActive());
  EXPECT_EQ(box->FontMenuDecide(), 0);
}

namespace {
std::vector<std::string> seamCalls;
void RecordSeam(const char* what, const std::string& name) { seamCalls.push_back(std::string(what) + " " + U(name)); }
}  // namespace

TEST_F(CMsgBoxCommands, SoundAndKeyConfigurationCommandsReachTheirUnits) {
  seamCalls.clear();
  devicecalls::observer = RecordSeam;
  actions[7] = 1;  // the press that closes the configuration screen
  ASSERT_EQ(Run({"SELoad", "a.wav", "音", "SEPlay", "音", "MIDIPlay", "曲", "MIDILoad", "x", "y", "キーコンフィグ", "文"}), S_OK);
  devicecalls::observer = nullptr;
  EXPECT_EQ(seamCalls, (std::vector<std::string>{"LoadSoundEffect a.wav 音", "PlaySoundEffect 音", "PlayMusic 曲.mid",
                                                 "ConfigureDevices "}));
  EXPECT_EQ(actions[7], 0);
  EXPECT_EQ(Message(), "文\n\n");
}

// What an author sees: a picture on screen keeps showing the texture it was
// given when TexUnload frees the registry's copy, and after TexLoad has read
// a changed file, until the script gives that place its picture again.
TEST_F(CMsgBoxCommands, PicturesOnScreenKeepTheirTextureThroughTexUnloadAndTexLoad) {
  platform::Device* device = CPolygon::GetDevice();
  auto leftPixel = [&] {
    device->Clear(0xFF000000);
    box->Render();
    device->Present();
    std::vector<uint32_t> px;
    EXPECT_TRUE(device->ReadPixels(px));
    return px.at(200 * 640 + 100);  // inside the left picture, clear of the frame
  };
  WriteTexture("pic.tga", Tga(2, 2, 0xFFFF0000));
  ASSERT_EQ(Run({"Texture", "p", "pic.tga", "Left", "p", "TexUnload", "p", "文"}), S_OK);
  EXPECT_EQ(CPolygon::Registry().count("pic.tga"), 0u);
  EXPECT_EQ(leftPixel(), 0xFFFF0000u);  // still drawn, from the sprite's own reference

  WriteTexture("pic.tga", Tga(2, 2, 0xFF0000FF));
  box->ReplaceWords({"TexLoad", "p", W("次")});
  ASSERT_EQ(box->Step(), S_OK);
  EXPECT_EQ(leftPixel(), 0xFFFF0000u);  // the reload serves pictures selected after it
  box->ReplaceWords({"Left", "p", W("次")});
  ASSERT_EQ(box->Step(), S_OK);
  EXPECT_EQ(leftPixel(), 0xFF0000FFu);
}

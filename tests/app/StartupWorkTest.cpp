// The start-up workers: which pictures an opening puts up before it first
// waits, and a first frame that is the same with the work done ahead as
// without it.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/GameApp.h"
#include "app/StartupWork.h"
#include "gfx/DecodeAhead.h"
#include "platform/diagnostics/Debug.h"
#include "platform/headless/Clock.h"
#include "platform/text/TextCodec.h"
#include "platform/window/Window.h"
#include "support/ScratchDir.h"

using namespace platform;

namespace {
WordList Words(const std::string& utf8) {
  WordList words;
  SplitWords(Utf8ToCp932Lossy(utf8), words);
  return words;
}
std::vector<std::string> Names(std::initializer_list<const char*> utf8) {
  std::vector<std::string> out;
  for (const char* n : utf8) out.push_back(Utf8ToCp932Lossy(n));
  return out;
}
}  // namespace

TEST(OpeningPictures, ThePicturesPutUpBeforeTheFirstFadeInTheirOrder) {
  // The demo's title: aliases, then a background and a logo, then a fade.
  EXPECT_EQ(OpeningPictures(Words("Texture Nothing Nothing Texture 公園 BG\\Park.png Texture ロゴ Title\\Logo.png "
                                  "Texture 廊下 BG\\Corridor.dds SELoad Door.wav 戸の音 "
                                  "string $戻る = オープニング\\オープニング1 $x = 1 Clear All "
                                  "BG 公園 WideCenter ロゴ MIDIPlay School FadeIn Images BG 廊下")),
            Names({"BG\\Park.png", "Title\\Logo.png"}));
}

TEST(OpeningPictures, AliasesAsTheGameReadsThem) {
  // The first definition stands; a picture shown twice is listed once;
  // "Nothing" and undefined aliases load no file; the other spelling counts.
  EXPECT_EQ(OpeningPictures(Words("Texture a A.png Texture a B.png Texture n Nothing "
                                  "BG a left a right n center undefined TexLoad a texture c C.png Center c")),
            Names({"A.png", "C.png"}));
}

TEST(OpeningPictures, TheFirstSpeakersPictureAndAButtonMenusButtons) {
  EXPECT_EQ(OpeningPictures(Words("Texture 陽菜 Face\\Hina.tga Texture 陽菜・笑顔 Face\\HinaSmile.tga "
                                  "陽菜・笑顔： こんにちは。 BG 陽菜")),
            Names({"Face\\HinaSmile.tga"}));
  // A speaker without a picture shows the "Nothing" alias's; one marked
  // unknown ("＊") leaves the picture as it was.
  EXPECT_EQ(OpeningPictures(Words("Texture Nothing Blank.png 誰か： はい。")), Names({"Blank.png"}));
  EXPECT_TRUE(OpeningPictures(Words("Texture Nothing Blank.png 誰か＊： はい。")).empty());
  EXPECT_EQ(OpeningPictures(Words("Texture 陽菜 Face\\Hina.tga 陽菜＊： はい。")), Names({"Face\\Hina.tga"}));
  EXPECT_EQ(OpeningPictures(Words("Texture はじめからボタン Button\\Start.png Texture おわるボタン Button\\Quit.png "
                                  "ButtonMenu Left { フォーマット 1 2 メニューアイテム { はじめから 1 a おわる 2 b } } "
                                  "BG x")),
            Names({"Button\\Start.png", "Button\\Quit.png"}));
}

TEST(OpeningPictures, StopsWhereTheFirstFrameIsDrawnBeforeWhatFollows) {
  for (const char* stop : {"FadeOut Images", "goto $x", "NextScriptFile a", "LoadMenu", "SaveMenu a", "GameEnd",
                           "FontMenu { }", "Save a b", "Battle"})
    EXPECT_EQ(OpeningPictures(Words(std::string("Texture a A.png BG a ") + stop + " Texture b B.png Left b")),
              Names({"A.png"}))
        << stop;
}

TEST(OpeningPictures, WordsThatAreNoCommandsAndScriptsCutShort) {
  // A string's value and a command's arguments are never read as commands.
  EXPECT_EQ(OpeningPictures(Words("Texture a A.png string $s = BG BG a")), Names({"A.png"}));
  EXPECT_EQ(OpeningPictures(Words("Texture BG A.png BG BG")), Names({"A.png"}));
  for (const char* cut : {"Texture", "Texture a", "Texture a A.png BG", "ButtonMenu", "ButtonMenu Left {",
                          "ButtonMenu Left { メニューアイテム { x 1", ""})
    EXPECT_NO_FATAL_FAILURE(OpeningPictures(Words(cut))) << cut;
  EXPECT_TRUE(OpeningPictures(Words("Texture a A.png BG")).empty());
}

TEST(OpeningPictures, AtMostADozen) {
  std::string script;
  for (int i = 0; i < 30; ++i) script += "Texture p" + std::to_string(i) + " P" + std::to_string(i) + ".png BG p" + std::to_string(i) + " ";
  EXPECT_EQ(OpeningPictures(Words(script)).size(), 12u);
}

namespace {
class StartupWorkGame : public ::testing::Test {
 protected:
  void SetUp() override {
    namespace fs = std::filesystem;
    const fs::path game = fs::path(VANTOREL_BINARY_DIR) / "game";
    if (!fs::exists(game / "GameData")) GTEST_SKIP() << "demo game not built";
    fs::copy(game / "GameData", fs::path(dir.Path()) / "GameData", fs::copy_options::recursive);
    setenv("XDG_CONFIG_HOME", dir.Path().c_str(), 1);
    SetDebugEcho(false);
  }
  void TearDown() override {
    UseRealClock();
    SetDebugEcho(true);
    SetCurrentWindow(nullptr);
  }
  enum Ahead { kNone, kFinishedFirst, kAlongside };
  // The demo's title after `passes` headless passes.
  static std::vector<uint32_t> Title(Ahead ahead, uint64_t passes) {
    UseVirtualClock(0);
    std::unique_ptr<StartupWork> work;
    if (ahead != kNone) work = std::make_unique<StartupWork>(false);
    if (ahead == kFinishedFirst) work.reset();  // waits for the workers
    GameApp app;
    RunOptions o;
    o.headless = true;
    o.maxFrames = passes;
    app.SetRunOptions(o);
    EXPECT_EQ(app.Create(nullptr, 1), S_OK);
    app.Run();
    std::vector<uint32_t> px;
    EXPECT_TRUE(app.GetDevice()->ReadPixels(px));
    return px;
  }
  testsupport::ScratchDir dir;
};
}  // namespace

TEST_F(StartupWorkGame, TheDemosTitleIsTheSameWithTheWorkDoneAhead) {
  const std::vector<uint32_t> plain = Title(kNone, 90);
  const size_t served = decode_ahead::Served();
  EXPECT_EQ(Title(kFinishedFirst, 90), plain);  // every pixel
  // The message window's three pictures, the title's background and logo.
  EXPECT_EQ(decode_ahead::Served(), served + 5);
  EXPECT_EQ(Title(kAlongside, 90), plain);
}

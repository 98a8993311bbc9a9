// Button and font menus read from scripts: order and duplicates, layout,
// cursors with wrap, unselectable items, decisions, and blocks that are not
// menus.
#include <cstdio>
#include <fstream>
#include <sstream>

#include "support/MsgBoxTestSupport.h"
#include "msgbox/DeviceCalls.h"
#include "platform/diagnostics/Report.h"
#include "platform/diagnostics/Trace.h"
#include "script/MenuItems.h"

using namespace msgboxtest;

namespace {
std::vector<std::string> sounds;
void RecordSound(const char* what, const std::string& name) {
  if (std::string(what) == "PlaySoundEffect") sounds.push_back(U(name));
}

class CMsgBoxMenus : public MsgBoxTest {
 protected:
  void SetUp() override {
    MsgBoxTest::SetUp();
    sounds.clear();
    devicecalls::observer = RecordSound;
  }
  void TearDown() override {
    devicecalls::observer = nullptr;
    MsgBoxTest::TearDown();
  }
  // The dialogue frame the menus lay out in.
  void Frame(float x, float y, float w, float h) {
    MsgBoxLayout l = GameLayout();
    l.window = {x, y, 0.9f, w, h, 0};
    box->SetLayout(l);
  }
  int ButtonCursor() const { return box->Buttons().ButtonMenuCursor()->first; }
  int FontCursor() const { return box->TextMenu().FontMenuCursor()->first; }
  const ButtonMenuItem& Button(int id) const { return *box->Buttons().ButtonMenuItems().at(id); }
  const FontMenuItem& Text(int id) const { return *box->TextMenu().FontMenuItems().at(id); }
};

void ExpectAt(const MenuVector& v, float x, float y) {
  EXPECT_FLOAT_EQ(v.x, x);
  EXPECT_FLOAT_EQ(v.y, y);
}
}  // namespace

TEST_F(CMsgBoxMenus, ItemsAreOrderedByIdAndTheFirstOfAnIdStays) {
  ASSERT_EQ(Run({"ButtonMenu", "{", "メニューアイテム", "{", "c", "3", "C", "a", "1", "A", "b", "2", "B", "dup", "2", "D",
                 "}", "}", "後"}),
            S_OK);
  EXPECT_TRUE(box->Buttons().ButtonMenuActive());
  EXPECT_EQ(Word(), "後");
  ASSERT_EQ(box->Buttons().ButtonMenuItems().size(), 3u);
  EXPECT_EQ(U(Button(2).label), "b");
  EXPECT_EQ(ButtonCursor(), 1);
  // Stepping is held while the menu is open.
  EXPECT_EQ(box->Step(), S_OK);
  EXPECT_EQ(Word(), "後");

  std::vector<int> seen;
  for (int i = 0; i < 4; ++i) {
    box->ButtonMenuNext();
    seen.push_back(ButtonCursor());
  }
  EXPECT_EQ(seen, (std::vector<int>{2, 3, 1, 2}));
  box->ButtonMenuPrev();
  box->ButtonMenuPrev();
  EXPECT_EQ(ButtonCursor(), 3);  // wrapped backwards past the first
  EXPECT_EQ(sounds, std::vector<std::string>(6, "方向キー音"));
}

TEST_F(CMsgBoxMenus, ButtonGridInsideTheDialogueFrameAndTheLift) {
  Frame(100, 350, 400, 100);
  ASSERT_EQ(Run({"ButtonMenu", "{", "フォーマット", "2", "2", "メニューアイテム", "{", "a", "1", "A", "b", "2", "B", "c",
                 "3", "C", "d", "4", "D", "}", "}"}),
            S_OK);
  ExpectAt(Button(1).position, 102, 352);  // the cursor item is lifted
  ExpectAt(Button(1).basePosition, 100, 350);
  ExpectAt(Button(2).position, 300, 350);
  ExpectAt(Button(3).position, 100, 400);
  ExpectAt(Button(4).position, 300, 400);
  ExpectAt(Button(4).lowerRight, 500, 450);
  ExpectAt(Button(4).size, 200, 50);

  box->ButtonMenuNext();
  ExpectAt(Button(1).position, 100, 350);
  ExpectAt(Button(2).position, 302, 352);
  ExpectAt(Button(2).lowerRight, 500, 400);  // the corner stays as laid out
}

TEST_F(CMsgBoxMenus, LeftColumnLayoutAndGridsWithoutFormat) {
  ASSERT_EQ(Run({"ButtonMenu", "Left", "{", "フォーマット", "1", "3", "メニューアイテム", "{", "a", "1", "A", "b", "2", "B",
                 "c", "3", "C", "}", "}"}),
            S_OK);
  EXPECT_EQ(box->Buttons().ButtonMenuFrame(), "Left");
  ExpectAt(Button(1).basePosition, 0, 0);
  ExpectAt(Button(2).position, 0, 133);
  ExpectAt(Button(3).position, 0, 266);
  ExpectAt(Button(3).size, 150, 133);

  // No format, or zero and nonsense counts: one cell per row of the frame.
  box->ForceHold(CMsgBox::Hold::ButtonMenu, false);
  ASSERT_EQ(Run({"ButtonMenu", "{", "フォーマット", "0", "x", "メニューアイテム", "{", "a", "1", "A", "b", "2", "B", "}", "}"}),
            S_OK);
  ExpectAt(Button(2).position, 160, 296 + 136);
  ExpectAt(Button(2).size, 470, 136);
}

TEST_F(CMsgBoxMenus, FontMenuBrightnessAndUnselectableItemsPassedOver) {
  Frame(100, 350, 400, 100);
  ASSERT_EQ(Run({"FontMenu", "{", "フォーマット", "1", "4", "メニューアイテム", "{", "一", "1", "A", "二", "2", "B", "三", "3",
                 "C", "四", "4", "D", "}", "}"}),
            S_OK);
  EXPECT_TRUE(box->TextMenu().MenuActive());
  ExpectAt(Text(1).position, 120, 360);
  ExpectAt(Text(2).position, 120, 385);
  EXPECT_EQ(Text(1).brightness, 255);
  EXPECT_EQ(Text(2).brightness, 180);

  box->SetFontItemSelectable(2, false);
  box->SetFontItemSelectable(3, false);
  box->FontMenuNext();
  EXPECT_EQ(FontCursor(), 4);
  EXPECT_EQ(Text(1).brightness, 180);
  EXPECT_EQ(Text(4).brightness, 255);
  box->FontMenuNext();
  EXPECT_EQ(FontCursor(), 1);  // wrapped
  box->FontMenuPrev();
  EXPECT_EQ(FontCursor(), 4);  // wrapped backwards
  box->FontMenuPrev();
  EXPECT_EQ(FontCursor(), 1);

  // With nothing selectable the cursor comes round to where it was.
  for (int id = 1; id <= 4; ++id) box->SetFontItemSelectable(id, false);
  box->FontMenuNext();
  EXPECT_EQ(FontCursor(), 1);
  // The button menu is not open: its moves play nothing.
  box->ButtonMenuNext();
  EXPECT_EQ(sounds.size(), 5u);
}

TEST_F(CMsgBoxMenus, DecisionsStartTheTargetScript) {
  WriteScript("分岐B.Dat", {"Bの話"});
  std::filesystem::create_directories("GameData/Text/第一章");
  WriteScript("第一章\\分岐C.Dat", {"Cの話"});
  ASSERT_EQ(Run({"ButtonMenu", "{", "メニューアイテム", "{", "はい", "1", "分岐A", "いいえ", "2", "分岐B", "}", "}"}), S_OK);
  box->ButtonMenuNext();
  EXPECT_EQ(box->FontMenuDecide(), 0);  // not open
  EXPECT_EQ(box->ButtonMenuDecide(), 1);
  EXPECT_FALSE(box->Buttons().ButtonMenuActive());
  EXPECT_EQ(U(CMsgBox::currentScriptName), "分岐B.Dat");
  EXPECT_EQ(Message(), "Bの話\n\n");
  EXPECT_EQ(box->ButtonMenuDecide(), 0);
  EXPECT_EQ(sounds.back(), "決定キー音");

  // A "$" target goes through its variable.
  ASSERT_EQ(Run({"string", "$行先", "=", "第一章\\分岐C", "FontMenu", "{", "メニューアイテム", "{", "x", "1", "$行先", "}",
                 "}"}),
            S_OK);
  EXPECT_EQ(box->FontMenuDecide(), 1);
  EXPECT_EQ(U(CMsgBox::currentScriptName), "第一章\\分岐C.Dat");
  EXPECT_EQ(Message(), "Cの話\n\n");
}

TEST_F(CMsgBoxMenus, MenuWithoutItemsIsReportedAndTheStepGoesOnAfterIt) {
  // Opened, it could never be decided and would hold the script for good.
  const uint64_t before = platform::ShownReportCount();
  testing::internal::CaptureStderr();
  ASSERT_EQ(Run({"ButtonMenu", "{", "フォーマット", "2", "1", "}", "FontMenu", "{", "}", "後の文"}), S_OK);
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(platform::ShownReportCount() - before, 2u);
  EXPECT_NE(err.find("ボタンメニューの項目が設定されていません。"), std::string::npos);
  EXPECT_NE(err.find("フォントメニューの項目が設定されていません。"), std::string::npos);
  EXPECT_FALSE(box->Buttons().ButtonMenuActive());
  EXPECT_FALSE(box->TextMenu().MenuActive());
  EXPECT_EQ(Message(), "後の文\n\n");
  // A block at the very end ends the script.
  testing::internal::CaptureStderr();
  EXPECT_EQ(Run({"FontMenu", "{", "}"}), E_FAIL);
  testing::internal::GetCapturedStderr();
  EXPECT_FALSE(box->Script().Running());

  // Moving and deciding on a menu with no cursor item touch nothing.
  EXPECT_EQ(box->Buttons().ButtonMenuCursor(), box->Buttons().ButtonMenuItems().end());
  box->ForceHold(CMsgBox::Hold::ButtonMenu, true);
  box->ButtonMenuNext();
  box->ButtonMenuPrev();
  EXPECT_EQ(box->ButtonMenuDecide(), 0);
  EXPECT_TRUE(box->Buttons().ButtonMenuActive());
}

// A button without its picture stops the frame, or draws without it, on
// every frame the menu is open; the player is told once per opening, not
// sixty times a second (the missing file was found by fuzzing whole games).
TEST_F(CMsgBoxMenus, MissingButtonPicturesAreReportedOncePerOpening) {
  struct Case {
    const char* what;
    const char* file;  // the alias's file; null: no alias
    HRESULT render;
    const char* message;
  };
  for (const Case& c : {Case{"no alias", nullptr, E_FAIL, "ボタンテクスチャが見つかりません。"},
                        Case{"no file", "無い.tga", S_OK, "D3DUtil_CreateTexture"}}) {
    SCOPED_TRACE(c.what);
    std::vector<std::string> menu = {"Texture", "はいボタン", "taro.tga", "ButtonMenu", "{", "フォーマット", "2", "1",
                                     "メニューアイテム", "{", "はい", "1", "a", "いいえ", "2", "b", "}", "}"};
    if (c.file) menu.insert(menu.begin(), {"Texture", "いいえボタン", c.file});
    box->ForceHold(CMsgBox::Hold::ButtonMenu, false);
    const uint64_t before = platform::ShownReportCount();
    testing::internal::CaptureStderr();
    ASSERT_EQ(Run(menu), S_OK);
    for (int frame = 0; frame < 60; ++frame) EXPECT_EQ(box->Render(), c.render);
    EXPECT_EQ(platform::ShownReportCount() - before, 1u);
    if (c.file) {
      // Drawn as on the first try: the button without a picture.
      EXPECT_EQ(box->Buttons().ButtonSprite()->texture, nullptr);
      EXPECT_EQ(U(box->Buttons().ButtonSprite()->textureName), c.file);
    }
    // Opened again, the menu reports again.
    box->ForceHold(CMsgBox::Hold::ButtonMenu, false);
    ASSERT_EQ(Run(menu), S_OK);
    ASSERT_TRUE(box->Buttons().ButtonMenuActive());
    for (int frame = 0; frame < 60; ++frame) box->Render();
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(platform::ShownReportCount() - before, 2u);
    EXPECT_NE(err.find(c.message), std::string::npos);
  }
}

namespace {
// Counts what text objects rasterise and draw; shows nothing.
class CountingDevice : public platform::Device {
 public:
  CountingDevice() : Device(640, 480) {}
  struct Nothing : platform::Texture {
    int Width() const override { return 1; }
    int Height() const override { return 1; }
  };
  platform::TexturePtr CreateTexture(int, int, const uint32_t*) override {
    ++textures;
    return std::make_shared<Nothing>();
  }
  bool ReadPixels(std::vector<uint32_t>&) override { return false; }
  int textures = 0;

 protected:
  void PresentFrame() override {}
};
}  // namespace

// A long text menu's grid runs on below the screen: the items there show
// nothing and are not drawn, and each label on screen is rasterised once,
// not again on every frame.
TEST_F(CMsgBoxMenus, LongFontMenuDrawsOnlyWhatIsOnScreenAndRasterisesEachLabelOnce) {
  Frame(100, 350, 400, 100);  // 4 rows of 25: item k at y = 360 + 25 k, on screen up to k = 4
  std::vector<std::string> menu = {"FontMenu", "{", "フォーマット", "1", "4", "メニューアイテム", "{"};
  for (int i = 1; i <= 40; ++i) menu.insert(menu.end(), {"項目" + std::to_string(i), std::to_string(i), "A"});
  menu.insert(menu.end(), {"}", "}"});
  ASSERT_EQ(Run(menu), S_OK);
  ASSERT_TRUE(box->TextMenu().MenuActive());
  platform::Device* shown = TextFont::GetDevice();
  CountingDevice counting;
  TextFont::SetDevice(&counting);
  if (!box->TextMenu().MenuTextObject()->HasFont()) {
    TextFont::SetDevice(shown);
    GTEST_SKIP() << "no font for the menu's face";
  }
  for (int frame = 0; frame < 3; ++frame) {
    counting.Clear(0);
    box->Render();
    counting.Present();
    if (frame == 0) box->FontMenuNext();  // a move changes brightness, not the labels
  }
  TextFont::SetDevice(shown);
  EXPECT_EQ(counting.textures, 5);
  EXPECT_EQ(counting.DrawCalls(), 15u);
}

TEST_F(CMsgBoxMenus, KeywordWithoutBlockIsNoMenu) {
  // The frame word is taken; the word after it runs as usual.
  ASSERT_EQ(Run({"ButtonMenu", "枠", "Texture", "a", "taro.tga", "文"}), S_OK);
  EXPECT_FALSE(box->Buttons().ButtonMenuActive());
  EXPECT_EQ(box->Buttons().ButtonMenuFrame(), W("枠"));
  EXPECT_EQ(U(box->Script().TextureAliases().at("a")), "taro.tga");
  EXPECT_EQ(Message(), "文\n\n");

  ASSERT_EQ(Run({"FontMenu", "枠", "文"}), S_OK);
  EXPECT_FALSE(box->TextMenu().MenuActive());
  EXPECT_EQ(Message(), "文\n\n");
}

TEST_F(CMsgBoxMenus, BrokenBlocksFailWithoutReadingPastTheScript) {
  testing::internal::CaptureStderr();
  ASSERT_EQ(Run({"文"}), S_OK);
  box->ReplaceWords({W("文")});
  EXPECT_EQ(box->ReadButtonMenu(), E_FAIL);
  EXPECT_EQ(box->ReadFontMenu(), E_FAIL);
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("ボタンメニューの項目が設定されていません。"), std::string::npos);
  EXPECT_NE(err.find("フォントメニューの項目が設定されていません。"), std::string::npos);

  for (std::vector<std::string> words : std::vector<std::vector<std::string>>{
           {"ButtonMenu", "{", "メニューアイテム", "{", "a", "1"},
           {"FontMenu", "{", "フォーマット", "2"},
           {"ButtonMenu", "{"},
           {"ButtonMenu", "Left"},
           {"FontMenu"}}) {
    EXPECT_EQ(Run(words), E_FAIL) << U(words[0]) << " " << words.size();
    EXPECT_FALSE(box->Buttons().ButtonMenuActive() || box->TextMenu().MenuActive());
    EXPECT_FALSE(box->Script().Running());
  }
}

TEST_F(CMsgBoxMenus, TraceCarriesBothMenus) {
  const std::string line = TracedPass([&] {
    ASSERT_EQ(Run({"ButtonMenu", "{", "メニューアイテム", "{", "はい", "2", "分岐A", "}", "}"}), S_OK);
  });
  EXPECT_NE(line.find("\"buttonMenu\":{\"cursor\":2,\"items\":[{\"id\":2,\"label\":\"はい\",\"target\":\"分岐A\",\"x\":162,"
                      "\"y\":298,\"w\":470,\"h\":136}]}"),
            std::string::npos)
      << line;
  EXPECT_NE(line.find("\"fontMenu\":{\"cursor\":null,\"items\":[]}"), std::string::npos);
}

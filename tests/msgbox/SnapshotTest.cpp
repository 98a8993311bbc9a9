// Snapshots of the message box: what is given back equals what was taken,
// in the trace's state and on screen, across pictures, variables, menus and
// another script; and what did not change between two snapshots is shared.
#include <gtest/gtest.h>

#include <vector>

#include "msgbox/Snapshot.h"
#include "support/MsgBoxTestSupport.h"

using namespace msgboxtest;

namespace {
class Snapshots : public MsgBoxTest {
 protected:
  void SetUp() override {
    MsgBoxTest::SetUp();
    device_ = CPolygon::GetDevice();
    WriteScript("next.Dat", {"BG", "公園", "次の話。", ".", "終わり。"});
    ASSERT_EQ(Run({"Texture", "公園", "bg.tga", "Texture", "太郎", "taro.tga", "Texture", "花子", "hanako.tga",
                   "Texture", "右ボタン", "wide.tga", "Texture", "左ボタン", "nothing.tga", "string", "$a", "=", "1",
                   "BG", "公園", "Left", "太郎", "太郎：", "こんにちは。", ".", "$a", "=", "2", "Right", "花子",
                   "花子：", "はい。", ".", "ButtonMenu", "{", "フォーマット", "2", "1", "メニューアイテム", "{",
                   "右", "1", "next", "左", "2", "next", "}", "}"}),
              S_OK);
  }
  // Types the message out and lets the window see it done, as the frame loop would.
  void Settle() {
    box->ShowWholeMessage();
    box->FrameMove();
    box->FrameMove();
  }
  std::vector<uint32_t> Screen() {
    device_->Clear(0xFF000000);
    box->Render();
    device_->Present();
    std::vector<uint32_t> px;
    EXPECT_TRUE(device_->ReadPixels(px));
    return px;
  }
  platform::Device* device_ = nullptr;
};

TEST_F(Snapshots, GiveBackTheTraceAndTheScreenAtAMessageAndAtAMenu) {
  Settle();
  ASSERT_TRUE(box->AtWaitPoint());
  msgbox::Snapshot first;
  box->TakeSnapshot(first);
  const std::string firstState = platform::trace::CurrentState();
  const auto firstScreen = Screen();

  box->Step();  // 花子 on the right, $a = 2
  Settle();
  box->Step();  // the button menu
  box->FrameMove();
  ASSERT_TRUE(box->MenuOpen());
  ASSERT_TRUE(box->AtWaitPoint());
  msgbox::Snapshot menu;
  box->TakeSnapshot(menu, &first);
  const std::string menuState = platform::trace::CurrentState();
  const auto menuScreen = Screen();
  EXPECT_NE(menuState, firstState);

  // The menu's cursor moves and a choice opens another script.
  box->ButtonMenuNext();
  ASSERT_NE(box->ButtonMenuDecide(), 0);  // opens the chosen script
  Settle();
  ASSERT_EQ(U(CMsgBox::currentScriptName), "next.Dat");

  box->RestoreSnapshot(first);
  EXPECT_EQ(platform::trace::CurrentState(), firstState);
  EXPECT_EQ(Screen(), firstScreen);
  EXPECT_EQ(Message(), "太郎：こんにちは。\n\n");
  EXPECT_EQ(U(box->Script().Variables().at(W("$a"))), "1");

  box->RestoreSnapshot(menu);
  EXPECT_EQ(platform::trace::CurrentState(), menuState);
  EXPECT_EQ(Screen(), menuScreen);
  // From the menu given back the game plays on as it would have.
  box->ButtonMenuNext();
  EXPECT_NE(box->ButtonMenuDecide(), 0);
  EXPECT_EQ(Message(), "花子：次の話。\n\n");  // the label stays until the next speaker word

  // From the first message again: stepping gives the same second message.
  box->RestoreSnapshot(first);
  box->FrameMove();
  EXPECT_EQ(box->Step(), S_OK);
  EXPECT_EQ(Message(), "花子：はい。\n\n");
}

TEST_F(Snapshots, ShareWhatDidNotChange) {
  Settle();
  msgbox::Snapshot a, b, c;
  box->TakeSnapshot(a);
  box->TakeSnapshot(b, &a);
  EXPECT_EQ(a.words, b.words);
  EXPECT_EQ(a.variables, b.variables);
  EXPECT_EQ(a.textureAliases, b.textureAliases);
  EXPECT_EQ(a.textures, b.textures);
  EXPECT_LT(b.OwnBytes(&a), a.OwnBytes(nullptr));

  box->Step();  // $a changes; the words do not
  Settle();
  box->TakeSnapshot(c, &b);
  EXPECT_EQ(c.words, b.words);
  EXPECT_NE(c.variables, b.variables);
  EXPECT_EQ(c.textureAliases, b.textureAliases);
}

TEST_F(Snapshots, AreTakenOnlyAtWaitPoints) {
  EXPECT_FALSE(box->AtWaitPoint());  // the first message is still to be typed
  Settle();
  EXPECT_TRUE(box->AtWaitPoint());
  box->ForceHold(CMsgBox::Hold::ImageFade, true);
  EXPECT_FALSE(box->AtWaitPoint());
  box->ForceHold(CMsgBox::Hold::ImageFade, false);
  box->ForceHold(CMsgBox::Hold::Running, false);
  EXPECT_FALSE(box->AtWaitPoint());  // the script stopped (GameEnd, the end of the words)
}

TEST_F(Snapshots, GiveBackAPictureLetGoSince) {
  Settle();
  msgbox::Snapshot s;
  box->TakeSnapshot(s);
  CPolygon::UnloadTexture("bg.tga");
  box->ReplaceWords({W("BG"), W("花子"), W("TexUnload"), W("公園"), W("別。")});
  box->Step();
  box->RestoreSnapshot(s);
  ASSERT_TRUE(box->Window().BgSprite()->texture);
  EXPECT_EQ(box->Window().BgSprite()->textureName, "bg.tga");
  EXPECT_EQ(CPolygon::Registry().count("bg.tga"), 1u);
}
}  // namespace

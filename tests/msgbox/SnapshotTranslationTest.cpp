// Snapshots in a translation: given back with the same language chosen,
// the message, its label and the text menu show and trace as they did;
// with another choice made since (none, or one again), they show in that
// one; and a save file carries what the translation needs to find them.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "msgbox/Snapshot.h"
#include "msgbox/Translation.h"
#include "platform/text/MessageCatalog.h"
#include "saves/SaveFile.h"
#include "support/MsgBoxTestSupport.h"

using namespace msgboxtest;

namespace {
std::shared_ptr<const msgbox::Translation> French() {
  platform::Catalog c;
  for (auto [context, id, text] : {std::tuple{"test.Dat:0", "太郎：", "Tarō : "},
                                   std::tuple{"test.Dat:1", "こんにちは", "Bonjour, ça va ?"},
                                   std::tuple{"test.Dat:10", "右へ", "À droite"}}) {
    platform::CatalogEntry e;
    e.context = context;
    e.msgid = id;
    e.msgstr = text;
    c.entries.push_back(e);
  }
  return std::make_shared<const msgbox::Translation>("fr", c);
}

class SnapshotsInATranslation : public MsgBoxTest {
 protected:
  void SetUp() override {
    MsgBoxTest::SetUp();
    device_ = CPolygon::GetDevice();
    box->SetTranslation(french_);
    ASSERT_EQ(Run({"太郎：", "こんにちは", ".", "FontMenu", "{", "メニューアイテム", "{", "左へ", "1", "a", "右へ", "2",
                   "b", "}", "}"}),
              S_OK);
    TypeOut();
  }
  void TypeOut() {
    box->FrameMove();
    for (int i = 0; i < 400 && box->Window().Typing(); ++i) box->FrameMove();
  }
  std::vector<uint32_t> Screen() {
    device_->Clear(0xFF000000);
    box->Render();
    device_->Present();
    std::vector<uint32_t> px;
    EXPECT_TRUE(device_->ReadPixels(px));
    return px;
  }
  std::vector<std::string> ItemsShown() {
    std::vector<std::string> shown;
    for (const auto& [id, item] : box->TextMenu().FontMenuItems()) shown.push_back(item->shown);
    return shown;
  }
  std::shared_ptr<const msgbox::Translation> french_ = French();
  platform::Device* device_ = nullptr;
};

TEST_F(SnapshotsInATranslation, GiveBackTheSameScreenInTheLanguageChosen) {
  ASSERT_TRUE(box->AtWaitPoint());
  msgbox::Snapshot first, menu;
  box->TakeSnapshot(first);
  const std::string firstState = platform::trace::CurrentState();
  const auto firstScreen = Screen();
  ASSERT_EQ(box->Window().ShownText(), "Tarō : Bonjour, ça va ?");

  box->Step();  // the text menu, its second item translated
  box->FrameMove();
  ASSERT_TRUE(box->MenuOpen());
  box->TakeSnapshot(menu, &first);
  const std::string menuState = platform::trace::CurrentState();
  const auto menuScreen = Screen();

  box->RestoreSnapshot(first);
  EXPECT_EQ(platform::trace::CurrentState(), firstState);
  EXPECT_EQ(Screen(), firstScreen);
  EXPECT_EQ(box->ShownLabel(), "Tarō : ");
  box->RestoreSnapshot(menu);
  EXPECT_EQ(platform::trace::CurrentState(), menuState);
  EXPECT_EQ(Screen(), menuScreen);
  EXPECT_EQ(ItemsShown(), (std::vector<std::string>{"", "À droite"}));

  // The original chosen since: the original's words, typed whole as they stood.
  box->SetTranslation(nullptr);
  box->RestoreSnapshot(first);
  EXPECT_FALSE(box->Window().Translated());
  EXPECT_EQ(Message(), "太郎：こんにちは\n\n");
  EXPECT_EQ(box->Window().TypedLength(), box->Window().MessageText().size());
  EXPECT_NE(platform::trace::CurrentState().find("\"speakerLabel\":\"太郎：\""), std::string::npos);
  const std::string originalState = platform::trace::CurrentState();
  const auto originalScreen = Screen();
  EXPECT_NE(originalScreen, firstScreen);
  box->RestoreSnapshot(menu);
  EXPECT_EQ(ItemsShown(), (std::vector<std::string>{"", ""}));

  // A snapshot taken in the original, given back with the translation chosen again.
  box->RestoreSnapshot(first);
  msgbox::Snapshot plain;
  box->TakeSnapshot(plain);
  box->SetTranslation(french_);
  box->Step();
  box->RestoreSnapshot(plain);
  EXPECT_EQ(platform::trace::CurrentState(), firstState);
  EXPECT_EQ(Screen(), firstScreen);
  // And the translated one given back in the original matches the original's.
  box->SetTranslation(nullptr);
  box->RestoreSnapshot(first);
  EXPECT_EQ(platform::trace::CurrentState(), originalState);
  EXPECT_EQ(Screen(), originalScreen);
}

TEST_F(SnapshotsInATranslation, ASaveFileKeepsWhereTheTextsCameFrom) {
  saves::SaveContents save;
  saves::RecordEntry message, menu;
  box->TakeSnapshot(message.snapshot);
  const std::string messageState = platform::trace::CurrentState();
  box->Step();
  box->FrameMove();
  box->TakeSnapshot(menu.snapshot, &message.snapshot);
  menu.menu = true;
  const std::string menuState = platform::trace::CurrentState();
  save.record = {message, menu};

  saves::SaveContents back;
  std::string why;
  ASSERT_TRUE(saves::DecodeSave(saves::EncodeSave(save), back, why)) << why;
  ASSERT_EQ(back.record.size(), 2u);
  EXPECT_EQ(back.record[0].snapshot.language, "fr");
  EXPECT_EQ(back.record[0].snapshot.textPlace, message.snapshot.textPlace);
  box->RestoreSnapshot(back.record[0].snapshot);
  EXPECT_EQ(platform::trace::CurrentState(), messageState);
  box->RestoreSnapshot(back.record[1].snapshot);
  EXPECT_EQ(platform::trace::CurrentState(), menuState);
  EXPECT_EQ(ItemsShown(), (std::vector<std::string>{"", "À droite"}));
}
}  // namespace

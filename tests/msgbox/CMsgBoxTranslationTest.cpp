// The message box in a translation: messages, speaker labels and text-menu
// items shown and traced in the translation's words, typed by grapheme,
// and the original's state underneath left as it was.
#include "msgbox/Translation.h"
#include "platform/text/MessageCatalog.h"
#include "support/MsgBoxTestSupport.h"

using namespace msgboxtest;
using CMsgBoxTranslation = MsgBoxTest;

namespace {
platform::CatalogEntry Entry(const std::string& context, const std::string& msgid, const std::string& msgstr,
                             bool fuzzy = false) {
  platform::CatalogEntry e;
  e.context = context;
  e.msgid = msgid;
  e.msgstr = msgstr;
  e.fuzzy = fuzzy;
  return e;
}

std::shared_ptr<const msgbox::Translation> French(std::vector<platform::CatalogEntry> entries) {
  platform::Catalog c;
  c.entries = std::move(entries);
  return std::make_shared<const msgbox::Translation>("fr", c);
}

// Types the message on screen to its end.
void TypeAll(CMsgBox& box) {
  box.FrameMove();
  for (int i = 0; i < 400 && box.Window().Typing(); ++i) box.FrameMove();
}
}  // namespace

TEST_F(CMsgBoxTranslation, MessagesLabelsAndTraceShowTheTranslation) {
  box->SetTranslation(French({Entry("test.Dat:0", "太郎：", "Tarō : "),
                              Entry("test.Dat:1", "こんにちは", "Bonjour, ça va ? Très bien, merci."),
                              Entry("test.Dat:3", "古い文", "Ancienne phrase")}));
  ASSERT_EQ(Run({"太郎：", "こんにちは", ".", "新しい文"}), S_OK);
  TypeAll(*box);
  EXPECT_TRUE(box->Window().Translated());
  EXPECT_EQ(box->Window().ShownText(), "Tarō : Bonjour, ça va ? Très bien, merci.");
  EXPECT_EQ(box->ShownLabel(), "Tarō : ");
  // The original's message stays underneath, as the design keeps it.
  EXPECT_EQ(Message(), "太郎：こんにちは\n\n");
  const std::string line = TracedPass([] {});
  EXPECT_NE(line.find("\"message\":\"Tarō : Bonjour, ça va ? Très bien, merci.\""), std::string::npos) << line;
  EXPECT_NE(line.find("\"speakerLabel\":\"Tarō : \""), std::string::npos) << line;

  // An entry whose original is not the script's text any more is passed
  // over: the script's own text shows, with the label still translated.
  box->Step();
  TypeAll(*box);
  EXPECT_EQ(box->Window().ShownText(), "Tarō : 新しい文");
}

TEST_F(CMsgBoxTranslation, FuzzyAndUntranslatedEntriesShowTheOriginal) {
  box->SetTranslation(French({Entry("test.Dat:0", "一行目", "Première", true), Entry("test.Dat:2", "二行目", "")}));
  ASSERT_EQ(Run({"一行目", ".", "二行目"}), S_OK);
  TypeAll(*box);
  EXPECT_EQ(box->Window().ShownText(), "一行目");
  box->Step();
  TypeAll(*box);
  EXPECT_EQ(box->Window().ShownText(), "二行目");
}

TEST_F(CMsgBoxTranslation, TypesByGraphemeAndWrapsByWords) {
  // "é" as e and a combining acute accent: one character to the reader.
  const std::string text = "Cafe\xCC\x81 au lait, s'il vous plaît, avec un croissant et une très longue phrase qui "
                           "ne tient pas sur une seule ligne de la fenêtre.";
  box->SetTranslation(French({Entry("test.Dat:0", "文", text)}));
  ASSERT_EQ(Run({"文"}), S_OK);
  const msgbox::MessageWindow& w = box->Window();
  for (int i = 0; i < 3; ++i) box->FrameMove();
  EXPECT_EQ(w.ShownText().substr(0, w.ShownTyped()), "Caf");
  box->FrameMove();  // the e and its accent at once
  EXPECT_EQ(w.ShownText().substr(0, w.ShownTyped()), "Cafe\xCC\x81");
  TypeAll(*box);
  EXPECT_EQ(w.ShownTyped(), w.ShownText().size());
  EXPECT_TRUE(w.ShownFits());
  // Rows break between words, never inside one.
  std::string joined;
  size_t rows = 1;
  for (char c : w.ShownText()) {
    if (c == '\n') ++rows;
    joined += c == '\n' ? ' ' : c;
  }
  EXPECT_EQ(joined, text);
  EXPECT_GE(rows, 2u);
}

TEST_F(CMsgBoxTranslation, SwitchingLanguageShowsTheMessageOnScreenAtOnce) {
  ASSERT_EQ(Run({"花子：", "こんばんは"}), S_OK);
  TypeAll(*box);
  box->SetTranslation(French({Entry("test.Dat:0", "花子：", "Hanako : "), Entry("test.Dat:1", "こんばんは", "Bonsoir")}));
  EXPECT_EQ(box->Window().ShownText(), "Hanako : Bonsoir");
  EXPECT_EQ(box->Window().ShownTyped(), box->Window().ShownText().size());  // typed whole, as it was
  // And back: the original's rows, typed whole, and its trace as before.
  box->SetTranslation(nullptr);
  EXPECT_FALSE(box->Window().Translated());
  EXPECT_EQ(Message(), "花子：こんばんは\n\n");
  EXPECT_EQ(box->Window().TypedLength(), box->Window().MessageText().size());
  const std::string line = TracedPass([] {});
  EXPECT_NE(line.find("\"speakerLabel\":\"花子：\""), std::string::npos) << line;
}

TEST_F(CMsgBoxTranslation, TextMenuItemsShowTheirTranslation) {
  box->SetTranslation(French({Entry("test.Dat:7", "右へ", "À droite")}));
  ASSERT_EQ(Run({"FontMenu", "{", "メニューアイテム", "{", "左へ", "1", "a", "右へ", "2", "b", "}", "}"}), S_OK);
  ASSERT_TRUE(box->MenuOpen());
  std::vector<std::string> shown;
  for (const auto& [id, item] : box->TextMenu().FontMenuItems()) shown.push_back(item->shown);
  EXPECT_EQ(shown, (std::vector<std::string>{"", "À droite"}));
  const std::string line = TracedPass([] {});
  EXPECT_NE(line.find("\"label\":\"À droite\""), std::string::npos) << line;
  box->SetTranslation(nullptr);
  for (const auto& [id, item] : box->TextMenu().FontMenuItems()) EXPECT_TRUE(item->shown.empty());
}

TEST(SaveScreenText, FillsTheTranslatorsFormatAndRefusesWhatItCannot) {
  platform::Catalog c;
  c.entries.push_back(Entry(msgbox::kSaveScreenContext, "a", "Slot %1$d: %3$s %2$02d%%"));
  c.entries.push_back(Entry(msgbox::kSaveScreenContext, "b", "Slot %d %x"));
  c.entries.push_back(Entry(msgbox::kSaveScreenContext, "c", "Slot %4$d"));
  c.entries.push_back(Entry(msgbox::kSaveScreenContext, "d", "Slot %5d|%-3d"));
  const msgbox::Translation t("en", c);
  EXPECT_EQ(msgbox::ScreenText(t, msgbox::kSaveScreenContext, "a", {"2", "7", "Mon"}, "x"), "Slot 2: Mon 07%");
  // A directive it does not know, an argument it does not have: the original.
  EXPECT_EQ(msgbox::ScreenText(t, msgbox::kSaveScreenContext, "b", {"2"}, "fallback"), "fallback");
  EXPECT_EQ(msgbox::ScreenText(t, msgbox::kSaveScreenContext, "c", {"2"}, "fallback"), "fallback");
  EXPECT_EQ(msgbox::ScreenText(t, msgbox::kSaveScreenContext, "d", {"2", "3"}, "fallback"), "fallback");
  EXPECT_EQ(msgbox::ScreenText(t, msgbox::kSaveScreenContext, "none", {}, "fallback"), "fallback");
}

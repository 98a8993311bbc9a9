// The player's language: the translations a game ships, the choice by
// --language, by the settings (their file and the settings screen's row)
// and by the locale, each put in force at once and traced.
#include <gtest/gtest.h>

#include <fstream>

#include "comfort/Controller.h"
#include "comfort/Settings.h"
#include "comfort/SettingsScreen.h"
#include "input/GameActions.h"
#include "platform/text/Font.h"
#include "platform/text/UiText.h"
#include "support/MsgBoxTestSupport.h"

using comfort::Controller;

namespace {
class ComfortLanguage : public msgboxtest::MsgBoxTest {
 protected:
  void SetUp() override {
    MsgBoxTest::SetUp();
    std::filesystem::create_directories("GameData/Translations");
    std::ofstream("GameData/Translations/fr.po")
        << "msgid \"\"\nmsgstr \"Language: fr\\nContent-Type: text/plain; charset=UTF-8\\n\"\n\n"
           "msgctxt \"test.Dat:0\"\nmsgid \"こんにちは\"\nmsgstr \"Bonjour, ça va ?\"\n";
    std::ofstream("GameData/Translations/not a code.po") << "";  // passed over
    std::ofstream("GameData/Translations/de.po") << "msgid \"a\nbroken";
  }
  void TearDown() override {
    comforts.reset();
    MsgBoxTest::TearDown();
  }
  void Make(const std::string& language, const std::string& settings = "settings") {
    comforts.reset();
    Controller::Config c;
    c.listen = false;
    c.settingsPath = settings;
    c.language = language;
    comforts = std::make_unique<Controller>(*box, actions, c);
  }
  std::unique_ptr<Controller> comforts;
};
}  // namespace

TEST_F(ComfortLanguage, TheCommandLinesLanguageIsInForceAtOnceAndTraced) {
  ASSERT_EQ(Run({"こんにちは"}), S_OK);
  Make("fr");
  std::vector<std::string> codes;
  for (const auto& c : comforts->Languages().Choices()) codes.push_back(c.code);
  EXPECT_EQ(codes, (std::vector<std::string>{"", "de", "fr"}));
  EXPECT_EQ(comforts->Languages().Choices()[2].name, "Français");
  EXPECT_EQ(comforts->Language(), "fr");
  EXPECT_EQ(platform::FontLanguage(), "fr");
  EXPECT_EQ(box->Window().ShownText(), "Bonjour, ça va ?");
  comforts->BeginStep(0.0);
  const std::string line = TracedPass([] {});
  EXPECT_NE(line.find("\"language\":\"fr\""), std::string::npos) << line;
  // The settings keep no language the player did not choose.
  EXPECT_TRUE(comforts->Current().language.empty());
  // With the controller gone, the process is back in the original's language.
  comforts.reset();
  EXPECT_EQ(platform::FontLanguage(), "");
  EXPECT_EQ(platform::UiLanguage(), "ja");
}

TEST_F(ComfortLanguage, AnUnreadableTranslationIsReportedAndTheOriginalStays) {
  ASSERT_EQ(Run({"こんにちは"}), S_OK);
  std::string line = TracedPass([&] { Make("de"); });
  EXPECT_EQ(comforts->Language(), "");
  EXPECT_FALSE(box->Window().Translated());
  auto reports = [](const std::string& s) {
    size_t n = 0;
    for (size_t at = s.find("\"type\":\"report\""); at != std::string::npos; at = s.find("\"type\":\"report\"", at + 1)) ++n;
    return n;
  };
  EXPECT_EQ(reports(line), 1u) << line;
  EXPECT_NE(line.find("de.po"), std::string::npos) << line;
  // The row stands on the language asked for and says it failed, in the
  // original's words (the original is in force).
  EXPECT_EQ(comforts->LanguageRow(), "Deutsch（読めません）");
  // Nothing more is reported however often it is drawn, traced or asked for
  // again; the row goes on past it.
  comforts->OpenSettings();
  for (int i = 0; i < comfort::SettingsScreen::kLanguage; ++i) {
    actions[ACT_DOWN] = 1;
    comforts->BeginStep(0.0);
  }
  line = TracedPass([&] {
    for (int i = 0; i < 3; ++i) {
      comforts->BeginStep(0.0);
      comforts->Render();
    }
    actions[ACT_LEFT] = 1;  // to the original
    comforts->BeginStep(0.0);
    actions[ACT_RIGHT] = 1;  // to de again: known to fail
    comforts->BeginStep(0.0);
  });
  EXPECT_EQ(reports(line), 0u) << line;
  EXPECT_NE(line.find("\"languagesFailed\":[\"de\"]"), std::string::npos) << line;
  EXPECT_EQ(comforts->LanguageRow(), "Deutsch（読めません）");
  EXPECT_EQ(comforts->Language(), "");
  actions[ACT_RIGHT] = 1;
  comforts->BeginStep(0.0);
  EXPECT_EQ(comforts->LanguageRow(), "Français");
  EXPECT_EQ(comforts->Language(), "fr");
  Make("ja");  // the original by name
  EXPECT_EQ(comforts->Language(), "");
  EXPECT_EQ(comforts->LanguageRow(), "日本語");
}

TEST_F(ComfortLanguage, TheSettingsRowChoosesKeepsAndShowsTheLanguage) {
  ASSERT_EQ(Run({"こんにちは"}), S_OK);
  Make("");
  EXPECT_EQ(comforts->Language(), "");
  comforts->OpenSettings();
  // Down to the language row, then right: the next language, de, cannot
  // be read and the original stays; right again: French.
  for (int i = 0; i < comfort::SettingsScreen::kLanguage; ++i) {
    actions[ACT_DOWN] = 1;
    comforts->BeginStep(0.0);
  }
  ASSERT_EQ(comforts->SettingsCursor(), comfort::SettingsScreen::kLanguage);
  for (int i = 0; i < 2; ++i) {
    actions[ACT_RIGHT] = 1;
    comforts->BeginStep(0.0);
  }
  EXPECT_EQ(comforts->Language(), "fr");
  EXPECT_EQ(box->Window().ShownText(), "Bonjour, ça va ?");
  // Kept in the file, and in force at the next start.
  std::ifstream in("settings");
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(text.find("language = fr"), std::string::npos) << text;
  Make("");
  EXPECT_EQ(comforts->Language(), "fr");
}

TEST_F(ComfortLanguage, TheHistoryShowsEachMessageInTheLanguageInForce) {
  const std::string lorem = "This sentence is long enough that the history lays it out over more than one "
                            "row of its page, breaking only between words, never inside one of them.";
  std::ofstream("GameData/Translations/fr.po")
      << "msgid \"\"\nmsgstr \"Language: fr\\nContent-Type: text/plain; charset=UTF-8\\n\"\n\n"
         "msgctxt \"test.Dat:0\"\nmsgid \"太郎：\"\nmsgstr \"Tarō : \"\n\n"
         "msgctxt \"test.Dat:1\"\nmsgid \"「やあ」\"\nmsgstr \"« Salut ! »\"\n\n"
         "msgctxt \"test.Dat:4\"\nmsgid \"長い文\"\nmsgstr \""
      << lorem << "\"\n";
  Make("");
  ASSERT_EQ(Run({"太郎：", "「やあ」", "静かだ。", "花子：", "長い文", "さようなら"}), S_OK);
  box->Step();
  box->Step();
  const auto& entries = comforts->Messages().Entries();
  ASSERT_EQ(entries.size(), 3u);
  for (const auto& e : entries) EXPECT_FALSE(e.translated);

  // To French on the settings row (past de, which cannot be read).
  comforts->OpenSettings();
  for (int i = 0; i < comfort::SettingsScreen::kLanguage; ++i) {
    actions[ACT_DOWN] = 1;
    comforts->BeginStep(0.0);
  }
  for (int i = 0; i < 2; ++i) {
    actions[ACT_RIGHT] = 1;
    comforts->BeginStep(0.0);
  }
  ASSERT_EQ(comforts->Language(), "fr");
  EXPECT_EQ(entries[0].ShownSpeaker(), "Tarō : ");
  EXPECT_EQ(entries[0].ShownText(), "« Salut ! »");
  // The label's translation serves the next text too; a text without one
  // shows its original (in UTF-8 beside the translated label).
  EXPECT_EQ(entries[1].ShownSpeaker(), "Tarō : ");
  EXPECT_EQ(entries[1].ShownText(), "静かだ。");
  // An untranslated label beside a translated text; the text in rows of
  // the page's width, cut only between words.
  EXPECT_EQ(entries[2].ShownSpeaker(), "花子：");
  const std::string rows = entries[2].ShownText();
  ASSERT_NE(rows.find('\n'), std::string::npos) << rows;
  std::string joined = rows;
  for (char& c : joined)
    if (c == '\n') c = ' ';
  EXPECT_EQ(joined, lorem);
  for (size_t at = rows.find('\n'); at != std::string::npos; at = rows.find('\n', at + 1))
    EXPECT_NE(rows[at - 1], ' ') << rows;
  // Traced as shown.
  comforts->Render();
  std::string line = TracedPass([&] { comforts->BeginStep(0.0); });
  EXPECT_NE(line.find("{\"speaker\":\"Tarō : \",\"text\":\"« Salut ! »\"}"), std::string::npos) << line;

  // A message shown while French is in force, with no translation at all:
  // the original as typed.
  box->Step();
  ASSERT_EQ(entries.size(), 4u);
  EXPECT_FALSE(entries[3].translated);
  EXPECT_EQ(msgboxtest::U(entries[3].text), "さようなら");

  // Back to the original: every entry as it was.
  for (int i = 0; i < 2; ++i) {
    actions[ACT_LEFT] = 1;
    comforts->BeginStep(0.0);
  }
  ASSERT_EQ(comforts->Language(), "");
  for (const auto& e : entries) EXPECT_FALSE(e.translated);
  EXPECT_EQ(msgboxtest::U(entries[0].ShownText()), "「やあ」");
}

TEST_F(ComfortLanguage, AutoModeWaitsForTheTextAsShown) {
  // 1 s after the message is typed out, and 0.05 s more per character: five
  // in the original, sixteen graphemes in the French.
  for (const auto& [language, wait] : {std::pair{std::string(), 1.25}, std::pair{std::string("fr"), 1.8}}) {
    Make(language);
    ASSERT_EQ(Run({"こんにちは"}), S_OK);
    comforts->ToggleAuto();
    box->ShowWholeMessage();
    comforts->BeginStep(10.0);
    EXPECT_NEAR(comforts->SecondsUntilDue(10.0), wait, 1e-9) << language;
  }
}

TEST(LanguageSetting, ReadWrittenAndOnlyWrittenWhenChosen) {
  comfort::Settings s;
  EXPECT_EQ(comfort::SerializeSettings(s).find("language"), std::string::npos);
  s.language = "pt_BR";
  const std::string text = comfort::SerializeSettings(s);
  comfort::Settings back;
  std::string error;
  ASSERT_TRUE(comfort::ParseSettings(text, back, error)) << error;
  EXPECT_EQ(back.language, "pt_BR");
  comfort::Settings bad;
  EXPECT_FALSE(comfort::ParseSettings("# vantorel settings 1\nlanguage = ../../etc\n", bad, error));
  EXPECT_TRUE(bad.language.empty());
}

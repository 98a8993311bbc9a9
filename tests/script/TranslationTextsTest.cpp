// vantorel-script translate: the texts taken from the scripts, and a
// translation brought up to date with edited scripts as msgmerge would.
#include <gtest/gtest.h>

#include "TranslationFit.h"
#include "TranslationTexts.h"
#include "platform/text/TextCodec.h"

using namespace scripttool;

namespace {
ScriptInput Source(const std::string& name, const std::string& text) {
  std::vector<Diagnostic> problems;
  ScriptInput in = InputFromSource(platform::Utf8ToCp932Lossy(name), "src/" + name, text, false, problems);
  EXPECT_TRUE(problems.empty());
  return in;
}

const platform::CatalogEntry* Find(const platform::Catalog& c, const std::string& context) {
  for (const platform::CatalogEntry& e : c.entries)
    if (e.context == context && !e.obsolete) return &e;
  return nullptr;
}

const char kScene[] =
    "/* a scene */\n"
    "太郎： 「やあ」\n"
    ".\n"
    "ナレーション： 夕方だった。\n"
    ".\n"
    "夕方だった。\n"
    ".\n"
    "FontMenu {\n"
    "  メニューアイテム {\n"
    "    右へ 1 a\n"
    "    左へ 2 b\n"
    "  }\n"
    "}\n";
}  // namespace

TEST(TranslationTexts, ExtractTakesEveryTextByItsPlace) {
  const platform::Catalog c = ExtractTexts({Source("a.Dat", kScene)}, "fr");
  // The label, three messages (the same text twice, apart), two items.
  std::vector<std::string> contexts, msgids;
  for (const platform::CatalogEntry& e : c.entries) {
    contexts.push_back(e.context);
    msgids.push_back(e.msgid);
  }
  EXPECT_EQ(contexts, (std::vector<std::string>{"a.Dat:0", "a.Dat:1", "a.Dat:4", "a.Dat:6", "a.Dat:12", "a.Dat:15"}));
  EXPECT_EQ(msgids, (std::vector<std::string>{"太郎：", "「やあ」", "夕方だった。", "夕方だった。", "右へ", "左へ"}));
  EXPECT_EQ(c.entries[1].extracted, "speaker: 太郎：");
  EXPECT_EQ(c.entries[3].extracted, "speaker: ナレーション：");  // the speaker in force
  ASSERT_EQ(c.entries[2].references.size(), 1u);
  EXPECT_EQ(c.entries[2].references[0], (std::pair<std::string, size_t>{"src/a.Dat", 4}));
  EXPECT_EQ(platform::HeaderField(c.header, "Language"), "fr");
  // No save or load screen in the game: none of their texts.
  for (const platform::CatalogEntry& e : c.entries) EXPECT_EQ(e.context.find("save/load"), std::string::npos);
}

TEST(TranslationTexts, UpdateMarksEditedFuzzyKeepsMovedAndObsoletesWhatWent) {
  platform::Catalog old = ExtractTexts({Source("a.Dat", kScene)}, "fr");
  for (platform::CatalogEntry& e : old.entries) e.msgstr = "fr:" + e.msgid;
  old.entries[4].msgstr.clear();  // 右へ untranslated
  // Edited: 「やあ」 -> 「やあ、元気？」; the second 夕方だった。 goes; two
  // new messages move the menu's items three words on.
  const std::string edited =
      "太郎： 「やあ、元気？」\n.\nナレーション： 夕方だった。\n.\n.\n新しい文\n.\nもう一つ\n.\n"
      "FontMenu { メニューアイテム { 右へ 1 a 左へ 2 b } }\n";
  const platform::Catalog merged = MergeTexts(old, ExtractTexts({Source("a.Dat", edited)}, "fr"));
  const platform::CatalogEntry* hello = Find(merged, "a.Dat:1");
  ASSERT_TRUE(hello);
  EXPECT_TRUE(hello->fuzzy);
  EXPECT_EQ(hello->msgstr, "fr:「やあ」");
  EXPECT_EQ(hello->previousMsgid, "「やあ」");
  EXPECT_FALSE(Find(merged, "a.Dat:0")->fuzzy);
  EXPECT_EQ(Find(merged, "a.Dat:4")->msgstr, "fr:夕方だった。");
  EXPECT_TRUE(Find(merged, "a.Dat:7")->msgstr.empty());  // new
  EXPECT_FALSE(Find(merged, "a.Dat:6"));
  // The items moved: 左へ keeps its translation unfuzzied.
  const platform::CatalogEntry* left = nullptr;
  for (const platform::CatalogEntry& e : merged.entries)
    if (e.msgid == "左へ" && !e.obsolete) left = &e;
  ASSERT_TRUE(left);
  EXPECT_EQ(left->msgstr, "fr:左へ");
  EXPECT_FALSE(left->fuzzy);
  const TextCounts n = CountTexts(merged);
  EXPECT_EQ(n.translated + n.fuzzy + n.untranslated, ExtractTexts({Source("a.Dat", edited)}, "fr").entries.size());
  EXPECT_GE(n.fuzzy, 1u);
  // What went and was translated is kept, obsolete; the untranslated item never is.
  size_t obsolete = 0;
  for (const platform::CatalogEntry& e : merged.entries) {
    if (!e.obsolete) continue;
    ++obsolete;
    EXPECT_FALSE(e.msgstr.empty());
  }
  EXPECT_EQ(obsolete, 1u);
  EXPECT_EQ(n.obsolete, 1u);
  EXPECT_EQ(n.fuzzy, 1u);
  // Brought up to date twice: nothing changes the second time.
  const platform::Catalog again = MergeTexts(merged, ExtractTexts({Source("a.Dat", edited)}, "fr"));
  const TextCounts m = CountTexts(again);
  EXPECT_EQ(m.translated, n.translated);
  EXPECT_EQ(m.fuzzy, n.fuzzy);
  EXPECT_EQ(m.obsolete, n.obsolete);
}

TEST(TranslationTexts, ContextsSplitIntoScriptAndWord) {
  std::string script;
  size_t word = 0;
  ASSERT_TRUE(SplitContext("本編/学校.Dat:12", script, word));
  EXPECT_EQ(script, "本編/学校.Dat");
  EXPECT_EQ(word, 12u);
  EXPECT_FALSE(SplitContext("save/load screen", script, word));
  EXPECT_FALSE(SplitContext("a.Dat:", script, word));
  EXPECT_FALSE(SplitContext("a.Dat:1x", script, word));
}

TEST(TranslationFit, FindsTheMessageAndTheItemThatDoNotFit) {
  platform::Catalog c = ExtractTexts({Source("a.Dat", kScene)}, "en");
  for (platform::CatalogEntry& e : c.entries) e.msgstr = "ok";
  c.entries[3].msgstr = std::string(60, 'x') + " " + std::string(400, 'y');  // a word no row holds
  c.entries[2].msgstr = "word ";
  for (int i = 0; i < 6; ++i) c.entries[2].msgstr += c.entries[2].msgstr;  // many rows
  c.entries[5].msgstr = "Turn left at the old oak tree and walk on through the wood until the break of dawn";
  const msgbox::Translation t("en", c);
  const std::vector<Overflow> found = FindOverflows({Source("a.Dat", kScene)}, t);
  std::vector<std::string> contexts;
  for (const Overflow& o : found) contexts.push_back(o.context);
  EXPECT_EQ(contexts, (std::vector<std::string>{"a.Dat:4", "a.Dat:6", "a.Dat:15"}));
  EXPECT_EQ(found[2].what, "text menu item");
}

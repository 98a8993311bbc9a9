// The keyword table against the language, row by row, and the menu-block
// grammar the interpreter and the script checker share.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/text/TextCodec.h"
#include "script/Keywords.h"
#include "script/MenuBlock.h"

namespace {
std::string W(const std::string& utf8) { return platform::Utf8ToCp932Lossy(utf8); }

struct Expected {
  const char* word;  // UTF-8; "$" for the assignment row
  const char* otherSpelling;
  int arguments;
  int tests;
};

// The language's keywords in the order a pass tests them.
const Expected kLanguage[] = {
    {"Battle", "", 0, 1},      {"Map", "", 0, 1},          {"NextScriptFile", "", 1, 1},
    {"キーコンフィグ", "", 0, 1}, {"GameEnd", "", 0, 1},      {"FadeIn", "", 1, 1},
    {"FadeOut", "", 1, 1},     {"MIDILoad", "", 2, 1},     {"SELoad", "", 2, 1},
    {"MIDIPlay", "", 1, 1},    {"SEPlay", "", 1, 1},       {"TexLoad", "", 1, 1},
    {"TexUnload", "", 1, 1},   {"SaveMenu", "", 1, 1},     {"LoadMenu", "", 0, 1},
    {"Save", "save", 2, 1},    {"Load", "load", 1, 1},     {"FontMenu", "", 0, 1},
    {"ButtonMenu", "", 0, 1},  {"Texture", "texture", 2, 1}, {"$", "", 2, 1},
    {"goto", "", 1, 1},        {"string", "", 1, 1},       {"BG", "bg", 1, 1},
    {"Right", "right", 1, 1},  {"Center", "center", 1, 1}, {"WideCenter", "", 1, 1},
    {"Left", "left", 1, 1},    {"Clear", "", 1, 3},
};

TEST(ScriptKeywords, TableFollowsTheLanguageRowByRow) {
  const std::vector<script::Keyword>& table = script::Keywords();
  ASSERT_EQ(table.size(), std::size(kLanguage));
  ASSERT_EQ(table.size(), script::kCommandCount);
  for (size_t i = 0; i < table.size(); ++i) {
    SCOPED_TRACE("row " + std::to_string(i + 1) + " " + kLanguage[i].word);
    const script::Keyword& row = table[i];
    EXPECT_EQ(size_t(row.command), i);
    const bool assignment = std::string(kLanguage[i].word) == "$";
    EXPECT_EQ(row.dollarPrefix, assignment);
    if (!assignment) {
      EXPECT_EQ(row.word, W(kLanguage[i].word));
    }
    EXPECT_EQ(row.otherSpelling, W(kLanguage[i].otherSpelling));
    EXPECT_EQ(row.arguments, kLanguage[i].arguments);
    EXPECT_EQ(row.tests, kLanguage[i].tests);
  }
}

TEST(ScriptKeywords, MatchingTakesBothSpellingsAndOnlyThem) {
  const auto& table = script::Keywords();
  const script::Keyword& bg = table[size_t(script::Command::BG)];
  EXPECT_TRUE(bg.Matches("BG"));
  EXPECT_TRUE(bg.Matches("bg"));
  EXPECT_FALSE(bg.Matches("Bg"));
  EXPECT_FALSE(bg.Matches(""));
  // A keyword without a second spelling must not match the empty word.
  EXPECT_FALSE(table[size_t(script::Command::Map)].Matches(""));
  const script::Keyword& assign = table[size_t(script::Command::Assign)];
  EXPECT_TRUE(assign.Matches("$x"));
  EXPECT_TRUE(assign.Matches("$"));
  EXPECT_FALSE(assign.Matches(""));
  EXPECT_FALSE(assign.Matches("x$"));
}

WordList Words(const std::vector<std::string>& utf8) {
  WordList out;
  for (const std::string& w : utf8) out.push_back(W(w));
  return out;
}

TEST(ScriptMenuBlock, ReadsFormatAndItemsUpToTheClosingBrace) {
  const WordList words = Words({"ButtonMenu", "{", "フォーマット", "2", "3", "メニューアイテム", "{", "はい", "1",
                                "yes", "いいえ", "x2", "no", "}", "}", "after"});
  size_t position = 1;
  script::MenuBlock block;
  ASSERT_TRUE(script::ReadMenuBlock(words, position, block));
  EXPECT_EQ(position, 14u);  // the block's "}"
  EXPECT_TRUE(block.hasFormat);
  EXPECT_EQ(block.columns, 2);
  EXPECT_EQ(block.rows, 3);
  ASSERT_EQ(block.items.size(), 2u);
  EXPECT_EQ(block.items[0].label, W("はい"));
  EXPECT_EQ(block.items[0].id, 1);
  EXPECT_TRUE(block.items[0].numericId);
  EXPECT_EQ(block.items[0].target, "yes");
  EXPECT_EQ(block.items[0].at, 7u);
  EXPECT_FALSE(block.items[1].numericId);
  EXPECT_EQ(block.items[1].id, 0);
}

TEST(ScriptMenuBlock, BracesCountOnlyWhereTheReaderTestsForThem) {
  // A "}" read as a format number does not close the block, nor does one
  // after メニューアイテム; an item's target may be "}".
  const WordList words = Words({"{", "フォーマット", "}", "}", "メニューアイテム", "}", "メニューアイテム", "{", "a",
                                "1", "}", "}", "}"});
  size_t position = 0;
  script::MenuBlock block;
  ASSERT_TRUE(script::ReadMenuBlock(words, position, block));
  EXPECT_EQ(position, 12u);
  EXPECT_EQ(block.columns, 0);  // "}" is no number: left as it was
  ASSERT_EQ(block.items.size(), 1u);
  EXPECT_EQ(block.items[0].target, "}");
}

TEST(ScriptMenuBlock, WordsEndingInsideKeepWhatWasRead) {
  const WordList words = Words({"{", "メニューアイテム", "{", "a", "1", "x", "b", "2"});
  size_t position = 0;
  script::MenuBlock block;
  EXPECT_FALSE(script::ReadMenuBlock(words, position, block));
  EXPECT_EQ(position, words.size() - 1);
  ASSERT_EQ(block.items.size(), 1u);  // the cut item is not kept
  EXPECT_EQ(block.items[0].label, "a");

  const WordList lone = Words({"{"});
  position = 0;
  EXPECT_FALSE(script::ReadMenuBlock(lone, position, block));
  EXPECT_EQ(position, 0u);
}
}  // namespace

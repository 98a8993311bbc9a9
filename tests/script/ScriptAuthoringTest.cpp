// The authors' tool as a library: the builder's layout of a script's words
// in its enciphered file, the typo finder, and the checks run on a source
// held in memory (an editor's buffer) with places in its lines.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "Diagnostics.h"
#include "ScriptLayout.h"
#include "Typos.h"
#include "platform/text/TextCodec.h"
#include "script/CTextFile.h"
#include "support/ScratchDir.h"

namespace scripttool {
namespace {
std::string W(const std::string& utf8) { return platform::Utf8ToCp932Lossy(utf8); }

// What the engine reads from the file the builder writes for `words`.
WordList ReadBack(const ScriptLayout& layout) {
  WordList file = layout.fileWords;
  CTextFile cipher(true);
  const std::string bytes = cipher.EncodeWords(file);
  WordList read;
  cipher.DecodeBytes(bytes, read);
  return read;
}

TEST(ScriptLayout, EveryTypeableScriptReadsBackWordForWord) {
  // Words full of the characters that turn into whitespace under one key
  // byte each, at every length and order; the engine must count the same
  // words in the same places.
  const std::string hazards = "!%')*,-/";
  const std::vector<std::string> others = {"a", W("あ"), "BG", W("「だめ！」"), "*/", "."};
  std::mt19937 random(29);
  for (int round = 0; round < 400; ++round) {
    WordList words;
    const int count = 1 + int(random() % 30);
    for (int i = 0; i < count; ++i) {
      std::string w;
      const int len = 1 + int(random() % 6);
      for (int k = 0; k < len; ++k) {
        w += random() % 2 ? std::string(1, hazards[random() % hazards.size()]) : others[random() % others.size()];
      }
      if (w != "/*") words.push_back(w);  // no "/*" is left once the comments are gone
    }
    const ScriptLayout layout = LayOutScript(words);
    ASSERT_EQ(layout.unplaceable, ScriptLayout{}.unplaceable) << "round " << round;
    ASSERT_EQ(ReadBack(layout), words) << "round " << round;
  }
}

TEST(ScriptLayout, PaddingOnlyWhereNeededAndNeverForAWordNoPlaceCarries) {
  const WordList plain = {W("ナレーション："), W("夕日。"), "goto", W("本編\\学校")};
  const ScriptLayout easy = LayOutScript(plain);
  EXPECT_EQ(easy.blocks, 0u);
  EXPECT_EQ(easy.fileWords, plain);

  // "*/" after four bytes meets the key byte that turns '*' into a space.
  const WordList hazard = {"abcd", "*/"};
  EXPECT_FALSE(WordReadsBackAt("*/", 4));
  const ScriptLayout moved = LayOutScript(hazard);
  EXPECT_EQ(moved.blocks, 1u);
  EXPECT_EQ(ReadBack(moved), hazard);

  // Ten '!' cover every key position, one of which makes '!' a space.
  const WordList impossible = {"ok", std::string(10, '!'), "never"};
  const ScriptLayout refused = LayOutScript(impossible);
  EXPECT_EQ(refused.unplaceable, 1u);
  EXPECT_TRUE(refused.readsNowhere);
  EXPECT_TRUE(LayOutScript({}).fileWords.empty());
}

TEST(ScriptLayout, CommentsAndBlankLinesNeverReachTheBuiltFile) {
  // Comments used to be enciphered with the words and could push a later
  // word onto a key byte that turns it into whitespace ("abcd */").
  SourceScript source;
  SourceProblem problem;
  ASSERT_TRUE(SourceFromBytes("s.txt", "/* メモ　abcd */\n\n\nナレーション： 一。\n\n/* 二 */ abcd */\n", false, source,
                              problem));
  EXPECT_EQ(source.words, (WordList{W("ナレーション："), W("一。"), "abcd", "*/"}));
  std::vector<size_t> lines;
  for (size_t offset : source.offsets) lines.push_back(PositionInCp932(source.text, offset).line);
  EXPECT_EQ(lines, (std::vector<size_t>{4, 4, 6, 6}));
  std::string bytes, error;
  ASSERT_TRUE(EncipherSource(source, bytes, error)) << error;
  WordList read;
  CTextFile(true).DecodeBytes(bytes, read);
  EXPECT_EQ(read, source.words);
  EXPECT_EQ(bytes.find(W("メモ")), std::string::npos);
  EXPECT_LE(std::count(bytes.begin(), bytes.end(), '\n'), 4 + 3);  // at most one padding block
}

TEST(ScriptTypos, KeywordsInOtherCaseOrAFewEditsAwayAreFoundAndOrdinaryWordsAreNot) {
  struct Case {
    const char* word;
    const char* meant;  // "" for none
    bool sure;
  };
  const Case cases[] = {
      {"SEPaly", "SEPlay", true},   {"Goto", "goto", true},      {"FadeIN", "FadeIn", true},
      {"Bg", "BG", true},           {"NextScriptFiel", "NextScriptFile", true},
      {"Claer", "Clear", false},    {"Night", "Right", false},   {"キーコンフイグ", "キーコンフィグ", true},
      {"SEPlay", "", false},        {"bg", "", false},           {"Max", "", false},
      {"OK", "", false},            {"$goto", "", false},        {"SEPlay。", "", false},
      {"こんにちは。", "", false},  {"Texturing", "", false},    {"Loadable", "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.word);
    const Typo typo = KeywordMeant(W(c.word));
    EXPECT_EQ(platform::Cp932ToUtf8(typo.keyword), c.meant);
    if (*c.meant) {
      EXPECT_EQ(typo.sure, c.sure);
    }
  }
  EXPECT_EQ(NearestOf("all", {"Left", "All"}), "All");
  EXPECT_EQ(NearestOf("All", {"Left", "All"}), "");
  EXPECT_EQ(FindFullWidthSpace(W("BG　背景")), 2u);
  // 0x81 0x40 standing across two characters is no full-width space.
  EXPECT_EQ(FindFullWidthSpace(W("ア") + "\x81\x40"), 2u);
  EXPECT_EQ(FindFullWidthSpace("\x88\x81\x40"), std::string::npos);
}

// The checks on one script typed into an editor, not on disk.
class BufferCheck : public ::testing::Test {
 protected:
  std::vector<Diagnostic> Check(const std::string& utf8) {
    std::vector<Diagnostic> problems;
    inputs_ = {InputFromSource(W("オープニング\\オープニング1.Dat"), "scene.txt", utf8, false, problems)};
    std::vector<Diagnostic> found = check_.Run(inputs_, false);
    found.insert(found.begin(), problems.begin(), problems.end());
    return found;
  }
  // The one diagnostic whose message holds `part`.
  static const Diagnostic* Find(const std::vector<Diagnostic>& ds, const std::string& part) {
    const Diagnostic* hit = nullptr;
    for (const Diagnostic& d : ds) {
      if (d.message.find(part) == std::string::npos) continue;
      EXPECT_EQ(hit, nullptr) << "twice: " << part;
      hit = &d;
    }
    return hit;
  }

  ScratchDir dir_{ScratchDir::kEnter, "buffercheck"};
  GameCheck check_;
  std::vector<ScriptInput> inputs_;
};

TEST_F(BufferCheck, MistakesAreReportedOnTheirOwnLineWithWhatWasMeant) {
  const std::vector<Diagnostic> ds = Check(
      "/* 一行目 */\n"
      "SELoad a.wav 音\n"
      "  SEPaly 音\n"
      "Goto オープニング\\オープニング1\n"
      "BG　背景\n"
      "BG\n"
      "Left 立ち\n"
      "Clear all\n"
      "ヒナ：\n"
      "GameEnd\n");
  const Diagnostic* typo = Find(ds, "\"SEPaly\" is no keyword");
  ASSERT_TRUE(typo);
  EXPECT_EQ(typo->severity, Severity::Error);
  EXPECT_EQ(typo->file, "scene.txt");
  EXPECT_EQ(typo->line, 3u);
  EXPECT_EQ(typo->column, 3u);
  EXPECT_EQ(typo->length, 6u);
  EXPECT_EQ(typo->suggestion, "SEPlay");
  EXPECT_NE(typo->message.find("did you mean SEPlay?"), std::string::npos);

  const Diagnostic* caseTypo = Find(ds, "\"Goto\" is no keyword");
  ASSERT_TRUE(caseTypo);
  EXPECT_EQ(caseTypo->line, 4u);
  EXPECT_EQ(caseTypo->suggestion, "goto");

  const Diagnostic* space = Find(ds, "a full-width space joins \"BG\" and \"背景\"");
  ASSERT_TRUE(space);
  EXPECT_EQ(space->severity, Severity::Error);
  EXPECT_EQ(space->line, 5u);
  EXPECT_EQ(space->suggestion, "BG 背景");

  // BG without its alias takes the next line's keyword: the report stands
  // on BG's line, and "Left" is not reported again as an undefined alias.
  const Diagnostic* missing = Find(ds, "\"BG\" is followed by the keyword \"Left\" where its argument should stand");
  ASSERT_TRUE(missing);
  EXPECT_EQ(missing->line, 6u);
  EXPECT_EQ(missing->column, 1u);
  EXPECT_EQ(Find(ds, "texture alias \"Left\""), nullptr);

  const Diagnostic* target = Find(ds, "Clear target \"all\"");
  ASSERT_TRUE(target);
  EXPECT_EQ(target->line, 8u);
  EXPECT_EQ(target->suggestion, "All");

  const Diagnostic* speaker = Find(ds, "speaker word \"ヒナ：\" takes the next word as its text, but that is the keyword");
  ASSERT_TRUE(speaker);
  EXPECT_EQ(speaker->line, 10u);
}

TEST_F(BufferCheck, AGoodScriptHasNothingToSayAndAnUnreadableOneIsPlaced) {
  for (const Diagnostic& d : Check("ナレーション： こんにちは。\n.\nGameEnd\n")) {
    EXPECT_EQ(d.script.empty(), true) << d.message;  // only the game's missing files
  }
  const std::vector<Diagnostic> ds = Check("はじめ。\n二行目\xff\n");
  ASSERT_FALSE(ds.empty());
  EXPECT_EQ(ds[0].line, 2u);
  EXPECT_EQ(ds[0].column, 4u);
  EXPECT_NE(ds[0].message.find("byte 0xFF (not UTF-8) has no CP932 form"), std::string::npos);
  EXPECT_FALSE(inputs_[0].readable);
}

}  // namespace
}  // namespace scripttool

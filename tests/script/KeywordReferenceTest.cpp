// The keyword reference against the keyword table it is generated from, and
// against docs/script-language.md, which holds what `help` prints.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "KeywordReference.h"
#include "Typos.h"
#include "platform/text/TextCodec.h"
#include "script/Keywords.h"
#include "script/WordList.h"

namespace scripttool {
namespace {

TEST(KeywordReference, OneEntryPerRowWithTheRowsArgumentsAndAWorkingExample) {
  const auto& rows = script::Keywords();
  const auto& entries = KeywordEntries();
  ASSERT_EQ(entries.size(), rows.size());
  for (size_t i = 0; i < rows.size(); ++i) {
    const script::Keyword& row = rows[i];
    const KeywordEntry& e = entries[i];
    SCOPED_TRACE(platform::Cp932ToUtf8(row.word));
    EXPECT_EQ(e.command, row.command);
    EXPECT_EQ(int(e.arguments.size()), row.arguments);
    EXPECT_FALSE(e.summary.empty() || e.does.empty() || e.fails.empty() || e.example.empty());
    // The example uses the keyword as the language spells it, and nothing
    // in it looks like a mistyped keyword.
    WordList words;
    SplitWords(platform::Utf8ToCp932Lossy(e.example), words);
    bool uses = false;
    for (const std::string& w : words) {
      uses = uses || row.Matches(w);
      EXPECT_EQ(KeywordMeant(w).keyword, "") << platform::Cp932ToUtf8(w);
    }
    EXPECT_TRUE(uses) << e.example;
    // A second spelling is named wherever the reference shows the keyword.
    if (!row.otherSpelling.empty()) {
      EXPECT_NE(KeywordMarkdown(e).find("`" + platform::Cp932ToUtf8(row.otherSpelling) + "`"), std::string::npos);
    }
  }
}

TEST(KeywordReference, WordsFindTheirEntryBySpellingOnly) {
  ASSERT_NE(FindKeywordEntry("bg"), nullptr);
  EXPECT_EQ(FindKeywordEntry("bg")->command, script::Command::BG);
  EXPECT_EQ(FindKeywordEntry("BG")->command, script::Command::BG);
  EXPECT_EQ(FindKeywordEntry("$x")->command, script::Command::Assign);
  EXPECT_EQ(FindKeywordEntry("キーコンフィグ")->command, script::Command::KeyConfig);
  EXPECT_EQ(FindKeywordEntry("Bg"), nullptr);
  EXPECT_EQ(FindKeywordEntry("SEPaly"), nullptr);
  EXPECT_EQ(KeywordSynopsis(*FindKeywordEntry("string")), "string NAME [= VALUE]");
  EXPECT_EQ(KeywordSynopsis(*FindKeywordEntry("$")), "$NAME = VALUE");
}

TEST(KeywordReference, TheLanguageDocumentHoldsWhatHelpPrints) {
  std::ifstream in(std::string(VANTOREL_SOURCE_DIR) + "/docs/script-language.md", std::ios::binary);
  ASSERT_TRUE(in) << "docs/script-language.md";
  std::stringstream text;
  text << in.rdbuf();
  const std::string doc = text.str();
  const size_t marker = doc.find("<!-- keywords:");
  const size_t end = doc.find("<!-- end of keywords -->");
  ASSERT_NE(marker, std::string::npos);
  ASSERT_NE(end, std::string::npos);
  const size_t begin = doc.find('\n', marker) + 1;
  EXPECT_EQ(doc.substr(begin, end - begin), "\n" + KeywordReferenceMarkdown() + "\n")
      << "docs/script-language.md differs from the keyword table: run scripts/update-script-language.sh";
}

}  // namespace
}  // namespace scripttool

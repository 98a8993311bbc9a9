// A save of a script edited since: the same word when the words up to it
// are unchanged, else the nearest earlier message found again, else the
// start of the script.
#include <gtest/gtest.h>

#include <set>

#include "platform/text/UiText.h"
#include "saves/ScriptChanges.h"

using namespace saves;

namespace {
using Words = std::vector<std::string>;

std::deque<RecordEntry> Record(const Words& words, std::vector<size_t> messages, size_t position) {
  auto shared = std::make_shared<const Words>(words);
  std::deque<RecordEntry> r;
  for (size_t m : messages) {
    RecordEntry e;
    e.snapshot.words = shared;
    e.snapshot.messageWord = m;
    e.snapshot.position = m + 2;
    r.push_back(e);
  }
  r.back().snapshot.position = position;
  r.back().snapshot.fontMenu.active = true;
  return r;
}

const Words kOld = {"BG", "a", "A：", "one", ".", "B：", "two", ".", "three", ".", "four", "."};

TEST(ScriptChanges, TheSameScriptStaysAsItIs) {
  auto r = Record(kOld, {2, 5, 8, 10}, 11);
  EXPECT_EQ(FitToScript(r.back().snapshot, kOld, r), Fit::Unchanged);
  EXPECT_EQ(r.back().snapshot.position, 11u);
  EXPECT_TRUE(r.back().snapshot.fontMenu.active);
}

TEST(ScriptChanges, WordsChangedOnlyAfterTheSaveKeepTheWord) {
  Words now = kOld;
  now.push_back("five");
  auto r = Record(kOld, {2, 5, 8, 10}, 9);
  EXPECT_EQ(FitToScript(r.back().snapshot, now, r), Fit::SameWord);
  EXPECT_EQ(r.back().snapshot.position, 9u);
  EXPECT_EQ(*r.back().snapshot.words, now);
  EXPECT_TRUE(r.back().snapshot.fontMenu.active);
}

TEST(ScriptChanges, AnEditBeforeTheSaveGoesToTheNearestEarlierMessageFoundAgain) {
  // "four" was rewritten and a line put in before "three".
  const Words now = {"BG", "a", "A：", "one", ".", "new", ".", "B：", "two", ".", "three", ".", "FOUR", "."};
  auto r = Record(kOld, {2, 5, 8, 10}, 11);
  msgbox::Snapshot& s = r.back().snapshot;
  EXPECT_EQ(FitToScript(s, now, r), Fit::EarlierMessage);
  EXPECT_EQ(s.position, 10u);  // "three", two words later than it was
  EXPECT_FALSE(s.fontMenu.active);
  EXPECT_EQ(*s.words, now);
}

TEST(ScriptChanges, WordsAddedBeforeTheSavedMessageLandOnItAndSaySo) {
  // "four" itself is unchanged: the game goes on from it, not from an earlier one.
  const Words now = {"BG", "a", "A：", "one", ".", "new", ".", "B：", "two", ".", "three", ".", "four", "."};
  auto r = Record(kOld, {2, 5, 8, 10}, 11);
  msgbox::Snapshot& s = r.back().snapshot;
  EXPECT_EQ(FitToScript(s, now, r), Fit::SameMessage);
  EXPECT_EQ(s.position, 12u);
  EXPECT_FALSE(s.fontMenu.active);
  // Not found again in a script whose record holds only it: the start.
  auto alone = Record(kOld, {10}, 11);
  EXPECT_EQ(FitToScript(alone.back().snapshot, {"BG", "b", "FOUR", "."}, alone), Fit::ScriptStart);
}

TEST(ScriptChanges, NothingFoundAgainStartsTheScript) {
  const Words now = {"BG", "b", "X：", "other", "."};
  auto r = Record(kOld, {2, 5, 8, 10}, 11);
  msgbox::Snapshot& s = r.back().snapshot;
  s.shownText = s.messageText = s.givenText = "four";
  s.typedLength = 4;
  s.shownGraphemes = 4;
  s.shownWhole = true;
  s.rowBreaks = false;
  for (auto& sprite : s.sprites) sprite = {"pic", true, 255, 1, 2, 3, 4, 5};
  EXPECT_EQ(FitToScript(s, now, r), Fit::ScriptStart);
  EXPECT_EQ(s.position, 0u);
  EXPECT_TRUE(s.running);
  // The window blanked as a fresh start of the script finds it: no old
  // message shows (or is typed again) before the script's first, in any
  // language, and the standing pictures are hidden (their names kept); the
  // rest stays.
  EXPECT_EQ(s.shownText, "");
  EXPECT_EQ(s.messageText, "");
  EXPECT_EQ(s.givenText, "");
  EXPECT_EQ(s.typedLength, 0u);
  EXPECT_EQ(s.shownGraphemes, 0u);
  EXPECT_FALSE(s.shownWhole);
  EXPECT_TRUE(s.rowBreaks);
  for (auto slot : {msgbox::kLeft, msgbox::kCenter, msgbox::kRight}) {
    EXPECT_FALSE(s.sprites[slot].shown) << int(slot);
    EXPECT_EQ(s.sprites[slot].name, "pic");
  }
  EXPECT_TRUE(s.sprites[msgbox::kBg].shown);
  EXPECT_TRUE(s.sprites[msgbox::kWindow].shown);
  // The words are told apart from any the interpreter had.
  EXPECT_NE(s.wordsGeneration & (uint64_t{1} << 63), 0u);
}

TEST(ScriptChanges, EachFitIsSaidInItsOwnWordsInTheCatalogue) {
  platform::SetUiLanguage("en");
  std::set<std::string> said;
  for (Fit fit : {Fit::SameWord, Fit::SameMessage, Fit::EarlierMessage, Fit::ScriptStart}) {
    const std::string english = platform::Tr(FitNote(fit));
    // One missing from the catalogue would come back as its Japanese msgid.
    ASSERT_FALSE(english.empty());
    EXPECT_LT(static_cast<unsigned char>(english[0]), 0x80) << english;
    EXPECT_TRUE(said.insert(english).second) << english;
  }
  EXPECT_EQ(std::string(platform::Tr(FitNote(Fit::SameMessage))), "The script has changed; the game goes on from the same message.");
  EXPECT_STREQ(FitNote(Fit::Unchanged), "");
  platform::SetUiLanguage("ja");
}
}  // namespace

// A save of a script edited since: the same word when the words up to it
// are unchanged, else the nearest earlier message found again, else the
// start of the script.
#include <gtest/gtest.h>

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

TEST(ScriptChanges, NothingFoundAgainStartsTheScript) {
  const Words now = {"BG", "b", "X：", "other", "."};
  auto r = Record(kOld, {2, 5, 8, 10}, 11);
  msgbox::Snapshot& s = r.back().snapshot;
  EXPECT_EQ(FitToScript(s, now, r), Fit::ScriptStart);
  EXPECT_EQ(s.position, 0u);
  EXPECT_TRUE(s.running);
  // The words are told apart from any the interpreter had.
  EXPECT_NE(s.wordsGeneration & (uint64_t{1} << 63), 0u);
}
}  // namespace

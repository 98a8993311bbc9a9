// The record of messages seen when two instances of a game run at once, and
// after scripts were edited: no mark of either instance is lost, and marks
// of messages no script has any more do not pile up.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <optional>
#include <set>
#include <sstream>
#include <string>

#include "comfort/ScriptMessages.h"
#include "comfort/SeenRecord.h"
#include "platform/text/TextCodec.h"
#include "script/CTextFile.h"
#include "support/ScratchDir.h"

using comfort::SeenRecord;

namespace {
size_t Lines(const std::string& path) {
  std::ifstream in(path);
  size_t n = 0;
  for (std::string line; std::getline(in, line);) ++n;
  return n;
}

size_t Marks(const std::string& path) {
  SeenRecord r(path);
  r.Load();
  return r.Size();
}
}  // namespace

TEST(SeenRecordTwoInstances, EachSaveMergesWhatTheOtherWrote) {
  ScratchDir dir;
  // Both start from the same file; A reads 45 messages, B one.
  SeenRecord a("seen"), b("seen");
  a.Load();
  b.Load();
  for (size_t w = 0; w < 45; ++w) a.Mark("a.Dat", w);
  b.Mark("b.Dat", 7);
  ASSERT_TRUE(a.Save());
  ASSERT_TRUE(b.Save());  // the last to save used to win
  EXPECT_EQ(Marks("seen"), 46u);
  // And B now knows A's marks too (its skip mode passes them).
  EXPECT_TRUE(b.Seen("a.Dat", 44));
}

TEST(SeenRecordTwoInstances, ProcessesSavingAtOnceLoseNoMark) {
  ScratchDir dir;
  // Two processes mark and save in turns as fast as they can: each save
  // reads, merges and replaces the file, and only the lock keeps one from
  // writing over the other's between its read and its rename.
  pid_t children[2];
  for (int c = 0; c < 2; ++c) {
    children[c] = ::fork();
    if (children[c] == 0) {
      bool ok = true;
      for (size_t w = 0; w < 30; ++w) {
        // A record of its own each time, as a run that reads one message:
        // a mark written over is lost for good.
        SeenRecord r("seen");
        r.Mark(c ? "b.Dat" : "a.Dat", w);
        ok = r.Save() && ok;
      }
      ::_exit(ok ? 0 : 1);
    }
  }
  for (pid_t child : children) {
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  EXPECT_EQ(Marks("seen"), 60u);
}

TEST(SeenRecordEdits, MarksOfMessagesNoScriptHasAreDroppedWhenWritten) {
  ScratchDir dir;
  SeenRecord r("seen", [](const std::string& script) -> std::optional<std::set<size_t>> {
    if (script == "a.Dat") return std::set<size_t>{2, 9};  // 5 moved away in an edit
    if (script == "gone.Dat") return std::set<size_t>{};   // deleted
    return std::nullopt;                                    // cannot be told: kept
  });
  for (size_t w : {2, 5, 9}) r.Mark("a.Dat", w);
  r.Mark("unknown.Dat", 1);
  r.Mark("gone.Dat", 3);
  ASSERT_TRUE(r.Save());
  SeenRecord back("seen");
  back.Load();
  EXPECT_EQ(back.Size(), 3u);
  EXPECT_TRUE(back.Seen("a.Dat", 2) && back.Seen("a.Dat", 9) && back.Seen("unknown.Dat", 1));
  // A game that is not there at all (every script gone) drops nothing.
  SeenRecord away("seen", [](const std::string&) { return std::optional<std::set<size_t>>(std::set<size_t>{}); });
  away.Load();
  away.Mark("a.Dat", 4);
  ASSERT_TRUE(away.Save());
  EXPECT_EQ(Marks("seen"), 4u);
}

TEST(SeenRecordEdits, TenEditsOfOneScriptLeaveOnlyItsMessagesNow) {
  ScratchDir dir;
  dir.Write("GameData/Text/keep", "");
  CTextFile file(false);
  comfort::ScriptMessages scripts(&file, "GameData\\Text\\");
  auto write = [&](int edit) {
    // Each edit puts one more command ahead of the messages, moving them all.
    WordList words;
    for (int i = 0; i < edit; ++i) words.insert(words.end(), {"BG", "b"});
    for (const char* w : {"一つ目", ".", "太郎：", "二つ目", ".", "三つ目"}) words.push_back(platform::Utf8ToCp932Lossy(w));
    ASSERT_EQ(file.Write("GameData\\Text\\s.Dat", words), S_OK);
  };
  for (int edit = 0; edit <= 10; ++edit) {
    write(edit);
    SeenRecord r("seen", [&](const std::string& s) { return scripts.Messages(s); });
    r.Load();
    // The player reads the three messages of this version.
    const size_t base = size_t(edit) * 2;
    for (size_t w : {base, base + 3, base + 5}) r.Mark("s.Dat", w);
    ASSERT_TRUE(r.Save());
  }
  EXPECT_EQ(Lines("seen"), 4u);  // the header and this version's three
  // A script that is gone takes its marks with it; one that reads as no
  // words (being written) keeps them.
  SeenRecord r("seen", [&](const std::string& s) { return scripts.Messages(s); });
  r.Load();
  r.Mark("t.Dat", 1);
  std::ofstream("GameData/Text/empty.Dat").flush();
  r.Mark("empty.Dat", 4);
  ASSERT_TRUE(r.Save());
  EXPECT_EQ(Marks("seen"), 4u);  // s.Dat's three and empty.Dat's one
}

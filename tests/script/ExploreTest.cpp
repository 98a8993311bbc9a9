// The parts of vantorel-script explore that stand apart from a running
// engine: reading the engine's events, the branch records, the shared state
// set and job slots across processes, and the report made from the records.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "ExploreEvents.h"
#include "ExploreRecords.h"
#include "ExploreReport.h"
#include "ExploreShared.h"
#include "support/ScratchDir.h"

using namespace scripttool;

TEST(ExploreEvents, ReadsTopLevelMembersOfTheEnginesEvents) {
  const std::string report =
      R"x({"type":"report","unit":"CMsgBox","line":27,"code":"E_FAIL (0x80004005)","message":"a \"b\" \\ c\nd\u0001é"})x";
  EXPECT_EQ(JsonField(report, "type"), "report");
  EXPECT_EQ(JsonField(report, "line"), "27");
  EXPECT_EQ(JsonField(report, "message"), "a \"b\" \\ c\nd\x01é");
  EXPECT_EQ(JsonField(report, "missing"), "");
  // A key inside a nested object or inside a string value is not the member.
  const std::string nested = R"({"state":{"type":"inner"},"text":"\"type\":\"fake\"","type":"outer","n":-1})";
  EXPECT_EQ(JsonField(nested, "type"), "outer");
  EXPECT_EQ(JsonField(nested, "n"), "-1");
  EXPECT_EQ(JsonField(R"({"type":"step","result":10000})", "result"), "10000");
}

TEST(ExploreRecords, FieldsSurviveTabsNewlinesAndBackslashesAndATornLineIsLeftOut) {
  ScratchDir dir;
  const std::string path = dir.Path() + "/b0.rec";
  {
    RecordWriter w;
    ASSERT_TRUE(w.Open(path));
    w.Write(record::kBranch, {"0", JoinChoices({"はい", "a\tb"}), "123"});
    w.Write(record::kFailure, {"本編\\森.Dat", "0", "line one\nline two\\", ""});
    w.Write(record::kDone, {});
  }
  {
    FILE* f = std::fopen(path.c_str(), "ab");
    std::fputs("O\tcut in the mid", f);  // a branch that died while writing
    std::fclose(f);
  }
  std::vector<Record> r = ReadRecords(path);
  ASSERT_EQ(r.size(), 3u);
  EXPECT_EQ(r[0].kind, record::kBranch);
  EXPECT_EQ(SplitChoices(r[0].fields[1]), (std::vector<std::string>{"はい", "a\tb"}));
  EXPECT_EQ(r[1].fields, (std::vector<std::string>{"本編\\森.Dat", "0", "line one\nline two\\", ""}));
  EXPECT_EQ(r[2].kind, record::kDone);
  EXPECT_TRUE(r[2].fields.empty());
  EXPECT_TRUE(SplitChoices(JoinChoices({})).empty());
  // Opening again starts the file afresh: a forked branch never appends to its parent's.
  RecordWriter again;
  ASSERT_TRUE(again.Open(path));
  again.Close();
  EXPECT_TRUE(ReadRecords(path).empty());
}

TEST(ExploreShared, SeenStatesAreSharedWithForkedBranches) {
  ExploreShared* shared = ExploreShared::Create(2, 1024);
  ASSERT_NE(shared, nullptr);
  EXPECT_TRUE(shared->Insert(42));
  EXPECT_FALSE(shared->Insert(42));
  EXPECT_EQ(shared->NewBranch(), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // The child sees the parent's key and adds one of its own.
    const bool ok = !shared->Insert(42) && shared->Insert(7) && shared->NewBranch() == 1;
    ::_exit(ok ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_FALSE(shared->Insert(7));
  EXPECT_EQ(shared->States(), 2u);
  EXPECT_EQ(shared->NewBranch(), 2);
  EXPECT_FALSE(shared->Full());
}

TEST(ExploreShared, AFullSetCountsNewKeysAsSeen) {
  ExploreShared* shared = ExploreShared::Create(1, 8);  // probes 2 cells a key
  ASSERT_NE(shared, nullptr);
  // Keys that all land on cell 0.
  EXPECT_TRUE(shared->Insert(8));
  EXPECT_TRUE(shared->Insert(16));
  EXPECT_FALSE(shared->Insert(24));
  EXPECT_TRUE(shared->Full());
  EXPECT_FALSE(shared->Insert(16));
  EXPECT_TRUE(shared->Insert(3));  // another cell still takes keys
}

TEST(ExploreShared, AJobSlotIsWaitedForUntilItIsGivenBack) {
  ExploreShared* shared = ExploreShared::Create(1, 16);
  ASSERT_NE(shared, nullptr);
  shared->Acquire();
  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    shared->Acquire();
    const char c = 'x';
    ssize_t n = ::write(fds[1], &c, 1);
    shared->Release();
    ::_exit(n == 1 ? 0 : 1);
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  char c = 0;
  ::fcntl(fds[0], F_SETFL, O_NONBLOCK);
  EXPECT_EQ(::read(fds[0], &c, 1), -1);  // the only slot is this process's
  shared->Release();
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_EQ(::read(fds[0], &c, 1), 1);
  EXPECT_EQ(c, 'x');
  ::close(fds[0]);
  ::close(fds[1]);
}

TEST(ExploreShared, KeysTellApartFieldsThatJoinAlike) {
  KeyHash a, b;
  a.Add("ab");
  a.Add("c");
  b.Add("a");
  b.Add("bc");
  EXPECT_NE(a.Value(), b.Value());
  KeyHash c;
  c.Add("ab");
  c.Add("c");
  EXPECT_EQ(a.Value(), c.Value());
}

namespace {
Record R(char kind, std::vector<std::string> fields) { return {kind, std::move(fields)}; }
}  // namespace

TEST(ExploreReport, GathersBranchesAndNamesADeadOneAsAFailure) {
  ExploreReport report;
  AddBranch(report,
            {R(record::kBranch, {"0", "", "1"}), R(record::kOpened, {"オープニング\\オープニング1.Dat"}),
             R(record::kTaken, {"オープニング\\オープニング1.Dat", "FontMenu", "「海へ」"}),
             R(record::kOpened, {"本編\\海.Dat"}), R(record::kStopped, {"loop", "本編\\海.Dat", "「海へ」"}),
             R(record::kDone, {})},
            "");
  AddBranch(report,
            {R(record::kBranch, {"1", "「山へ」", "2"}), R(record::kOpened, {"本編\\山.Dat"}),
             R(record::kTaken, {"オープニング\\オープニング1.Dat", "FontMenu", "「山へ」"}),
             R(record::kTooLong, {"本編\\山.Dat", "4", "160", "長い"})},
            "the engine stopped on signal Segmentation fault");
  AddBranch(report,
            {R(record::kBranch, {"2", "「森へ」", "3"}),
             R(record::kFailure, {"本編\\森.Dat", "0", "見つかりません", "「森へ」"}),
             R(record::kEnding, {"GameEnd", "本編\\森.Dat", "「森へ」"}), R(record::kDone, {})},
            "");
  SetGameScripts(report, {"オープニング\\オープニング1.Dat", "本編\\山.Dat", "本編\\迷子.Dat", "本編\\海.Dat"});
  report.states = 9;
  EXPECT_EQ(report.branches, 3u);
  EXPECT_EQ(report.unreached, (std::set<std::string>{"本編\\迷子.Dat"}));
  ASSERT_EQ(report.failures.size(), 2u);
  // Sorted by script: the dead branch (last script it opened) before the forest.
  auto f = report.failures.begin();
  EXPECT_EQ(f->script, "本編\\山.Dat");
  EXPECT_EQ(f->message, "the engine stopped on signal Segmentation fault");
  EXPECT_EQ(f->choices, (std::vector<std::string>{"「山へ」"}));
  const std::string text = ReportText(report);
  EXPECT_NE(text.find("scripts never reached (1):\n  本編\\迷子.Dat\n"), std::string::npos) << text;
  EXPECT_NE(text.find("  loop in 本編\\海.Dat after 「海へ」\n"), std::string::npos) << text;
  EXPECT_NE(text.find("  本編\\山.Dat word 4: 160 bytes: 長い\n"), std::string::npos) << text;
  EXPECT_NE(text.find("3 branches, 9 states\n"), std::string::npos) << text;
  const std::string json = ReportJson(report);
  EXPECT_NE(json.find(R"("endings":[{"kind":"GameEnd","script":"本編\\森.Dat","choices":["「森へ」"]}])"),
            std::string::npos)
      << json;
  EXPECT_NE(json.find(R"("unreached":["本編\\迷子.Dat"])"), std::string::npos) << json;
  EXPECT_NE(json.find(R"("branches":3,"states":9)"), std::string::npos) << json;
  // The same records in another order make the same report.
  EXPECT_EQ(json.back(), '\n');
}

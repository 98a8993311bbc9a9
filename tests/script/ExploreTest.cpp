// The parts of vantorel-script explore that stand apart from a running
// engine: reading the engine's events, the branch records, the shared state
// set and job slots across processes, and the report made from the records.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "BranchProcesses.h"
#include "ExploreEvents.h"
#include "ExploreLink.h"
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

using Visit = ExploreShared::Visit;

TEST(ExploreShared, SeenStatesAreSharedWithForkedBranches) {
  ExploreShared* shared = ExploreShared::Create(2, 1024);
  ASSERT_NE(shared, nullptr);
  EXPECT_EQ(shared->Insert(42), Visit::kNew);
  EXPECT_EQ(shared->Insert(42), Visit::kSeen);
  EXPECT_EQ(shared->NewBranch(), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // The child sees the parent's key and adds one of its own.
    const bool ok = shared->Insert(42) == Visit::kSeen && shared->Insert(7) == Visit::kNew && shared->NewBranch() == 1;
    ::_exit(ok ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(shared->Insert(7), Visit::kSeen);
  EXPECT_EQ(shared->States(), 2u);
  EXPECT_EQ(shared->NewBranch(), 2);
  EXPECT_FALSE(shared->LimitReached());
}

TEST(ExploreShared, TheStateLimitStopsNewKeysButNotSeenOnes) {
  ExploreShared* shared = ExploreShared::Create(1, 3);
  ASSERT_NE(shared, nullptr);
  EXPECT_EQ(ExploreShared::TableCells(3), 16u);  // never more than a quarter full
  EXPECT_EQ(ExploreShared::TableCells(100000), size_t{1} << 19);
  // Keys that land on one cell, and probe past each other.
  EXPECT_EQ(shared->Insert(16), Visit::kNew);
  EXPECT_EQ(shared->Insert(32), Visit::kNew);
  EXPECT_EQ(shared->Insert(48), Visit::kNew);
  EXPECT_FALSE(shared->LimitReached());
  EXPECT_EQ(shared->Insert(64), Visit::kLimit);
  EXPECT_EQ(shared->Insert(5), Visit::kLimit);
  EXPECT_TRUE(shared->LimitReached());
  // A state seen before the limit still ends a branch as seen.
  EXPECT_EQ(shared->Insert(48), Visit::kSeen);
  EXPECT_EQ(shared->States(), 3u);
}

TEST(ExploreShared, ParkingPlacesAreFewAndGivenBack) {
  ExploreShared* shared = ExploreShared::Create(1, 16);
  ASSERT_NE(shared, nullptr);
  for (int i = 0; i < ExploreShared::kMaxParked; ++i) EXPECT_TRUE(shared->TryPark());
  EXPECT_FALSE(shared->TryPark());
  EXPECT_EQ(shared->Parked(), ExploreShared::kMaxParked);
  shared->Unpark();
  EXPECT_TRUE(shared->TryPark());
  EXPECT_TRUE(shared->TryAcquire());
  EXPECT_FALSE(shared->TryAcquire());
  shared->Release();
  EXPECT_TRUE(shared->TryAcquire());
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
            {R(record::kBranch, {"0", "", "1"}), R(record::kState, {"0"}),
             R(record::kOpened, {"オープニング\\オープニング1.Dat"}), R(record::kState, {"5"}),
             R(record::kTaken, {"オープニング\\オープニング1.Dat", "FontMenu", "「海へ」"}),
             R(record::kOpened, {"本編\\海.Dat"}), R(record::kStopped, {"loop", "本編\\海.Dat", "「海へ」"}),
             R(record::kDone, {})},
            "");
  AddBranch(report,
            {R(record::kBranch, {"1", "「山へ」", "2"}), R(record::kState, {"5"}),
             R(record::kTaken, {"オープニング\\オープニング1.Dat", "FontMenu", "「山へ」"}),
             R(record::kOpened, {"本編\\山.Dat"}),
             R(record::kTooLong, {"本編\\山.Dat", "4", "", "80", "4", "3", "160", "80 characters in 4 rows", "長い"})},
            "the engine stopped on signal Segmentation fault");
  AddBranch(report,
            {R(record::kBranch, {"2", "「森へ」", "3"}), R(record::kState, {"5"}),
             R(record::kTaken, {"オープニング\\オープニング1.Dat", "FontMenu", "「森へ」"}),
             R(record::kFailure, {"本編\\森.Dat", "0", "見つかりません", "「森へ」"}),
             R(record::kEnding, {"GameEnd", "本編\\森.Dat", "「森へ」", ""}), R(record::kDone, {})},
            "");
  SetGameScripts(report, {"オープニング\\オープニング1.Dat", "本編\\山.Dat", "本編\\迷子.Dat", "本編\\海.Dat"});
  report.states = 9;
  EXPECT_EQ(report.branches, 3u);
  EXPECT_EQ(report.unreached, (std::set<std::string>{"本編\\迷子.Dat"}));
  ASSERT_EQ(report.failures.size(), 2u);
  // Sorted by script: the dead branch (last script it opened) before the forest.
  auto f = report.failures.begin();
  EXPECT_EQ(f->first.script, "本編\\山.Dat");
  EXPECT_EQ(f->first.message, "the engine stopped on signal Segmentation fault");
  const std::string text = ReportText(report);
  EXPECT_NE(text.find("scripts never reached (1):\n  本編\\迷子.Dat\n"), std::string::npos) << text;
  EXPECT_NE(text.find("  loop in 本編\\海.Dat after 「海へ」 (1 way)\n"), std::string::npos) << text;
  EXPECT_NE(text.find("  本編\\山.Dat word 0: the engine stopped on signal Segmentation fault after 「山へ」 (1 way)\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("  本編\\山.Dat word 4: 80 characters in 4 rows: 長い\n"), std::string::npos) << text;
  EXPECT_NE(text.find("3 branches, 9 states\n"), std::string::npos) << text;
  const std::string json = ReportJson(report);
  EXPECT_NE(json.find(R"("endings":[{"kind":"GameEnd","script":"本編\\森.Dat","variables":{},"ways":1,"choices":["「森へ」"]}])"),
            std::string::npos)
      << json;
  EXPECT_NE(json.find(R"("tooLong":[{"script":"本編\\山.Dat","position":4,"language":null,"characters":80,"rows":4,"windowRows":3,"bytes":160,)"),
            std::string::npos)
      << json;
  EXPECT_NE(json.find(R"("unreached":["本編\\迷子.Dat"])"), std::string::npos) << json;
  EXPECT_NE(json.find(R"("language":null,"branches":3,"states":9)"), std::string::npos) << json;
  EXPECT_EQ(json.back(), '\n');
}

namespace {
// A pipe standing in for the coordinator's end of the link.
struct LinkPipe {
  int fds[2] = {-1, -1};
  LinkPipe() { EXPECT_EQ(::pipe(fds), 0); }
  ~LinkPipe() {
    ::close(fds[0]);
    ::close(fds[1]);
  }
  LinkEnds Ends() const { return {fds[1], -1}; }
  LinkMessage Next() {
    LinkMessage m;
    EXPECT_EQ(::read(fds[0], &m, sizeof m), static_cast<ssize_t>(sizeof m));
    return m;
  }
};
}  // namespace

TEST(BranchProcesses, AChildForkedByParkingHoldsThePermitUntilItIsReaped) {
  ExploreShared* shared = ExploreShared::Create(1, 16);
  ASSERT_NE(shared, nullptr);
  shared->Acquire();  // this process is a branch holding the only permit
  LinkPipe link;
  BranchProcesses procs(*shared, link.Ends());
  bool prepared = false;
  const auto fork = procs.Start(7, [&] {
    prepared = true;
    return true;
  });
  if (fork == BranchProcesses::Fork::kChild) ::_exit(3);
  ASSERT_EQ(fork, BranchProcesses::Fork::kParent);
  EXPECT_TRUE(prepared);
  // Parked until the child was reaped: the permit is this process's again.
  EXPECT_EQ(shared->Parked(), 0);
  EXPECT_FALSE(shared->TryAcquire());
  const LinkMessage m = link.Next();
  EXPECT_EQ(m.kind, LinkMessage::kEnded);
  EXPECT_EQ(m.id, 7);
  EXPECT_TRUE(WIFEXITED(m.value) && WEXITSTATUS(m.value) == 3);
  EXPECT_EQ(shared->ForkFailures(), 0u);
}

TEST(BranchProcesses, NoPermitAndNoParkingPlaceForksNothing) {
  ExploreShared* shared = ExploreShared::Create(1, 16);
  ASSERT_NE(shared, nullptr);
  shared->Acquire();
  for (int i = 0; i < ExploreShared::kMaxParked; ++i) ASSERT_TRUE(shared->TryPark());
  LinkPipe link;
  BranchProcesses procs(*shared, link.Ends());
  bool prepared = false;
  EXPECT_EQ(procs.Start(8, [&] { return prepared = true; }), BranchProcesses::Fork::kNone);
  EXPECT_FALSE(prepared);
  // A refused preparation gives the permit it took back, and is no fork failure.
  ExploreShared* two = ExploreShared::Create(2, 16);
  ASSERT_NE(two, nullptr);
  two->Acquire();
  BranchProcesses more(*two, link.Ends());
  EXPECT_EQ(more.Start(9, [] { return false; }), BranchProcesses::Fork::kNone);
  EXPECT_TRUE(two->TryAcquire());
  EXPECT_EQ(two->ForkFailures(), 0u);
}

TEST(BranchProcesses, ChildrenStillRunningAreLeftToTheCoordinatorByName) {
  ExploreShared* shared = ExploreShared::Create(2, 16);
  ASSERT_NE(shared, nullptr);
  shared->Acquire();
  LinkPipe link;
  int hold[2];
  ASSERT_EQ(::pipe(hold), 0);
  BranchProcesses procs(*shared, link.Ends());
  const auto fork = procs.Start(11, [] { return true; });
  if (fork == BranchProcesses::Fork::kChild) {
    char c;
    ::close(hold[1]);
    ssize_t n = ::read(hold[0], &c, 1);  // until the test lets it go
    ::_exit(n == 0 ? 0 : 1);
  }
  ASSERT_EQ(fork, BranchProcesses::Fork::kParent);  // a free permit: no parking
  procs.LeaveChildren();
  const LinkMessage m = link.Next();
  EXPECT_EQ(m.kind, LinkMessage::kAdopt);
  EXPECT_EQ(m.id, 11);
  ::close(hold[0]);
  ::close(hold[1]);
  int status = 0;
  EXPECT_EQ(::waitpid(static_cast<pid_t>(m.value), &status, 0), static_cast<pid_t>(m.value));
}

TEST(ExploreRecords, QueuedItemsComeBackFromTheirOffsetWhole) {
  ScratchDir dir;
  const std::string path = dir.Path() + "/b3.rec";
  QueuedItems q;
  q.key = 0xFEDCBA9876543210ull;
  q.start = 2;
  q.path = {0, 3, 1};
  q.script = "本編\\問2.Dat";
  q.menu = "FontMenu";
  q.choices = {"「答1の1」", "a\tb"};
  q.labels = {"「答2の3」", "「答2の4」"};
  RecordWriter w;
  ASSERT_TRUE(w.Open(path));
  ASSERT_TRUE(w.Write(record::kBranch, {"3", "", "1"}));
  const uint64_t offset = w.Size();
  ASSERT_TRUE(w.Write(record::kQueued, QueuedFields(q)));
  ASSERT_TRUE(w.Write(record::kDone, {}));
  Record r;
  ASSERT_TRUE(ReadRecordAt(path, offset, r));
  QueuedItems back;
  ASSERT_TRUE(ParseQueued(r, back));
  EXPECT_EQ(back.key, q.key);
  EXPECT_EQ(back.start, 2u);
  EXPECT_EQ(back.path, q.path);
  EXPECT_EQ(back.script, q.script);
  EXPECT_EQ(back.choices, q.choices);
  EXPECT_EQ(back.labels, q.labels);
  // The opening's own queue has no path.
  q.path.clear();
  r = Record{record::kQueued, QueuedFields(q)};
  ASSERT_TRUE(ParseQueued(r, back));
  EXPECT_TRUE(back.path.empty());
  // Anything else is refused: another record, a broken path, a torn line.
  ASSERT_TRUE(ReadRecordAt(path, 0, r));
  EXPECT_FALSE(ParseQueued(r, back));
  r = Record{record::kQueued, QueuedFields(q)};
  r.fields[2] = "1,,2";
  EXPECT_FALSE(ParseQueued(r, back));
  r.fields[2] = "1";
  r.fields[1] = "-1";
  EXPECT_FALSE(ParseQueued(r, back));
  w.Close();
  {
    FILE* f = std::fopen(path.c_str(), "ab");
    std::fputs("Q\t1\t0", f);
    std::fclose(f);
  }
  EXPECT_FALSE(ReadRecordAt(path, w.Size(), r));
  EXPECT_FALSE(ReadRecordAt(path, 1 << 20, r));
}

TEST(ExploreReport, AnIncompleteExplorationSaysWhyAndWhatWasLeft) {
  ExploreReport report;
  // A branch stopped at the state limit, and one that found the work
  // directory full after the engine failed to save.
  AddBranch(report,
            {R(record::kBranch, {"0", "", "1"}), R(record::kOpened, {"本編\\問1.Dat"}),
             R(record::kStopped, {kStoppedAtLimit, "本編\\問3.Dat", JoinChoices({"「答1の1」", "「答2の2」"})}),
             R(record::kDone, {})},
            "");
  AddBranch(report,
            {R(record::kBranch, {"1", "「答1の2」", "2"}), R(record::kOpened, {"本編\\問2.Dat"}),
             R(record::kFailure, {"本編\\問2.Dat", "3", "セーブデータの書き込みに失敗しました", "「答1の2」"})},
            "", true);
  EXPECT_TRUE(report.failures.empty());
  EXPECT_EQ(report.reached, (std::set<std::string>{"本編\\問1.Dat", "本編\\問2.Dat"}));
  for (int i = 0; i < int(ExploreReport::kNotExploredListed) + 5; ++i)
    report.AddNotExplored({"本編\\問9.Dat", {"「答" + std::to_string(1000 + i) + "」"}, "FontMenu item never started"});
  report.AddIncomplete("the state limit of 3 states was reached (--max-states)");
  report.AddIncomplete("the state limit of 3 states was reached (--max-states)");
  EXPECT_EQ(report.incomplete.size(), 1u);
  EXPECT_EQ(report.notExploredCount, ExploreReport::kNotExploredListed + 6);
  EXPECT_EQ(report.notExplored.size(), ExploreReport::kNotExploredListed);
  const std::string text = ReportText(report);
  EXPECT_NE(text.find("branches not explored (206):\n"), std::string::npos) << text;
  EXPECT_NE(text.find("  本編\\問3.Dat after 「答1の1」 > 「答2の2」: stopped at the state limit\n"), std::string::npos);
  EXPECT_NE(text.find("  ... and 6 more\n"), std::string::npos);
  EXPECT_NE(text.find("\nexploration incomplete: the state limit of 3 states was reached (--max-states)\n"),
            std::string::npos);
  // The listing keeps the first in order, whatever order they came in.
  EXPECT_NE(text.find("「答1000」"), std::string::npos);
  EXPECT_EQ(text.find("「答1204」"), std::string::npos);
  const std::string json = ReportJson(report);
  EXPECT_NE(json.find(R"("notExploredCount":206,"complete":false,"incomplete":["the state limit)"), std::string::npos)
      << json;
  EXPECT_NE(json.find(R"({"script":"本編\\問3.Dat","choices":["「答1の1」","「答2の2」"],"what":"stopped at the state limit"})"),
            std::string::npos);
  // A whole exploration says so.
  ExploreReport whole;
  EXPECT_NE(ReportJson(whole).find(R"("notExplored":[],"notExploredCount":0,"complete":true,"incomplete":[])"),
            std::string::npos);
  EXPECT_EQ(ReportText(whole).find("incomplete"), std::string::npos);
}

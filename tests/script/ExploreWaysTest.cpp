// How vantorel-script explore counts the ways to each end: the graph of
// states the branches leave, and the report that lists each ending and
// each failure once with the ways that lead there.
#include <gtest/gtest.h>

#include <limits>

#include "ExploreRecords.h"
#include "ExploreReport.h"
#include "WayGraph.h"

using namespace scripttool;

namespace {
Record R(char kind, std::vector<std::string> fields) { return {kind, std::move(fields)}; }
Record K(uint64_t key) { return R(record::kState, {std::to_string(key)}); }
Record Took(const std::string& label) { return R(record::kTaken, {"s.Dat", "FontMenu", label}); }
}  // namespace

TEST(WayGraph, WaysThatMeetAreCountedOnAndALoopIsNoMoreWays) {
  WayGraph g;
  // The opening, a menu (1) of three items: two meet at 3, one goes to 4
  // and back to the menu; 3 leads on to the end 9.
  g.AddEdge(WayGraph::kOpening, 1, "");
  g.AddEdge(1, 2, "b");
  g.AddEdge(1, 3, "a");
  g.AddEdge(2, 3, "");
  g.AddEdge(1, 4, "c");
  g.AddEdge(4, 1, "");  // back to the menu
  g.AddEdge(3, 9, "");
  g.AddEdge(3, 9, "");  // the same step told twice is one way
  const auto ways = g.Count();
  EXPECT_EQ(ways.Of(1).count, 1u);
  EXPECT_EQ(ways.Of(9).count, 2u);
  EXPECT_EQ(ways.Of(9).shortest, (WayGraph::Choices{"a"}));
  EXPECT_EQ(ways.Of(4).count, 1u);
  // Two items to the same state are two ways; among equally short ways the
  // first in order is named.
  g.AddEdge(1, 3, "0");
  EXPECT_EQ(g.Count().Of(9).count, 3u);
  EXPECT_EQ(g.Count().Of(9).shortest, (WayGraph::Choices{"0"}));
  // A node no way from the opening reaches has no ways.
  g.AddEdge(50, 9, "x");
  EXPECT_FALSE(g.Count().Reaches(50));
  EXPECT_EQ(g.Count().Of(50).count, 0u);
  EXPECT_EQ(g.Count().Of(9).count, 3u);
}

TEST(WayGraph, TheShortestWayIsTheFirstInOrderByItsEarliestDifferingChoice) {
  WayGraph g;
  // Two items labelled alike lead to 1 and 2; from them "x" and "w" meet
  // at 5: the two ways differ only in their last choice.
  g.AddEdge(WayGraph::kOpening, 1, "a");
  g.AddEdge(WayGraph::kOpening, 2, "a");
  g.AddEdge(1, 5, "x");
  g.AddEdge(2, 5, "w");
  // Two ways to 8 of two choices, "b" then "c" and "c" then "a": the first
  // choice decides, not the last.
  g.AddEdge(WayGraph::kOpening, 6, "b");
  g.AddEdge(WayGraph::kOpening, 7, "c");
  g.AddEdge(6, 8, "c");
  g.AddEdge(7, 8, "a");
  // A longer way in first order loses to a shorter one.
  g.AddEdge(5, 8, "");
  const auto ways = g.Count();
  EXPECT_EQ(ways.Of(5).shortest, (WayGraph::Choices{"a", "w"}));
  EXPECT_EQ(ways.Of(5).count, 2u);
  EXPECT_EQ(ways.Of(8).shortest, (WayGraph::Choices{"a", "w"}));
  EXPECT_EQ(ways.Of(8).count, 4u);
  g.AddEdge(WayGraph::kOpening, 8, "z");
  EXPECT_EQ(g.Count().Of(8).shortest, (WayGraph::Choices{"z"}));
}

TEST(WayGraph, ManyWaysSaturateAndADeepChainIsNoRecursion) {
  WayGraph g;
  // 70 diamonds in a row: 2^70 ways.
  uint64_t at = WayGraph::kOpening;
  for (uint64_t i = 0; i < 70; ++i) {
    const uint64_t left = 1000 + 3 * i, right = left + 1, join = left + 2;
    g.AddEdge(at, left, "L");
    g.AddEdge(at, right, "R");
    g.AddEdge(left, join, "");
    g.AddEdge(right, join, "");
    at = join;
  }
  const auto ways = g.Count();
  EXPECT_EQ(ways.Of(at).count, std::numeric_limits<uint64_t>::max());
  EXPECT_EQ(ways.Of(at).shortest.size(), 70u);
  // A chain of 100,000 states (a long game's messages one after another).
  WayGraph chain;
  for (uint64_t i = 0; i < 100000; ++i) chain.AddEdge(i, i + 1, "");
  EXPECT_EQ(chain.Count().Of(100000).count, 1u);
}

TEST(ExploreReport, AnEndingReachedByManyWaysIsOneLineWithItsCountAndTheVariablesThatTellItApart) {
  ExploreReport report;
  // The opening (0) to a menu (1); three branches take its items. "save1"
  // and "save2" end alike (only their saves differ, which are no
  // variables); "other" ends in the same script with another value.
  AddBranch(report, {K(0), K(1), Took("save1"), K(2), R(record::kEnding, {"GameEnd", "end.Dat", "", "$a=1\x1f$b=x"}),
                     R(record::kDone, {})},
            "");
  AddBranch(report, {K(1), Took("save2"), K(3), R(record::kEnding, {"GameEnd", "end.Dat", "", "$b=x\x1f$a=1"}),
                     R(record::kDone, {})},
            "");
  AddBranch(report, {K(1), Took("other"), K(4), R(record::kEnding, {"GameEnd", "end.Dat", "", "$a=2\x1f$b=x"}),
                     R(record::kDone, {})},
            "");
  // A fourth meets the first way at 2: one more way to its ending.
  AddBranch(report, {K(1), Took("then"), K(5), K(2), R(record::kDone, {})}, "");
  // The same failure at the end of two ways, and of a third that died there.
  AddBranch(report, {K(0), K(6), Took("x"), R(record::kFailure, {"f.Dat", "3", "見つかりません", ""}), R(record::kDone, {})},
            "");
  AddBranch(report, {K(6), Took("y"), R(record::kFailure, {"f.Dat", "3", "見つかりません", ""}), R(record::kDone, {})}, "");
  ASSERT_EQ(report.endings.size(), 2u);
  ASSERT_EQ(report.failures.size(), 1u);
  const std::string text = ReportText(report);
  EXPECT_NE(text.find("endings (2):\n"
                      "  GameEnd in end.Dat with $a = 1 after save1 (3 ways)\n"
                      "  GameEnd in end.Dat with $a = 2 after other (1 way)\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("failures (1):\n  f.Dat word 3: 見つかりません after x (2 ways)\n"), std::string::npos) << text;
  const std::string json = ReportJson(report);
  EXPECT_NE(json.find(R"({"kind":"GameEnd","script":"end.Dat","variables":{"$a":"1"},"ways":3,"choices":["save1"]})"),
            std::string::npos)
      << json;
  EXPECT_NE(json.find(R"("failures":[{"script":"f.Dat","position":3,"message":"見つかりません","ways":2,"choices":["x"]}])"),
            std::string::npos)
      << json;

  // An ending alone in its script names no variables; one whose variable
  // another lacks names it as unset.
  ExploreReport lone;
  AddBranch(lone, {K(0), R(record::kEnding, {"Map", "map.Dat", "", "$a=1"}), R(record::kDone, {})}, "");
  AddBranch(lone, {K(0), K(7), R(record::kEnding, {"Battle", "b.Dat", "", "$a=1"}), R(record::kDone, {})}, "");
  AddBranch(lone, {K(0), K(8), R(record::kEnding, {"Battle", "b.Dat", "", ""}), R(record::kDone, {})}, "");
  const std::string loneText = ReportText(lone);
  EXPECT_NE(loneText.find("  Map in map.Dat after (no choice) (1 way)\n"), std::string::npos) << loneText;
  EXPECT_NE(loneText.find("  Battle in b.Dat with $a = (unset) after (no choice) (1 way)\n"), std::string::npos)
      << loneText;
}

TEST(ExploreReport, AMessageTooLongIsListedOncePerLanguageInCharactersAndRows) {
  ExploreReport report;
  report.language = "en";
  const std::vector<std::string> original{"a.Dat", "2", "", "80", "4", "3", "160", "80 characters in 4 rows where the window holds 3", "長い"};
  const std::vector<std::string> english{"a.Dat", "3", "en", "120", "5", "4", "120", "5 rows where the window holds 4", "Long"};
  AddBranch(report, {K(0), R(record::kTooLong, original), R(record::kTooLong, english), R(record::kDone, {})}, "");
  AddBranch(report, {K(0), R(record::kTooLong, english), R(record::kDone, {})}, "");
  ASSERT_EQ(report.tooLong.size(), 2u);
  const std::string text = ReportText(report);
  EXPECT_NE(text.find("messages longer than the window (2):\n"
                      "  a.Dat word 2: 80 characters in 4 rows where the window holds 3: 長い\n"
                      "  a.Dat word 3 in en: 5 rows where the window holds 4: Long\n"),
            std::string::npos)
      << text;
  const std::string json = ReportJson(report);
  EXPECT_NE(json.find(R"({"script":"a.Dat","position":3,"language":"en","characters":120,"rows":5,"windowRows":4,"bytes":120,"why":"5 rows where the window holds 4","message":"Long"})"),
            std::string::npos)
      << json;
  EXPECT_NE(json.find(R"("language":"en","branches":2)"), std::string::npos) << json;
}

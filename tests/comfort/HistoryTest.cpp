// The history's page and capacity, and the seen record's file.
#include <gtest/gtest.h>

#include <fstream>

#include "comfort/History.h"
#include "comfort/SeenRecord.h"
#include "support/ScratchDir.h"

using comfort::History;
using comfort::SeenRecord;

TEST(ComfortHistory, OpensAtTheNewestPageAndScrollsWithinTheEntries) {
  History h;
  EXPECT_FALSE(h.Open());  // nothing to show
  for (int i = 0; i < 10; ++i) h.Add("", std::to_string(i));
  ASSERT_TRUE(h.Open());
  EXPECT_EQ(h.First(), 10 - History::kPage);
  EXPECT_EQ(h.Shown(), History::kPage);
  EXPECT_FALSE(h.Scroll(1));  // newer than the newest page: the caller may close
  EXPECT_TRUE(h.Scroll(-100));
  EXPECT_EQ(h.First(), 0u);
  EXPECT_TRUE(h.Scroll(3));
  EXPECT_EQ(h.First(), 3u);
  EXPECT_TRUE(h.Scroll(100));
  EXPECT_EQ(h.First(), 10 - History::kPage);

  History few;
  few.Add("a", "b");
  ASSERT_TRUE(few.Open());
  EXPECT_EQ(few.First(), 0u);
  EXPECT_EQ(few.Shown(), 1u);
}

TEST(ComfortHistory, KeepsTheLastEntriesAndThePageStaysOnItsEntries) {
  History h;
  for (size_t i = 0; i < History::kCapacity; ++i) h.Add("", std::to_string(i));
  ASSERT_TRUE(h.Open());
  h.Scroll(-5);
  const std::string top = h.Entries()[h.First()].text;
  h.Add("", "new");
  EXPECT_EQ(h.Entries().size(), History::kCapacity);
  EXPECT_GE(History::kCapacity, 200u);
  EXPECT_EQ(h.Entries().front().text, "1");
  EXPECT_EQ(h.Entries()[h.First()].text, top);
  h.Clear();
  EXPECT_TRUE(h.Empty());
  EXPECT_FALSE(h.IsOpen());
}

TEST(ComfortSeenRecord, ComesBackFromItsFileAndSkipsDamagedLines) {
  testsupport::ScratchDir dir(testsupport::ScratchDir::kEnter, "seen");
  {
    SeenRecord r("data/game/seen");
    EXPECT_TRUE(r.Mark("本編\\学校.Dat", 12));
    EXPECT_FALSE(r.Mark("本編\\学校.Dat", 12));
    r.Mark("a b.Dat", 0);
    ASSERT_TRUE(r.Save());  // makes its directory
  }
  {
    std::ofstream f("data/game/seen", std::ios::app);
    f << "x\tbad.Dat\n\t\n12345678901\tlong.Dat\n7\n";
  }
  SeenRecord r("data/game/seen");
  r.Load();
  EXPECT_EQ(r.Size(), 2u);
  EXPECT_TRUE(r.Seen("本編\\学校.Dat", 12));
  EXPECT_TRUE(r.Seen("a b.Dat", 0));
  EXPECT_FALSE(r.Seen("本編\\学校.Dat", 13));

  // Another program's file is not read.
  { std::ofstream("other") << "12\tx.Dat\n"; }
  SeenRecord other("other");
  other.Load();
  EXPECT_EQ(other.Size(), 0u);
}

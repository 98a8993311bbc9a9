#include "app/FileWatcher.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "support/ScratchDir.h"

namespace fs = std::filesystem;

namespace {

class Watcher : public ::testing::Test {
 protected:
  // Sets a file's time explicitly: two writes within one tick of a coarse
  // file clock must still count as a change.
  void Touch(const std::string& name, int secondsLater) {
    fs::last_write_time(Path(name), base + std::chrono::seconds(secondsLater));
  }
  std::string Path(const std::string& name) const { return dir.Path() + "/" + name; }
  std::vector<std::string> Poll(std::vector<std::string> names) {
    for (auto& n : names) n = Path(n);
    auto changed = watcher.Poll(names);
    for (auto& c : changed) c = c.substr(dir.Path().size() + 1);
    return changed;
  }
  ScratchDir dir{ScratchDir::kStay};
  FileWatcher watcher;
  fs::file_time_type base = fs::file_time_type::clock::now() - std::chrono::hours(1);
};

using Names = std::vector<std::string>;

}  // namespace

TEST(FileWatcherClock, PollsOncePerPeriodAcrossTheClockWrap) {
  FileWatcher w(200);
  EXPECT_TRUE(w.Due(0xFFFFFFA0u));  // the first call always polls, 96 ms before the wrap
  EXPECT_FALSE(w.Due(0xFFFFFFFFu));
  EXPECT_FALSE(w.Due(103));
  EXPECT_TRUE(w.Due(104));  // 200 ms later, past zero
  EXPECT_FALSE(w.Due(303));
  EXPECT_TRUE(w.Due(304));
}

TEST(FileWatcherClock, TheNextPollIsDueWhenDueNextHolds) {
  FileWatcher w(200);
  EXPECT_EQ(w.SecondsUntilDue(due::NowSeconds(5)), 0.0);  // the first poll at once
  ASSERT_TRUE(w.Due(0xFFFFFFA0u));
  EXPECT_DOUBLE_EQ(w.SecondsUntilDue(due::NowSeconds(0xFFFFFFA0u)), 0.2);
  EXPECT_DOUBLE_EQ(w.SecondsUntilDue(due::NowSeconds(4)), 0.1);  // across the wrap
  EXPECT_FALSE(w.Due(103));
  EXPECT_EQ(w.SecondsUntilDue(due::NowSeconds(104)), 0.0);
  EXPECT_TRUE(w.Due(104));
}

TEST_F(Watcher, ReportsASaveOnceItHoldsStill) {
  dir.Write("a.Dat", "one");
  dir.Write("b.Dat", "two");
  EXPECT_EQ(Poll({"a.Dat", "b.Dat"}), Names{});  // first sight: only noted
  dir.Write("a.Dat", "longer");
  EXPECT_EQ(Poll({"a.Dat", "b.Dat"}), Names{});  // seen changing: perhaps half-written
  dir.Write("a.Dat", "longer still");
  EXPECT_EQ(Poll({"a.Dat", "b.Dat"}), Names{});  // still changing
  EXPECT_EQ(Poll({"a.Dat", "b.Dat"}), Names{"a.Dat"});
  EXPECT_EQ(Poll({"a.Dat", "b.Dat"}), Names{});  // once
}

TEST_F(Watcher, SameSizeWithANewTimeIsAChange) {
  dir.Write("a.Dat", "abc");
  Touch("a.Dat", 0);
  Poll({"a.Dat"});
  dir.Write("a.Dat", "xyz");
  Touch("a.Dat", 1);
  Poll({"a.Dat"});
  EXPECT_EQ(Poll({"a.Dat"}), Names{"a.Dat"});
  // The same time with a new size is a change too.
  dir.Write("a.Dat", "abcd");
  Touch("a.Dat", 1);
  Poll({"a.Dat"});
  EXPECT_EQ(Poll({"a.Dat"}), Names{"a.Dat"});
}

TEST_F(Watcher, VanishingAndReturningFiles) {
  dir.Write("a.Dat", "abc");
  Poll({"a.Dat"});
  fs::remove(Path("a.Dat"));
  Poll({"a.Dat"});
  EXPECT_EQ(Poll({"a.Dat"}), Names{"a.Dat"});  // the reader reports it missing
  // An editor that deletes and writes anew: one change once it is back.
  dir.Write("a.Dat", "new");
  Poll({"a.Dat"});
  EXPECT_EQ(Poll({"a.Dat"}), Names{"a.Dat"});
  // A missing file that stays missing is no change.
  EXPECT_EQ(Poll({"a.Dat", "never.Dat"}), Names{});
  EXPECT_EQ(Poll({"a.Dat", "never.Dat"}), Names{});
}

TEST_F(Watcher, PathsLeftOutStartAfresh) {
  dir.Write("a.Dat", "abc");
  dir.Write("b.Dat", "abc");
  Poll({"a.Dat", "b.Dat"});
  dir.Write("a.Dat", "changed while another script was open");
  Poll({"b.Dat"});
  // Back in the list it is only noted: the game opened it afresh.
  EXPECT_EQ(Poll({"a.Dat", "b.Dat"}), Names{});
  EXPECT_EQ(Poll({"a.Dat", "b.Dat"}), Names{});
  // A path named twice is polled once.
  dir.Write("b.Dat", "x");
  Poll({"b.Dat", "b.Dat"});
  EXPECT_EQ(Poll({"b.Dat", "b.Dat"}), Names{"b.Dat"});
}

// Which save is the newest (--continue) and which autosave goes next: saves
// made within one second are told apart by their milliseconds, and saves of
// the first version, which kept whole seconds, by when their files were
// written.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "saves/SaveFile.h"
#include "saves/SavePlace.h"
#include "support/ScratchDir.h"

using saves::SavePlace;

namespace {
constexpr int64_t kSecond = 1700000000;

// A save's summary as a version writes it: version 1 without the milliseconds.
std::string Summary(int version, int64_t ms) {
  auto field = [](const std::string& name, const std::string& bytes) {
    return name + " " + std::to_string(bytes.size()) + "\n" + bytes + "\n";
  };
  std::string summary = field("kind", "auto") + field("time", std::to_string(ms / 1000));
  if (version > 1) summary += field("timeMs", std::to_string(ms));
  return "vantorel-save " + std::to_string(version) + "\n" + field("summary", summary) + field("end", "");
}

class SaveOrder : public ::testing::Test {
 protected:
  // Writes a save, its file dated `written` seconds from now.
  void Put(const std::string& name, int version, int64_t ms, int written) {
    ASSERT_TRUE(place.Write(name, Summary(version, ms)));
    std::filesystem::last_write_time(place.HostPath(name),
                                     std::filesystem::file_time_type::clock::now() + std::chrono::seconds(written));
  }
  ScratchDir dir{ScratchDir::kStay};
  SavePlace place{dir.Path()};
};

TEST_F(SaveOrder, TheNewestToTheMillisecondWinsWhateverItsFileSays) {
  EXPECT_EQ(place.Newest(), "");
  // The quit's autosave 300 ms after a quick save of the same second; the
  // quick save's file was touched later (copied, say).
  Put(SavePlace::QuickName(), 2, kSecond * 1000 + 100, 50);
  Put(SavePlace::AutoName(3), 2, kSecond * 1000 + 400, 0);
  EXPECT_EQ(place.Newest(), SavePlace::AutoName(3));
  // A slot saved in the next second is newer still.
  Put(SavePlace::SlotName(60), 2, (kSecond + 1) * 1000, -100);
  EXPECT_EQ(place.Newest(), SavePlace::SlotName(60));
}

TEST_F(SaveOrder, SavesOfTheFirstVersionInOneSecondGoByWhenTheirFilesWereWritten) {
  Put(SavePlace::AutoName(0), 1, kSecond * 1000, 2);
  Put(SavePlace::QuickName(), 1, kSecond * 1000, 1);
  EXPECT_EQ(place.Newest(), SavePlace::AutoName(0));
  Put(SavePlace::QuickName(), 1, kSecond * 1000, 3);
  EXPECT_EQ(place.Newest(), SavePlace::QuickName());
  // A save of this version made later in that second is newer than either.
  Put(SavePlace::SlotName(1), 2, kSecond * 1000 + 1, -10);
  EXPECT_EQ(place.Newest(), SavePlace::SlotName(1));
}

TEST_F(SaveOrder, TheRingOverwritesItsOldestToTheMillisecond) {
  for (int i = 0; i < SavePlace::kAutoRing; ++i) {
    EXPECT_EQ(place.NextAutoName(), SavePlace::AutoName(i));  // free places first
    // All in one second, the later ones in the ring written first.
    Put(SavePlace::AutoName(i), 2, kSecond * 1000 + 500 + i, -i);
  }
  EXPECT_EQ(place.NextAutoName(), SavePlace::AutoName(0));
  Put(SavePlace::AutoName(0), 2, kSecond * 1000 + 900, 0);
  EXPECT_EQ(place.NextAutoName(), SavePlace::AutoName(1));
  // An unreadable file is a free place.
  ASSERT_TRUE(place.Write(SavePlace::AutoName(7), "not a save"));
  EXPECT_EQ(place.NextAutoName(), SavePlace::AutoName(7));
}
}  // namespace

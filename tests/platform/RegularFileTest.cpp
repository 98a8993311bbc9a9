// Files that are not what they seem: a FIFO, a device, a directory or a
// huge file where the engine expects a small regular file. None is read
// whole, none blocks the reader, none is replaced by a file of ours.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/diagnostics/Debug.h"
#include "platform/diagnostics/Trace.h"
#include "platform/files/Files.h"
#include "support/ScratchDir.h"
#include "support/Watchdog.h"

using namespace platform;
using testsupport::Outcome;
using testsupport::WithinSeconds;

namespace {
// The failure reports made while it lives.
struct Reports {
  std::vector<std::string> events;
  Reports() {
    SetDebugEcho(false);
    trace::SetEventListener([this](const std::string& json) {
      if (json.find("\"type\":\"report\"") != std::string::npos) events.push_back(json);
    });
  }
  ~Reports() {
    trace::SetEventListener(nullptr);
    SetDebugEcho(true);
  }
};

bool IsFifo(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0 && S_ISFIFO(st.st_mode);
}
}  // namespace

TEST(RegularFile, AFifoDeviceOrDirectoryIsRefusedWithoutBlockingOrReading) {
  ScratchDir dir;
  ASSERT_EQ(::mkfifo("fifo", 0644), 0);
  ::mkdir("folder", 0755);
  for (const std::string path : {"fifo", "/dev/zero", "/dev/null", "folder"}) {
    // Nobody writes to the FIFO: a blocking open would wait for ever.
    EXPECT_EQ(WithinSeconds(5, [&] {
                std::string bytes = "old";
                return ReadRegularFile(path, bytes, file_caps::kSettings) == FileRead::kNotRegular && bytes.empty();
              }),
              Outcome::kTrue)
        << path;
  }
  std::string bytes;
  EXPECT_EQ(ReadRegularFile("missing", bytes, file_caps::kSettings), FileRead::kMissing);
  // Through the engine's readers too: a script and a save.
  EXPECT_EQ(WithinSeconds(5, [] {
              std::string bytes;
              return !ReadWholeFile("fifo", bytes, file_caps::kScript, false) && !ReadSavedFile("fifo", bytes);
            }),
            Outcome::kTrue);
}

TEST(RegularFile, EachCapIsHeldToTheByteAndALargerFileIsNotRead) {
  ScratchDir dir;
  dir.Write("exact", std::string(file_caps::kSettings, 'x'));
  dir.Write("over", std::string(file_caps::kSettings + 1, 'x'));
  std::string bytes;
  EXPECT_EQ(ReadRegularFile("exact", bytes, file_caps::kSettings), FileRead::kRead);
  EXPECT_EQ(bytes.size(), file_caps::kSettings);
  EXPECT_EQ(ReadRegularFile("over", bytes, file_caps::kSettings), FileRead::kTooLarge);
  EXPECT_TRUE(bytes.empty());
  // A gigabyte that takes no room (sparse) is refused by its size at once,
  // as a save: reading it took seconds and two gigabytes.
  const int fd = ::open("huge", O_WRONLY | O_CREAT, 0644);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::ftruncate(fd, off_t(1) << 30), 0);
  ::close(fd);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(ReadSavedFile("huge", bytes));
  EXPECT_EQ(ReadRegularFile("huge", bytes, file_caps::kPicture), FileRead::kTooLarge);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
  EXPECT_LT(bytes.capacity(), size_t(1) << 20);
}

TEST(RegularFile, RefusalsAreReportedOncePerFileNamingIt) {
  ScratchDir dir;
  Reports reports;
  ASSERT_EQ(::mkfifo("slot.Dat", 0644), 0);
  std::string bytes;
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(ReadSavedFile("slot.Dat", bytes));
  ASSERT_EQ(reports.events.size(), 1u);
  EXPECT_NE(reports.events[0].find("\"subject\":\"slot.Dat\""), std::string::npos) << reports.events[0];
  // Quiet reads leave the report to a later read that may make it.
  EXPECT_FALSE(ReadWholeFile("/dev/zero", bytes, file_caps::kPicture, false));
  EXPECT_EQ(reports.events.size(), 1u);
}

TEST(RegularFile, NothingButARegularFileOrALinkIsEverReplaced) {
  ScratchDir dir;
  Reports reports;
  ASSERT_EQ(::mkfifo("fifo", 0644), 0);
  ::mkdir("folder", 0755);
  dir.Write("folder/inside", "kept");
  EXPECT_FALSE(WriteHostFileAtomic("fifo", "new"));
  EXPECT_FALSE(WriteHostFileAtomic("folder", "new"));
  EXPECT_TRUE(IsFifo("fifo"));
  EXPECT_EQ(dir.Read("folder/inside"), "kept");
  EXPECT_FALSE(OverwriteRegularFile("fifo", "new"));
  // A device node (as root: --settings /dev/null became a plain file).
  if (::mknod("null", S_IFCHR | 0666, ::makedev(1, 3)) == 0) {
    EXPECT_FALSE(WriteHostFileAtomic("null", "new"));
    struct stat st;
    ASSERT_EQ(::lstat("null", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
  }
  // Links that loop lead nowhere to write.
  ::symlink("loop-b", "loop-a");
  ::symlink("loop-a", "loop-b");
  EXPECT_FALSE(WriteHostFileAtomic("loop-a", "new"));
  // No temporary file is left behind by any of them.
  for (const auto& e : std::filesystem::directory_iterator("."))
    EXPECT_EQ(e.path().filename().string().find(".tmp-"), std::string::npos) << e.path();
  EXPECT_EQ(reports.events.size(), 4u);  // fifo, folder, loop-a (null when root), each once
}

TEST(RegularFile, ALinkedFileIsReplacedWhereItLivesAndTheLinkStays) {
  ScratchDir dir;
  // A dotfiles set-up: the settings a link into another directory, through
  // a second, relative link.
  dir.Write("dotfiles/vantorel/settings", "old");
  ::mkdir("config", 0755);
  ASSERT_EQ(::symlink("../dotfiles/vantorel/settings", "dotfiles/current"), 0);
  ASSERT_EQ(::symlink((dir.Path() + "/dotfiles/current").c_str(), "config/settings"), 0);
  ASSERT_TRUE(WriteHostFileAtomic("config/settings", "new"));
  struct stat st;
  ASSERT_EQ(::lstat("config/settings", &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  ASSERT_EQ(::lstat("dotfiles/current", &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(dir.Read("dotfiles/vantorel/settings"), "new");
  // A link to a file not made yet makes it.
  ASSERT_EQ(::symlink("made-later", "config/later"), 0);
  ASSERT_TRUE(WriteHostFileAtomic("config/later", "made"));
  EXPECT_EQ(dir.Read("config/made-later"), "made");
  // A save replaces a link in its own place instead (no link leads a save out).
  ASSERT_EQ(::symlink("../dotfiles/vantorel/settings", "config/save"), 0);
  ASSERT_TRUE(WriteHostFileAtomic("config/save", "save", false));
  ASSERT_EQ(::lstat("config/save", &st), 0);
  EXPECT_TRUE(S_ISREG(st.st_mode));
  EXPECT_EQ(dir.Read("dotfiles/vantorel/settings"), "new");
}

// Where the player's files go: the game, a write root, and what may never be
// written at all.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstddef>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <thread>
#include <vector>

#include "platform/files/Files.h"
#include "platform/text/TextCodec.h"
#include "support/ScratchDir.h"
#include "support/Watchdog.h"

using namespace platform;

namespace {
// Clears the process-wide write root however the test ends.
struct RootGuard {
  ~RootGuard() { ClearWriteRoot(); }
};
}  // namespace

TEST(SavePlace, NamesThatClimbOrAreAbsoluteAreNotContained) {
  EXPECT_TRUE(IsContainedPath("GameData\\Text\\a.Dat"));
  EXPECT_TRUE(IsContainedPath("GameData\\Text\\..a\\b...Dat"));  // dots inside a name are fine
  EXPECT_FALSE(IsContainedPath("GameData\\Text\\..\\..\\..\\etc\\x.Dat"));
  EXPECT_FALSE(IsContainedPath("GameData/Text/../../x.Dat"));
  EXPECT_FALSE(IsContainedPath(".."));
  EXPECT_FALSE(IsContainedPath("\\etc\\x"));
  EXPECT_FALSE(IsContainedPath("/etc/x"));
  EXPECT_FALSE(IsContainedPath("C:\\x.Dat"));
  EXPECT_FALSE(IsContainedPath(""));
  // 0x5C after a lead byte is part of a character, not a separator: ソ.. is a name.
  EXPECT_TRUE(IsContainedPath(SJ("GameData\\ソ..")));
  EXPECT_FALSE(IsContainedPath(SJ("GameData\\ソ\\..\\..\\x")));
}

TEST(SavePlace, WithoutARootSavesGoIntoTheGameAndNotThroughALinkOut) {
  ScratchDir outside(ScratchDir::kStay, "outside");
  ScratchDir game;
  game.Write("GameData/Text/Saves/keep", "");
  EXPECT_TRUE(WriteGameFile("GameData\\Text\\Saves\\s1.Dat", "one"));
  EXPECT_EQ(game.Read("GameData/Text/Saves/s1.Dat"), "one");
  EXPECT_FALSE(WriteGameFile("GameData\\Text\\..\\..\\escaped.Dat", "x"));
  EXPECT_FALSE(std::filesystem::exists(game.Path() + "/../escaped.Dat"));
  // A save folder that is a link to somewhere else is not written through.
  std::filesystem::create_directory_symlink(outside.Path(), game.Path() + "/GameData/Text/Linked");
  EXPECT_FALSE(WriteGameFile("GameData\\Text\\Linked\\s1.Dat", "x"));
  EXPECT_TRUE(std::filesystem::is_empty(outside.Path()));
  // A link that stays inside the game is followed as before.
  std::filesystem::create_directory_symlink("Saves", game.Path() + "/GameData/Text/Inner");
  EXPECT_TRUE(WriteGameFile("GameData\\Text\\Inner\\s2.Dat", "two"));
  EXPECT_EQ(game.Read("GameData/Text/Saves/s2.Dat"), "two");
}

TEST(SavePlace, ARootTakesTheWritesAndIsReadFirst) {
  RootGuard guard;
  ScratchDir root(ScratchDir::kStay, "root");
  ScratchDir game;
  game.Write(std::string("GameData/Text/セーブデータ/セーブデータ1.Dat"), "shipped");
  game.Write(std::string("GameData/Text/セーブデータ/セーブデータ2.Dat"), "old");
  SetWriteRoot(root.Path());
  const std::string slot1 = SJ("GameData\\Text\\セーブデータ\\セーブデータ1.Dat");
  const std::string slot2 = SJ("GameData\\Text\\セーブデータ\\セーブデータ2.Dat");
  std::string bytes;
  // Before anything is written the game's own saves are found.
  EXPECT_TRUE(SavedFileExists(slot1));
  EXPECT_TRUE(ReadSavedFile(slot1, bytes));
  EXPECT_EQ(bytes, "shipped");
  // The write lands under the root with the same relative path, folders made.
  EXPECT_TRUE(WriteGameFile(slot2, "new"));
  EXPECT_EQ(root.Read("GameData/Text/セーブデータ/セーブデータ2.Dat"), "new");
  EXPECT_EQ(game.Read("GameData/Text/セーブデータ/セーブデータ2.Dat"), "old");
  EXPECT_TRUE(ReadSavedFile(slot2, bytes));
  EXPECT_EQ(bytes, "new");
  EXPECT_EQ(WritePath(slot2), root.Path() + "/GameData/Text/セーブデータ/セーブデータ2.Dat");
  // Everything else still reads from the game.
  game.Write("GameData/Text/a.Dat", "script");
  EXPECT_TRUE(ReadWholeFile("GameData\\Text\\a.Dat", bytes, file_caps::kSave));
  EXPECT_EQ(bytes, "script");
  // A name that climbs is refused under the root too.
  EXPECT_FALSE(WriteGameFile("GameData\\..\\..\\x.Dat", "x"));
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(root.Path()).parent_path() / "x.Dat"));
}

TEST(SavePlace, ARootOnlyRunSeesOnlyItsOwnSaves) {
  RootGuard guard;
  ScratchDir root(ScratchDir::kStay, "root");
  ScratchDir game;
  game.Write("GameData/Text/s1.Dat", "shipped");
  SetWriteRoot(root.Path(), WriteRootReads::kRootOnly);
  std::string bytes;
  EXPECT_FALSE(SavedFileExists("GameData\\Text\\s1.Dat"));
  EXPECT_FALSE(ReadSavedFile("GameData\\Text\\s1.Dat", bytes));
  EXPECT_TRUE(WriteGameFile("GameData\\Text\\s1.Dat", "mine"));
  EXPECT_TRUE(ReadSavedFile("GameData\\Text\\s1.Dat", bytes));
  EXPECT_EQ(bytes, "mine");
}

TEST(SavePlace, TheGameIdIsStableAndNamesNoPath) {
  const std::string a = MakeGameId("demo", "opening words");
  EXPECT_EQ(a, MakeGameId("demo", "opening words"));
  EXPECT_NE(a, MakeGameId("demo", "other opening"));
  EXPECT_EQ(a.rfind("demo-", 0), 0u);
  EXPECT_EQ(MakeGameId("../..", "x").find('/'), std::string::npos);
  EXPECT_EQ(MakeGameId("../..", "x").find(".."), std::string::npos);
  EXPECT_EQ(MakeGameId("", "x").rfind("game-", 0), 0u);
  EXPECT_EQ(MakeGameId("学園もの", "x").rfind("学園もの-", 0), 0u);
}

TEST(SavePlace, AFolderSwappedForALinkOutMeanwhileNeverTakesASave) {
  ScratchDir outside(ScratchDir::kStay, "outside");
  ScratchDir game;
  game.Write("GameData/Text/Saves/keep", "");
  std::filesystem::create_directory_symlink(outside.Path(), "GameData/Text/Other");
  // Another program swaps the save folder and a link out, again and again,
  // while the game saves (the link check and the write once lay apart).
  std::atomic<bool> stop{false};
  std::atomic<int> swaps{0};
  // The swapper rests a moment between swaps, so that some saves can fall
  // between them whatever the machine's speed and load.
  std::thread swapper([&] {
    while (!stop) {
      if (::renameat2(AT_FDCWD, "GameData/Text/Saves", AT_FDCWD, "GameData/Text/Other", RENAME_EXCHANGE) == 0) ++swaps;
      std::this_thread::sleep_for(std::chrono::microseconds(50 + swaps % 7 * 100));
    }
  });
  std::vector<int> written;
  for (int i = 0; i < 300; ++i)
    if (WriteGameFile("GameData\\Text\\Saves\\s" + std::to_string(i) + ".Dat", "save")) written.push_back(i);
  stop = true;
  swapper.join();
  if (swaps == 0) GTEST_SKIP() << "this file system cannot exchange names";
  // Nothing outside; every save said to be written is in the save folder,
  // whichever name it has now; no temporary file anywhere.
  EXPECT_TRUE(std::filesystem::is_empty(outside.Path()));
  const std::string folder =
      std::filesystem::is_symlink("GameData/Text/Saves") ? "GameData/Text/Other/" : "GameData/Text/Saves/";
  for (int i : written) EXPECT_TRUE(std::filesystem::exists(folder + "s" + std::to_string(i) + ".Dat")) << i;
  for (const auto& e : std::filesystem::recursive_directory_iterator(game.Path()))
    EXPECT_EQ(e.path().filename().string().find(".tmp-"), std::string::npos) << e.path();
  // Once the swapping is over, with the real folder back in its place, saves
  // are taken again: the refusals above were the race's, not a lasting fault.
  if (std::filesystem::is_symlink("GameData/Text/Saves")) {
    ASSERT_EQ(::renameat2(AT_FDCWD, "GameData/Text/Saves", AT_FDCWD, "GameData/Text/Other", RENAME_EXCHANGE), 0);
  }
  EXPECT_TRUE(WriteGameFile("GameData\\Text\\Saves\\after.Dat", "save"));
  EXPECT_TRUE(std::filesystem::exists("GameData/Text/Saves/after.Dat"));
}

TEST(SavePlace, ASaveThatCannotBeWrittenToItsEndLeavesTheOldOneAndNoTemporaryFile) {
  ScratchDir game;
  game.Write("GameData/Text/s1.Dat", "old save");
  // A file size limit stands in for a full disk: the write stops part way.
  const auto outcome = testsupport::WithinSeconds(10, [] {
    ::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{4096, 4096};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    return !WriteGameFile("GameData\\Text\\s1.Dat", std::string(100000, 'x')) && !TakeWriteFailureReason().empty();
  });
  EXPECT_EQ(outcome, testsupport::Outcome::kTrue);
  EXPECT_EQ(game.Read("GameData/Text/s1.Dat"), "old save");
  for (const auto& e : std::filesystem::directory_iterator("GameData/Text"))
    EXPECT_EQ(e.path().filename().string().find(".tmp-"), std::string::npos) << e.path();
  // Something not a file in the slot's place is left alone, and said.
  ASSERT_EQ(::mkfifo("GameData/Text/s2.Dat", 0644), 0);
  EXPECT_FALSE(WriteGameFile("GameData\\Text\\s2.Dat", "save"));
  EXPECT_EQ(TakeWriteFailureReason(), SJ("保存先に通常のファイルではないもの（フォルダ、名前付きパイプ、装置など）があります。"));
  EXPECT_EQ(TakeWriteFailureReason(), "");
  struct stat st;
  ASSERT_EQ(::lstat("GameData/Text/s2.Dat", &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

namespace {
// Makes openat2 fail with ENOSYS in this process, as an older kernel or a
// sandbox's filter does.
bool WithoutOpenat2() {
  sock_filter filter[] = {
      BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, SYS_openat2, 0, 1),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | ENOSYS),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
  };
  sock_fprog program{static_cast<unsigned short>(sizeof filter / sizeof filter[0]), filter};
  return ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 && ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) == 0;
}
}  // namespace

TEST(SavePlace, WhereTheKernelCannotCheckTheWalkNoLinkIsFollowedAtAll) {
  ScratchDir outside(ScratchDir::kStay, "outside");
  ScratchDir game;
  game.Write("GameData/Text/Saves/keep", "");
  std::filesystem::create_directory_symlink(outside.Path(), "GameData/Text/Linked");
  std::filesystem::create_directory_symlink("Saves", "GameData/Text/Inner");
  const auto outcome = testsupport::WithinSeconds(10, [] {
    if (!WithoutOpenat2()) return false;
    return WriteGameFile("GameData\\Text\\Saves\\s1.Dat", "one") &&
           !WriteGameFile("GameData\\Text\\Linked\\s2.Dat", "two") &&
           TakeWriteFailureReason() == SJ("保存先のフォルダがリンクでその場所の外を指しています。") &&
           !WriteGameFile("GameData\\Text\\Inner\\s3.Dat", "three");
  });
  EXPECT_EQ(outcome, testsupport::Outcome::kTrue);
  EXPECT_EQ(game.Read("GameData/Text/Saves/s1.Dat"), "one");
  EXPECT_TRUE(std::filesystem::is_empty(outside.Path()));
  EXPECT_FALSE(std::filesystem::exists("GameData/Text/Saves/s3.Dat"));
}

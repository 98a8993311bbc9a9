#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/time.h>

#include <fstream>

#include "support/ScratchDir.h"
#include "platform/files/Files.h"
#include "platform/text/NameCodec.h"
#include "platform/text/TextCodec.h"

using namespace platform;

TEST(PathResolver, MapsBackslashesAndCp932NamesToHostFiles) {
  ScratchDir dir;
  dir.Write("GameData/Text/オープニング/オープニング1.Dat", "x");
  std::string engine = SJ("GameData\\Text\\オープニング\\オープニング1.Dat");
  EXPECT_TRUE(FileExists(engine));
  EXPECT_EQ(ResolvePath(engine), "GameData/Text/オープニング/オープニング1.Dat");
}

TEST(PathResolver, TrailByte5CIsNotASeparator) {
  ScratchDir dir;
  // ソ is 0x83 0x5C in CP932: its second byte must not split the name.
  dir.Write("GameData/ソフト.txt", "x");
  EXPECT_TRUE(FileExists(SJ("GameData\\ソフト.txt")));
}

TEST(PathResolver, FallsBackToCaseInsensitiveMatchPerComponent) {
  ScratchDir dir;
  dir.Write("GameData/Texture/MsgBox/cursor.TGA", "x");
  EXPECT_EQ(ResolvePath("GameData\\texture\\MSGBOX\\Cursor.tga"), "GameData/Texture/MsgBox/cursor.TGA");
  // A file that does not exist resolves to where it would be created.
  EXPECT_EQ(ResolvePath("GameData\\New\\a.Dat"), "GameData/New/a.Dat");
  EXPECT_FALSE(FileExists("GameData\\New\\a.Dat"));
}

TEST(PathResolver, RawBytesNameIsFound) {
  ScratchDir dir;
  std::string raw = std::string("raw\x82\xA0.bin");  // CP932 bytes as the host name
  dir.Write(raw, "x");
  EXPECT_TRUE(FileExists(raw));
}

TEST(PathResolver, NamesInEveryFormAnArchiveLeavesAreFoundComponentByComponent) {
  ScratchDir dir;
  // A directory as plain unzip leaves it, a file in raw CP932 bytes inside.
  const std::string text = Cp437ToUtf8(Utf8ToCp932Lossy("本編"));  // as plain unzip leaves it
  ASSERT_NE(text, "本編");
  const std::string file = Utf8ToCp932Lossy("学校E.Dat");
  dir.Write("GameData/Text/" + text + "/" + file, "school");
  std::string bytes;
  EXPECT_TRUE(ReadWholeFile(SJ("GameData\\Text\\本編\\学校E.Dat"), bytes, file_caps::kScript));
  EXPECT_EQ(bytes, "school");
  // A file still to be written goes into the directory that is there.
  ASSERT_TRUE(WriteFileAtomic(SJ("GameData\\Text\\本編\\セーブ.Dat"), "save"));
  EXPECT_EQ(dir.Read("GameData/Text/" + text + "/セーブ.Dat"), "save");
  EXPECT_TRUE(FileExists(SJ("GameData\\Text\\本編\\セーブ.Dat")));
  // A name that only looks like another stays unmatched.
  EXPECT_FALSE(FileExists(SJ("GameData\\Text\\本篇\\学校E.Dat")));
}

TEST(AtomicWrite, ReplacesWholeFileAndKeepsOldOneOnFailure) {
  ScratchDir dir;
  ASSERT_TRUE(WriteFileAtomic("save.Dat", "old contents"));
  std::string bytes;
  ASSERT_TRUE(ReadWholeFile("save.Dat", bytes, file_caps::kSave));
  EXPECT_EQ(bytes, "old contents");
  ASSERT_TRUE(WriteFileAtomic("save.Dat", "new"));
  ASSERT_TRUE(ReadWholeFile("save.Dat", bytes, file_caps::kSave));
  EXPECT_EQ(bytes, "new");
  // The parent is a regular file: the write must fail and leave nothing behind.
  EXPECT_FALSE(WriteFileAtomic("save.Dat\\inner.Dat", "x"));
  ASSERT_TRUE(ReadWholeFile("save.Dat", bytes, file_caps::kSave));
  EXPECT_EQ(bytes, "new");
  EXPECT_FALSE(ReadWholeFile("missing.Dat", bytes, file_caps::kSave));
  EXPECT_FALSE(ReadWholeFile("GameData", bytes, file_caps::kSave, false));  // not a file
}

TEST(AtomicWrite, RemovesOldLeftoversOfKilledWritersButNotFreshOnes) {
  ScratchDir dir;
  auto makeTemp = [](const char* name, long ageSeconds) {
    std::ofstream(name) << "half a save";
    timeval now;
    ::gettimeofday(&now, nullptr);
    timeval times[2] = {{now.tv_sec - ageSeconds, 0}, {now.tv_sec - ageSeconds, 0}};
    ::utimes(name, times);
  };
  makeTemp("save.Dat.tmp-a1B2c3", 3600);   // left by a writer killed long ago
  makeTemp("save.Dat.tmp-Zz9Yy8", 0);      // perhaps another process writing right now
  makeTemp("other.Dat.tmp-a1B2c3", 3600);  // another file's leftover is not ours to judge
  makeTemp("save.Dat.tmp-long-name", 3600);
  ASSERT_TRUE(WriteFileAtomic("save.Dat", "whole"));
  struct stat st;
  EXPECT_NE(::stat("save.Dat.tmp-a1B2c3", &st), 0);
  EXPECT_EQ(::stat("save.Dat.tmp-Zz9Yy8", &st), 0);
  EXPECT_EQ(::stat("other.Dat.tmp-a1B2c3", &st), 0);
  EXPECT_EQ(::stat("save.Dat.tmp-long-name", &st), 0);
}

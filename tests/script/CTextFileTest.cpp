#include "script/CTextFile.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/diagnostics/Debug.h"
#include "platform/text/TextCodec.h"
#include "support/ScratchDir.h"

namespace fs = std::filesystem;

namespace {
// Each test runs in a fresh game directory, so engine paths are relative like
// the game's own.
class CTextFileTest : public ::testing::Test {
 protected:
  static void Put(const std::string& hostPath, const std::string& bytes) {
    fs::path p(hostPath);
    if (p.has_parent_path()) fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << bytes;
  }
  static std::string Get(const std::string& hostPath) { return testsupport::ReadHostFile(hostPath); }
  // Files in the game directory other than the ones named.
  static size_t EntryCount() { return std::distance(fs::directory_iterator("."), fs::directory_iterator()); }

  ScratchDir dir_{ScratchDir::kEnter, "textfile"};
};

WordList Words(std::initializer_list<const char*> list) { return WordList(list.begin(), list.end()); }
}  // namespace

TEST_F(CTextFileTest, EmptyWhitespaceOnlyAndUnreadableFilesGiveNoWords) {
  CTextFile plain(false);
  WordList words = Words({"stale"});
  Put("empty.Dat", "");
  EXPECT_EQ(plain.Read("empty.Dat", words), S_OK);
  EXPECT_TRUE(words.empty());

  words = Words({"stale"});
  Put("blank.Dat", " \t\r\n\v\f \r\n");
  EXPECT_EQ(plain.Read("blank.Dat", words), S_OK);
  EXPECT_TRUE(words.empty());

  // A directory exists, so it is found, but yields nothing.
  fs::create_directory("folder.Dat");
  words = Words({"stale"});
  EXPECT_EQ(plain.Read("folder.Dat", words), S_OK);
  EXPECT_TRUE(words.empty());

  words = Words({"stale"});
  EXPECT_EQ(plain.Read("missing.Dat", words), E_FAIL);
  EXPECT_TRUE(words.empty());
}

TEST_F(CTextFileTest, SplitsOnTheSixWhitespaceBytesOnly) {
  // Ideographic space (0x81 0x40), 0x1A and other control bytes stay inside
  // words; the last word needs no line break.
  std::string phrase = SJ("こんにちは") + "\x81\x40" + SJ("世界");
  Put("a.Dat", "a\tb\nc\vd\fe\rf g\r\n" + phrase + "\r\nx\x1Ay\x01z\r\n  last");
  WordList words;
  ASSERT_EQ(CTextFile(false).Read("a.Dat", words), S_OK);
  EXPECT_EQ(words, Words({"a", "b", "c", "d", "e", "f", "g", phrase.c_str(), "x\x1Ay\x01z", "last"}));
}

TEST(CommentBlocks, RemovedAsWholeWordMarkersWithoutNesting) {
  WordList w = Words({"A", "/*", "B", "C", "*/", "D"});
  RemoveCommentBlocks(w);
  EXPECT_EQ(w, Words({"A", "D"}));

  w = Words({"A", "/*", "B", "/*", "C", "*/", "D", "*/", "E"});
  RemoveCommentBlocks(w);
  EXPECT_EQ(w, Words({"A", "D", "*/", "E"}));

  w = Words({"*/", "A", "/*", "*/", "/*", "B", "*/", "C"});  // adjacent blocks, leading stray closer
  RemoveCommentBlocks(w);
  EXPECT_EQ(w, Words({"*/", "A", "C"}));

  w = Words({"A", "/*", "B", "C"});  // an unclosed block runs to the end
  RemoveCommentBlocks(w);
  EXPECT_EQ(w, Words({"A"}));
}

TEST_F(CTextFileTest, GluedCommentMarkersAreOrdinaryWords) {
  Put("c.Dat", "A /*B C*/ D\r\n");
  WordList words;
  ASSERT_EQ(CTextFile(false).Read("c.Dat", words), S_OK);
  EXPECT_EQ(words, Words({"A", "/*B", "C*/", "D"}));
}

TEST_F(CTextFileTest, EncipheredNamesCarryAnEBeforeTheFirstDot) {
  CTextFile file(true);
  WordList words;
  Put("a.Dat", "plain\r\n");
  EXPECT_EQ(file.Read("a.Dat", words), E_FAIL);  // only the plain name exists

  WordList out = Words({"w"});
  fs::create_directories("GameData/Text");
  ASSERT_EQ(file.Write("GameData\\Text\\a.Dat", out), S_OK);
  EXPECT_TRUE(fs::exists("GameData/Text/aE.Dat"));
  EXPECT_EQ(file.Read("GameData\\Text\\a.Dat", words), S_OK);
  EXPECT_EQ(words, Words({"w"}));

  // The first dot of the whole path, even in a directory name.
  fs::create_directories("v1E.0");
  out = Words({"w"});
  ASSERT_EQ(file.Write("v1.0\\a.Dat", out), S_OK);
  EXPECT_TRUE(fs::exists("v1E.0/a.Dat"));

  std::string path = "x\\y.z.Dat";
  EXPECT_TRUE(CTextFile::MarkEnciphered(path));
  EXPECT_EQ(path, "x\\yE.z.Dat");
}

TEST_F(CTextFileTest, EncipheredPathWithoutDotFailsAndTouchesNothing) {
  CTextFile file(true);
  Put("noext", "x\r\n");
  Put("noextE", "x\r\n");
  WordList words = Words({"stale"});
  EXPECT_EQ(file.Read("noext", words), E_FAIL);
  EXPECT_TRUE(words.empty());

  words = Words({"keep"});
  size_t before = EntryCount();
  EXPECT_EQ(file.Write("save", words), E_FAIL);
  EXPECT_EQ(words, Words({"keep"}));  // not enciphered either
  EXPECT_EQ(EntryCount(), before);
}

TEST_F(CTextFileTest, WritesTheWindowsFileFormBytes) {
  WordList words = {"goto", std::string("ab\0cd", 5), ""};
  ASSERT_EQ(CTextFile(false).Write("p.Dat", words), S_OK);
  EXPECT_EQ(Get("p.Dat"), "goto\r\nab\r\n\r\n");  // a word ends at a zero byte

  // Key "qlymzo5170": low nibbles 1 C 9 D A F 5 1 7 0, one cursor for the list.
  words = Words({"ab", "c"});
  ASSERT_EQ(CTextFile(true).Write("e.Dat", words), S_OK);
  const std::string expected = {'a' - 0x1, 'b' - 0xC, ' ', '\r', '\n', 'c' - 0x9, ' ', '\r', '\n'};
  EXPECT_EQ(Get("eE.Dat"), expected);
  EXPECT_EQ(words[1], expected.substr(5, 2));  // the caller's list is left enciphered
}

TEST_F(CTextFileTest, RoundTripsInBothForms) {
  const WordList saved = {SJ("２００５年１月２日"), SJ("オープニング\\オープニング1"), "name", SJ("「ソ表」")};
  fs::create_directories(platform::Cp932ToUtf8(SJ("GameData/Text/セーブデータ")));
  const std::string path = SJ("GameData\\Text\\セーブデータ\\セーブデータ1.Dat");
  WordList words = saved;
  ASSERT_EQ(CTextFile(true).Write(path, words), S_OK);
  EXPECT_TRUE(fs::exists(platform::Cp932ToUtf8(SJ("GameData/Text/セーブデータ/セーブデータ1E.Dat"))));
  WordList back;
  ASSERT_EQ(CTextFile(true).Read(path, back), S_OK);
  EXPECT_EQ(back, saved);

  // Plain: a space splits a word, an empty word is an empty line that is lost.
  words = Words({"one two", "", "three"});
  ASSERT_EQ(CTextFile(false).Write("p.Dat", words), S_OK);
  ASSERT_EQ(CTextFile(false).Read("p.Dat", back), S_OK);
  EXPECT_EQ(back, Words({"one", "two", "three"}));
}

TEST_F(CTextFileTest, EncipheredWordThatWouldNotReadBackIsNotWritten) {
  CTextFile file(true);
  WordList words = Words({"old"});
  ASSERT_EQ(file.Write("s.Dat", words), S_OK);
  const std::string good = Get("sE.Dat");
  // '*' is list byte 4, whose key nibble 0xA turns 0x2A into a space; '0'
  // under nibble 0 stays a zero byte. Either would shift every later word's key.
  platform::SetDebugEcho(false);
  words = Words({"abcd", "*/"});
  EXPECT_EQ(file.Write("s.Dat", words), E_FAIL);
  words = {std::string("abcdefghi\0", 10)};
  EXPECT_EQ(file.Write("s.Dat", words), E_FAIL);
  platform::SetDebugEcho(true);
  EXPECT_EQ(Get("sE.Dat"), good);
}

TEST_F(CTextFileTest, FailedWriteLeavesTheOldFileAndReportsIt) {
  CTextFile file(false);
  Put("slot.Dat", "old\r\n");
  // Cut the write short: a file-size limit below the new content makes
  // write() fail half-way, like a full disk.
  struct rlimit saved;
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  struct rlimit small = saved;
  small.rlim_cur = 16;
  auto oldHandler = ::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  WordList big(20, "0123456789");
  HRESULT hr = file.Write("slot.Dat", big);
  ::setrlimit(RLIMIT_FSIZE, &saved);
  ::signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(hr, E_FAIL);
  EXPECT_EQ(Get("slot.Dat"), "old\r\n");

  // Targets that cannot be written: a directory, a path below a regular file.
  fs::create_directory("taken.Dat");
  WordList words = Words({"x"});
  EXPECT_EQ(file.Write("taken.Dat", words), E_FAIL);
  EXPECT_TRUE(fs::is_directory("taken.Dat"));
  EXPECT_EQ(file.Write("slot.Dat\\inner.Dat", words), E_FAIL);
  EXPECT_EQ(file.Write("nodir\\a.Dat", words), E_FAIL);
  EXPECT_EQ(Get("slot.Dat"), "old\r\n");
  EXPECT_EQ(EntryCount(), 2u) << "no temporary file may be left behind";

  // And a good write still replaces it.
  words = Words({"new"});
  EXPECT_EQ(file.Write("slot.Dat", words), S_OK);
  EXPECT_EQ(Get("slot.Dat"), "new\r\n");
}

TEST_F(CTextFileTest, ReadsBackAtForeseesWhatTheWriterAndReaderDo) {
  // Words at any place in a file: ReadsBackAt(words, phase) holds exactly
  // when a file whose words before them hold `phase` bytes reads back
  // unchanged (Write refuses the others).
  CTextFile enciphered(true);
  uint32_t seed = 7;
  auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
  int clean = 0;
  for (int round = 0; round < 600; ++round) {
    WordList words;
    for (int w = 0, n = 1 + int(next() % 3); w < n; ++w) {
      std::string word;
      for (int b = 0, len = int(next() % 4); b < len; ++b) word += char(0x20 + (next() >> 16) % 0x60);
      if (word.empty() || word.find(' ') != std::string::npos) word = "x" + std::to_string(round);
      if (next() % 8 == 0) word = next() % 2 ? "/*" : "*/";  // a block swallows what follows it
      words.push_back(word);
    }
    const size_t phase = next() % CTextFile::kKeyLength;
    WordList file = {std::string(phase, '0')};
    if (phase == 0) file.clear();
    file.insert(file.end(), words.begin(), words.end());
    WordList written = file;
    WordList back;
    enciphered.DecodeBytes(enciphered.EncodeWords(written), back);
    const bool same = back == file;
    EXPECT_EQ(enciphered.ReadsBackAt(words, phase), same) << round;
    clean += same;
  }
  EXPECT_GT(clean, 300);
  EXPECT_LT(clean, 595);

  // Empty words never come back; in the plain form neither does whitespace.
  CTextFile plain(false);
  EXPECT_FALSE(enciphered.ReadsBackAt(Words({"a", ""}), 0));
  EXPECT_FALSE(plain.ReadsBackAt(Words({""}), 0));
  EXPECT_FALSE(plain.ReadsBackAt(WordList{std::string("a\tb")}, 0));
  EXPECT_FALSE(plain.ReadsBackAt(Words({"a", "/*", "*/"}), 0));
  EXPECT_TRUE(plain.ReadsBackAt(Words({"-!,"}), 3));
}

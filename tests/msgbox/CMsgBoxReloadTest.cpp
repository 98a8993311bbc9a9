// Reading the open script again after its file was saved: the message on
// screen is shown anew from the new words while the variables and pictures
// stay; a menu holds the reload off; a file that no longer reads changes
// nothing.
#include <sys/stat.h>

#include <filesystem>

#include "support/MsgBoxTestSupport.h"
#include "support/Watchdog.h"

using namespace msgboxtest;

namespace {
class CMsgBoxReload : public MsgBoxTest {};
}  // namespace

TEST_F(CMsgBoxReload, TheMessageOnScreenComesFromTheNewWords) {
  ASSERT_EQ(Run({"string", "$呼び方", "=", "ミケ", "Texture", "b", "bg.tga", "BG", "b", "一つ目", ".", "二つ目", ".",
                 "三つ目"}),
            S_OK);
  ASSERT_EQ(box->Step(), S_OK);
  ASSERT_EQ(Message(), "二つ目\n\n");
  // The save changes the start value and the background: neither may run again.
  WriteScript("test.Dat", {"string", "$呼び方", "=", "タマ", "Texture", "b", "taro.tga", "BG", "b", "一つ目", ".",
                           "二つ目を直した", ".", "三つ目を直した"});
  size_t landing = 0;
  ASSERT_EQ(box->ReloadScript(landing), CMsgBox::Reload::Done);
  EXPECT_EQ(landing, 11u);
  EXPECT_EQ(Message(), "二つ目を直した\n\n");
  EXPECT_EQ(U(box->Script().Variables().at(W("$呼び方"))), "ミケ");
  EXPECT_EQ(box->Window().BgSprite()->textureName, "bg.tga");
  EXPECT_EQ(box->Script().TextureAliases().at("b"), "bg.tga");
  ASSERT_EQ(box->Step(), S_OK);
  EXPECT_EQ(Message(), "三つ目を直した\n\n");
  EXPECT_EQ(U(box->OpenScriptName()), "test.Dat");
}

TEST_F(CMsgBoxReload, ASpeakersMessageKeepsItsSpeaker) {
  ASSERT_EQ(Run({"Texture", "太郎", "taro.tga", "前", ".", "太郎：", "やあ", ".", "後"}), S_OK);
  ASSERT_EQ(box->Step(), S_OK);
  ASSERT_EQ(Message(), "太郎：やあ\n\n");
  WriteScript("test.Dat", {"Texture", "太郎", "taro.tga", "前", ".", "太郎：", "やあ、直した", ".", "後"});
  size_t landing = 0;
  ASSERT_EQ(box->ReloadScript(landing), CMsgBox::Reload::Done);
  EXPECT_EQ(landing, 5u);  // the speaker word, not its text
  EXPECT_EQ(Message(), "太郎：やあ、直した\n\n");
}

TEST_F(CMsgBoxReload, AMessageMovedIntoACommandLandsAtTheCommand) {
  ASSERT_EQ(Run({"一つ目", ".", "二つ目", ".", "三つ目"}), S_OK);
  ASSERT_EQ(box->Step(), S_OK);
  // A picture command inserted ahead: word 2 is now its argument.
  WriteScript("test.Dat", {"一つ目", "BG", "b", "Texture", "b", "bg.tga", "二つ目", "."});
  size_t landing = 0;
  ASSERT_EQ(box->ReloadScript(landing), CMsgBox::Reload::Done);
  EXPECT_EQ(landing, 1u);
  // The alias is not defined before its use: the command reports and the
  // step goes on to the next message, never showing "b" as text.
  EXPECT_NE(Message(), "b\n\n");
}

TEST_F(CMsgBoxReload, AnOpenMenuHoldsTheReloadOff) {
  ASSERT_EQ(Run({"前", "FontMenu", "{", "メニューアイテム", "{", "一", "1", "A", "}", "}"}), S_OK);
  ASSERT_EQ(box->Step(), S_OK);
  ASSERT_TRUE(box->TextMenu().MenuActive());
  size_t words = box->Script().Words().size(), position = box->Script().Position();
  WriteScript("test.Dat", {"別の", "ことば"});
  size_t landing = 0;
  EXPECT_EQ(box->ReloadScript(landing), CMsgBox::Reload::Held);
  EXPECT_EQ(box->Script().Words().size(), words);
  EXPECT_EQ(box->Script().Position(), position);
}

TEST_F(CMsgBoxReload, AFileThatNoLongerReadsChangesNothing) {
  ASSERT_EQ(Run({"一つ目", ".", "二つ目", ".", "三つ目"}), S_OK);
  ASSERT_EQ(box->Step(), S_OK);
  auto words = box->Script().Words();
  size_t position = box->Script().Position();
  size_t landing = 0;
  WriteScript("test.Dat", {});  // an editor's truncate before the write
  EXPECT_EQ(box->ReloadScript(landing), CMsgBox::Reload::Unreadable);
  std::filesystem::remove("GameData/Text/test.Dat");
  EXPECT_EQ(box->ReloadScript(landing), CMsgBox::Reload::Unreadable);
  EXPECT_EQ(box->Script().Words(), words);
  EXPECT_EQ(box->Script().Position(), position);
  EXPECT_EQ(Message(), "二つ目\n\n");
  // Put back, it reloads.
  WriteScript("test.Dat", {"一つ目", ".", "二つ目", ".", "三つ目"});
  EXPECT_EQ(box->ReloadScript(landing), CMsgBox::Reload::Done);
  EXPECT_EQ(Message(), "二つ目\n\n");
}

TEST_F(CMsgBoxReload, AScriptSwappedForAFifoOrAHugeFileChangesNothingAndReloadsWhenPutBack) {
  ASSERT_EQ(Run({"一つ目", ".", "二つ目", ".", "三つ目"}), S_OK);
  ASSERT_EQ(box->Step(), S_OK);
  const auto words = box->Script().Words();
  const size_t position = box->Script().Position();
  // Swapped for a FIFO nobody writes to: the reload must not wait on it (a
  // child tries, so that a reader stuck for ever only fails the test).
  std::filesystem::remove("GameData/Text/test.Dat");
  ASSERT_EQ(::mkfifo("GameData/Text/test.Dat", 0644), 0);
  EXPECT_EQ(testsupport::WithinSeconds(5,
                                       [&] {
                                         size_t landing = 0;
                                         return box->ReloadScript(landing) == CMsgBox::Reload::Unreadable &&
                                                box->Script().Words() == words;
                                       }),
            testsupport::Outcome::kTrue);
  size_t landing = 0;
  EXPECT_EQ(box->ReloadScript(landing), CMsgBox::Reload::Unreadable);
  // A script of more than 16 MiB is refused by its size, not read.
  std::filesystem::remove("GameData/Text/test.Dat");
  WriteScript("test.Dat", {"一つ目", ".", "二つ目を直した"});
  std::filesystem::resize_file("GameData/Text/test.Dat", uintmax_t(300) << 20);  // sparse: no room taken
  EXPECT_EQ(box->ReloadScript(landing), CMsgBox::Reload::Unreadable);
  EXPECT_EQ(box->Script().Words(), words);
  EXPECT_EQ(box->Script().Position(), position);
  EXPECT_EQ(Message(), "二つ目\n\n");
  // Put back, it reloads.
  WriteScript("test.Dat", {"一つ目", ".", "二つ目を直した", ".", "三つ目"});
  EXPECT_EQ(box->ReloadScript(landing), CMsgBox::Reload::Done);
  EXPECT_EQ(Message(), "二つ目を直した\n\n");
}

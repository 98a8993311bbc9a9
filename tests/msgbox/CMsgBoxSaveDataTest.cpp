// Save data and the save/load screen: the word list byte for byte, loading,
// the slot labels, the back item, LoadMenu's restart, damaged and unwritable
// saves.
#include <cstdio>
#include <fstream>
#include <sstream>

#include "support/MsgBoxTestSupport.h"
#include "platform/diagnostics/Report.h"
#include "platform/diagnostics/Trace.h"
#include "script/MenuItems.h"

using namespace msgboxtest;

namespace {
// Sunday 6 October 2002, 21:04:09.
void FixedClock(std::tm& now) {
  now = std::tm{};
  now.tm_year = 102, now.tm_wday = 0, now.tm_mon = 9, now.tm_mday = 6;
  now.tm_hour = 21, now.tm_min = 4, now.tm_sec = 9;
}

std::vector<std::string> Utf8(const WordList& words) {
  std::vector<std::string> out;
  for (const std::string& w : words) out.push_back(U(w));
  return out;
}

class CMsgBoxSaveData : public MsgBoxTest {
 protected:
  void SetUp() override {
    MsgBoxTest::SetUp();
    CMsgBox::saveClock = FixedClock;
    std::filesystem::create_directories("GameData/Text/セーブデータ");
  }
  void TearDown() override {
    CMsgBox::saveClock = nullptr;
    MsgBoxTest::TearDown();
  }
  WordList ReadBack(const std::string& utf8Path, CTextFile& reader) {
    WordList words;
    EXPECT_EQ(reader.Read(W(utf8Path), words), S_OK);
    return words;
  }
  // The variables a game defines so that the screen's slots meet the slot files.
  std::vector<std::string> SlotVariables() {
    std::vector<std::string> words;
    for (int n = 1; n <= 3; ++n) {
      words.insert(words.end(), {std::string("string"), "$セーブデータ" + std::to_string(n), "=",
                                 "セーブデータ\\セーブデータ" + std::to_string(n)});
    }
    return words;
  }
  std::string Label(int id) { return U(box->TextMenu().FontMenuItems().at(id)->label); }
};
}  // namespace

TEST_F(CMsgBoxSaveData, WordListByteForByteAndBackAgain) {
  ASSERT_EQ(Run({"string", "$b", "=", "二", "string", "$a", "=", "一", "string", "$空", "文"}), S_OK);
  box->SetIntVariable(W("$n"), -3);
  box->SetIntVariable(W("$m"), 12);
  box->Save(W("シーン"), W("save1"));
  EXPECT_EQ(Utf8(ReadBack("GameData\\Text\\save1.Dat", textFile)),
            (std::vector<std::string>{"セーブ日時", "102", "0", "9", "6", "21", "4", "9", "現在のスクリプトファイル名", "シーン",
                                      "変数情報", "string", "$a", "一", "string", "$b", "二", "INT", "$m", "12", "INT",
                                      "$n", "-3"}));

  // Loading restores the values and keeps variables the save does not hold.
  box->SetVariable(W("$a"), W("変"));
  box->SetVariable(W("$後から"), W("残る"));
  box->ClearIntVariables();
  box->Load(W("save1"));
  EXPECT_EQ(U(box->Script().Variables().at(W("$a"))), "一");
  EXPECT_EQ(U(box->Script().Variables().at(W("$後から"))), "残る");
  EXPECT_EQ(box->Script().IntVars().at(W("$n")), -3);
  EXPECT_EQ(U(CMsgBox::currentScriptName), "シーン.Dat");

  // A second save under the same name replaces the first.
  box->SetVariable(W("$a"), W("再"));
  box->Save(W("別"), W("save1"));
  box->Load(W("save1"));
  EXPECT_EQ(U(CMsgBox::currentScriptName), "別.Dat");
  EXPECT_EQ(U(box->Script().Variables().at(W("$a"))), "再");
}

TEST_F(CMsgBoxSaveData, EncipheredSavesRoundTripNegativeNumbersWhereverTheyFall) {
  CTextFile enciphered(true);
  box->UseTextFile(&enciphered);
  // The key cursor counts word bytes only; a '-' on the key byte 'm'
  // (position 3 of 10) would encipher to a space and never read back.
  auto bytesBefore = [&](const std::string& name) {
    size_t n = 0;
    for (const char* w : {"セーブ日時", "102", "0", "9", "6", "21", "4", "9", "現在のスクリプトファイル名", "s", "変数情報", "INT"})
      n += W(w).size();
    return n + W(name).size();
  };
  std::string good = "$n", bad = "$n";
  while (bytesBefore(good) % 10 == 3) good += "x";
  while (bytesBefore(bad) % 10 != 3) bad += "x";

  box->SetIntVariable(W(good), -3);
  box->Save("s", "enc");
  WordList words = ReadBack("GameData\\Text\\enc.Dat", enciphered);
  ASSERT_FALSE(words.empty());
  EXPECT_EQ(words.back(), "-3");
  EXPECT_EQ(words.size(), 14u);  // just the words of the save: no padding needed
  box->ClearIntVariables();
  box->Load("enc");
  EXPECT_EQ(box->Script().IntVars().at(W(good)), -3);

  // Where the '-' would fall on the bad key byte, a padding word before the
  // triple moves it on; the reader passes over the padding.
  box->ClearIntVariables();
  box->SetIntVariable(W(bad), -5);
  const uint64_t reports = platform::ShownReportCount();
  box->Save("t", "enc");
  EXPECT_EQ(platform::ShownReportCount(), reports);
  words = ReadBack("GameData\\Text\\enc.Dat", enciphered);
  ASSERT_EQ(words.size(), 15u);
  EXPECT_EQ(words[11], "_");
  EXPECT_EQ(words.back(), "-5");
  box->ClearIntVariables();
  box->Load("enc");
  EXPECT_EQ(box->Script().IntVars().at(W(bad)), -5);
  EXPECT_EQ(U(CMsgBox::currentScriptName), "t.Dat");
  box->UseTextFile(&textFile);
}

TEST_F(CMsgBoxSaveData, SavesThatNoArrangementCanWriteAreRefusedSayingWhy) {
  CTextFile enciphered(true);
  box->UseTextFile(&enciphered);
  box->Save("s", "enc");
  // '!' enciphers to a space under the key bytes 'q' and '1'; ten in a row
  // meet one of them wherever they stand.
  box->SetVariable(W("$叫び"), "!!!!!!!!!!");
  testing::internal::CaptureStderr();
  box->Save("t", "enc");
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("セーブデータの書き込みに失敗しました。変数「$叫び」は"), std::string::npos) << err;
  WordList words = ReadBack("GameData\\Text\\enc.Dat", enciphered);  // the earlier save is kept
  ASSERT_GE(words.size(), 10u);
  EXPECT_EQ(words[9], "s");

  // The reader takes a "/*" word for a comment and drops what follows.
  box->ClearVariables();
  box->SetVariable(W("$記号"), "/*");
  testing::internal::CaptureStderr();
  box->Save("t", "enc");
  err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("変数「$記号」に「/*」があり"), std::string::npos) << err;

  // An empty script name would vanish from the file and the loader would
  // take the next keyword for it.
  box->ClearVariables();
  box->SetVariable(W("$空"), "");
  testing::internal::CaptureStderr();
  box->Save(W("$空"), "enc");
  err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("再開するスクリプトの名前が空のため"), std::string::npos) << err;
  EXPECT_EQ(ReadBack("GameData\\Text\\enc.Dat", enciphered)[9], "s");
  box->UseTextFile(&textFile);
}

TEST_F(CMsgBoxSaveData, DamagedSavesLoadAsFarAsTheyGo) {
  WriteScript("d1.Dat", {"string", "$x", "=", "1", "変数情報", "string", "$x", "2"});  // no script name
  WriteScript("d2.Dat", {"現在のスクリプトファイル名", "場面", "INT", "$i", "7"});           // no variable section
  WriteScript("d3.Dat", {"現在のスクリプトファイル名", "場面", "変数情報", "INT", "$i", "abc", "ゴミ", "INT", "$j",
                         "-12x", "string", "$y"});
  WriteScript("d4.Dat", {"現在のスクリプトファイル名"});
  box->SetVariable(W("$y"), W("前"));
  CMsgBox::currentScriptName = W("元.Dat");
  box->Load("d1");
  box->Load("d4");
  EXPECT_EQ(U(CMsgBox::currentScriptName), "元.Dat");
  EXPECT_EQ(box->Script().Variables().count(W("$x")), 0u);
  box->Load("d2");
  EXPECT_EQ(U(CMsgBox::currentScriptName), "場面.Dat");
  EXPECT_TRUE(box->Script().IntVars().empty());
  box->Load("d3");
  EXPECT_EQ(box->Script().IntVars().at(W("$i")), 0);  // no number stores 0
  EXPECT_EQ(box->Script().IntVars().at(W("$j")), -12);
  EXPECT_EQ(U(box->Script().Variables().at(W("$y"))), "前");

  testing::internal::CaptureStderr();
  box->Load("無い");
  EXPECT_NE(testing::internal::GetCapturedStderr().find("データのロードに失敗。"), std::string::npos);
  EXPECT_EQ(U(CMsgBox::currentScriptName), "場面.Dat");
}

TEST_F(CMsgBoxSaveData, ScreenLabelsPlacesAndSelectableSlots) {
  std::vector<std::string> words = SlotVariables();
  words.insert(words.end(), {"Save", "シーン", "$セーブデータ1", "文"});
  ASSERT_EQ(Run(words), S_OK);
  // Slot 3 holds a file without a readable date.
  WriteScript("セーブデータ\\セーブデータ3.Dat", {"セーブ日時", "102", "x"});

  box->OpenSaveLoadScreen(true, W("再開"));
  EXPECT_EQ(Label(0), "←戻る");
  EXPECT_EQ(Label(1), "データ1：2002年 10月 6日（日）21時 4分");
  EXPECT_EQ(Label(2), "データ2：空き");
  EXPECT_EQ(Label(3), "データ3：日付不明");
  EXPECT_EQ(box->Saves().SaveSlots()[1].exists, 1);
  EXPECT_EQ(box->Saves().SaveSlots()[1].second, 9);
  EXPECT_EQ(box->Saves().SaveSlots()[2].exists, 0);
  float y = 296;
  for (auto& [id, item] : box->TextMenu().FontMenuItems()) {
    EXPECT_FLOAT_EQ(item->position.x, 160);
    EXPECT_FLOAT_EQ(item->position.y, y);
    y += 30;
    EXPECT_EQ(item->brightness, id == 0 ? 255 : 180);
    EXPECT_TRUE(item->selectable);
    EXPECT_EQ(U(item->target), id == 0 ? "$戻る" : "$セーブデータ" + std::to_string(id));
    EXPECT_EQ(U(item->scriptName), id == 0 ? "" : "再開");
  }
  EXPECT_EQ(box->TextMenu().FontMenuCursor()->first, 0);

  // On the load screen the empty slot is passed over.
  box->OpenSaveLoadScreen(false, "");
  EXPECT_FALSE(box->TextMenu().FontMenuItems().at(2)->selectable);
  EXPECT_TRUE(box->TextMenu().FontMenuItems().at(3)->selectable);
  box->FontMenuNext();
  box->FontMenuNext();
  EXPECT_EQ(box->TextMenu().FontMenuCursor()->first, 3);
}

// A damaged save's date fields may hold the largest numbers; the label shows
// them as they are (found by fuzzing: the year and month overflowed).
TEST_F(CMsgBoxSaveData, ExtremeDateFieldsAreLabelledWithoutOverflow) {
  std::vector<std::string> words = SlotVariables();
  words.push_back("文");
  ASSERT_EQ(Run(words), S_OK);
  WriteScript("セーブデータ\\セーブデータ1.Dat",
              {"セーブ日時", "2147483647", "6", "2147483647", "-2147483648", "2147483647", "0", "0"});
  box->OpenSaveLoadScreen(false, "");
  EXPECT_EQ(Label(1), "データ1：2147485547年 2147483648月 -2147483648日（土）2147483647時 0分");
}

TEST_F(CMsgBoxSaveData, SaveScreenDecisionSavesAndRestartsTheCurrentScript) {
  WriteScript("本編.Dat", {"本編の文"});
  std::vector<std::string> words = SlotVariables();
  words.insert(words.end(), {"string", "$旗", "=", "立つ", "NextScriptFile", "本編.Dat", "SaveMenu", "続き", "同じ歩みの文"});
  ASSERT_EQ(Run(words), S_OK);
  EXPECT_TRUE(box->TextMenu().MenuActive() && box->Saves().SaveMode());
  EXPECT_EQ(Message(), "同じ歩みの文\n\n");  // SaveMenu does not wait by itself
  box->FontMenuNext();
  box->FontMenuNext();
  EXPECT_EQ(box->FontMenuDecide(), 1);
  EXPECT_FALSE(box->TextMenu().MenuActive() || box->Saves().SaveMode());
  EXPECT_EQ(U(CMsgBox::currentScriptName), "本編.Dat");
  EXPECT_EQ(Message(), "本編の文\n\n");
  WordList saved = ReadBack("GameData\\Text\\セーブデータ\\セーブデータ2.Dat", textFile);
  ASSERT_GE(saved.size(), 10u);
  EXPECT_EQ(U(saved[9]), "続き");
}

TEST_F(CMsgBoxSaveData, LoadCommandAndLoadScreenLandInTheSavedScript) {
  WriteScript("保存先.Dat", {"保存先の文"});
  WriteScript("メニュー.Dat", {"LoadMenu"});
  std::vector<std::string> words = SlotVariables();
  words.insert(words.end(), {"string", "$鍵", "=", "銀", "Save", "保存先", "$セーブデータ2", "Load", "$セーブデータ2"});
  ASSERT_EQ(Run(words), S_OK);
  EXPECT_EQ(U(CMsgBox::currentScriptName), "保存先.Dat");
  EXPECT_EQ(Message(), "保存先の文\n\n");

  // LoadMenu fails the step; the frame loop starts the current script
  // again, which waits because the screen is open.
  CMsgBox::currentScriptName = W("メニュー.Dat");
  box->SetVariable(W("$鍵"), W("金"));
  ASSERT_EQ(box->StartScript(CMsgBox::currentScriptName), E_FAIL);
  EXPECT_TRUE(box->TextMenu().MenuActive() && box->Saves().LoadMode());
  EXPECT_EQ(box->StartScript(CMsgBox::currentScriptName), S_OK);
  EXPECT_EQ(Word(), "LoadMenu");
  box->FontMenuNext();  // slot 1 is empty and passed over
  EXPECT_EQ(box->TextMenu().FontMenuCursor()->first, 2);
  EXPECT_EQ(box->FontMenuDecide(), 1);
  EXPECT_EQ(U(CMsgBox::currentScriptName), "保存先.Dat");
  EXPECT_EQ(U(box->Script().Variables().at(W("$鍵"))), "銀");
  EXPECT_EQ(Message(), "保存先の文\n\n");
}

TEST_F(CMsgBoxSaveData, BackItemAndLoadMenuWithoutCurrentScript) {
  WriteScript("戻り先.Dat", {"戻った"});
  ASSERT_EQ(Run({"string", "$戻る", "=", "戻り先", "LoadMenu"}), E_FAIL);
  EXPECT_EQ(box->FontMenuDecide(), 1);
  EXPECT_EQ(U(CMsgBox::currentScriptName), "戻り先.Dat");
  EXPECT_EQ(Message(), "戻った\n\n");

  // "$戻る" undeclared: the replacement fails, then the file is missing.
  box->ClearVariables();
  CMsgBox::currentScriptName.clear();
  ASSERT_EQ(Run({"LoadMenu"}), E_FAIL);
  testing::internal::CaptureStderr();
  EXPECT_EQ(box->StartScript(CMsgBox::currentScriptName), E_FAIL);  // no current script
  EXPECT_EQ(box->FontMenuDecide(), 1);
  std::string err = testing::internal::GetCapturedStderr();
  size_t replace = err.find("変数の置き換えに失敗");
  ASSERT_NE(replace, std::string::npos);
  EXPECT_NE(err.find("指定された名前のスクリプトファイルが見つかりませんでした。", replace), std::string::npos);
  EXPECT_EQ(U(CMsgBox::currentScriptName), "$戻る.Dat");
  EXPECT_FALSE(box->Script().Running());
}

TEST_F(CMsgBoxSaveData, RandomBytesInSaveFilesNeverCrash) {
  uint32_t seed = 12345;
  auto next = [&seed]() { return seed = seed * 1103515245u + 12345u; };
  testing::internal::CaptureStderr();
  for (int round = 0; round < 50; ++round) {
    std::string bytes;
    const int length = int(next() % 200);
    for (int i = 0; i < length; ++i) bytes += char(next() >> 16);
    // Keywords scattered in make the loader walk its deeper paths.
    if (round % 2) bytes = W("セーブ日時 1 現在のスクリプトファイル名 変数情報 INT string ") + bytes;
    ASSERT_TRUE(platform::WriteFileAtomic(W("GameData\\Text\\セーブデータ\\セーブデータ1.Dat"), bytes));
    box->Load(W("セーブデータ\\セーブデータ1"));
    box->OpenSaveLoadScreen(false, "");
    EXPECT_EQ(box->TextMenu().FontMenuItems().size(), 4u);
  }
  testing::internal::GetCapturedStderr();
}

TEST_F(CMsgBoxSaveData, SavesAndLoadsAreTraced) {
  const std::string all = TracedPass([&] {
    box->Save("s", "t1");
    testing::internal::CaptureStderr();
    box->Load("none");
    testing::internal::GetCapturedStderr();
  });
  EXPECT_NE(all.find(R"({"type":"save","path":"GameData\\Text\\t1.Dat","result":0})"), std::string::npos)
      << all;
  EXPECT_NE(all.find(R"({"type":"load","path":"GameData\\Text\\none.Dat","result":-2147467259})"),
            std::string::npos);
}

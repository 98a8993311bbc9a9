// Enciphered saves at every clock time and with every kind of variable: the
// file always reads back, word for word, as the save's own words with at
// most a padding word between two groups, and loading it and the save
// screen's slot reader restore exactly what was saved.
#include <random>

#include "support/MsgBoxTestSupport.h"
#include "msgbox/SaveArrangement.h"
#include "platform/diagnostics/Report.h"

using namespace msgboxtest;

namespace {
std::tm g_now;
void SettableClock(std::tm& now) { now = g_now; }

class CMsgBoxSaveLayout : public MsgBoxTest {
 protected:
  void SetUp() override {
    MsgBoxTest::SetUp();
    CMsgBox::saveClock = SettableClock;
    std::filesystem::create_directories("GameData/Text/セーブデータ");
    box->UseTextFile(&enciphered);
  }
  void TearDown() override {
    box->UseTextFile(&textFile);
    CMsgBox::saveClock = nullptr;
    MsgBoxTest::TearDown();
  }
  CTextFile enciphered{true};
};

// The save's words as the game's save format lists them.
WordList SaveWords(const std::tm& t, const std::string& script, const std::map<std::string, std::string>& vars,
                   const std::map<std::string, int32_t>& ints) {
  WordList w = {W("セーブ日時")};
  for (int f : {t.tm_year, t.tm_wday, t.tm_mon, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec}) w.push_back(std::to_string(f));
  w.insert(w.end(), {W("現在のスクリプトファイル名"), script, W("変数情報")});
  for (const auto& [name, value] : vars) w.insert(w.end(), {"string", name, value});
  for (const auto& [name, value] : ints) w.insert(w.end(), {"INT", name, std::to_string(value)});
  return w;
}

bool IsPadding(const std::string& w) { return !w.empty() && w.find_first_not_of(kSavePadding) == std::string::npos; }
}  // namespace

TEST_F(CMsgBoxSaveLayout, EverySaveReadsBackAsItsOwnWordsAndRestoresTheSameState) {
  std::mt19937 random(20021006);
  auto pick = [&](int n) { return int(random() % unsigned(n)); };
  // Pieces whose bytes encipher to whitespace under some key byte ('-', '!',
  // ',', ')', '*', '/', '%', '\'') beside harmless ones, Japanese included.
  // Keywords of the reader as parts of names and values too.
  const std::vector<std::string> pieces = {"-", "!", ",", ")", "*", "/", "%", "'", "a", "9", "$", ".", W("猫"), W("ー"),
                                           "_", "INT", "string", W("変数情報")};
  auto word = [&](size_t maxPieces) {
    std::string w;
    for (size_t i = 0, n = 1 + random() % maxPieces; i < n; ++i) w += pieces[size_t(pick(int(pieces.size())))];
    return w;
  };
  int padded = 0;
  for (int round = 0; round < 400; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    g_now = std::tm{};
    g_now.tm_year = 100 + pick(130), g_now.tm_wday = pick(7), g_now.tm_mon = pick(12), g_now.tm_mday = 1 + pick(31);
    g_now.tm_hour = pick(24), g_now.tm_min = pick(60), g_now.tm_sec = pick(61);
    const std::string script = word(4);
    std::map<std::string, std::string> vars;
    std::map<std::string, int32_t> ints;
    for (int i = pick(5); i > 0; --i) vars["$" + word(3)] = word(5);
    for (int i = pick(3); i > 0; --i) ints["$" + word(2)] = int32_t(random()) >> pick(31);
    box->ClearVariables();
    box->ClearIntVariables();
    for (const auto& [name, value] : vars) box->SetVariable(name, value);
    for (const auto& [name, value] : ints) box->SetIntVariable(name, value);
    const WordList expected = SaveWords(g_now, script, vars, ints);

    const uint64_t reports = platform::ShownReportCount();
    testing::internal::CaptureStderr();
    box->Save(script, W("セーブデータ\\セーブデータ1"));
    std::string err = testing::internal::GetCapturedStderr();
    // A group no arrangement can write is refused, and only then.
    std::vector<WordList> groups = {{expected.begin(), expected.begin() + 8}, {expected[8], expected[9]}, {expected[10]}};
    for (size_t i = 11; i < expected.size(); i += 3) groups.push_back({expected[i], expected[i + 1], expected[i + 2]});
    bool writable = true;
    for (const WordList& g : groups) {
      bool somewhere = false;
      for (size_t phase = 0; phase < CTextFile::kKeyLength; ++phase) somewhere |= enciphered.ReadsBackAt(g, phase);
      writable &= somewhere;
    }
    ASSERT_EQ(platform::ShownReportCount() - reports, writable ? 0u : 1u) << err;
    if (!writable) continue;

    WordList file;
    ASSERT_EQ(enciphered.Read(W("GameData\\Text\\セーブデータ\\セーブデータ1.Dat"), file), S_OK);
    // Group by group: padding may stand only before a group's first word
    // (a keyword, never padding itself).
    size_t at = 0;
    for (const WordList& g : groups) {
      while (at < file.size() && IsPadding(file[at])) ++at;
      ASSERT_LE(at + g.size(), file.size()) << ::testing::PrintToString(file) << "\n" << ::testing::PrintToString(expected);
      ASSERT_EQ(WordList(file.begin() + long(at), file.begin() + long(at + g.size())), g);
      at += g.size();
    }
    EXPECT_EQ(at, file.size());
    if (file.size() != expected.size()) {
      ++padded;
      EXPECT_FALSE(enciphered.ReadsBackAt(expected, 0));
    } else {
      EXPECT_EQ(file, expected);  // what reads back as it is stays as it is
    }

    box->ClearVariables();
    box->ClearIntVariables();
    CMsgBox::currentScriptName.clear();
    box->Load(W("セーブデータ\\セーブデータ1"));
    EXPECT_EQ(box->Script().Variables(), vars);
    EXPECT_EQ(box->Script().IntVars(), ints);
    EXPECT_EQ(CMsgBox::currentScriptName, script + ".Dat");

    testing::internal::CaptureStderr();
    box->OpenSaveLoadScreen(false, "");
    testing::internal::GetCapturedStderr();
    const msgbox::SaveSlot& slot = box->Saves().SaveSlots()[1];
    EXPECT_EQ(slot.exists, 1);
    EXPECT_EQ(std::vector<int32_t>({slot.year, slot.weekday, slot.month, slot.day, slot.hour, slot.minute, slot.second}),
              std::vector<int32_t>({g_now.tm_year, g_now.tm_wday, g_now.tm_mon, g_now.tm_mday, g_now.tm_hour,
                                    g_now.tm_min, g_now.tm_sec}));
  }
  // The rounds did go through layouts that needed padding.
  EXPECT_GT(padded, 50);
}

TEST_F(CMsgBoxSaveLayout, TheSameStateSavesAtEveryMinute) {
  // A negative number lands on another key byte as the date words change
  // length (10:05 against 10:15): it must save at all of them.
  box->SetIntVariable(W("$所持金"), -120);
  box->SetVariable(W("$場所"), "-a-");
  // 9:00 to 10:59: one and two digits of hour and minute in every mix.
  for (int minute = 9 * 60; minute < 11 * 60; ++minute) {
    g_now = std::tm{};
    g_now.tm_year = 124, g_now.tm_mday = 5, g_now.tm_hour = minute / 60, g_now.tm_min = minute % 60;
    const uint64_t reports = platform::ShownReportCount();
    box->Save("s", "m");
    ASSERT_EQ(platform::ShownReportCount(), reports) << minute;
    box->ClearIntVariables();
    box->ClearVariables();
    box->Load("m");
    ASSERT_EQ(box->Script().IntVars().at(W("$所持金")), -120) << minute;
    ASSERT_EQ(box->Script().Variables().at(W("$場所")), "-a-") << minute;
  }
}

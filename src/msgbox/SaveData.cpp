// Save data: writing and reading saves, and the save/load screen.
#include "msgbox/SaveData.h"

#include <string>
#include <vector>

#include "framework/GameDataPaths.h"
#include "msgbox/FontMenu.h"
#include "msgbox/Interpreter.h"
#include "msgbox/MsgBoxLayout.h"
#include "msgbox/SaveArrangement.h"
#include "msgbox/Translation.h"
#include "script/DecimalWord.h"
#include "platform/diagnostics/Report.h"
#include "platform/text/TextCodec.h"
#include "platform/diagnostics/Trace.h"
#include "script/CTextFile.h"
#include "script/MenuItems.h"

namespace msgbox {

void (*SaveData::saveClock)(std::tm& now) = nullptr;

namespace {
constexpr int kSlotCount = 3;
constexpr float kScreenLineHeight = 30.0f;

void TraceSaveEvent(const char* type, const std::string& path, HRESULT result) {
  if (!platform::trace::Enabled()) return;
  platform::trace::Event(std::string("{\"type\":\"") + type + "\",\"path\":" + platform::JsonCp932(path) +
                         ",\"result\":" + std::to_string(result) + "}");
}

// Why a group of a save can be written nowhere in the file: what it holds
// and what keeps it from reading back.
std::string UnwritableReason(const WordList& group) {
  std::string what;
  if (group.front() == SJ("現在のスクリプトファイル名")) what = SJ("再開するスクリプトの名前");
  else if (group.size() == 3) what = SJ("変数「") + group[1] + SJ("」");
  else return std::string();
  for (const std::string& word : group) {
    if (word.empty()) return what + SJ("が空のため、書き込めません。");
    if (word == "/*") return what + SJ("に「/*」があり、読むときにコメントの始まりとされるため、書き込めません。");
  }
  return what + SJ("は、どこに置いても暗号化すると空白かゼロのバイトができるため、書き込めません。");
}

size_t Find(const WordList& list, const std::string& word, size_t from) {
  for (size_t i = from; i < list.size(); ++i) {
    if (list[i] == word) return i;
  }
  return list.size();
}
}  // namespace

// Slot 0 holds no save; slots 1 to 3 have fixed files.
SaveData::SaveData() {
  for (int n = 1; n <= kSlotCount; ++n) {
    saveSlots[n].path = SJ(gamedata::kSaveStem) + std::to_string(n) + ".Dat";
  }
}

void SaveData::Save(const Interpreter& script, std::string resumeScript, std::string saveName) {
  std::tm now{};
  if (saveClock) {
    saveClock(now);
  } else {
    std::time_t t = std::time(nullptr);
    localtime_r(&t, &now);
  }
  // The groups the reader takes as units; nothing may come between the
  // words of one group.
  std::vector<WordList> groups;
  WordList date{SJ("セーブ日時")};
  for (int field : {now.tm_year, now.tm_wday, now.tm_mon, now.tm_mday, now.tm_hour, now.tm_min, now.tm_sec}) {
    date.push_back(std::to_string(field));
  }
  groups.push_back(std::move(date));
  script.ReplaceVariable(resumeScript);
  groups.push_back({SJ("現在のスクリプトファイル名"), resumeScript});
  groups.push_back({SJ("変数情報")});
  for (const auto& [name, value] : script.Variables()) {
    // A file has no empty words: an empty value would vanish on reading
    // and shift every later triple. Such a variable is left out; loading
    // keeps whatever value it then has.
    if (value.empty()) continue;
    groups.push_back({"string", name, value});
  }
  for (const auto& [name, value] : script.IntVars()) groups.push_back({"INT", name, std::to_string(value)});

  script.ReplaceVariable(saveName);
  const std::string path = gamedata::kTextDir + saveName + ".Dat";
  HRESULT hr = E_FAIL;
  std::string reason;
  if (CTextFile* file = script.TextFile()) {
    WordList list;
    const size_t unwritable = ArrangeSaveWords(groups, *file, list);
    if (unwritable < groups.size()) {
      reason = UnwritableReason(groups[unwritable]);
    } else {
      hr = WriteSaveFile(*file, path, list, reason);
    }
  }
  if (FAILED(hr)) {
    // The writer keeps the previous save when it cannot write the new one.
    DXTRACE("CMsgBox", E_FAIL, SJ("セーブデータの書き込みに失敗しました。") + reason, true, saveName + ".Dat");
    hr = E_FAIL;
  }
  TraceSaveEvent("save", path, hr);
}

void SaveData::Load(Interpreter& script, std::string saveName) {
  script.ReplaceVariable(saveName);
  const std::string path = gamedata::kTextDir + saveName + ".Dat";
  WordList list;
  if (!script.TextFile() || FAILED(script.TextFile()->ReadSaved(path, list))) {
    DXTRACE("CMsgBox", E_FAIL, SJ("データのロードに失敗。"), true, saveName + ".Dat");
    TraceSaveEvent("load", path, E_FAIL);
    return;
  }
  TraceSaveEvent("load", path, S_OK);
  // A damaged list simply ends the load where its structure ends.
  size_t at = Find(list, SJ("現在のスクリプトファイル名"), 0);
  if (at + 1 >= list.size()) return;
  Interpreter::currentScriptName = list[at + 1] + ".Dat";
  at = Find(list, SJ("変数情報"), at + 1);
  for (size_t i = at + 1; i < list.size(); ++i) {
    const bool isString = list[i] == "string";
    if (!isString && list[i] != "INT") continue;
    if (i + 2 >= list.size()) return;
    const std::string& name = list[i + 1];
    const std::string& value = list[i + 2];
    if (isString) {
      script.SetVariable(name, value);
    } else {
      int32_t number = 0;  // a value that is no number stores 0
      ParseDecimal(value, number);
      script.SetIntVariable(name, number);
    }
    i += 2;
  }
}

namespace {
void ReadSaveSlot(CTextFile* file, SaveSlot& slot) {
  WordList list;
  slot = SaveSlot{slot.path};
  if (!file || FAILED(file->ReadSaved(slot.path, list))) return;
  slot.exists = 1;
  size_t at = Find(list, SJ("セーブ日時"), 0);
  int32_t* fields[] = {&slot.year, &slot.weekday, &slot.month, &slot.day, &slot.hour, &slot.minute, &slot.second};
  for (int32_t* field : fields) {
    if (++at >= list.size() || !ParseDecimal(list[at], *field)) {
      slot.weekday = -1;  // no readable date
      return;
    }
  }
}

}  // namespace

void SaveData::OpenSaveScreen(const std::string& resume, CTextFile* file, FontMenu& menu, const SpriteRect& frame) {
  saveMode = true;
  menu.SetActive(true);
  FillScreen(resume, file, menu, frame);
}

void SaveData::OpenLoadScreen(CTextFile* file, FontMenu& menu, const SpriteRect& frame) {
  loadMode = true;
  menu.SetActive(true);
  FillScreen(std::string(), file, menu, frame);
}

void SaveData::OpenScreen(bool saving, const std::string& resume, CTextFile* file, FontMenu& menu,
                          const SpriteRect& frame) {
  saveMode = saving;
  loadMode = !saving;
  menu.SetActive(true);
  FillScreen(resume, file, menu, frame);
}

SaveData::Screen SaveData::TakeScreen() {
  if (saveMode) {
    saveMode = false;
    return Screen::Save;
  }
  if (loadMode) {
    loadMode = false;
    return Screen::Load;
  }
  return Screen::None;
}

void SaveData::FillScreen(const std::string& resume, CTextFile* file, FontMenu& menu, const SpriteRect& frame) {
  menu.Clear();

  auto add = [&menu](int32_t id, std::string label, std::string target, std::string scriptName, bool selectable) {
    auto item = std::make_unique<FontMenuItem>();
    item->id = id;
    item->label = std::move(label);
    item->target = std::move(target);
    item->scriptName = std::move(scriptName);
    item->selectable = selectable;
    menu.Add(std::move(item));
  };
  add(0, SJ("←戻る"), SJ("$戻る"), std::string(), true);
  const std::string weekdays = SJ("日月火水木金土");
  for (int n = 1; n <= kSlotCount; ++n) {
    SaveSlot& slot = saveSlots[n];
    ReadSaveSlot(file, slot);
    std::string label = SJ("データ") + std::to_string(n) + SJ("：");
    bool selectable = true;
    if (!slot.exists) {
      label += SJ("空き");
      selectable = saveMode;  // an empty slot can be saved to, not loaded
    } else if (slot.weekday < 0 || slot.weekday > 6) {
      label += SJ("日付不明");
    } else {
      // Widened: a damaged save may hold the largest numbers.
      label += std::to_string(int64_t{slot.year} + 1900) + SJ("年 ") + std::to_string(int64_t{slot.month} + 1) + SJ("月 ") +
               std::to_string(slot.day) + SJ("日") + SJ("（") + weekdays.substr(size_t(slot.weekday) * 2, 2) +
               SJ("）") + std::to_string(slot.hour) + SJ("時 ") + std::to_string(slot.minute) + SJ("分");
    }
    add(n, label, SJ("$セーブデータ") + std::to_string(n), resume, selectable);
  }

  menu.ListDown(frame.x, frame.y, kScreenLineHeight);
  if (translation_) TranslateScreen(menu);
}

void SaveData::TranslateScreen(FontMenu& menu) const {
  using T = SaveScreenText;
  for (auto& [id, item] : menu.Items()) {
    item->shown.clear();
    if (!translation_ || id < 0 || id > kSlotCount) continue;
    const std::string original = platform::Cp932ToUtf8(item->label);
    if (id == 0) {
      item->shown = ScreenText(*translation_, kSaveScreenContext, T::kBack, {}, original);
      continue;
    }
    const SaveSlot& slot = saveSlots[size_t(id)];
    const std::string n = std::to_string(id);
    if (!slot.exists) {
      item->shown = ScreenText(*translation_, kSaveScreenContext, T::kEmpty, {n}, original);
    } else if (slot.weekday < 0 || slot.weekday > 6) {
      item->shown = ScreenText(*translation_, kSaveScreenContext, T::kUnknownDate, {n}, original);
    } else {
      const std::string day = T::kWeekdays[slot.weekday];
      const std::string* weekday = translation_->Find(kWeekdayContext, day);
      item->shown = ScreenText(*translation_, kSaveScreenContext, T::kDate,
                               {n, std::to_string(int64_t{slot.year} + 1900), std::to_string(int64_t{slot.month} + 1),
                                std::to_string(slot.day), weekday ? *weekday : day, std::to_string(slot.hour),
                                std::to_string(slot.minute)},
                               original);
    }
  }
}

}  // namespace msgbox

#pragma once
// Save data: writing a save from the interpreter's variables, loading one
// back into them, and the save/load screen, which lists the three slots
// with their dates in the font menu. The screen stays in its mode (save or
// load) until a decision takes it.
#include <array>
#include <cstdint>
#include <ctime>
#include <string>

class CTextFile;
struct SpriteRect;

namespace msgbox {

class Translation;

class FontMenu;
class Interpreter;

struct SaveSlot {
  std::string path;
  int32_t second = 0, minute = 0, hour = 0, day = 0, month = 0, year = 0, weekday = 0;
  int32_t exists = 0;
};

class SaveData {
 public:
  SaveData();

  // Writes the save named saveName (through its variable when it names
  // one), recording the variables and the script to resume; a save that
  // cannot be written is reported and the previous one stays.
  void Save(const Interpreter& script, std::string resumeScript, std::string saveName);
  // Reads a save back: the script to resume becomes currentScriptName and
  // the recorded variables are set; a missing save is reported.
  void Load(Interpreter& script, std::string saveName);
  // The local time a save records; tests fix it. Null: the system clock.
  static void (*saveClock)(std::tm& now);

  // Opens the save (resume: the script a save records) or load screen in
  // the font menu, laid out from the frame's upper-left corner.
  void OpenSaveScreen(const std::string& resume, CTextFile* file, FontMenu& menu, const SpriteRect& frame);
  void OpenLoadScreen(CTextFile* file, FontMenu& menu, const SpriteRect& frame);
  // Either screen with the other mode cleared (a test seam).
  void OpenScreen(bool saving, const std::string& resume, CTextFile* file, FontMenu& menu, const SpriteRect& frame);
  // Which screen a decision in the font menu answers; the mode ends with it.
  enum class Screen : uint8_t { None, Save, Load };
  Screen TakeScreen();

  const std::array<SaveSlot, 4>& SaveSlots() const { return saveSlots; }
  bool SaveMode() const { return saveMode; }
  bool LoadMode() const { return loadMode; }
  // The screen's mode as a snapshot holds it (SnapshotRoles.cpp).
  void RestoreModes(bool saving, bool loading) {
    saveMode = saving;
    loadMode = loading;
  }

  // The translation the screens are shown in (null: the original's words),
  // and the screen in the menu shown in it anew.
  void UseTranslation(const Translation* translation) { translation_ = translation; }
  void TranslateScreen(FontMenu& menu) const;

 private:
  const Translation* translation_ = nullptr;
  void FillScreen(const std::string& resume, CTextFile* file, FontMenu& menu, const SpriteRect& frame);

  std::array<SaveSlot, 4> saveSlots;  // slot 0 holds no save
  bool saveMode = false;
  bool loadMode = false;
};

}  // namespace msgbox

#pragma once
// Playing as players expect beyond the script's own saves, layered over the
// comforts: the record of play, rolled back with Backspace (or the pad's
// left trigger) and forward with decide or the wheel down; at a menu rolled
// back to, the choice made before is marked, deciding it again replays the
// recorded future and choosing another drops it. Quick save (F5) and quick
// load (F9), an autosave at every menu of the scripts and on quitting, in
// a ring of ten (KeeperSaves.cpp).
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "comfort/Extension.h"
#include "comfort/TextPainter.h"
#include "saves/GameMenuRoom.h"
#include "saves/PlayRecord.h"
#include "saves/SaveFile.h"
#include "saves/SavePlace.h"
#include "saves/SlotScreenRoom.h"

class CMsgBox;

namespace comfort {
class Controller;
}

namespace saves {

class Keeper : public comfort::Extension {
 public:
  struct Config {
    // A control ("key:Backspace") the player bound to one of the game's
    // actions keeps that action, and what we would do with it is off.
    std::function<bool(const std::string& control)> bound;
    // Where our saves go (host path); empty: saving is off.
    std::string savesDir;
    // Quitting as the menu bar's item does (it asks); null: the menu's row does nothing.
    std::function<void()> quit;
  };
  Keeper(CMsgBox& box, comfort::Controller& comforts, Config config);
  ~Keeper() override;
  Keeper(const Keeper&) = delete;
  Keeper& operator=(const Keeper&) = delete;

  bool TakeEvent(const platform::Event& e) override;
  bool TakeControls(const int32_t* actions, double now) override;
  void Loaded() override;
  std::vector<comfort::Room*> Screens() override { return {&menu_, &slots_}; }
  bool Used() const override { return rolled_ || used_ || menuUsed_; }
  void Trace(std::string& members) const override;
  void Render() override;

  // One message (or menu) back, and forward again; false at either end.
  bool RollBack();
  bool RollForward();
  // Back or forward to where the history's message number n (from 1) was shown.
  bool RollToMessage(uint64_t n);
  const PlayRecord& Record() const { return record_; }

  // --- the game menu and the title ---
  void OpenGameMenu();
  const GameMenuRoom& GameMenu() const { return menu_; }
  const SlotScreenRoom& SlotScreen() const { return slots_; }
  // Keeps the game's state as start-up has it before the opening script,
  // for going back to the title.
  void KeepStartUp();
  // Ends the game as it stands and starts the opening script as start-up does.
  void ReturnToTitle();
  // The game menu open at its question whether to go back to the title.
  void AskReturnToTitle();
  // Our save (saving) or load screen.
  void OpenSlots(bool saving);

  // --- saves (KeeperSaves.cpp) ---
  // Saves the game as it stands at its last wait point; false (reported)
  // when there is none yet or the file cannot be written.
  bool SaveAs(const std::string& name, const char* kind);
  bool QuickSave() { return SaveAs(SavePlace::QuickName(), "quick"); }
  bool AutoSave();
  // Gives a save back: the game, its record of play and its history.
  bool LoadFrom(const std::string& name);
  bool QuickLoad() { return LoadFrom(SavePlace::QuickName()); }
  // The newest save of any kind, for --continue; false when there is none.
  bool ContinueNewest();
  // The game ends: the autosave of where it stood.
  void AtQuit();
  const SavePlace& Place() const { return place_; }

  // The left trigger pressed this far (of 32767) rolls back once.
  static constexpr int16_t kTriggerPress = 16000;

 private:
  bool Bound(const std::string& control) const { return config_.bound && config_.bound(control); }
  bool RollbackOn() const;
  void TraceRoll(const char* type) const;
  void TraceFile(const char* type, const char* kind, const std::string& name) const;
  // What a save holds: the record up to where the game stands, the history
  // as it was there, the summary and the picture.
  SaveContents Contents(const char* kind) const;
  std::string Thumbnail() const;

  CMsgBox& box_;
  comfort::Controller& comforts_;
  Config config_;
  PlayRecord record_;
  bool rolled_ = false;  // the player has rolled back: the trace shows the record from then on
  bool used_ = false;    // the player saved or loaded: autosaves are traced from then on
  SavePlace place_;
  int autoNext_ = -1;    // the ring's place for the next autosave; -1: not looked for yet
  bool autoFailed_ = false;  // an autosave could not be written (said once)
  uint64_t autoSeen_ = 0;  // the record's count at the last autosave
  bool decideBefore_ = false;
  bool historyRolls_ = false;  // the history rolls the game (the setting as last seen)
  bool triggerHeld_ = false;
  std::unique_ptr<comfort::TextPainter> marker_;
  GameMenuRoom menu_;
  SlotScreenRoom slots_{place_};
  bool menuUsed_ = false;
  msgbox::Snapshot startUp_;
  bool haveStartUp_ = false;
};

}  // namespace saves

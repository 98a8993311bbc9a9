#pragma once
// The comforts as one unit the game shell drives. Each comfort keeps a room
// of its own (the pointer, skipping and auto mode, hiding the window, the
// history, the settings, which comfort a key asks for); this unit takes the
// platform events in order, hands each to the room it belongs to, and runs
// the rooms' parts of a logic step. It acts on the game through the message
// box's seams and the action slots; a run that uses none of it plays, draws
// and traces as without it.
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "comfort/Extension.h"
#include "comfort/HistoryRoom.h"
#include "comfort/Indicator.h"
#include "comfort/KeyRoutes.h"
#include "comfort/LanguageRoom.h"
#include "comfort/Pointer.h"
#include "comfort/ScriptMessages.h"
#include "comfort/SeenRecord.h"
#include "comfort/Settings.h"
#include "comfort/SettingsRoom.h"
#include "comfort/Skipping.h"
#include "comfort/WindowHiding.h"
#include "input/ActionLatch.h"
#include "platform/window/Event.h"

class CMsgBox;

namespace comfort {

class Controller {
 public:
  struct Config {
    std::string seenPath;      // the seen record's file; empty keeps nothing
    std::string settingsPath;  // the settings' file; empty keeps them for this run only
    // A control ("key:H") the player bound to one of the game's actions:
    // it keeps that action and its comfort is off.
    std::function<bool(const std::string& control)> bound;
    bool listen = true;  // take platform events from the window's hook
    // Counts the modal screens that read the controls themselves (the key
    // configuration); presses made while one was up are not comforts.
    std::function<uint64_t()> modalScreens;
    // The input unit's latch: clicks and wheel steps press decide through
    // it, so that the decide grid sees each once (the pointer keeps a latch
    // of its own if null).
    input::ActionLatch* latch = nullptr;
    // --language: the translation for this run ("ja": the original), over
    // the player's setting; empty: the setting's.
    std::string language;
    // With no settings file yet (the first start), the player's locale
    // picks a translation that matches it. Off for headless runs, which
    // play the same whatever the machine's locale.
    bool followLocale = false;
    // Where translations read from PO files are kept compiled, so that the
    // next start reads them quickly; empty: nowhere.
    std::string translationCache;
  };
  Controller(CMsgBox& box, int32_t* actionStates, Config config);
  ~Controller();
  Controller(const Controller&) = delete;
  Controller& operator=(const Controller&) = delete;

  // A platform event; taken in order on the next BeginStep.
  void OnEvent(const platform::Event& event);

  // The start of a logic step, after the input unit has filled the action
  // slots: acts on what came in. True while the game is to stand still this
  // step (a screen of ours is open): the caller then runs none of its logic.
  bool BeginStep(double now);
  // At a decide-grid firing without the player's decide: whether to step
  // as a decide would (skipping, auto mode). Shows the message whole first.
  bool WantsStep(double now);
  // After such a step: a skipped message shows whole and fades end at once.
  void AfterStep();
  // Draws the skip and auto indicator and the open screen of ours over the game.
  void Render();
  // Seconds until the controller needs a logic step although no input came
  // (auto mode's wait, held skip, a window size to keep); infinity when
  // nothing is pending. A click or wheel step waiting for the decide grid
  // holds the decide slot, which the game's own due time covers.
  double SecondsUntilDue(double now) const;

  // What the menu bar's items ask for.
  void OpenSettings();
  void ToggleSkipMode() { skipping_.ToggleSkipMode(); }
  void ToggleAuto() { skipping_.ToggleAuto(); }

  const History& Messages() const { return history_.Messages(); }
  bool SettingsOpen() const { return settings_.IsOpen(); }
  int32_t SettingsCursor() const { return settings_.Cursor(); }
  std::string LanguageRow() const { return settings_.LanguageRow(); }  // UTF-8
  SkipState Skip() const { return skipping_.State(); }
  bool SkipMode() const { return skipping_.SkipMode(); }
  bool Auto() const { return skipping_.Auto(); }
  bool WindowHidden() const { return hiding_.Hidden(); }
  const SeenRecord& Seen() const { return seen_; }
  const Settings& Current() const { return settings_.Current(); }
  // The translation in force; empty: the original.
  const std::string& Language() const { return language_.Current(); }
  const LanguageRoom& Languages() const { return language_; }
  // Puts new settings in force at once and saves them.
  void Change(const Settings& s) { settings_.Change(s); }
  // What is layered over the comforts (its screens join ours); null: none.
  void SetExtension(Extension* extension);
  // The history, for what rolls the game back and forward through it.
  HistoryRoom& HistoryScreen() { return history_; }
  // Opens the history or the settings as the keys do (the game menu).
  void OpenHistoryScreen() { OpenHistory(); }

  // Writes the seen record when it changed; also done on destruction.
  void SaveSeen() { seen_.Save(); }

  static constexpr double kSeenSaveInterval = 5.0;  // seconds between writes while playing

 private:
  void Take(const platform::Event& e);
  Room* OpenScreen() const;
  void OpenHistory();
  // A message shown: its history entry, with what a translation knows it by.
  void MessageShown(HistoryEntry entry);
  void Trace(std::string& members) const;

  CMsgBox& box_;
  int32_t* actions_;
  Config config_;
  std::deque<platform::Event> queue_;
  int hook_ = -1;
  int traceId_ = 0;

  // Where each script's messages stand now: the seen record drops the marks
  // an edit has left pointing at no message.
  std::unique_ptr<ScriptMessages> scripts_;
  SeenRecord seen_;
  KeyRoutes routes_;
  Pointer pointer_;
  Skipping skipping_;
  WindowHiding hiding_;
  Indicator indicator_;
  HistoryRoom history_;
  bool firstStart_;  // no settings file was there
  SettingsRoom settings_;
  LanguageRoom language_;
  // The screens of ours, in the order they take events.
  std::vector<Room*> screens_;

  bool swallow_ = false;       // the step's controls are not the game's
  bool playerDecide_ = false;
  bool decideBefore_ = false;  // the decide slot as the last step left it
  uint64_t modalSeen_ = 0;
  double lastSave_ = 0.0;
  Extension* extension_ = nullptr;
  bool usedOnce_ = false;  // something left its default: the trace shows the comfort state from then on
};

}  // namespace comfort

#pragma once
// The comforts as one unit the game shell drives: the mouse over the game,
// hiding the window, the message history, skipping (Ctrl held, or only seen
// messages) and auto mode. It reads platform events itself (keys it does not
// find bound to one of the game's actions, the mouse, pad shoulders) and
// acts on the game through the message box's seams and the action slots; a
// run that uses none of it plays, draws and traces as without it.
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "comfort/History.h"
#include "comfort/SeenRecord.h"
#include "comfort/Settings.h"
#include "platform/window/Event.h"

class CMsgBox;

namespace comfort {

class HistoryView;
class SettingsScreen;

enum class SkipState : uint8_t { Off, Held, Seen };


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
  };
  Controller(CMsgBox& box, int32_t* actionStates, Config config);
  ~Controller();
  Controller(const Controller&) = delete;
  Controller& operator=(const Controller&) = delete;

  // A platform event; taken in order on the next BeginStep.
  void OnEvent(const platform::Event& event);

  // The start of a logic step, after the input unit has filled the action
  // slots: acts on what came in. True while the game is to stand still this
  // step (the history is open): the caller then runs none of its logic.
  bool BeginStep(double now);
  // At a decide-grid firing without the player's decide: whether to step
  // as a decide would (skipping, auto mode). Shows the message whole first.
  bool WantsStep(double now);
  // After such a step: a skipped message shows whole and fades end at once.
  void AfterStep();
  // After every decide-grid firing: a click released before it, or a wheel
  // step, has now been seen and lets the decide go.
  void DecideGridFired();
  // Draws the history over the game when it is open.
  void Render();
  // Seconds until the controller needs a logic step although no input came
  // (auto mode's wait, held skip); infinity when nothing is pending.
  double SecondsUntilDue(double now) const;

  // What the menu bar's items ask for.
  void OpenSettings();
  void ToggleSkipMode();
  void ToggleAuto();

  const History& Messages() const { return history_; }
  bool SettingsOpen() const { return settingsOpen_; }
  int32_t SettingsCursor() const;
  SkipState Skip() const;
  bool Auto() const { return auto_; }
  bool WindowHidden() const { return hidden_; }
  const SeenRecord& Seen() const { return seen_; }
  const Settings& Current() const { return settings_; }
  // Puts new settings in force at once and saves them.
  void Change(const Settings& s);
  // Writes the seen record when it changed; also done on destruction.
  void SaveSeen() { seen_.Save(); }

  static constexpr double kSeenSaveInterval = 5.0;  // seconds between writes while playing

 private:
  void Take(const platform::Event& e);
  void TakeInHistory(const platform::Event& e);
  void TakeInSettings(const platform::Event& e);
  void TakeInSkipReleases(const platform::Event& e);
  void ChangeRow(int32_t direction);
  void Apply();
  bool Bound(const std::string& control) const { return config_.bound && config_.bound(control); }
  bool ComfortKey(platform::Key key, platform::Key which) const;
  void SetHidden(bool hidden);
  void OpenHistory();
  void Press(bool down);  // the decide slot as the mouse holds it
  void MessageShown(const std::string& speaker, const std::string& text, const std::string& script, size_t word);
  void Trace(std::string& members) const;

  CMsgBox& box_;
  int32_t* actions_;
  Config config_;
  std::deque<platform::Event> queue_;
  int hook_ = -1;
  int traceId_ = 0;

  History history_;
  std::unique_ptr<HistoryView> view_;
  std::unique_ptr<SettingsScreen> settingsScreen_;
  SettingsFile settingsFile_;
  bool settingsOpen_ = false;
  SeenRecord seen_;
  Settings settings_;
  bool hidden_ = false;
  bool swallow_ = false;  // the press that showed the window does nothing else
  bool ctrlLeft_ = false, ctrlRight_ = false, padSkip_ = false;
  bool skipSeen_ = false, auto_ = false;
  bool currentSeen_ = false;  // the message on screen was seen before it was shown
  size_t currentChars_ = 0;
  double typedOutAt_ = -1.0;  // when the message on screen was typed out; < 0 not yet
  double lastSave_ = 0.0;
  bool mouseHeld_ = false;
  bool tapPending_ = false;  // a click or wheel decide the decide grid has not seen yet
  bool playerDecide_ = false;
  bool decideBefore_ = false;  // the decide slot as the last step left it
  uint64_t modalSeen_ = 0;
  bool usedOnce_ = false;  // something left its default: the trace shows the comfort state from then on
  int32_t pointerX_ = 0, pointerY_ = 0;
};

}  // namespace comfort

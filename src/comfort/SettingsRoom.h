#pragma once
// The player's settings in force, their file, and the settings screen over
// the game: a change applies at once (typing pace, volumes, the window) and
// is saved. What the player changes in the window itself (full screen by
// F11 or Alt+Enter, its size) is kept the same way; the size is given back
// to the window at the next start.
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>
#include <string>

#include "comfort/LanguageRoom.h"
#include "comfort/Room.h"
#include "comfort/Settings.h"
#include "comfort/SettingsFile.h"

class CMsgBox;

namespace comfort {

class SettingsScreen;

class SettingsRoom : public Room {
 public:
  SettingsRoom(CMsgBox& box, const std::string& path);
  ~SettingsRoom() override;

  const Settings& Current() const { return settings_; }
  // Puts new settings in force at once and saves them.
  void Change(const Settings& s);
  void Open();
  int32_t Cursor() const;
  // The languages the language row offers, the one in force now (which
  // --language may have chosen over the setting) and what puts one in
  // force when the player changes the row (it returns the language then in
  // force: the original's when the translation cannot be read).
  // `failed` tells a language whose translation could not be read: the row
  // stands on it and says so.
  void OfferLanguages(const std::vector<LanguageChoice>& choices, const std::string& inForce,
                      std::function<std::string(const std::string&)> follow,
                      std::function<bool(const std::string&)> failed);
  // The language row's value as shown (UTF-8).
  std::string LanguageRow() const;
  // Each logic step: takes in what the player changed in the window. A new
  // size is kept once it has held for kSizeSettles (a drag resizes many times).
  void FollowWindow(double now);
  // Seconds until a new window size is kept; infinity when none waits.
  double SecondsUntilSettled(double now) const;
  static constexpr double kSizeSettles = 0.5;

  bool IsOpen() const override { return open_; }
  void Close() override { open_ = false; }
  void TakeEvent(const platform::Event& e) override;
  void TakeControls(const int32_t* actions, bool decidePressed) override;
  void Render() override;

  // ,"settingsOpen":…,"settings":{…}
  void Trace(std::string& members) const;

 private:
  void ChangeRow(int32_t direction);
  void Apply();
  void KeepPendingSize();
  CMsgBox& box_;
  std::unique_ptr<SettingsScreen> screen_;
  SettingsFile file_;
  Settings settings_;
  bool open_ = false;
  int seenWidth_ = 0, seenHeight_ = 0;  // the window's size out of full screen when last looked at
  double sizeChangedAt_ = -1.0;         // < 0: no new size waits to be kept
  std::function<std::string(const std::string&)> followLanguage_;
  std::function<bool(const std::string&)> languageFailed_;
  std::string inForce_;  // the language shown in force; the row starts from it
};

}  // namespace comfort

#pragma once
// The player's settings in force, their file, and the settings screen over
// the game: a change applies at once (typing pace, volumes, the window) and
// is saved.
#include <cstdint>
#include <memory>
#include <string>

#include "comfort/Room.h"
#include "comfort/Settings.h"

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
  CMsgBox& box_;
  std::unique_ptr<SettingsScreen> screen_;
  SettingsFile file_;
  Settings settings_;
  bool open_ = false;
};

}  // namespace comfort

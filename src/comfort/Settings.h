#pragma once
// The player's settings: what each one is, its file form, and the file
// under the player's configuration directory. A damaged or unknown file is
// reported once and replaced by the defaults; it never stops the game.
#include <cstdint>
#include <string>
#include <string_view>

namespace comfort {

struct Settings {
  // Logic steps per character typed: 1 is the game's own pace, up to 4;
  // 0 shows each message whole at once.
  int32_t stepsPerCharacter = 1;
  double autoDelay = 1.0;          // seconds after a message is typed out, in auto mode
  double autoPerCharacter = 0.05;  // and this much more per character
  int32_t musicVolume = 100;       // percent, on top of the game's own volumes
  int32_t effectVolume = 100;
  bool mute = false;
  bool skipUnseen = false;  // skip mode passes unseen messages too
  bool fullScreen = false;
  bool sharpScaling = false;  // whole multiples, sharp pixels; else fit the window smoothly
  bool copyToClipboard = false;
  // The window's size out of full screen as the player left it (its whole
  // inside, menu bar included); 0 x 0: the game's own size.
  int32_t windowWidth = 0, windowHeight = 0;
  // The translation the game shows ("fr", its file's name in
  // GameData/Translations); empty: the original. Written to the file only
  // when set, so that a player who never chose one keeps the file as it was.
  std::string language;
  // Backspace, the left trigger and the history roll the game back; off
  // for players who do not want it. Written to the file only when off.
  bool rollback = true;
  // The right click hides the window and the middle button opens the game
  // menu (the other way round by default). Written only when on.
  bool rightClickHides = false;

  bool operator==(const Settings&) const = default;
  // Every value held within its range (a window size below 160 x 120 grows to it).
  void Clamp();
};

// Hundredths of a decibel for a volume in percent (0 and mute: silence).
int32_t VolumeLevel(int32_t percent, bool mute);

// A new file's text: the header and every setting, one a line.
std::string SerializeSettings(const Settings& s);
// Reads text as SettingsText does, over the values `out` holds; false when
// a line was refused (a value wrong for its key, a line that is no
// setting), `error` saying the first; the other values are read all the same.
bool ParseSettings(std::string_view text, Settings& out, std::string& error);

// $XDG_CONFIG_HOME/vantorel/<game id> (or ~/.config/vantorel/<game id>), the
// game's id as the platform names it; empty when neither is set.
std::string PlayerConfigDirectory();

}  // namespace comfort

#pragma once
// One snapshot of the game as it stands at a wait point: the open script and
// the word it stands at, the variables and aliases, the message window, the
// pictures, the music and the menus. Restoring it gives that state back
// exactly (CMsgBox::TakeSnapshot, CMsgBox::RestoreSnapshot). What rarely
// changes between two snapshots (the word list, the maps, the menus) is
// held by shared pointer, so that a snapshot taken after another shares
// what did not change and costs only what did. Strings are CP932.
#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "script/MenuItems.h"

namespace msgbox {

// One sprite as the game shows it.
struct SpriteState {
  std::string name;  // the texture name ("Nothing" for none)
  bool shown = false;
  int32_t alpha = 255;
  float x = 0, y = 0, z = 0, w = 0, h = 0;
  bool operator==(const SpriteState&) const = default;
};

// Sprites in a fixed order (Snapshot::kBg ... kButton).
enum SpriteSlot : uint8_t { kBg, kLeft, kCenter, kRight, kWideCenter, kSpeaker, kPictureFrame, kWindow, kCursor,
                            kButton, kSpriteCount };

struct MenuState {
  std::string frame;
  int32_t columns = 0, rows = 0;
  int32_t cursor = 0;
  bool hasCursor = false;
  bool active = false;
};

// Where a shown text came from: its script, its word and its original
// (CP932), by which a translation finds it.
struct TextPlace {
  std::string script;
  size_t word = 0;
  std::string original;
  bool operator==(const TextPlace&) const = default;
};

struct Snapshot {
  // --- the interpreter ---
  std::shared_ptr<const std::vector<std::string>> words;
  uint64_t wordsGeneration = 0;  // which word list the interpreter had (shared while equal)
  std::string scriptPath;        // below the text directory's parent, as opened
  size_t position = 0;
  size_t messageWord = 0;
  bool running = false;
  std::string currentScriptName;
  std::shared_ptr<const std::map<std::string, std::string>> variables;
  std::shared_ptr<const std::map<std::string, int32_t>> intVars;
  std::shared_ptr<const std::map<std::string, std::string>> textureAliases;
  // The texture registry's names: the files behind the aliases that are loaded.
  std::shared_ptr<const std::vector<std::string>> textures;

  // --- the message window ---
  std::string messageText;
  std::string givenText;
  std::string shownText;  // what the message text object shows (a fade may have emptied it)
  uint32_t typedLength = 0;
  bool typing = false;
  bool rowBreaks = false;
  std::string speakerKey;
  std::string speakerLabel;
  int32_t messageAlpha = 255;
  size_t cursorFrame = 0;
  std::array<SpriteState, kSpriteCount> sprites;

  // --- the message as a translation shows it ---
  // The language it was shown in (empty: the original's words). The
  // language is the player's setting: a snapshot given back shows in the
  // language chosen then, typed as far as it was when that is the same.
  std::string language;
  TextPlace speakerPlace, textPlace;
  std::string menuScript;  // the script whose text menu is open
  size_t shownGraphemes = 0;
  bool shownWhole = false;  // the message typed to its end, in whichever words

  // --- the menus and the save/load screen ---
  MenuState buttonMenu;
  std::shared_ptr<const std::vector<ButtonMenuItem>> buttonItems;
  MenuState fontMenu;
  std::shared_ptr<const std::vector<FontMenuItem>> fontItems;
  bool saveMode = false;
  bool loadMode = false;

  // --- the music ---
  std::string musicPath;  // the piece (engine path), empty before any
  int32_t musicVolume = 0;
  bool musicPlaying = false;
  // Where the piece stood, in its MIDI ticks; -1 where no place could be
  // had (it then starts again from its beginning).
  int32_t musicTick = -1;

  // Bytes the snapshot holds of its own (shared parts counted once, by
  // whoever first held them): for the benchmark and the record's budget.
  size_t OwnBytes(const Snapshot* previous) const;
};

// Keeps `previous`'s shared copy when `now` equals it, else makes one.
template <class T>
std::shared_ptr<const T> ShareIfEqual(const T& now, const std::shared_ptr<const T>& previous) {
  if (previous && *previous == now) return previous;
  return std::make_shared<const T>(now);
}

}  // namespace msgbox

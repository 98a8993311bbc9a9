#pragma once
// The settings screen drawn over the game: one row per setting and a row to
// close it; the cursor row changes with left and right (or a click, the
// wheel), and each change applies at once.
#include <cstdint>
#include <string>

#include <vector>

#include "comfort/LanguageRoom.h"
#include "comfort/Settings.h"
#include "comfort/TextPainter.h"

namespace comfort {

class SettingsScreen {
 public:
  enum Row : int32_t {
    kTextSpeed, kAutoDelay, kAutoPerCharacter, kMusic, kEffects, kMute, kSkipUnseen, kFullScreen, kScaling,
    kClipboard, kLanguage, kRollback, kRightClick, kClose, kRows
  };
  SettingsScreen();

  int32_t Cursor() const { return cursor_; }
  void Reset() { cursor_ = 0; }
  // Up and down, round the ends.
  void Move(int32_t delta) { cursor_ = ((cursor_ + delta) % kRows + kRows) % kRows; }
  void MoveTo(int32_t row) { cursor_ = row; }
  // Changes the cursor row's setting one notch (direction -1 or +1; on and
  // off settings flip either way); false on the close row.
  bool Change(Settings& s, int32_t direction) const;
  // The row at a game-area point; -1 when none.
  static int32_t RowAt(int32_t x, int32_t y);
  // A row's name and its value as shown (CP932).
  static std::string Name(int32_t row);
  static std::string Value(const Settings& s, int32_t row);

  // The languages the language row steps through, and the one `direction`
  // steps from `code` to, round the ends.
  void SetLanguages(std::vector<LanguageChoice> choices) { languages_ = std::move(choices); }
  std::string NextLanguage(const std::string& code, int32_t direction) const;
  // The language row shows `language` (a code; empty: the original) by its
  // own name, and says so when its translation could not be read.
  void Render(const Settings& s, const std::string& language, bool failed);
  std::string LanguageValue(const std::string& language, bool failed) const;  // UTF-8

  static constexpr int32_t kTop = 70, kRowHeight = 26, kLeft = 60, kWidth = 520;

 private:
  int32_t cursor_ = 0;
  TextPainter text_;
  std::vector<LanguageChoice> languages_;
};

}  // namespace comfort

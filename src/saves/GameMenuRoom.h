#pragma once
// The game menu over the game, drawn as the settings screen is: save, load,
// quick save, quick load, the history, the settings, back to the title and
// quitting. A right click at a wait point opens it (the pad's Start button
// too); up and down choose, decide, a click or Enter takes the row, and
// cancel, Escape or a right click close it. Going back to the title asks
// first, on the menu itself.
#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "comfort/Room.h"
#include "comfort/TextPainter.h"

namespace saves {

class GameMenuRoom : public comfort::Room {
 public:
  enum Row : int32_t { kSave, kLoad, kQuickSave, kQuickLoad, kHistory, kSettings, kTitle, kQuit, kRows };
  // What each row does; the menu closes before it runs.
  std::array<std::function<void()>, kRows> actions;

  GameMenuRoom();
  void Open();
  int32_t Cursor() const { return cursor_; }
  bool Asking() const { return asking_; }
  // Stands on the title row with its question asked.
  void AskTitle() {
    cursor_ = kTitle;
    asking_ = true;
    yes_ = false;
  }

  bool IsOpen() const override { return open_; }
  void Close() override {
    open_ = false;
    asking_ = false;
  }
  void TakeEvent(const platform::Event& e) override;
  void TakeControls(const int32_t* actions, bool decidePressed) override;
  void Render() override;

  static constexpr int32_t kTop = 70, kRowHeight = 36, kLeft = 170, kWidth = 300;
  // The row at a game-area point; -1 when none.
  static int32_t RowAt(int32_t x, int32_t y);
  // A row's name as drawn, in the language of our screens (UTF-8).
  static std::string RowName(int32_t row);

 private:
  void Take(int32_t row);
  void Answer(bool yes);
  bool open_ = false;
  bool asking_ = false;  // "back to the title?" waits for yes or no
  bool yes_ = false;     // the answer under the cursor while asking
  int32_t cursor_ = 0;
  comfort::TextPainter text_;
};

}  // namespace saves

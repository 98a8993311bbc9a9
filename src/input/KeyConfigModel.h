#pragma once
// What the key configuration screen shows and how presses change it, apart
// from drawing: a grid of the actions (keyboard and pad column) above a row
// of three buttons, a capture mode that binds the next control pressed, and
// the bindings being edited.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/input/InputBindings.h"
#include "platform/input/InputSystem.h"

namespace input {

struct KeyConfigAction {
  uint32_t id = 0;
  std::string name;  // CP932
  bool axis = false;
};

class KeyConfigModel {
 public:
  enum class Outcome { Open, Ok, Cancel };
  enum Button { kDefaults = 0, kOk = 1, kCancel = 2 };
  static constexpr uint32_t kCaptureMs = 5000;  // a capture nobody answers ends by itself

  KeyConfigModel(platform::ActionMapSpec spec, std::vector<KeyConfigAction> actions, platform::Bindings bindings);

  // A press from any device; nowMs is the millisecond clock.
  void Press(const platform::RawPress& press, uint32_t nowMs);
  void Tick(uint32_t nowMs);
  // The pointer over a cell (row and column as row() and column() give
  // them; column -1 is an action's name, which picks the row alone): the
  // cursor goes there. A capture in progress keeps the cursor.
  void PointAt(int row, int column);
  // A click on a cell: the cursor goes there and the cell is decided as the
  // decide key would (a name only picks its row). A click while capturing
  // gives the capture up instead.
  void Click(int row, int column, uint32_t nowMs);

  Outcome outcome() const { return outcome_; }
  const platform::Bindings& bindings() const { return bindings_; }
  const std::vector<KeyConfigAction>& actions() const { return actions_; }
  // Row 0..n-1 are the actions, row n the buttons; column 0/1 on an action
  // row is keyboard/pad, on the button row the button.
  int row() const { return row_; }
  int column() const { return column_; }
  bool capturing() const { return capturing_; }
  uint32_t captureLeftMs(uint32_t nowMs) const;
  // Milliseconds from nowMs until the screen changes by itself: the
  // capture's countdown shows whole seconds, and the capture times out.
  // UINT32_MAX while nothing but a press can change it.
  uint32_t MsUntilDue(uint32_t nowMs) const;
  // Set when OK was refused because an action has no binding left.
  bool unboundWarning() const { return unboundWarning_; }
  // The controls bound to an action on the keyboard (pad = false) or pads.
  std::vector<std::string> Controls(uint32_t action, bool pad) const;

 private:
  enum class Command { None, Up, Down, Left, Right, Select, Back, Clear };
  static Command CommandOf(const platform::RawPress& press);
  void Capture(const platform::RawPress& press);
  void Select();
  void Clear();
  int Columns() const { return row_ == static_cast<int>(actions_.size()) ? 3 : 2; }

  platform::ActionMapSpec spec_;
  std::vector<KeyConfigAction> actions_;
  platform::Bindings bindings_;
  int row_ = 0, column_ = 0;
  bool capturing_ = false;
  uint32_t captureStart_ = 0;
  bool unboundWarning_ = false;
  Outcome outcome_ = Outcome::Open;
};

}  // namespace input

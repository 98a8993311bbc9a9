#pragma once
// Scripted input for headless runs (--input FILE). One event per line:
//   FRAME press|release TARGET
//   FRAME tap TARGET [HOLD]       (press, then release HOLD passes later; default 5)
//   FRAME close                   (the window's close box)
//   FRAME menu-quit               (the menu item)
//   FRAME mouse X Y               (the pointer to game-area pixel X, Y)
//   FRAME click [X Y]             (left button down, up 5 passes later; at X, Y when given)
//   FRAME press|release mouse     (the left button held / let go where the pointer is)
//   FRAME rclick                  (right button down, up the next pass)
//   FRAME wheel up|down           (one wheel step)
// '#' starts a comment. TARGET is an action name (decide, cancel, left, right,
// up, down) or key:NAME (an SDL key name, '_' for a space: key:Left_Ctrl).
#include <cstdint>
#include <string>
#include <vector>

#include "platform/window/Event.h"

namespace platform {

struct ScriptedEvent {
  enum Kind { Press, Release, Close, MenuQuit, MouseMove, MouseDown, MouseUp, Wheel };
  uint64_t frame = 0;
  Kind kind = Press;
  std::string target;  // for Press / Release
  // Mouse: the point (when `at`), the button, the wheel step (+1 up).
  bool at = false;
  int32_t x = 0, y = 0;
  MouseButton button = MouseButton::Left;
  int8_t wheel = 0;
};

// The platform events the due scripted events stand for, in order: mouse
// events, and keys (flagged as scripted) for the units that read keys
// themselves. A button or wheel event without a point happens where the
// pointer last went.
class ScriptedPointer {
 public:
  std::vector<Event> Translate(const std::vector<ScriptedEvent>& due);

 private:
  int32_t x_ = 0, y_ = 0;
};

// Parses the file's text; on error returns false with a message naming the line.
bool ParseScriptedInput(const std::string& text, std::vector<ScriptedEvent>& out, std::string& error);

// The press/release events due in the current pass, for the input unit to
// read as one more device. The main loop fills it each pass.
void SetDueScriptedEvents(std::vector<ScriptedEvent> events);
const std::vector<ScriptedEvent>& DueScriptedEvents();
// Events are consumed by the reader: it calls this after taking them.
void ClearDueScriptedEvents();

}  // namespace platform

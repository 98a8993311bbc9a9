#pragma once
// Scripted input for headless runs (--input FILE). One event per line:
//   FRAME press|release TARGET
//   FRAME tap TARGET [HOLD]       (press, then release HOLD passes later; default 5)
//   FRAME close                   (the window's close box)
//   FRAME menu-quit               (the menu item)
// '#' starts a comment. TARGET is an action name (decide, cancel, left, right,
// up, down) or key:NAME (an SDL key name).
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

struct ScriptedEvent {
  enum Kind { Press, Release, Close, MenuQuit };
  uint64_t frame = 0;
  Kind kind = Press;
  std::string target;  // for Press / Release
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

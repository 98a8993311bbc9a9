#pragma once
// The player's bindings of game actions to controls, and where they are kept.
//
// A control is named the same on every device of its kind:
//   key:NAME       a keyboard key by its SDL scancode name ("key:Return", "key:Z")
//   pad:BUTTON     a pad button by its SDL game-controller name ("pad:a", "pad:dpleft")
//   pad:AXIS       a whole axis ("pad:leftx", "pad:righty", and the d-pad as the
//                  axes "pad:dpadx" / "pad:dpady")
//   pad:AXIS- / +  one direction of an axis, used like a button ("pad:leftx-")
// Axis actions take whole axes; button actions take keys, buttons and directions.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// One action of the game's action map: the id its events carry and its
// DirectInput-style semantic (type bits 0x600: 0x200 axis, 0x400 button).
struct ActionSpec {
  uint32_t appData = 0;
  uint32_t semantic = 0;
};

struct ActionMapSpec {
  std::string guid;  // "2972611C-8A87-4B5D-95AA-BFF9FD576136"
  std::vector<ActionSpec> actions;
  uint32_t genre = 0;
  uint32_t bufferSize = 100;  // events kept per device between reads
  int32_t axisMin = -1000, axisMax = 1000;
};

bool IsAxisSemantic(uint32_t semantic);

enum class ControlKind { Invalid, Key, PadButton, PadAxis, PadDirection };

struct ControlInfo {
  ControlKind kind = ControlKind::Invalid;
  std::string name;  // canonical form; "key:z" and "key:Z" are both "key:Z"
};

// Canonical form of a control name; Invalid when it names nothing. In key
// names '_' may stand for a space ("key:Left_Shift").
ControlInfo ParseControl(std::string_view control);
bool ControlSuits(ControlKind kind, bool axisAction);
// Two controls overlap when they are the same or one is a direction of the
// other (pad:leftx and pad:leftx-, pad:dpadx and pad:dpleft): one physical
// input then feeds only one action.
bool ControlsOverlap(std::string_view a, std::string_view b);

struct Binding {
  uint32_t action = 0;
  std::string control;
  bool operator==(const Binding& o) const { return action == o.action && control == o.control; }
};
using Bindings = std::vector<Binding>;

// Binds a control to an action, taking it (and what overlaps it) away from
// every other action. Returns false when the control does not suit the action.
bool AddBinding(Bindings& bindings, const ActionMapSpec& spec, uint32_t action, std::string_view control);
bool IsAxisAction(const ActionMapSpec& spec, uint32_t action);

// The bindings a fresh player gets, derived from the semantics: keyboard
// semantics to their keys, the genre's lateral and move axes to the left
// stick and the d-pad, its fire button to pad A, Return and Z, its target
// button to pad X, Escape and X.
Bindings DefaultBindings(const ActionMapSpec& spec);

// The bindings file: a header line, the action map's GUID, one
// "ACTION CONTROL" line per binding. Anything else makes the file invalid.
std::string SerializeBindings(const ActionMapSpec& spec, const Bindings& bindings);
bool ParseBindings(std::string_view text, const ActionMapSpec& spec, Bindings& out, std::string& error);

// $XDG_CONFIG_HOME/vantorel (or ~/.config/vantorel); empty when neither is set.
std::string ConfigDirectory();
std::string BindingsFilePath(const ActionMapSpec& spec);
// The player's saved bindings, or the defaults when the file is missing or
// damaged (one line on the debugger output says which). True when loaded.
bool LoadBindings(const ActionMapSpec& spec, Bindings& out);
// Written crash-safe; false when the directory or the file cannot be written.
bool SaveBindings(const ActionMapSpec& spec, const Bindings& bindings);

}  // namespace platform

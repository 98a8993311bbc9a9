#pragma once
// The key configuration screen: modal, drawn in the game window. It lists
// the actions by their display names with the keys and pad controls bound to
// each; the player picks a cell and presses a key, button or stick direction
// to bind it, clears a cell, restores the defaults, and leaves with OK or
// Cancel. It answers to the keyboard alone, a pad alone, the mouse (the
// pointer picks a cell, a click decides it), and, in headless runs, scripted
// input (one headless pass per screen pass).
#include <cstdint>
#include <string>
#include <vector>

#include "input/InputTypes.h"
#include "platform/diagnostics/Result.h"
#include "platform/input/InputSystem.h"

namespace input {

// The ConfigureDevices stand-in. On OK the bindings are put in force in the
// input system and saved to the player's configuration directory; a failed
// save returns E_FAIL with the new bindings still in force for this session.
// Cancel changes nothing. Fails without a window, format or font.
HRESULT ConfigureDevices(platform::InputSystem& system, const DICONFIGUREDEVICESPARAMS& params, uint32_t flags);

// How a control is shown on the screen (CP932), e.g. "Return", "十字キー左右".
std::string ControlLabel(const std::string& control);

// The screen's row names: the actions' display names, where two share one
// told apart by a suffix, "（キー）" for a keyboard key's action and
// "（共通）" for the game's own (offered to pads and keys alike).
std::vector<std::string> RowLabels(const DIACTIONFORMAT& format);

}  // namespace input

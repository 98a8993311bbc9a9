#pragma once
// The game's ten input actions and its action-map identity, handed to CInput
// at set-up.
#include <array>

#include "input/InputTypes.h"

enum ActionId : uint32_t {
  ACT_LEFT_RIGHT = 1,
  ACT_UP_DOWN = 2,
  ACT_LEFT = 3,
  ACT_RIGHT = 4,
  ACT_UP = 5,
  ACT_DOWN = 6,
  ACT_DECIDE = 7,
  ACT_CANCEL = 8,
  ACT_DECIDE_KEY = 14,
  ACT_CANCEL_KEY = 15,
};

inline constexpr GUID kGameActionMapGuid{0x2972611C, 0x8A87, 0x4B5D, {0x95, 0xAA, 0xBF, 0xF9, 0xFD, 0x57, 0x61, 0x36}};

// The table in its fixed order; names are CP932.
const std::array<DIACTION, 10>& GameActions();

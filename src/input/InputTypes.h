#pragma once
// The records the game and the input unit exchange, in the shape of
// DirectInput 8 action mapping.
#include <cstdint>
#include <string>

#include "platform/diagnostics/Guid.h"
#include "platform/input/InputBindings.h"

namespace platform {
class Window;
}

// One action of the game's table.
struct DIACTION {
  uint32_t uAppData = 0;  // the action id; every event for the action carries it
  uint32_t dwSemantic = 0;
  uint32_t dwFlags = 0;
  std::string lptszActionName;  // display name, CP932
};

// The action format handed to the devices; members not set stay zero.
struct DIACTIONFORMAT {
  uint32_t dwSize = 0;
  uint32_t dwActionSize = 0;
  uint32_t dwDataSize = 0;
  uint32_t dwNumActions = 0;
  DIACTION* rgoAction = nullptr;
  GUID guidActionMap;
  uint32_t dwGenre = 0;
  uint32_t dwBufferSize = 0;
  int32_t lAxisMin = 0, lAxisMax = 0;
  std::string tszActionMap;  // CP932
};

// The configuration screen's parameters; the colour set and the drawing
// target of the original record are always empty here and left out.
struct DICONFIGUREDEVICESPARAMS {
  uint32_t dwSize = 0;
  uint32_t dwcUsers = 0;
  const char* lptszUserNames = nullptr;
  uint32_t dwcFormats = 0;
  DIACTIONFORMAT* lprgFormats = nullptr;
  platform::Window* hwnd = nullptr;
};

constexpr uint32_t DICD_DEFAULT = 0, DICD_EDIT = 1;

// The device layer's view of a format.
platform::ActionMapSpec ToActionMapSpec(const DIACTIONFORMAT& format);

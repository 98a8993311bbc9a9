#include "platform/window/DisplayDriver.h"

#include <cstdlib>
#include <cstring>
#include <initializer_list>

namespace platform {

bool ShowsNoWindow(const char* userDriver, const char* chosenDriver) {
  if (userDriver && *userDriver) return false;
  if (!chosenDriver) return true;
  // SDL's fallbacks: "evdev" is the dummy driver reading evdev input.
  for (const char* invisible : {"offscreen", "dummy", "evdev"})
    if (std::strcmp(chosenDriver, invisible) == 0) return true;
  return false;
}

void SkipComposeTable() {
  const char* own = std::getenv("XCOMPOSEFILE");
  if (!own || !*own) setenv("XCOMPOSEFILE", "/dev/null", 1);
}

}  // namespace platform

#pragma once
// Whether SDL found a display to show the window on.

namespace platform {

// True when SDL, left to choose its video driver (`userDriver`, the user's
// SDL_VIDEODRIVER, is null or empty), fell back to one that shows no window:
// there is no display, and the game would run unseen. A driver the user
// chose is never refused.
bool ShowsNoWindow(const char* userDriver, const char* chosenDriver);

}  // namespace platform

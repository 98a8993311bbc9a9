#pragma once
// Whether SDL found a display to show the window on.

namespace platform {

// True when SDL, left to choose its video driver (`userDriver`, the user's
// SDL_VIDEODRIVER, is null or empty), fell back to one that shows no window:
// there is no display, and the game would run unseen. A driver the user
// chose is never refused.
bool ShowsNoWindow(const char* userDriver, const char* chosenDriver);

// The game reads keys and never text, so the X input method need not parse
// the locale's compose table (some 6 000 lines for en_US.UTF-8, 7-10 ms of
// every start under X): XCOMPOSEFILE names an empty one, unless the player
// set their own. Call first in main, before any thread starts (the
// environment cannot safely change later); the variable stays for the
// process's life.
void SkipComposeTable();

}  // namespace platform

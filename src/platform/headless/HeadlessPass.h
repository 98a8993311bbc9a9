#pragma once
// Modal screens that run their own loop (the key configuration screen) still
// have to keep a headless run's rhythm: one pass = the main loop closes the
// pass it is in (trace line, screenshots), advances the virtual clock by
// 16 ms and hands out the scripted events due in the next pass. The main loop
// installs that as the hook; a modal loop calls HeadlessPass() at the start of
// each of its passes and then reads input, draws and presents.
#include <functional>

namespace platform {
// Returns false when the run is to end (its frame limit is reached).
using HeadlessPassHook = std::function<bool()>;
void SetHeadlessPassHook(HeadlessPassHook hook);
// Runs the hook; false when there is none, so a modal loop never waits for
// input that cannot come.
bool HeadlessPass();
}  // namespace platform

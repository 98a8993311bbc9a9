#pragma once
// SDL state that SDL works out on first use and that is not safe to work
// out from two threads at once.

namespace platform {
// Works out, on the calling thread, what SDL would otherwise work out on the
// first use from whichever thread came first: the CPU's features, and with
// them the audio converters. Called before any other thread uses SDL (the
// start-up workers); cheap, and a no-op for SDL after the first call.
void SettleSdlSharedState();
}  // namespace platform

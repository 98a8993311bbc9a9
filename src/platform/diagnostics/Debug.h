#pragma once
// The debugger-output stand-in: UTF-8 lines to stderr and to the trace.
#include <string_view>

namespace platform {
void OutputDebugString(std::string_view cp932);
// A line for stderr alone (when echoing), beside a debug line that the trace
// already holds in full.
void EchoDebugLine(std::string_view cp932);
// Debug lines are always traced; printing them to stderr can be switched off
// (tests that provoke failures on purpose keep their output short).
void SetDebugEcho(bool toStderr);
}  // namespace platform

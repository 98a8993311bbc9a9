#pragma once
// The one failure-report routine (the DXTraceA stand-in). Writes
// "file(line): message (hr=NAME (0xXXXXXXXX))" to the debugger output and,
// when asked, shows the "Unexpected error encountered" box. Returns hr.
#include <cstdint>
#include <string_view>

#include "platform/diagnostics/Result.h"

namespace platform {
HRESULT DXTraceA(const char* file, unsigned line, HRESULT hr, std::string_view messageCp932, bool showBox);
// How many reports so far asked for the box: units that bound what one
// player action may report compare it before and after, tests count with it.
uint64_t ShownReportCount();
}  // namespace platform

// Units report with their own unit name: REPORT("CMsgBox", hr, SJ("..."), true).
#define DXTRACE(unit, hr, msg, box) ::platform::DXTraceA(unit, __LINE__, hr, msg, box)

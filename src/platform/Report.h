#pragma once
// The one failure-report routine (the DXTraceA stand-in). Writes
// "file(line): message (hr=NAME (0xXXXXXXXX))" to the debugger output and,
// when asked, shows the "Unexpected error encountered" box. Returns hr.
#include <string_view>

#include "platform/Result.h"

namespace platform {
HRESULT DXTraceA(const char* file, unsigned line, HRESULT hr, std::string_view messageCp932, bool showBox);
}  // namespace platform

// Units report with their own unit name: REPORT("CMsgBox", hr, SJ("..."), true).
#define DXTRACE(unit, hr, msg, box) ::platform::DXTraceA(unit, __LINE__, hr, msg, box)

#pragma once
// The one failure-report routine (the DXTraceA stand-in). Writes
// "file(line): message (hr=NAME (0xXXXXXXXX))" to the debugger output and,
// when asked, shows the "Unexpected error encountered" box. Returns hr.
//
// A report may name its subject (the script, picture, alias, variable or
// file that failed) as the game names it, in CP932: it follows the debug
// line on stderr as "対象: NAME", is the report event's "subject" in the
// trace, and is one more line below the box's own four.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/diagnostics/Result.h"

namespace platform {
HRESULT DXTraceA(const char* file, unsigned line, HRESULT hr, std::string_view messageCp932, bool showBox,
                 std::optional<std::string_view> subjectCp932 = std::nullopt);
// How many reports so far asked for the box: units that bound what one
// player action may report compare it before and after, tests count with it.
uint64_t ShownReportCount();
// The line that names a subject ("対象: NAME", CP932); a long name is cut
// on a character boundary.
std::string SubjectLine(std::string_view subjectCp932);
}  // namespace platform

// Units report with their own unit name, and the subject when there is one:
// DXTRACE("CMsgBox", hr, SJ("..."), true) or DXTRACE("CMsgBox", hr, SJ("..."), true, scriptName).
#define DXTRACE(unit, hr, msg, box, ...) ::platform::DXTraceA(unit, __LINE__, hr, msg, box __VA_OPT__(, ) __VA_ARGS__)

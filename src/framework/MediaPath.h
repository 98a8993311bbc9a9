#pragma once
// Media-file lookup and the formatted debug trace.
#include "platform/diagnostics/Result.h"

constexpr int kMaxPath = 260;

// The sample-media directory; there is none on this platform, so "".
const char* GetMediaPath();
// Finds an existing file for `fileName` (CP932 engine path) and writes its
// path into `destination` (kMaxPath bytes, always terminated). On failure the
// destination holds the unchanged name (when it fits) and E_FAIL is returned.
HRESULT FindMediaFile(char* destination, const char* fileName);
// printf-style into a 512-byte buffer, always terminated, to the debugger output.
void Trace(const char* format, ...) __attribute__((format(printf, 1, 2)));

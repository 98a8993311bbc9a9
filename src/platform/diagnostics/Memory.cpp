#include "platform/diagnostics/Memory.h"

#include <malloc.h>

#include <atomic>

// AddressSanitizer brings its own allocator: glibc's heap is never set up,
// there is nothing to trim, and two threads making the first malloc_trim at
// once (the window thread's first frame, the soundfont loader) race in
// setting it up and crash. The browser build's allocator has no trim.
#if defined(__SANITIZE_ADDRESS__) || defined(__EMSCRIPTEN__)
#define VANTOREL_TRIM 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VANTOREL_TRIM 0
#endif
#endif
#ifndef VANTOREL_TRIM
#define VANTOREL_TRIM 1
#endif

namespace platform {
namespace {
std::atomic<bool> g_startupOver{false};

void Trim() {
#if VANTOREL_TRIM
  malloc_trim(0);
#endif
}
}  // namespace

void StartupFinished() {
  g_startupOver = true;
  Trim();
}

void TrimFreeMemory() {
  if (g_startupOver) Trim();
}
}  // namespace platform

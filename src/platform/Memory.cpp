#include "platform/Memory.h"

#include <malloc.h>

#include <atomic>

namespace platform {
namespace {
std::atomic<bool> g_startupOver{false};
}

void StartupFinished() {
  g_startupOver = true;
  malloc_trim(0);
}

void TrimFreeMemory() {
  if (g_startupOver) malloc_trim(0);
}
}  // namespace platform

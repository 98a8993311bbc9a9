#include "platform/window/Host.h"

#ifdef __EMSCRIPTEN__
#include <emscripten.h>

namespace {
// Resumed by the browser's next animation frame (or, in a hidden page where
// those stop, a timer), through Asyncify: the engine's loops stay loops.
EM_ASYNC_JS(void, vantorel_next_frame, (), {
  await new Promise(function(resume) {
    if (document.hidden) setTimeout(resume, 100); else requestAnimationFrame(function() { resume(); });
  });
});

// The page (web/index.html) says whether it holds a file by name only
// (Module.isDeferred) and gives a promise of its bytes (Module.fetchDeferred).
// Asked first without waiting: an await unwinds and rewinds the stack.
EM_JS(int, vantorel_is_deferred, (const char* path), {
  return Module.isDeferred && Module.isDeferred(UTF8ToString(path)) ? 1 : 0;
});
EM_ASYNC_JS(void, vantorel_fetch_deferred, (const char* path), {
  await Module.fetchDeferred(UTF8ToString(path));
});
}  // namespace

namespace platform {
bool WorkerThreads() { return false; }
void LetHostRun() { vantorel_next_frame(); }
void FetchDeferredFile(const char* hostPath) {
  if (vantorel_is_deferred(hostPath)) vantorel_fetch_deferred(hostPath);
}
int EndProgram(int status) {
  emscripten_force_exit(status);  // also where a pending wait would keep the runtime
  return status;
}
}  // namespace platform

#else

namespace platform {
bool WorkerThreads() { return true; }
void LetHostRun() {}
void FetchDeferredFile(const char*) {}
int EndProgram(int status) { return status; }
}  // namespace platform

#endif

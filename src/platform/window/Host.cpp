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
}  // namespace

namespace platform {
bool WorkerThreads() { return false; }
void LetHostRun() { vantorel_next_frame(); }
}  // namespace platform

#else

namespace platform {
bool WorkerThreads() { return true; }
void LetHostRun() {}
}  // namespace platform

#endif

#include "platform/window/Host.h"

#ifdef __EMSCRIPTEN__
#include <emscripten.h>

namespace {
// Resumed by the browser's next animation frame (or, in a hidden page where
// those stop, a timer), through Asyncify: the engine's loops stay loops.
// The first time, the engine has drawn its first frame: work the page put
// off until then (Module.afterFirstFrame) runs once that frame is painted.
EM_ASYNC_JS(void, vantorel_next_frame, (), {
  const waiting = Module.afterFirstFrame;
  if (waiting) {
    Module.afterFirstFrame = null;
    requestAnimationFrame(() => setTimeout(() => waiting.forEach(work => work()), 0));
  }
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

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>

namespace platform {
bool WorkerThreads() { return true; }
void LetHostRun() {}
// Nothing is deferred on a desktop. With VANTOREL_READ_LOG set, every file
// read is noted there, one absolute path a line, in order: scripts/web.sh
// asks a headless run which files a game's first frames read, for its page
// to fetch those at once.
void FetchDeferredFile(const char* hostPath) {
  static std::mutex mu;
  static FILE* log = [] {
    const char* path = std::getenv("VANTOREL_READ_LOG");
    return path && *path ? std::fopen(path, "a") : nullptr;
  }();
  if (!log) return;
  std::error_code ec;
  const std::filesystem::path absolute = std::filesystem::absolute(hostPath, ec);
  std::lock_guard lock(mu);
  std::fprintf(log, "%s\n", ec ? hostPath : absolute.c_str());
  std::fflush(log);
}
int EndProgram(int status) { return status; }
}  // namespace platform

#endif

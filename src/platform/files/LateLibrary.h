#pragma once
// Shared libraries opened at run time rather than linked, so that their
// loading (and that of the libraries they bring) does not stand before
// main(): a table of the functions the engine calls, filled with dlsym. The
// tables live beside the code that calls them (audio/SoundLibraries.h,
// files/ImageLibrary.h); each library is opened once, from whichever thread
// asks first, and stays open. Libraries every start needs at once (SDL,
// SDL_ttf, fontconfig) stay linked: opened on a worker they only contend
// with the main thread for the address space (measured: no gain).
#include <dlfcn.h>

#include <string>

// A member per function, with the function's own name and type.
#define VANTOREL_LATE_FUNCTION(name) decltype(&::name) name = nullptr;
// Inside a resolver: fills the member, or returns the missing name.
#define VANTOREL_LATE_RESOLVE(name) \
  if (!(f.name = reinterpret_cast<decltype(f.name)>(dlsym(library, #name)))) return #name;

namespace platform::late_library {

// dlopen; nothing in the browser build, where shared libraries cannot be
// opened (its dlopen would end the program).
inline void* OpenShared(const char* soname, int flags) {
#ifdef __EMSCRIPTEN__
  (void)soname;
  (void)flags;
  return nullptr;
#else
  return dlopen(soname, flags);
#endif
}

template <class Functions>
struct Opened {
  Functions functions;
  bool ok = false;
  std::string why;  // what is missing, when not ok
};

// Opens `soname` and fills every member through `resolve(library, functions)`,
// which returns the name of a missing function or "". A library missing any
// function counts as missing (it is left open: its constructors have run).
template <class Functions, class Resolve>
Opened<Functions> Open(const char* soname, Resolve resolve) {
  Opened<Functions> o;
  void* library = OpenShared(soname, RTLD_NOW | RTLD_LOCAL);
  if (!library) {
#ifdef __EMSCRIPTEN__
    o.why = std::string(soname) + " is not part of the browser build";
    return o;
#endif
    const char* error = dlerror();
    o.why = std::string(soname) + " cannot be loaded (" + (error ? error : "unknown reason") + ")";
    return o;
  }
  const std::string missing = resolve(library, o.functions);
  if (!missing.empty()) {
    o.why = std::string(soname) + " has no " + missing;
    return o;
  }
  o.ok = true;
  return o;
}

template <class Functions>
const Functions* Result(const Opened<Functions>& o, std::string* why) {
  if (why) *why = o.why;
  return o.ok ? &o.functions : nullptr;
}

}  // namespace platform::late_library

// The body of a table's accessor `const Functions* Name(std::string* why)`:
// opens `soname` once and fills the members LIST names.
#define VANTOREL_LATE_LIBRARY(Functions, soname, LIST)                                                      \
  static const ::platform::late_library::Opened<Functions> opened =                                        \
      ::platform::late_library::Open<Functions>(soname, [](void* library, Functions& f) -> std::string { \
        LIST(VANTOREL_LATE_RESOLVE)                                                                        \
        return {};                                                                                         \
      });                                                                                                  \
  return ::platform::late_library::Result(opened, why);

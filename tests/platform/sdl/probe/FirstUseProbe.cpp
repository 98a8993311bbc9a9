// A start-up race made to happen on demand. A worker thread asks SDL for
// the CPU's features first, as the font worker does through SDL_ttf, and
// is single-stepped (the x86 trap flag) through SDL's code; at SDL
// instruction K it is held while the main thread loads an effect that
// needs SDL's audio conversion, as the main thread does at start-up.
//
//   first_use_probe count [settled]      prints how many SDL instructions the worker ran
//   first_use_probe at K DIR [settled]   exit 0: the effect loaded; 1: it did not;
//                                        3: the worker never reached instruction K
// DIR is a scratch directory for the effect file. "settled": the engine's
// SettleSdlSharedState runs first, as start-up does before its workers.
// Each run is a fresh process, so SDL's first use is this run's own.
#include <SDL.h>
#include <link.h>
#include <pthread.h>
#include <sched.h>
#include <signal.h>
#include <ucontext.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "platform/audio/AudioSegment.h"
#include "platform/audio/SdlSharedState.h"
#include "support/AudioTestMedia.h"

#if defined(__x86_64__) && defined(__linux__)
namespace {
uintptr_t g_sdlBegin = 0, g_sdlEnd = 0;  // libSDL2's code
std::atomic<bool> g_stepping{false};
std::atomic<long> g_sdlSteps{0};
long g_holdAt = -1;
std::atomic<bool> g_held{false}, g_release{false}, g_done{false};
// Taken now, so that no lazy binding runs while the worker is stepped.
SDL_bool (*volatile g_firstQuestion)() = &SDL_HasSSE2;

int FindSdl(dl_phdr_info* info, size_t, void*) {
  if (!std::strstr(info->dlpi_name, "libSDL2-2.0")) return 0;
  for (int i = 0; i < info->dlpi_phnum; ++i) {
    const ElfW(Phdr)& ph = info->dlpi_phdr[i];
    if (ph.p_type == PT_LOAD && (ph.p_flags & PF_X)) {
      g_sdlBegin = info->dlpi_addr + ph.p_vaddr;
      g_sdlEnd = g_sdlBegin + ph.p_memsz;
    }
  }
  return 1;
}

constexpr greg_t kTrapFlag = 0x100;

void OnStep(int, siginfo_t*, void* context) {
  auto* uc = static_cast<ucontext_t*>(context);
  if (!g_stepping.load()) {
    uc->uc_mcontext.gregs[REG_EFL] &= ~kTrapFlag;
    return;
  }
  const auto ip = static_cast<uintptr_t>(uc->uc_mcontext.gregs[REG_RIP]);
  if (ip < g_sdlBegin || ip >= g_sdlEnd) return;
  if (g_sdlSteps++ == g_holdAt) {
    g_held = true;
    while (!g_release.load()) sched_yield();
  }
}

void OnStart(int, siginfo_t*, void* context) {
  static_cast<ucontext_t*>(context)->uc_mcontext.gregs[REG_EFL] |= kTrapFlag;
}

void* Worker(void*) {
  g_stepping = true;
  pthread_kill(pthread_self(), SIGUSR2);  // stepping starts as the handler returns
  g_firstQuestion();
  g_stepping = false;
  g_done = true;
  return nullptr;
}
}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  const bool at = mode == "at" && argc >= 4;
  if (!at && mode != "count") {
    std::fprintf(stderr, "usage: first_use_probe count [settled] | at K DIR [settled]\n");
    return 2;
  }
  const bool settled = std::string(argv[argc - 1]) == "settled";
  SDL_GetPlatform();  // SDL's own set-up of its entry points, before the worker
  dl_iterate_phdr(FindSdl, nullptr);
  if (!g_sdlBegin) return 2;
  if (at) {
    g_holdAt = std::atol(argv[2]);
    if (::chdir(argv[3]) != 0) return 2;
    std::ofstream("effect.wav", std::ios::binary) << testmedia::SineWav(0.05, 22050, 1);
  }
  if (settled) platform::SettleSdlSharedState();
  struct sigaction step {}, start {};
  step.sa_sigaction = OnStep;
  step.sa_flags = SA_SIGINFO;
  start.sa_sigaction = OnStart;
  start.sa_flags = SA_SIGINFO;
  sigaction(SIGTRAP, &step, nullptr);
  sigaction(SIGUSR2, &start, nullptr);
  pthread_t worker;
  pthread_create(&worker, nullptr, Worker, nullptr);
  int status = 0;
  if (at) {
    while (!g_held.load() && !g_done.load()) sched_yield();
    if (!g_held.load()) {
      status = 3;
    } else {
      // The main thread's part of start-up: an effect of another rate.
      platform::AudioLoader loader;
      platform::AudioSegmentPtr segment;
      status = SUCCEEDED(loader.LoadSegment("effect.wav", segment)) ? 0 : 1;
      if (status) std::fprintf(stderr, "held at %ld: %s\n", g_holdAt, SDL_GetError());
      g_release = true;
    }
  }
  pthread_join(worker, nullptr);
  if (!at) std::printf("%ld\n", g_sdlSteps.load());
  return status;
}
#else
int main() { return 4; }  // single-stepping is written for x86-64 Linux only
#endif

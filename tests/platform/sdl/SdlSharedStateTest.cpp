// SDL works out the CPU's features on first use and lets other threads read
// the word while it is filling it in. At start-up the font worker asks
// first (SDL_ttf) while the main thread loads the built-in effects; an
// effect loaded in that moment failed ("セグメントのロードに失敗。", about one
// start in a hundred or two). The probe holds the worker at each of SDL's
// instructions in turn, in a fresh process each time.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <spawn.h>
#include <unistd.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>
#include <vector>

#include "support/ScratchDir.h"

extern char** environ;

namespace {
// The probe's exit status (or -1); its standard output in `out` when asked.
int Probe(std::vector<std::string> args, std::string* out = nullptr) {
  args.insert(args.begin(), VANTOREL_FIRST_USE_PROBE);
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  int pipeFds[2];
  if (::pipe(pipeFds) != 0) return -1;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
  posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int spawned = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(pipeFds[1]);
  std::string text;
  char buffer[256];
  ssize_t n;
  while ((n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0) text.append(buffer, size_t(n));
  ::close(pipeFds[0]);
  int status = 0;
  if (spawned != 0 || ::waitpid(pid, &status, 0) != pid) return -1;
  if (out) *out = text;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Holds the worker at every `stride`-th of SDL's instructions until its
// first answer; counts the holds that left the effect unloaded (stopping
// at the first when `untilOne`). -1: the probe did not run.
int FailedHolds(bool settled, const std::string& dir, long stride, bool untilOne, long& steps) {
  std::string out;
  std::vector<std::string> args = {"count"};
  if (settled) args.push_back("settled");
  if (Probe(args, &out) != 0) return -1;
  steps = std::atol(out.c_str());
  int failed = 0;
  for (long k = 0; k < steps && !(untilOne && failed); k += stride) {
    args = {"at", std::to_string(k), dir};
    if (settled) args.push_back("settled");
    const int status = Probe(args);
    if (status == 1) ++failed;
    else if (status != 0) return -1;
  }
  return failed;
}
}  // namespace

TEST(SdlSharedState, AnEffectLoadsWhereverTheFirstQuestionForCpuFeaturesIsHeld) {
#if !(defined(__x86_64__) && defined(__linux__))
  GTEST_SKIP() << "the probe single-steps x86-64 code on Linux";
#else
  ScratchDir dir(ScratchDir::kStay);
  long unsettledSteps = 0, settledSteps = 0;
  // Without settling first: the fault this guards against, shown.
  // (SDL 2.26 on x86-64: failing holds come in runs of some 25 instructions.)
  const int unsettled = FailedHolds(false, dir.Path(), 5, true, unsettledSteps);
  ASSERT_GE(unsettled, 0) << "the probe did not run";
  // As start-up does it: settled before the worker exists.
  const int settled = FailedHolds(true, dir.Path(), 1, false, settledSteps);
  ASSERT_GE(settled, 0) << "the probe did not run";
  EXPECT_EQ(settled, 0) << "effect loads failed with SDL's shared state settled first, of " << settledSteps;
  if (unsettled == 0)
    std::printf("note: this SDL (%ld instructions to its first answer) no longer lets the fault show\n",
                unsettledSteps);
  else
    std::printf("unsettled: a hold failed the load (of %ld instructions)\n", unsettledSteps);
#endif
}

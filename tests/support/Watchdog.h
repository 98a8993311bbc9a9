#pragma once
// Runs work that must not block (reading a FIFO, say) in a child process
// and waits for it at most `seconds`: a child that is still at it then is
// killed. The child's own checks cannot reach the test: it answers with its
// exit status (the work's result).
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace testsupport {
enum class Outcome { kTrue, kFalse, kBlocked };

template <class Work>
Outcome WithinSeconds(double seconds, Work work) {
  const pid_t pid = ::fork();
  if (pid == 0) ::_exit(work() ? 0 : 1);
  if (pid < 0) return Outcome::kBlocked;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  int status = 0;
  while (::waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, &status, 0);
      return Outcome::kBlocked;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? Outcome::kTrue : Outcome::kFalse;
}
}  // namespace testsupport

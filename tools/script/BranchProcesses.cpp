#include "BranchProcesses.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

#include "ExploreShared.h"

namespace scripttool {
namespace {
// A parked branch looks for a permit given back by another process this often;
// its own child's end wakes it at once (SIGCHLD).
constexpr long kParkPollNs = 2 * 1000 * 1000;
}  // namespace

BranchProcesses::Slot BranchProcesses::TakeSlot() {
  if (shared_.TryAcquire()) return Slot::kPermit;
  if (shared_.TryPark()) return Slot::kParked;
  return Slot::kNone;
}

BranchProcesses::Fork BranchProcesses::AfterFork(pid_t pid, int id, Slot slot, bool forked) {
  if (pid == 0) {
    children_.clear();  // the parent's, not this process's
    return Fork::kChild;
  }
  if (pid < 0) {
    if (forked) shared_.NoteForkFailure();
    if (slot == Slot::kParked) shared_.Unpark();
    else shared_.Release();
    return Fork::kNone;
  }
  children_[pid] = id;
  if (slot == Slot::kParked) {
    WaitForPermit();
    shared_.Unpark();
  }
  return Fork::kParent;
}

void BranchProcesses::WaitForPermit() {
  sigset_t child;
  sigemptyset(&child);
  sigaddset(&child, SIGCHLD);  // blocked in every branch (ExploreCoordinator)
  // The clock that ends a hung branch does not run while it waits its turn.
  const unsigned left = ::alarm(0);
  for (;;) {
    Reap();
    if (shared_.TryAcquire()) {
      if (left) ::alarm(left);
      return;
    }
    ExitIfOrphaned();
    timespec wait{0, kParkPollNs};
    ::sigtimedwait(&child, nullptr, &wait);
  }
}

void BranchProcesses::Reap() {
  for (;;) {
    int status = 0;
    const pid_t pid = ::waitpid(-1, &status, WNOHANG);
    if (pid <= 0) return;
    auto it = children_.find(pid);
    if (it == children_.end()) continue;  // no branch: nothing of the exploration's
    const int id = it->second;
    children_.erase(it);
    // The permit goes back only now: a zombie still counts as a process.
    shared_.Release();
    Send(LinkMessage::kEnded, id, status);
  }
}

void BranchProcesses::LeaveChildren() {
  Reap();
  for (const auto& [pid, id] : children_) Send(LinkMessage::kAdopt, id, pid);
  children_.clear();
}

void BranchProcesses::ExitIfOrphaned() const {
  if (CoordinatorGone(link_.life)) ::_exit(1);
}

}  // namespace scripttool

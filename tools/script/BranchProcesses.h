#pragma once
// The process side of a branch: forking a child for a menu item within the
// permits (ExploreShared.h), parking while the child holds this branch's
// permit, reaping the children that ended and telling the coordinator, and
// leaving the children still running to the coordinator at the end.
#include <sys/types.h>

#include <map>

#include "ExploreLink.h"

namespace scripttool {

class ExploreShared;

class BranchProcesses {
 public:
  BranchProcesses(ExploreShared& shared, const LinkEnds& link) : shared_(shared), link_(link) {}

  enum class Fork {
    kChild,   // in the new process
    kParent,  // the child runs; this branch holds a permit again
    kNone,    // no permit, no parking place, or fork failed
  };
  // Forks child `id` when a permit or a parking place is free; `prepare`
  // runs just before the fork (the child's saves) and may refuse it.
  template <class Prepare>
  Fork Start(int id, Prepare prepare);
  // The children that ended: each one's permit goes back and the
  // coordinator is told. Never blocks.
  void Reap();
  // Before this branch exits: the coordinator is told which children it
  // will inherit.
  void LeaveChildren();
  // Ends this process at once when the coordinator is gone.
  void ExitIfOrphaned() const;
  void Send(LinkMessage::Kind kind, int id, int64_t value) const { SendLink(link_.messages, kind, id, value); }

 private:
  enum class Slot { kPermit, kParked, kNone };
  Slot TakeSlot();
  Fork AfterFork(pid_t pid, int id, Slot slot, bool forked);
  // Parked: waits for a permit, reaping own children meanwhile.
  void WaitForPermit();

  ExploreShared& shared_;
  LinkEnds link_;
  std::map<pid_t, int> children_;  // process id -> branch id
};

template <class Prepare>
BranchProcesses::Fork BranchProcesses::Start(int id, Prepare prepare) {
  Reap();
  const Slot slot = TakeSlot();
  if (slot == Slot::kNone) return Fork::kNone;
  if (!prepare()) return AfterFork(-1, id, slot, false);
  return AfterFork(::fork(), id, slot, true);
}

}  // namespace scripttool

#pragma once
// One exploration's branches. The engine runs headless in this process; at
// every menu the process forks once per further selectable item, so each
// item is tried on its own copy of the game state (copy-on-write, nothing
// replayed), and goes on with the first item itself. A branch ends at
// GameEnd, Battle or Map, at a state some branch has already seen, at a
// failure report, when the game quits, or at the step budget; it leaves its
// records in the exploration's directory (ExploreRecords.h) and exits.
//
// Why fork rather than replaying each branch's choices in a fresh engine:
// the engine keeps process-wide state (the script to start next, the trace,
// the write root), which a process gives every branch for free, and a child
// starts where its parent stands, so exploring costs about one playthrough
// per ending instead of one per branch times its depth.
#include <cstdint>
#include <string>

namespace scripttool {

class ExploreShared;

struct ExploreSettings {
  std::string workDir;      // host path, absolute; one subdirectory of saves per branch
  uint64_t budget = 0;      // logic steps (passes) from the start, per branch
};

// Runs the first branch from the opening script in this process, a fresh
// child of the coordinator in the game directory, and exits; never returns.
[[noreturn]] void RunFirstBranch(const ExploreSettings& settings, ExploreShared& shared);

// The branch's record file and its save directory.
std::string BranchRecordPath(const std::string& workDir, int branch);
std::string BranchSaveRoot(const std::string& workDir, int branch);

}  // namespace scripttool

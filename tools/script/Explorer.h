#pragma once
// One exploration's branches. The engine runs headless in a branch process.
// At a menu the branch walks the cursor over the items; on each item but the
// last it hands the item to a forked child, which decides it on its own copy
// of the game state (copy-on-write, nothing replayed), and goes on with the
// last item itself. A branch ends at GameEnd, Battle or Map, at a state some
// branch has already seen, at a failure report, when the game quits, at the
// step budget or at the state limit; it leaves its records in the
// exploration's directory (ExploreRecords.h) and exits.
//
// The processes stay within -j (ExploreShared.h): an item is forked only
// with a free permit, or by parking, which hands the branch's own permit to
// the child and waits for one to go on (a few branches at most). When
// neither is free, or the fork fails, the branch queues the rest of the menu
// and takes the item itself; the coordinator later starts a fresh branch
// that replays the walk positions taken from the opening up to that menu and
// walks on from there.
//
// Why fork rather than replaying every branch: the engine keeps process-wide
// state (the script to start next, the trace, the write root), which a
// process gives every branch for free, and a child starts where its parent
// stands, so exploring costs about one playthrough per ending instead of
// one per branch times its depth; a replay is the exception. Walking the
// cursor once and forking on the way keeps a menu of n items at n moves
// rather than n squared.
#include <sys/types.h>

#include <cstdint>
#include <map>
#include <string>
#include <utility>

#include "ExploreLink.h"
#include "ExploreRecords.h"
#include "TranslationFit.h"

namespace scripttool {

class ExploreShared;

// The messages of a translation that do not fit the window, by the open
// script (CP932) and the text word the message comes from.
using TranslatedOverflows = std::map<std::pair<std::string, size_t>, Overflow>;

struct ExploreSettings {
  std::string workDir;  // host path, absolute; one subdirectory of saves per branch
  uint64_t budget = 0;  // logic steps (passes) from the start, per branch
  LinkEnds link;        // to the coordinator
  pid_t group = 0;      // the process group every branch joins
  // --language: its code and the messages it overflows with; null: none.
  std::string language;
  const TranslatedOverflows* overflows = nullptr;
};

// Runs a branch with id `id` in this process, a fresh child of the
// coordinator in the game directory holding a permit, and exits; never
// returns. Without `replay` the branch starts at the opening; with it, it
// takes the queued walk positions and walks on over the queued items.
[[noreturn]] void RunBranch(const ExploreSettings& settings, ExploreShared& shared, int id,
                            const QueuedItems* replay);

// The branch's record file and its save directory.
std::string BranchRecordPath(const std::string& workDir, int branch);
std::string BranchSaveRoot(const std::string& workDir, int branch);

}  // namespace scripttool

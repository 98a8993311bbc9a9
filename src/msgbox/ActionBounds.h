#pragma once
// What one player action may set off. An action is one call of the frame
// loop into the interpreter (a decision, a step, a script start) with all it
// leads to: jumps, loads, and the steps of fades that end meanwhile. A step
// can start another script, whose first step can start the next; a script
// that leads back to itself without a wait point (a goto cycle, a Load of a
// missing save or of a save that records the loading script) would nest
// without end and report its failure at every turn. So within one action a
// script that comes round again after a failure was shown, or any start
// past kMaxChainedStarts, only opens: it then waits for the player at its
// first word, and the failure has been shown once.
#include <cstdint>
#include <string>
#include <vector>

namespace msgbox {

// A new action; the step after a fade that took its time (a pause the
// player saw, so the count of starts begins again); or a step within the
// running action.
enum class ActionKind : uint8_t { New, AfterLastingFade, Continued };

class ActionBounds {
 public:
  static constexpr int kMaxChainedStarts = 32;

  // Entered and left around every step and start; only the outermost entry
  // begins an action. currentPath: the script the action steps, or empty
  // when none is open.
  void Enter(ActionKind kind, const std::string& currentPath, bool scriptOpen);
  void Leave() { --depth; }
  // Counts a script start (path under the text directory); false when the
  // chain is to be cut here.
  bool MayStart(const std::string& path);

 private:
  int depth = 0;
  int starts = 0;                    // since the action began or a fade paused it
  std::vector<std::string> scripts;  // paths of the scripts the action ran
  uint64_t reportsBefore = 0;        // shown reports when it began
};

}  // namespace msgbox

// What one player action may set off. A step can start another script
// (goto, Load, a menu decision), whose first step can start the next; a
// script that leads back to itself without a wait point (a goto cycle, a
// Load of a missing save or of a save that records the loading script)
// would nest without end, and report its failure at every turn. So within
// one action a script that comes round again after a failure was shown, or
// any start past kMaxChainedStarts, only opens: the script then waits for
// the player at its first word, and the failure has been shown once.
#include <algorithm>
#include <string>

#include "msgbox/CMsgBox.h"
#include "platform/diagnostics/Report.h"
#include "platform/text/TextCodec.h"

CMsgBox::ActionScope::ActionScope(CMsgBox& box, ActionKind kind) : box_(box) {
  if (box_.action_.depth++ > 0 || kind == ActionKind::Continued) return;
  box_.action_.starts = 0;
  if (kind == ActionKind::AfterLastingFade) return;
  // The script the action steps counts as started: coming round to it
  // again is the same loop.
  box_.action_.scripts.clear();
  if (!box_.script_.words.empty()) box_.action_.scripts.push_back(box_.script_.scriptPath);
  box_.action_.reportsBefore = platform::ShownReportCount();
}

CMsgBox::ActionScope::~ActionScope() { --box_.action_.depth; }

bool CMsgBox::MayStartScript(const std::string& name) {
  const std::string path = script_.textDir + name;
  const bool failed = platform::ShownReportCount() != action_.reportsBefore;
  const bool again = std::find(action_.scripts.begin(), action_.scripts.end(), path) != action_.scripts.end();
  if (failed && again) return false;  // round the same failure once more
  if (++action_.starts > kMaxChainedStarts) {
    // A chain that went round a failure has shown that failure already.
    if (!failed) {
      DXTRACE("CMsgBox", E_FAIL, SJ("スクリプトがプレイヤーを待たずに次々と始まるため、ここで止めました。"), true);
    }
    return false;
  }
  if (!again) action_.scripts.push_back(path);
  return true;
}

void CMsgBox::StepAfterFade(bool lasted) {
  StepIn(lasted ? ActionKind::AfterLastingFade : ActionKind::Continued);
}

bool CMsgBox::LoadScreenOpened() const {
  return fontMenu_.menuActive && saves_.loadMode && script_.running && script_.position < script_.words.size() && script_.words[script_.position] == "LoadMenu";
}

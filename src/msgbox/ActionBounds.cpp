// The bound on what one player action may set off.
#include "msgbox/ActionBounds.h"

#include <algorithm>

#include "platform/diagnostics/Report.h"
#include "platform/text/TextCodec.h"

namespace msgbox {

void ActionBounds::Enter(ActionKind kind, const std::string& currentPath, bool scriptOpen) {
  if (depth++ > 0 || kind == ActionKind::Continued) return;
  starts = 0;
  if (kind == ActionKind::AfterLastingFade) return;
  // The script the action steps counts as started: coming round to it
  // again is the same loop.
  scripts.clear();
  if (scriptOpen) scripts.push_back(currentPath);
  reportsBefore = platform::ShownReportCount();
}

bool ActionBounds::MayStart(const std::string& path) {
  const bool failed = platform::ShownReportCount() != reportsBefore;
  const bool again = std::find(scripts.begin(), scripts.end(), path) != scripts.end();
  if (failed && again) return false;  // round the same failure once more
  if (++starts > kMaxChainedStarts) {
    // A chain that went round a failure has shown that failure already.
    if (!failed) {
      DXTRACE("CMsgBox", E_FAIL, SJ("スクリプトがプレイヤーを待たずに次々と始まるため、ここで止めました。"), true,
              path);
    }
    return false;
  }
  if (!again) scripts.push_back(path);
  return true;
}

}  // namespace msgbox

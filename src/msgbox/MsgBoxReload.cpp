// Reading the open script again when its file has been edited, so that an
// author sees the change without playing up to it again.
#include "msgbox/CMsgBox.h"

CMsgBox::Reload CMsgBox::ReloadScript(size_t& landing) {
  // A menu or a fade was read from the old words and reads on from there:
  // swapping the words under it would leave it pointing into the new ones.
  if (buttons_.ButtonMenuActive() || fontMenu_.MenuActive() || fades_.Active()) return Reload::Held;
  if (FAILED(script_.Reread(landing))) return Reload::Unreadable;
  // The step from the landing word shows the message there; a script run
  // off its end fails here and the next press starts the next script, as
  // after any step.
  Step();
  return Reload::Done;
}

std::string CMsgBox::OpenScriptName() const {
  const std::string& path = script_.ScriptPath();
  const std::string& dir = script_.TextDir();
  return path.compare(0, dir.size(), dir) == 0 ? path.substr(dir.size()) : path;
}

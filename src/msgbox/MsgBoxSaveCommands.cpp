// The Save and Load commands and the save/load screens they open; the save
// data itself is SaveData.cpp.
#include <string>
#include <utility>

#include "msgbox/CMsgBox.h"

CMsgBox::Outcome CMsgBox::CmdSave() {
  const std::string script = NextArgument();
  const std::string file = NextArgument();
  Save(script, file);
  return Finish();
}

CMsgBox::Outcome CMsgBox::CmdLoad() {
  Load(NextArgument());
  return Return(StartScript(currentScriptName));
}

// The screen opens at once; the words after the command still run in this
// step, and from the next one on nothing runs until a slot is decided.
CMsgBox::Outcome CMsgBox::CmdSaveMenu() {
  saves_.OpenSaveScreen(NextArgument(), script_.TextFile(), fontMenu_, window_.DialogueFrame());
  return Finish();
}

// Fails the step on purpose: the frame loop then starts currentScriptName
// afresh, and that script waits at once because the screen is open.
CMsgBox::Outcome CMsgBox::CmdLoadMenu() {
  saves_.OpenLoadScreen(script_.TextFile(), fontMenu_, window_.DialogueFrame());
  return Return(E_FAIL);
}

void CMsgBox::Save(std::string resumeScript, std::string saveName) {
  saves_.Save(script_, std::move(resumeScript), std::move(saveName));
}

void CMsgBox::Load(std::string saveName) {
  saves_.Load(script_, std::move(saveName));
  if (loadObserver_) loadObserver_();
}

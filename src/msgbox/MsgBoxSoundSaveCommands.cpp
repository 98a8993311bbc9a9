// The commands for sound effects and music, saving and loading, the
// save/load screens and the key configuration.
#include <string>

#include "msgbox/CMsgBox.h"
#include "msgbox/MsgBoxSeams.h"

namespace {
constexpr int kActDecide = 7;  // the decide slot of actionStates
}

CMsgBox::Outcome CMsgBox::CmdSeLoad() {
  const std::string file = NextArgument();
  const std::string alias = NextArgument();
  msgboxseam::LoadSoundEffect(devices_.soundPlayer, file, alias);
  return Finish();
}

CMsgBox::Outcome CMsgBox::CmdSePlay() {
  msgboxseam::PlaySoundEffect(devices_.soundPlayer, NextArgument());
  return Finish();
}

CMsgBox::Outcome CMsgBox::CmdMidiPlay() {
  msgboxseam::PlayMusic(devices_.bgmPlayer, NextArgument() + ".mid");
  return Finish();
}

// Takes its two words and does nothing else: music is loaded when played.
CMsgBox::Outcome CMsgBox::CmdMidiLoad() { return SkipArguments(2); }

CMsgBox::Outcome CMsgBox::CmdKeyConfig() {
  msgboxseam::ConfigureDevices(devices_.input);
  // The press that closed the configuration must not advance the script.
  if (devices_.inputState) devices_.inputState[kActDecide] = 0;
  return Finish();
}

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

void CMsgBox::Load(std::string saveName) { saves_.Load(script_, std::move(saveName)); }

// The commands for sound effects and music.
#include <string>

#include "msgbox/CMsgBox.h"
#include "msgbox/DeviceCalls.h"

CMsgBox::Outcome CMsgBox::CmdSeLoad() {
  const std::string file = NextArgument();
  const std::string alias = NextArgument();
  devicecalls::LoadSoundEffect(devices_.soundPlayer, file, alias);
  return Finish();
}

CMsgBox::Outcome CMsgBox::CmdSePlay() {
  devicecalls::PlaySoundEffect(devices_.soundPlayer, NextArgument());
  return Finish();
}

CMsgBox::Outcome CMsgBox::CmdMidiPlay() {
  devicecalls::PlayMusic(devices_.bgmPlayer, NextArgument() + ".mid");
  return Finish();
}

// Takes its two words and does nothing else: music is loaded when played.
CMsgBox::Outcome CMsgBox::CmdMidiLoad() { return SkipArguments(2); }

// The KeyConfig command: the input unit's key configuration screen.
#include "input/GameActions.h"
#include "msgbox/CMsgBox.h"
#include "msgbox/DeviceCalls.h"

CMsgBox::Outcome CMsgBox::CmdKeyConfig() {
  devicecalls::ConfigureDevices(devices_.input);
  // The press that closed the configuration must not advance the script.
  if (devices_.inputState) devices_.inputState[ACT_DECIDE] = 0;
  return Finish();
}

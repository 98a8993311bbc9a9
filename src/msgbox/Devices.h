#pragma once
// What the message window is handed at set-up: the sound players, the input
// unit and the application's action states.
#include <cstdint>

class CDSMusic;
class CDMMusic;
class CInput;

namespace msgbox {

struct Devices {
  CDSMusic* bgmPlayer = nullptr;
  CDMMusic* soundPlayer = nullptr;
  CInput* input = nullptr;
  int32_t* inputState = nullptr;  // the application's actionStates (255 slots)
};

}  // namespace msgbox

#pragma once
// SDL game pads for the platform's own tests: SDL's virtual joysticks stand
// in for real pads, and SDL's pending events reach the input system through
// the same conversion the window's event pump uses.
#include <SDL.h>

#include "platform/input/InputSystem.h"
#include "platform/window/SdlEvent.h"

// Hands SDL's pending events (pad motion, plugging) to the input system, as
// the window's event pump does.
inline void PumpSdl(platform::InputSystem& sys) {
  SDL_PumpEvents();
  SDL_Event e;
  platform::Event event;
  while (SDL_PollEvent(&e))
    if (platform::FromSdlEvent(e, event)) sys.OnPlatformEvent(event);
}

// A game pad made with SDL's virtual joystick API.
class VirtualPad {
 public:
  VirtualPad() {
    SDL_VirtualJoystickDesc d;
    SDL_zero(d);
    d.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    d.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    d.naxes = SDL_CONTROLLER_AXIS_MAX;
    d.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    d.name = "Virtual Pad";
    int index = SDL_JoystickAttachVirtualEx(&d);
    instance_ = index >= 0 ? SDL_JoystickGetDeviceInstanceID(index) : -1;
    joystick_ = index >= 0 ? SDL_JoystickOpen(index) : nullptr;
  }
  ~VirtualPad() { Unplug(); }
  bool Ok() const { return joystick_ != nullptr; }
  void Button(SDL_GameControllerButton b, bool down) { SDL_JoystickSetVirtualButton(joystick_, b, down ? 1 : 0); }
  void Axis(SDL_GameControllerAxis a, int16_t v) { SDL_JoystickSetVirtualAxis(joystick_, a, v); }
  void Unplug() {
    if (!joystick_) return;
    SDL_JoystickClose(joystick_);
    joystick_ = nullptr;
    for (int i = 0; i < SDL_NumJoysticks(); ++i)
      if (SDL_JoystickGetDeviceInstanceID(i) == instance_) SDL_JoystickDetachVirtual(i);
  }

 private:
  SDL_Joystick* joystick_ = nullptr;
  SDL_JoystickID instance_ = -1;
};

// SDL's joystick and game-controller subsystems for one test.
class SdlPads {
 public:
  SdlPads() { ok_ = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0; }
  ~SdlPads() {
    if (ok_) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
  }
  bool Ok() const { return ok_; }

 private:
  bool ok_ = false;
};

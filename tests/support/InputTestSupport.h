#pragma once
// Helpers for the input tests: a private configuration directory, raw SDL
// key events, and virtual game pads standing in for real ones.
#include <SDL.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "input/CInput.h"
#include "input/GameActions.h"
#include "platform/diagnostics/Trace.h"
#include "platform/input/InputSystem.h"
#include "support/ScratchDir.h"

// Points XDG_CONFIG_HOME at a fresh directory for the test's lifetime.
class ConfigHome {
 public:
  ConfigHome() : dir_(ScratchDir::kStay, "config") {
    const char* old = std::getenv("XDG_CONFIG_HOME");
    hadOld_ = old != nullptr;
    if (old) old_ = old;
    ::setenv("XDG_CONFIG_HOME", dir_.Path().c_str(), 1);
  }
  ~ConfigHome() {
    if (hadOld_)
      ::setenv("XDG_CONFIG_HOME", old_.c_str(), 1);
    else
      ::unsetenv("XDG_CONFIG_HOME");
  }
  const std::string& Path() const { return dir_.Path(); }

 private:
  ScratchDir dir_;
  std::string old_;
  bool hadOld_ = false;
};

inline platform::ActionMapSpec GameSpec() {
  platform::ActionMapSpec spec;
  spec.guid = GuidText(kGameActionMapGuid);
  for (const DIACTION& a : GameActions()) spec.actions.push_back({a.uAppData, a.dwSemantic});
  spec.genre = 0x07000000;
  return spec;
}

inline void SendKey(platform::InputSystem& sys, SDL_Scancode sc, bool down, bool repeat = false) {
  SDL_Event e{};
  e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
  e.key.keysym.scancode = sc;
  e.key.repeat = repeat ? 1 : 0;
  sys.OnPlatformEvent(&e);
}

// Hands SDL's pending events (pad motion, plugging) to the input system, as
// the window's event pump does.
inline void PumpSdl(platform::InputSystem& sys) {
  SDL_PumpEvents();
  SDL_Event e;
  while (SDL_PollEvent(&e)) sys.OnPlatformEvent(&e);
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

// Records the trace of a test in a temporary file, to read back what was
// written to the debugger output and which events were traced.
class ScratchTrace {
 public:
  ScratchTrace() {
    char templ[] = "/tmp/vantorel-trace-XXXXXX";
    int fd = ::mkstemp(templ);
    if (fd >= 0) ::close(fd);
    path_ = templ;
    platform::trace::Open(path_);
  }
  ~ScratchTrace() {
    platform::trace::Close();
    ::unlink(path_.c_str());
  }
  // Ends the trace and returns its text.
  std::string Text() {
    platform::trace::EndFrame(0, 0);
    platform::trace::Close();
    std::ifstream in(path_, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  std::vector<std::string> DebugLines() {
    std::string text = Text();
    std::vector<std::string> out;
    const std::string tag = "{\"type\":\"debug\",\"text\":\"";
    for (size_t at = text.find(tag); at != std::string::npos; at = text.find(tag, at + 1)) {
      size_t start = at + tag.size(), end = start;
      while (end < text.size() && text[end] != '"') end += text[end] == '\\' ? 2 : 1;
      out.push_back(text.substr(start, end - start));
    }
    return out;
  }

 private:
  std::string path_;
};

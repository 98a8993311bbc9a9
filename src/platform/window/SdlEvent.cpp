// The neutral event codes are SDL's own numbering (scancodes are USB HID
// usages, the pad layout is SDL's game-controller layout), so the names the
// bindings use stay SDL's names exactly.
#include "platform/window/SdlEvent.h"

namespace platform {

static_assert(static_cast<int>(Key::PageUp) == SDL_SCANCODE_PAGEUP && static_cast<int>(Key::PageDown) == SDL_SCANCODE_PAGEDOWN);
static_assert(static_cast<int>(Key::Return) == SDL_SCANCODE_RETURN && static_cast<int>(Key::Z) == SDL_SCANCODE_Z &&
              static_cast<int>(Key::Up) == SDL_SCANCODE_UP && static_cast<int>(Key::RightAlt) == SDL_SCANCODE_RALT);
static_assert(static_cast<int>(PadButton::DpadRight) == SDL_CONTROLLER_BUTTON_DPAD_RIGHT &&
              static_cast<int>(PadButton::Count) == SDL_CONTROLLER_BUTTON_MAX);
static_assert(static_cast<int>(PadAxis::TriggerRight) == SDL_CONTROLLER_AXIS_TRIGGERRIGHT &&
              static_cast<int>(PadAxis::Count) == SDL_CONTROLLER_AXIS_MAX);

const char* KeyName(Key key) { return SDL_GetScancodeName(static_cast<SDL_Scancode>(key)); }

const char* PadButtonName(PadButton button) {
  return SDL_GameControllerGetStringForButton(static_cast<SDL_GameControllerButton>(button));
}

const char* PadAxisName(PadAxis axis) {
  return SDL_GameControllerGetStringForAxis(static_cast<SDL_GameControllerAxis>(axis));
}

Key KeyFromName(const char* name) {
  SDL_Scancode code = SDL_GetScancodeFromName(name);
  return code == SDL_SCANCODE_UNKNOWN ? Key::Unknown : static_cast<Key>(code);
}

bool FromSdlEvent(const SDL_Event& e, Event& out) {
  out = Event{};
  switch (e.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      if (e.key.keysym.scancode >= SDL_NUM_SCANCODES) return false;
      out = Event::KeyPress(static_cast<Key>(e.key.keysym.scancode), e.type == SDL_KEYDOWN, e.key.repeat != 0);
      return true;
    case SDL_CONTROLLERDEVICEADDED:
    case SDL_CONTROLLERDEVICEREMOVED:
      out.type = e.type == SDL_CONTROLLERDEVICEADDED ? Event::Type::PadAdded : Event::Type::PadRemoved;
      out.pad = e.cdevice.which;
      return true;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
      if (e.cbutton.button >= SDL_CONTROLLER_BUTTON_MAX) return false;
      out = Event::PadPress(e.cbutton.which, static_cast<PadButton>(e.cbutton.button),
                            e.type == SDL_CONTROLLERBUTTONDOWN);
      return true;
    case SDL_CONTROLLERAXISMOTION:
      if (e.caxis.axis >= SDL_CONTROLLER_AXIS_MAX) return false;
      out = Event::PadMotion(e.caxis.which, static_cast<PadAxis>(e.caxis.axis), e.caxis.value);
      return true;
    case SDL_QUIT:
      out.type = Event::Type::Quit;
      return true;
    case SDL_WINDOWEVENT:
      if (e.window.event == SDL_WINDOWEVENT_CLOSE) out.type = Event::Type::Quit;
      else if (e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) out.type = Event::Type::WindowResized;
      else if (e.window.event == SDL_WINDOWEVENT_EXPOSED) out.type = Event::Type::WindowExposed;
      else return false;
      return true;
    default:
      return false;
  }
}

}  // namespace platform

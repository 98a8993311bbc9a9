#pragma once
// Platform events as the engine's side of the platform sees them, whatever
// delivers them: keys by their USB HID usage code, game pads by their
// standard-layout button and axis, the mouse in game-area pixels, the
// window's close box and repaints.
// Only the platform's SDL code converts SDL_Events into these, so tests of
// the units that read them build them here without SDL.
#include <cstdint>

namespace platform {

// USB HID keyboard usage codes (page 0x07). The list names the keys the
// engine binds by default or reads itself; any other code is valid too.
enum class Key : uint16_t {
  Unknown = 0,
  A = 4, B, C, D, E, F, G, H, I, J, K, L, M, N, O, P, Q, R, S, T, U, V, W, X, Y, Z,
  Digit1 = 30, Digit2, Digit3, Digit4, Digit5, Digit6, Digit7, Digit8, Digit9, Digit0,
  Return = 40, Escape = 41, Backspace = 42, Tab = 43, Space = 44,
  F1 = 58, F2, F3, F4, F5, F6, F7, F8, F9, F10, F11, F12,
  PageUp = 75, PageDown = 78,
  Right = 79, Left = 80, Down = 81, Up = 82,
  KeypadEnter = 88,
  LeftCtrl = 224, LeftShift = 225, LeftAlt = 226, RightCtrl = 228, RightShift = 229, RightAlt = 230,
};

// Game-pad buttons and axes in the standard controller layout.
enum class PadButton : uint8_t {
  A, B, X, Y, Back, Guide, Start, LeftStick, RightStick, LeftShoulder, RightShoulder,
  DpadUp, DpadDown, DpadLeft, DpadRight, Misc1, Paddle1, Paddle2, Paddle3, Paddle4, Touchpad,
  Count
};
enum class PadAxis : uint8_t { LeftX, LeftY, RightX, RightY, TriggerLeft, TriggerRight, Count };
enum class MouseButton : uint8_t { Left, Middle, Right };

struct Event {
  enum class Type : uint8_t {
    None,
    KeyDown, KeyUp,          // key, repeat
    PadAdded,                // pad: the platform's device index of the new pad
    PadRemoved,              // pad: the instance id of the pad that went
    PadButtonDown, PadButtonUp,  // pad (instance id), button
    PadAxisMotion,           // pad (instance id), axis, value -32768..32767
    Quit,                    // the window's close box or the desktop's quit
    WindowResized, WindowExposed,
    MouseMotion,                 // x, y
    MouseDown, MouseUp,          // mouse, x, y
    MouseWheel,                  // wheel: +1 up (away from the player), -1 down
  };
  Type type = Type::None;
  Key key = Key::Unknown;
  bool repeat = false;  // keyboard auto-repeat
  int32_t pad = -1;
  PadButton button = PadButton::A;
  PadAxis axis = PadAxis::LeftX;
  int16_t value = 0;
  MouseButton mouse = MouseButton::Left;
  int32_t x = 0, y = 0;  // game-area pixels; may lie outside it (letterbox bars)
  int8_t wheel = 0;
  // From the scripted input: its keys reach the action map through the
  // scripted device already, so the keyboard device leaves them alone.
  bool scripted = false;

  static Event KeyPress(Key k, bool down, bool repeat = false) {
    Event e;
    e.type = down ? Type::KeyDown : Type::KeyUp;
    e.key = k;
    e.repeat = repeat;
    return e;
  }
  static Event PadPress(int32_t pad, PadButton b, bool down) {
    Event e;
    e.type = down ? Type::PadButtonDown : Type::PadButtonUp;
    e.pad = pad;
    e.button = b;
    return e;
  }
  static Event MouseMove(int32_t x, int32_t y) {
    Event e;
    e.type = Type::MouseMotion;
    e.x = x;
    e.y = y;
    return e;
  }
  static Event MouseClick(MouseButton b, bool down, int32_t x, int32_t y) {
    Event e = MouseMove(x, y);
    e.type = down ? Type::MouseDown : Type::MouseUp;
    e.mouse = b;
    return e;
  }
  static Event Wheel(int8_t steps) {
    Event e;
    e.type = Type::MouseWheel;
    e.wheel = steps;
    return e;
  }
  static Event PadMotion(int32_t pad, PadAxis a, int16_t value) {
    Event e;
    e.type = Type::PadAxisMotion;
    e.pad = pad;
    e.axis = a;
    e.value = value;
    return e;
  }
};

// The names the bindings give a key, a button and an axis after "key:" and
// "pad:" ("Return", "a", "leftx"); empty or null for a code without one.
const char* KeyName(Key key);
const char* PadButtonName(PadButton button);
const char* PadAxisName(PadAxis axis);
// The key of a name as KeyName gives it (case-insensitive); Unknown if none.
Key KeyFromName(const char* name);

// A point of the window (its pixels, the menu bar included) in game-area
// pixels, for a game area of gameW x gameH drawn scaled into the rectangle
// (left, top, w, h) of the window.
struct GameArea {
  int left = 0, top = 0, w = 640, h = 480;
  int gameW = 640, gameH = 480;
};
inline void WindowToGame(const GameArea& a, int wx, int wy, int32_t& gx, int32_t& gy) {
  auto map = [](int v, int origin, int size, int game) {
    if (size <= 0) return 0;
    // Floor division, so that a point left of or above the area stays outside.
    long long n = static_cast<long long>(v - origin) * game;
    long long q = n / size;
    if (n % size != 0 && n < 0) --q;
    return static_cast<int>(q);
  };
  gx = map(wx, a.left, a.w, a.gameW);
  gy = map(wy, a.top, a.h, a.gameH);
}

}  // namespace platform

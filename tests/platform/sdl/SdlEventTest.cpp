// SDL's events into the platform's own: what the input system and the window
// read must survive the conversion, and the names the bindings use for keys,
// buttons and axes must stay SDL's names.
#include <gtest/gtest.h>

#include <SDL.h>

#include "platform/window/SdlEvent.h"

using namespace platform;

namespace {
SDL_Event KeyEvent(Uint32 type, SDL_Scancode sc, bool repeat) {
  SDL_Event e{};
  e.type = type;
  e.key.keysym.scancode = sc;
  e.key.repeat = repeat ? 1 : 0;
  return e;
}
}  // namespace

TEST(SdlEvent, KeysKeepTheirCodeDirectionAndRepeat) {
  Event out;
  ASSERT_TRUE(FromSdlEvent(KeyEvent(SDL_KEYDOWN, SDL_SCANCODE_RETURN, false), out));
  EXPECT_EQ(out.type, Event::Type::KeyDown);
  EXPECT_EQ(out.key, Key::Return);
  EXPECT_FALSE(out.repeat);
  ASSERT_TRUE(FromSdlEvent(KeyEvent(SDL_KEYDOWN, SDL_SCANCODE_Z, true), out));
  EXPECT_EQ(out.key, Key::Z);
  EXPECT_TRUE(out.repeat);
  ASSERT_TRUE(FromSdlEvent(KeyEvent(SDL_KEYUP, SDL_SCANCODE_LEFT, false), out));
  EXPECT_EQ(out.type, Event::Type::KeyUp);
  EXPECT_EQ(out.key, Key::Left);
  // A key the list does not name still carries its code.
  ASSERT_TRUE(FromSdlEvent(KeyEvent(SDL_KEYDOWN, SDL_SCANCODE_PAGEUP, false), out));
  EXPECT_EQ(static_cast<int>(out.key), SDL_SCANCODE_PAGEUP);
  EXPECT_STREQ(KeyName(out.key), SDL_GetScancodeName(SDL_SCANCODE_PAGEUP));
}

TEST(SdlEvent, PadButtonsAxesAndPluggingKeepTheirPad) {
  Event out;
  SDL_Event e{};
  e.type = SDL_CONTROLLERBUTTONDOWN;
  e.cbutton.which = 7;
  e.cbutton.button = SDL_CONTROLLER_BUTTON_DPAD_LEFT;
  ASSERT_TRUE(FromSdlEvent(e, out));
  EXPECT_EQ(out.type, Event::Type::PadButtonDown);
  EXPECT_EQ(out.pad, 7);
  EXPECT_EQ(out.button, PadButton::DpadLeft);
  e.type = SDL_CONTROLLERBUTTONUP;
  ASSERT_TRUE(FromSdlEvent(e, out));
  EXPECT_EQ(out.type, Event::Type::PadButtonUp);
  e.cbutton.button = 200;  // beyond the layout: nothing to read
  EXPECT_FALSE(FromSdlEvent(e, out));

  e = SDL_Event{};
  e.type = SDL_CONTROLLERAXISMOTION;
  e.caxis.which = 3;
  e.caxis.axis = SDL_CONTROLLER_AXIS_TRIGGERRIGHT;
  e.caxis.value = -32768;
  ASSERT_TRUE(FromSdlEvent(e, out));
  EXPECT_EQ(out.type, Event::Type::PadAxisMotion);
  EXPECT_EQ(out.pad, 3);
  EXPECT_EQ(out.axis, PadAxis::TriggerRight);
  EXPECT_EQ(out.value, -32768);

  e = SDL_Event{};
  e.type = SDL_CONTROLLERDEVICEADDED;
  e.cdevice.which = 2;
  ASSERT_TRUE(FromSdlEvent(e, out));
  EXPECT_EQ(out.type, Event::Type::PadAdded);
  EXPECT_EQ(out.pad, 2);
  e.type = SDL_CONTROLLERDEVICEREMOVED;
  ASSERT_TRUE(FromSdlEvent(e, out));
  EXPECT_EQ(out.type, Event::Type::PadRemoved);
}

TEST(SdlEvent, WindowEventsAndWhatHasNoCounterpart) {
  Event out;
  SDL_Event e{};
  e.type = SDL_QUIT;
  ASSERT_TRUE(FromSdlEvent(e, out));
  EXPECT_EQ(out.type, Event::Type::Quit);
  e.type = SDL_WINDOWEVENT;
  e.window.event = SDL_WINDOWEVENT_CLOSE;
  ASSERT_TRUE(FromSdlEvent(e, out));
  EXPECT_EQ(out.type, Event::Type::Quit);
  e.window.event = SDL_WINDOWEVENT_EXPOSED;
  ASSERT_TRUE(FromSdlEvent(e, out));
  EXPECT_EQ(out.type, Event::Type::WindowExposed);
  e.window.event = SDL_WINDOWEVENT_SIZE_CHANGED;
  ASSERT_TRUE(FromSdlEvent(e, out));
  EXPECT_EQ(out.type, Event::Type::WindowResized);
  e.window.event = SDL_WINDOWEVENT_MOVED;
  EXPECT_FALSE(FromSdlEvent(e, out));
  e.type = SDL_MOUSEMOTION;
  EXPECT_FALSE(FromSdlEvent(e, out));
  EXPECT_EQ(out.type, Event::Type::None);
}

TEST(SdlEvent, BindingNamesAreSdlNames) {
  EXPECT_STREQ(KeyName(Key::Return), "Return");
  EXPECT_STREQ(KeyName(Key::Z), "Z");
  EXPECT_STREQ(KeyName(Key::Escape), "Escape");
  for (int b = 0; b < static_cast<int>(PadButton::Count); ++b)
    EXPECT_STREQ(PadButtonName(static_cast<PadButton>(b)),
                 SDL_GameControllerGetStringForButton(static_cast<SDL_GameControllerButton>(b)));
  EXPECT_STREQ(PadButtonName(PadButton::A), "a");
  EXPECT_STREQ(PadButtonName(PadButton::DpadLeft), "dpleft");
  EXPECT_STREQ(PadAxisName(PadAxis::LeftX), "leftx");
  EXPECT_STREQ(PadAxisName(PadAxis::TriggerLeft), "lefttrigger");
}

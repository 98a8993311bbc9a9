#pragma once
// The panel the screens of ours are drawn on: the game dimmed around it and
// an opaque field with a border and a heading strip, so that their text
// never prints over the game's pictures. The game area is 640 x 480.
#include <cstdint>
#include <string>

#include "comfort/TextPainter.h"
#include "platform/draw/Device.h"

namespace comfort {

struct Panel {
  static constexpr float kLeft = 16.0f, kTop = 12.0f, kRight = 624.0f, kBottom = 468.0f;
  static constexpr float kHeading = 36.0f;  // the strip at the top that holds the heading
  // Where a screen's own content begins below the strip.
  static constexpr float kContentTop = kTop + kHeading + 12.0f;

  // Draws the panel with its heading (CP932) and, right-aligned in the
  // strip, `note` (a page count; may be empty).
  static void Draw(platform::Device& device, TextPainter& text, const std::string& heading,
                   const std::string& note = {}) {
    Draw(device, text, Utf8{platform::Cp932ToUtf8(heading)}, note);
  }
  // The heading in UTF-8 (from the engine's catalogue).
  static void Draw(platform::Device& device, TextPainter& text, const Utf8& heading, const std::string& note = {});
};

}  // namespace comfort

#include "comfort/KeyRoutes.h"

namespace comfort {
using platform::Key;
using platform::MouseButton;
using platform::PadButton;
using Type = platform::Event::Type;

namespace {
Route OfKey(const platform::Event& e) {
  const bool down = e.type == Type::KeyDown;
  const Ask skip = down ? Ask::HoldSkip : Ask::LetGoSkip;
  if (e.key == Key::LeftCtrl) return {skip, Skipping::kLeftCtrl};
  if (e.key == Key::RightCtrl) return {skip, Skipping::kRightCtrl};
  if (!down || e.repeat) return {};
  switch (e.key) {
    case Key::H: return {Ask::HideWindow};
    case Key::PageUp: return {Ask::OpenHistory};
    case Key::Tab: return {Ask::ToggleSkipMode};
    case Key::A: return {Ask::ToggleAuto};
    case Key::F2: return {Ask::OpenSettings};
    default: return {};
  }
}
}  // namespace

Route KeyRoutes::Of(const platform::Event& e) const {
  switch (e.type) {
    case Type::KeyDown:
    case Type::KeyUp: {
      const Route route = OfKey(e);
      if (route.ask == Ask::Nothing || Bound(std::string("key:") + platform::KeyName(e.key))) return {};
      return route;
    }
    case Type::PadButtonDown:
    case Type::PadButtonUp: {
      const bool down = e.type == Type::PadButtonDown;
      const char* name = platform::PadButtonName(e.button);
      if (name && Bound(std::string("pad:") + name)) return {};
      if (e.button == PadButton::RightShoulder) return {down ? Ask::HoldSkip : Ask::LetGoSkip, Skipping::kPad};
      if (!down) return {};
      if (e.button == PadButton::LeftShoulder) return {Ask::OpenHistory};
      if (e.button == PadButton::Back) return {Ask::OpenSettings};
      return {};
    }
    case Type::MouseMotion:
    case Type::MouseUp:
      return {Ask::Pointer};
    case Type::MouseDown:
      // The middle button hides too: the game menu, layered over, takes the right one first.
      if (e.mouse == MouseButton::Right || e.mouse == MouseButton::Middle) return {Ask::HideWindow};
      return {e.mouse == MouseButton::Left ? Ask::Pointer : Ask::Nothing};
    case Type::MouseWheel:
      if (e.wheel > 0) return {Ask::OpenHistory};
      return {e.wheel < 0 ? Ask::Pointer : Ask::Nothing};
    default:
      return {};
  }
}

}  // namespace comfort

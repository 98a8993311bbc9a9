#include "comfort/Panel.h"

namespace comfort {
namespace {
constexpr uint32_t kShade = 0xC0000010, kBorder = 0xFF5A6E9C, kField = 0xFF161E32, kStrip = 0xFF24345A,
                   kHeadingText = 0xFFFFFFFF, kNoteText = 0xFFB8C4E0;
}  // namespace

void Panel::Draw(platform::Device& device, TextPainter& text, const Utf8& heading, const std::string& note) {
  device.SetRenderState(platform::D3DRS_ZENABLE, 0);
  FillRect(device, 0, 0, float(device.Width()), float(device.Height()), kShade);
  FillRect(device, kLeft - 1, kTop - 1, kRight - kLeft + 2, kBottom - kTop + 2, kBorder);
  FillRect(device, kLeft, kTop, kRight - kLeft, kBottom - kTop, kField);
  FillRect(device, kLeft, kTop, kRight - kLeft, kHeading, kStrip);
  const float textTop = kTop + (kHeading - 18.0f) / 2.0f;
  text.Draw(device, heading, kLeft + 16.0f, textTop, kHeadingText);
  if (note.empty()) return;
  const int width = text.Width(device, note);
  text.Draw(device, note, kRight - 16.0f - float(width), textTop, kNoteText);
}

}  // namespace comfort

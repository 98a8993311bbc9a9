#include "comfort/Skipping.h"

#include <limits>

#include "msgbox/CMsgBox.h"

namespace comfort {
using platform::Key;
using platform::PadButton;
using Type = platform::Event::Type;

void Skipping::Hold(Source source, bool down) { held_[source] = down; }

void Skipping::TakeRelease(const platform::Event& e) {
  if (e.type == Type::KeyUp && e.key == Key::LeftCtrl) held_[kLeftCtrl] = false;
  if (e.type == Type::KeyUp && e.key == Key::RightCtrl) held_[kRightCtrl] = false;
  if (e.type == Type::PadButtonUp && e.button == PadButton::RightShoulder) held_[kPad] = false;
}

SkipState Skipping::State() const {
  if (held_[kLeftCtrl] || held_[kRightCtrl] || held_[kPad]) return SkipState::Held;
  return skipSeen_ ? SkipState::Seen : SkipState::Off;
}

void Skipping::ToggleSkipMode() {
  skipSeen_ = !skipSeen_;
  currentSeen_ = true;  // the message on screen is being read now
}

void Skipping::ToggleAuto() {
  auto_ = !auto_;
  typedOutAt_ = -1.0;
}

void Skipping::BeginStep(double now) {
  // Auto mode's wait starts once the message is typed out.
  const bool waiting = box_.Script().Running() && !box_.Window().Typing() && !box_.MenuOpen() && !box_.Fading().Active();
  if (!waiting) typedOutAt_ = -1.0;
  else if (typedOutAt_ < 0.0) typedOutAt_ = now;
  if (box_.MenuOpen()) {
    auto_ = false;
    skipSeen_ = false;
  }
}

bool Skipping::WantsStep(double now, const Settings& s) {
  bool step = false;
  if (State() == SkipState::Held) step = true;
  else if (skipSeen_ && currentSeen_) step = true;
  else if (auto_ && typedOutAt_ >= 0.0 && now >= Due(s)) step = true;
  if (step && State() != SkipState::Off) box_.ShowWholeMessage();
  return step;
}

void Skipping::AfterStep() {
  typedOutAt_ = -1.0;
  if (State() == SkipState::Off) return;
  box_.ShowWholeMessage();
  box_.FinishFadesNow();
}

double Skipping::SecondsUntilDue(double now, const Settings& s) const {
  if (State() == SkipState::Held || (skipSeen_ && currentSeen_)) return 0.0;
  if (auto_ && typedOutAt_ >= 0.0) return Due(s) > now ? Due(s) - now : 0.0;
  return std::numeric_limits<double>::infinity();
}

void Skipping::MessageShown(bool seenBefore, size_t characters) {
  currentSeen_ = seenBefore;
  currentChars_ = characters;
  typedOutAt_ = -1.0;
  // Skip mode stops at the first message not seen before.
  if (skipSeen_ && !currentSeen_) skipSeen_ = false;
}

void Skipping::Trace(std::string& members) const {
  const SkipState skip = State();
  members += ",\"skip\":\"";
  members += skip == SkipState::Held ? "held" : skip == SkipState::Seen ? "seen" : "off";
  members += "\",\"auto\":";
  members += auto_ ? "true" : "false";
}

}  // namespace comfort

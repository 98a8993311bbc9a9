#include "input/KeyConfigModel.h"

#include <algorithm>

#include "platform/diagnostics/Trace.h"

using platform::RawPress;

namespace input {
namespace {
bool IsPadControl(const std::string& control) { return control.compare(0, 4, "pad:") == 0; }

void TraceEvent(const std::string& members) { platform::trace::Event("{\"type\":\"keyconfig\"," + members + "}"); }

// A press while binding an axis action names the whole axis it moved.
std::string AxisFor(const std::string& control) {
  if (control == "pad:dpleft" || control == "pad:dpright") return "pad:dpadx";
  if (control == "pad:dpup" || control == "pad:dpdown") return "pad:dpady";
  static const char* const kSticks[] = {"pad:leftx", "pad:lefty", "pad:rightx", "pad:righty"};
  for (const char* axis : kSticks) {
    std::string a(axis);
    if (control == a + "-" || control == a + "+") return a;
  }
  return std::string();
}
}  // namespace

KeyConfigModel::KeyConfigModel(platform::ActionMapSpec spec, std::vector<KeyConfigAction> actions,
                               platform::Bindings bindings)
    : spec_(std::move(spec)), actions_(std::move(actions)), bindings_(std::move(bindings)) {}

KeyConfigModel::Command KeyConfigModel::CommandOf(const RawPress& p) {
  const std::string& c = p.control;
  if (p.source == RawPress::ScriptedAction) {
    if (c == "up") return Command::Up;
    if (c == "down") return Command::Down;
    if (c == "left") return Command::Left;
    if (c == "right") return Command::Right;
    if (c == "decide") return Command::Select;
    if (c == "cancel") return Command::Back;
    return Command::None;
  }
  // Held directions repeat; the other commands act once per press.
  if (c == "key:Up" || c == "pad:dpup" || c == "pad:lefty-") return Command::Up;
  if (c == "key:Down" || c == "pad:dpdown" || c == "pad:lefty+") return Command::Down;
  if (c == "key:Left" || c == "pad:dpleft" || c == "pad:leftx-") return Command::Left;
  if (c == "key:Right" || c == "pad:dpright" || c == "pad:leftx+") return Command::Right;
  if (p.repeat) return Command::None;
  if (c == "key:Return" || c == "key:Keypad Enter" || c == "key:Space" || c == "pad:a" || c == "pad:start")
    return Command::Select;
  if (c == "key:Escape" || c == "pad:b") return Command::Back;
  if (c == "key:Delete" || c == "key:Backspace" || c == "pad:y") return Command::Clear;
  return Command::None;
}

void KeyConfigModel::Press(const RawPress& press, uint32_t nowMs) {
  if (outcome_ != Outcome::Open) return;
  if (capturing_) {
    Tick(nowMs);
    if (capturing_) {
      Capture(press);
      return;
    }
  }
  Command cmd = CommandOf(press);
  if (cmd != Command::None) unboundWarning_ = false;
  const int rows = static_cast<int>(actions_.size()) + 1;
  switch (cmd) {
    case Command::Up:
    case Command::Down:
      row_ = (row_ + (cmd == Command::Up ? rows - 1 : 1)) % rows;
      column_ = std::min(column_, Columns() - 1);
      break;
    case Command::Left:
      column_ = (column_ + Columns() - 1) % Columns();
      break;
    case Command::Right:
      column_ = (column_ + 1) % Columns();
      break;
    case Command::Select:
      Select();
      if (capturing_) captureStart_ = nowMs;
      break;
    case Command::Back:
      outcome_ = Outcome::Cancel;
      break;
    case Command::Clear:
      Clear();
      break;
    case Command::None:
      break;
  }
}

void KeyConfigModel::PointAt(int row, int column) {
  if (outcome_ != Outcome::Open || capturing_) return;
  if (row < 0 || row > static_cast<int>(actions_.size())) return;
  row_ = row;
  if (column >= 0) column_ = column;
  column_ = std::clamp(column_, 0, Columns() - 1);
}

void KeyConfigModel::Click(int row, int column, uint32_t nowMs) {
  if (outcome_ != Outcome::Open) return;
  Tick(nowMs);
  if (capturing_) {
    capturing_ = false;
    return;
  }
  if (row < 0 || row > static_cast<int>(actions_.size())) return;
  unboundWarning_ = false;
  PointAt(row, column);
  if (column < 0) return;
  Select();
  if (capturing_) captureStart_ = nowMs;
}

void KeyConfigModel::Tick(uint32_t nowMs) {
  if (capturing_ && nowMs - captureStart_ >= kCaptureMs) {
    capturing_ = false;
    TraceEvent("\"event\":\"capture-timeout\"");
  }
}

uint32_t KeyConfigModel::captureLeftMs(uint32_t nowMs) const {
  uint32_t spent = nowMs - captureStart_;
  return capturing_ && spent < kCaptureMs ? kCaptureMs - spent : 0;
}

uint32_t KeyConfigModel::MsUntilDue(uint32_t nowMs) const {
  if (!capturing_) return UINT32_MAX;
  const uint32_t left = captureLeftMs(nowMs);
  // The countdown shows (left + 999) / 1000: it changes when `left` reaches
  // the next whole second below it, the timeout when it reaches 0.
  return left % 1000 != 0 ? left % 1000 : std::min<uint32_t>(left, 1000);
}

void KeyConfigModel::Capture(const RawPress& press) {
  // Scripted actions and key repeats name no control to bind; a scripted
  // cancel gives the capture up.
  if (press.source == RawPress::ScriptedAction && press.control == "cancel") capturing_ = false;
  if (press.source == RawPress::ScriptedAction || press.repeat) return;
  const KeyConfigAction& action = actions_[static_cast<size_t>(row_)];
  std::string control = press.control;
  if (action.axis) {
    control = AxisFor(control);
    if (control.empty()) return;  // only a stick or the d-pad moves an axis
  }
  if (!platform::AddBinding(bindings_, spec_, action.id, control)) return;
  capturing_ = false;
  TraceEvent("\"event\":\"bind\",\"action\":" + std::to_string(action.id) + ",\"control\":" +
             platform::JsonString(bindings_.back().control));
}

void KeyConfigModel::Select() {
  if (row_ < static_cast<int>(actions_.size())) {
    capturing_ = true;
    return;
  }
  switch (column_) {
    case kDefaults:
      bindings_ = platform::DefaultBindings(spec_);
      TraceEvent("\"event\":\"defaults\"");
      break;
    case kOk:
      // Every action has to stay reachable, or the game could not be played
      // (nor this screen reached again) with the saved bindings.
      for (const KeyConfigAction& a : actions_) {
        if (std::none_of(bindings_.begin(), bindings_.end(),
                         [&](const platform::Binding& b) { return b.action == a.id; })) {
          unboundWarning_ = true;
          return;
        }
      }
      outcome_ = Outcome::Ok;
      break;
    default:
      outcome_ = Outcome::Cancel;
      break;
  }
}

void KeyConfigModel::Clear() {
  if (row_ >= static_cast<int>(actions_.size())) return;
  uint32_t id = actions_[static_cast<size_t>(row_)].id;
  bool pad = column_ == 1;
  bindings_.erase(std::remove_if(bindings_.begin(), bindings_.end(),
                                 [&](const platform::Binding& b) {
                                   return b.action == id && IsPadControl(b.control) == pad;
                                 }),
                  bindings_.end());
  TraceEvent("\"event\":\"clear\",\"action\":" + std::to_string(id) + ",\"column\":" + (pad ? "\"pad\"" : "\"keyboard\""));
}

std::vector<std::string> KeyConfigModel::Controls(uint32_t action, bool pad) const {
  std::vector<std::string> out;
  for (const platform::Binding& b : bindings_)
    if (b.action == action && IsPadControl(b.control) == pad) out.push_back(b.control);
  return out;
}

}  // namespace input

// One input device: its action map, its event buffer and its acquisition.
#include "platform/input/InputDevice.h"

#include <algorithm>
#include <cstdlib>

#include "platform/headless/Clock.h"
#include "platform/input/BindingStore.h"
#include "platform/window/Window.h"

namespace platform {
namespace {
constexpr int32_t kDirectionThreshold = 500;  // a stick pushed half way counts as a direction press

// Scripted action names deliver straight to the keyboard's action ids.
struct ScriptedAction {
  const char* control;
  uint32_t action;
};
constexpr ScriptedAction kScriptedActions[] = {
    {"act:left", 3}, {"act:right", 4}, {"act:up", 5}, {"act:down", 6}, {"act:decide", 14}, {"act:cancel", 15},
};

bool IsWholeAxis(const std::string& control) {
  return control == "pad:leftx" || control == "pad:lefty" || control == "pad:rightx" || control == "pad:righty" ||
         control == "pad:dpadx" || control == "pad:dpady" || control == "pad:lefttrigger" ||
         control == "pad:righttrigger";
}

bool BelongsTo(DeviceKind kind, const std::string& control) {
  bool key = control.compare(0, 4, "key:") == 0;
  switch (kind) {
    case DeviceKind::Keyboard: return key;
    case DeviceKind::Pad: return control.compare(0, 4, "pad:") == 0;
    case DeviceKind::Scripted: return key;
  }
  return false;
}
}  // namespace

InputDevice::InputDevice(DeviceKind kind, std::string name, std::shared_ptr<BindingStore> store)
    : kind_(kind), name_(std::move(name)), store_(std::move(store)) {}

HRESULT InputDevice::BuildActionMap(const ActionMapSpec& spec) {
  if (spec.actions.empty() || spec.axisMin >= spec.axisMax || spec.bufferSize == 0 || spec.bufferSize > 1024)
    return DIERR_INVALIDPARAM;
  if (unplugged_) return DIERR_INPUTLOST;
  built_.clear();
  for (const Binding& b : store_->Get(spec))
    if (BelongsTo(kind_, b.control)) built_.emplace(b.control, b.action);
  if (kind_ == DeviceKind::Scripted) {
    for (const ScriptedAction& s : kScriptedActions)
      for (const ActionSpec& a : spec.actions)
        if (a.appData == s.action) built_.emplace(s.control, s.action);
  }
  builtSpec_ = spec;
  return built_.empty() ? S_FALSE : S_OK;
}

HRESULT InputDevice::SetActionMap(const ActionMapSpec& spec) {
  if (unplugged_) return DIERR_INPUTLOST;
  if (builtSpec_.guid != spec.guid || builtSpec_.actions.size() != spec.actions.size()) return DIERR_INVALIDPARAM;
  Unacquire();  // a new map starts with an empty buffer
  map_ = built_;
  spec_ = spec;
  mapSet_ = true;
  return S_OK;
}

HRESULT InputDevice::SetCooperativeLevel(const Window* window, uint32_t flags) {
  bool oneShare = ((flags & DISCL_EXCLUSIVE) != 0) != ((flags & DISCL_NONEXCLUSIVE) != 0);
  bool oneScope = ((flags & DISCL_FOREGROUND) != 0) != ((flags & DISCL_BACKGROUND) != 0);
  if (!oneShare || !oneScope || (flags & ~0xFu) != 0) return DIERR_INVALIDPARAM;
  window_ = window;
  cooperative_ = flags;
  return S_OK;
}

bool InputDevice::Foreground() const {
  if (!(cooperative_ & DISCL_FOREGROUND) || !window_) return true;
  return window_->Focused() && !window_->Minimized();
}

HRESULT InputDevice::Acquire() {
  if (unplugged_) return DIERR_INPUTLOST;
  if (!mapSet_) return DIERR_INVALIDPARAM;
  if (acquired_) return S_FALSE;
  if (!Foreground()) return DIERR_OTHERAPPHASPRIO;
  acquired_ = true;
  Flush();
  // Releases that happened while we were not listening (focus lost with a key
  // held, the configuration screen) would leave an action stuck: report them.
  for (const auto& [control, value] : read_)
    if (value != 0 && state_[control] == 0) Deliver(control, 0);
  return S_OK;
}

bool InputDevice::NeedsRead() const {
  return !buffer_.empty() || unplugged_ || (mapSet_ && acquired_ != Foreground());
}

HRESULT InputDevice::Unacquire() {
  if (!acquired_) return S_FALSE;
  acquired_ = false;
  Flush();
  return S_OK;
}

void InputDevice::Flush() {
  buffer_.clear();
  buffered_ = read_;
}

HRESULT InputDevice::Poll() {
  if (unplugged_) return DIERR_INPUTLOST;
  // A foreground device lets go when its window leaves the front; what it
  // buffered is dropped, and Acquire reports the releases it missed.
  if (acquired_ && !Foreground()) Unacquire();
  return acquired_ ? S_OK : DIERR_NOTACQUIRED;
}

HRESULT InputDevice::GetDeviceData(uint32_t recordSize, DeviceData* data, uint32_t* count, uint32_t flags) {
  if (recordSize != sizeof(DeviceData) || !count || (*count > 0 && !data) || flags != 0) return DIERR_INVALIDPARAM;
  if (acquired_ && beforeRead) beforeRead();
  // An unplugged device still hands out the releases it buffered last.
  if (!acquired_ && !(unplugged_ && !buffer_.empty())) {
    *count = 0;
    return unplugged_ ? DIERR_INPUTLOST : DIERR_NOTACQUIRED;
  }
  uint32_t n = 0;
  while (n < *count && !buffer_.empty()) {
    const Buffered& b = buffer_.front();
    data[n++] = b.data;
    read_[b.control] = b.raw;
    buffer_.pop_front();
  }
  *count = n;
  return S_OK;
}

void InputDevice::Feed(const std::string& control, int32_t value, bool repeat) {
  if (repeat) {
    if (onPress && state_[control] != 0) onPress(control, true);
    return;
  }
  Change(control, value);
  // Controls derived from this one: the directions of an axis, and the d-pad
  // buttons as one axis.
  if (IsWholeAxis(control)) {
    if (control.compare(0, 8, "pad:dpad") != 0) {
      Change(control + "-", value <= -kDirectionThreshold ? 1 : 0);
      Change(control + "+", value >= kDirectionThreshold ? 1 : 0);
    }
  } else if (control == "pad:dpleft" || control == "pad:dpright") {
    Change("pad:dpadx", (state_["pad:dpright"] ? 1000 : 0) - (state_["pad:dpleft"] ? 1000 : 0));
  } else if (control == "pad:dpup" || control == "pad:dpdown") {
    Change("pad:dpady", (state_["pad:dpdown"] ? 1000 : 0) - (state_["pad:dpup"] ? 1000 : 0));
  }
}

void InputDevice::Change(const std::string& control, int32_t value) {
  int32_t& now = state_[control];
  if (now == value) return;
  bool pressed = now == 0 && !IsWholeAxis(control);
  now = value;
  if (acquired_) Deliver(control, value);
  if (pressed && onPress) onPress(control, false);
}

void InputDevice::Deliver(const std::string& control, int32_t value) {
  auto range = map_.equal_range(control);
  if (range.first == range.second) return;
  auto [slot, added] = offsets_.emplace(control, static_cast<uint32_t>(offsets_.size()));
  (void)added;
  for (auto it = range.first; it != range.second; ++it) {
    bool axis = IsAxisAction(spec_, it->second);
    Push(it->second, axis ? Scale(value) : (value != 0 ? kButtonDown : 0), slot->second, control, value);
  }
}

void InputDevice::Push(uint32_t action, int32_t value, uint32_t ofs, const std::string& control, int32_t raw) {
  // A full buffer keeps what it has, as DirectInput does; the newest are lost.
  if (buffer_.size() >= spec_.bufferSize) return;
  Buffered b;
  b.data.dwOfs = ofs;
  b.data.dwData = value;
  b.data.dwTimeStamp = timeGetTime();
  b.data.dwSequence = ++sequence_;
  b.data.uAppData = action;
  b.control = control;
  b.raw = raw;
  buffer_.push_back(std::move(b));
  buffered_[control] = raw;
}

int32_t InputDevice::Scale(int32_t value) const {
  // -1000..1000 onto the map's range; rest (0) is exactly its midpoint.
  int64_t min = spec_.axisMin, max = spec_.axisMax;
  if (value == 0) return static_cast<int32_t>(min + (max - min) / 2);
  return static_cast<int32_t>(min + (static_cast<int64_t>(value) + 1000) * (max - min) / 2000);
}

void InputDevice::MarkUnplugged() {
  if (unplugged_) return;
  // Whatever it last reported as held is let go, so no action stays pending;
  // these events are read even though the device can no longer be acquired.
  if (!acquired_) Flush();
  for (const auto& [control, value] : buffered_)
    if (value != 0) Deliver(control, 0);
  acquired_ = false;
  unplugged_ = true;
}

}  // namespace platform

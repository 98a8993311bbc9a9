// The input system: keyboard and game-pad events into devices, pads joining
// and leaving, scripted input, raw capture for modal screens.
#include "platform/input/InputSystem.h"

#include <algorithm>
#include <cstdlib>

#include "platform/diagnostics/Debug.h"
#include "platform/input/BindingStore.h"
#include "platform/input/InputDevice.h"
#include "platform/input/PadSource.h"
#include "platform/input/ScriptedInput.h"
#include "platform/window/Window.h"

namespace platform {

struct InputSystem::Pad {
  PadSource::Handle handle = nullptr;
  int32_t instance = -1;
  DevicePtr device;
};

namespace {
// Sticks rest anywhere within about a quarter of their travel; inside that the
// axis reads exactly 0, so letting go always reports the midpoint.
constexpr int kStickDeadZone = 8000;
constexpr int kTriggerDeadZone = 3000;

int32_t AxisValue(int raw, int deadZone) {
  int magnitude = std::abs(raw);
  if (magnitude <= deadZone) return 0;
  int v = (magnitude - deadZone) * 1000 / (32767 - deadZone);
  v = std::clamp(v, 1, 1000);
  return raw < 0 ? -v : v;
}

bool Suits(const DevicePtr& device, const ActionMapSpec& spec) {
  // A device suits the map when the map gives it at least one control; the
  // build is redone by the caller's callback.
  return device->BuildActionMap(spec) == S_OK;
}
}  // namespace

HRESULT InputSystem::Create(const Config& config, std::unique_ptr<InputSystem>& out) {
  std::unique_ptr<InputSystem> sys(new InputSystem());
  sys->config_ = config;
  sys->store_ = std::make_shared<BindingStore>();
  auto pressOf = [raw = sys.get()](RawPress::Source source) {
    return [raw, source](const std::string& control, bool repeat) {
      RawPress p;
      p.source = source;
      p.control = control;
      p.repeat = repeat;
      if (source == RawPress::Keyboard && control.compare(0, 4, "act:") == 0) {
        p.source = RawPress::ScriptedAction;
        p.control = control.substr(4);
      }
      raw->Capture(std::move(p));
    };
  };
  sys->keyboard_ = std::make_shared<InputDevice>(DeviceKind::Keyboard, "Keyboard", sys->store_);
  sys->keyboard_->onPress = pressOf(RawPress::Keyboard);
  sys->scripted_ = std::make_shared<InputDevice>(DeviceKind::Scripted, "Scripted input", sys->store_);
  sys->scripted_->onPress = pressOf(RawPress::Keyboard);
  sys->scripted_->beforeRead = [raw = sys.get()] { raw->PumpScripted(); };
  if (config.pads) sys->padSource_ = OpenSdlPads();
  if (!sys->padSource_) sys->padSource_ = std::make_unique<NoPads>();
  for (int i = 0; i < sys->padSource_->DeviceCount(); ++i) sys->OpenPad(i);
  sys->arrived_.clear();  // the first enumeration lists them
  sys->padSource_->StartWatching();
  sys->hook_ = Window::AddEventHook([raw = sys.get()](const Event& e) { raw->OnPlatformEvent(e); });
  out = std::move(sys);
  return S_OK;
}

InputSystem::~InputSystem() {
  if (hook_ >= 0) Window::RemoveEventHook(hook_);
  for (auto& pad : pads_) {
    pad->device->MarkUnplugged();
    padSource_->Close(pad->handle);
  }
  pads_.clear();
}

void InputSystem::OpenPad(int deviceIndex) {
  int32_t id = padSource_->InstanceId(deviceIndex);
  for (const auto& pad : pads_)
    if (pad->instance == id) return;  // already open (SDL also announces pads present at start)
  if (pads_.size() >= static_cast<size_t>(kMaxDevices) || !padSource_->IsPad(deviceIndex)) return;
  std::string name;
  PadSource::Handle handle = padSource_->Open(deviceIndex, name);
  if (!handle) return;
  auto pad = std::make_unique<Pad>();
  pad->handle = handle;
  pad->instance = id;
  pad->device = std::make_shared<InputDevice>(DeviceKind::Pad, name, store_);
  pad->device->onPress = [this](const std::string& control, bool repeat) { Capture({RawPress::Pad, control, repeat}); };
  arrived_.push_back(pad->device);
  pads_.push_back(std::move(pad));
}

void InputSystem::ClosePad(int32_t instanceId) {
  auto it = std::find_if(pads_.begin(), pads_.end(), [&](const auto& p) { return p->instance == instanceId; });
  if (it == pads_.end()) return;
  DevicePtr device = (*it)->device;
  device->MarkUnplugged();
  arrived_.erase(std::remove(arrived_.begin(), arrived_.end(), device), arrived_.end());
  padSource_->Close((*it)->handle);
  pads_.erase(it);
}

void InputSystem::OnPlatformEvent(const Event& e) {
  auto padDevice = [&](int32_t id) -> InputDevice* {
    for (const auto& pad : pads_)
      if (pad->instance == id) return pad->device.get();
    return nullptr;
  };
  switch (e.type) {
    case Event::Type::KeyDown:
    case Event::Type::KeyUp:
      if (e.key != Key::Unknown && !e.scripted)
        keyboard_->Feed(std::string("key:") + KeyName(e.key), e.type == Event::Type::KeyDown, e.repeat);
      break;
    case Event::Type::PadAdded:
      OpenPad(e.pad);
      break;
    case Event::Type::PadRemoved:
      ClosePad(e.pad);
      break;
    case Event::Type::PadButtonDown:
    case Event::Type::PadButtonUp:
      if (InputDevice* d = padDevice(e.pad)) {
        const char* name = PadButtonName(e.button);
        if (name) d->Feed(std::string("pad:") + name, e.type == Event::Type::PadButtonDown);
      }
      break;
    case Event::Type::PadAxisMotion:
      if (InputDevice* d = padDevice(e.pad)) {
        const char* name = PadAxisName(e.axis);
        bool trigger = e.axis == PadAxis::TriggerLeft || e.axis == PadAxis::TriggerRight;
        if (name) d->Feed(std::string("pad:") + name, AxisValue(e.value, trigger ? kTriggerDeadZone : kStickDeadZone));
      }
      break;
    default:
      break;
  }
}

void InputSystem::PumpScripted() {
  static constexpr const char* kActions[] = {"left", "right", "up", "down", "decide", "cancel"};
  for (const ScriptedEvent& e : DueScriptedEvents()) {
    if (e.kind != ScriptedEvent::Press && e.kind != ScriptedEvent::Release) continue;
    int32_t value = e.kind == ScriptedEvent::Press ? 1 : 0;
    if (std::find(std::begin(kActions), std::end(kActions), e.target) != std::end(kActions)) {
      scripted_->Feed("act:" + e.target, value);
      continue;
    }
    ControlInfo info = ParseControl(e.target);
    if (info.kind == ControlKind::Key)
      scripted_->Feed(info.name, value);
    else
      OutputDebugString("Input: scripted input names no key or action: " + e.target);
  }
  ClearDueScriptedEvents();
}

HRESULT InputSystem::EnumDevicesBySemantics(const ActionMapSpec& spec,
                                            const std::function<bool(const DevicePtr&)>& callback) {
  if (spec.actions.empty() || spec.axisMin >= spec.axisMax) return DIERR_INVALIDPARAM;
  arrived_.clear();
  std::vector<DevicePtr> all{keyboard_};
  for (const auto& pad : pads_) all.push_back(pad->device);
  all.push_back(scripted_);
  for (const DevicePtr& d : all)
    if (Suits(d, spec) && !callback(d)) break;
  return S_OK;
}

void InputSystem::Rescan() {
  // The add and remove events can be missed (a modal loop elsewhere may eat
  // them); the platform's device list is the truth.
  for (size_t i = 0; i < pads_.size();) {
    if (!padSource_->Attached(pads_[i]->handle))
      ClosePad(pads_[i]->instance);
    else
      ++i;
  }
  for (int i = 0; i < padSource_->DeviceCount(); ++i) OpenPad(i);
}

bool InputSystem::NeedsRead() const {
  if (!arrived_.empty() || padSource_->DevicesChanged()) return true;
  for (const DevicePtr& d : {keyboard_, scripted_})
    if (d && d->NeedsRead()) return true;
  for (const auto& pad : pads_)
    if (pad->device->NeedsRead()) return true;
  return false;
}

std::vector<DevicePtr> InputSystem::TakeArrivedDevices(const ActionMapSpec& spec) {
  // Called on every logic step: the platform's device list is walked only
  // after it announced a change.
  if (padSource_->TakeDevicesChanged()) Rescan();
  std::vector<DevicePtr> out;
  for (const DevicePtr& d : arrived_)
    if (Suits(d, spec)) out.push_back(d);
  arrived_.clear();
  return out;
}

const Bindings& InputSystem::GetBindings(const ActionMapSpec& spec) { return store_->Get(spec); }
void InputSystem::SetBindings(const ActionMapSpec& spec, const Bindings& bindings) { store_->Set(spec, bindings); }

void InputSystem::SetRawCapture(bool on) {
  capturing_ = on;
  raw_.clear();
}

void InputSystem::Capture(RawPress press) {
  if (capturing_) raw_.push_back(std::move(press));
}

std::vector<RawPress> InputSystem::TakeRawPresses() {
  PumpScripted();
  std::vector<RawPress> out;
  out.swap(raw_);
  return out;
}

size_t InputSystem::AttachedPads() const { return pads_.size(); }

}  // namespace platform

#pragma once
// The input system in the manner of DirectInput 8 action mapping: the
// keyboard, every SDL game controller (joining and leaving while the game
// runs) and the scripted input of headless runs, each an InputDevice; the
// input unit reads them once per logic step.
//
// Platform events arrive through the window's event hooks; tests may hand
// them to OnPlatformEvent directly.
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/diagnostics/Result.h"
#include "platform/input/InputBindings.h"
#include "platform/input/InputDevice.h"
#include "platform/window/Event.h"

namespace platform {

class BindingStore;
class PadSource;

// A press seen by a modal screen that reads controls directly.
struct RawPress {
  enum Source { Keyboard, Pad, ScriptedAction } source = Keyboard;
  std::string control;  // "key:Return", "pad:a", "pad:leftx-"; for ScriptedAction "decide" etc.
  bool repeat = false;  // keyboard auto-repeat
};

// The DirectInput stand-in: owns the devices and the player's bindings.
class InputSystem {
 public:
  struct Config {
    bool pads = true;  // headless runs leave real pads out, for repeatable runs
  };
  static constexpr int kMaxDevices = 98;

  // Fails only when the platform's input cannot be set up at all.
  static HRESULT Create(const Config& config, std::unique_ptr<InputSystem>& out);
  ~InputSystem();
  InputSystem(const InputSystem&) = delete;
  InputSystem& operator=(const InputSystem&) = delete;

  // Calls back once per attached device that has a binding in the map, in
  // order: keyboard, pads, scripted input. The callback returns false to stop.
  HRESULT EnumDevicesBySemantics(const ActionMapSpec& spec, const std::function<bool(const DevicePtr&)>& callback);
  // Pads plugged in since the last enumeration or call, that suit the map
  // (after a Rescan when the platform announced a device coming or going).
  std::vector<DevicePtr> TakeArrivedDevices(const ActionMapSpec& spec);

  // The bindings in force for the map (the player's file, else defaults);
  // SetBindings replaces them for this session (the caller saves them).
  const Bindings& GetBindings(const ActionMapSpec& spec);
  void SetBindings(const ActionMapSpec& spec, const Bindings& bindings);

  // While capturing, presses of every control (and scripted events) are also
  // queued for TakeRawPresses, whether or not a device is acquired.
  void SetRawCapture(bool on);
  std::vector<RawPress> TakeRawPresses();

  // A key, pad or pad-plugging event; others are ignored.
  void OnPlatformEvent(const Event& event);
  // Feeds the due scripted events to the scripted device and clears them.
  void PumpScripted();

  // Brings the pad list in line with the platform's, opening new pads and
  // letting go of those that were pulled out.
  void Rescan();
  // The next logic step's read has something to do: a device to read,
  // acquire or let go (InputDevice::NeedsRead), or pads come or gone.
  bool NeedsRead() const;
  size_t AttachedPads() const;

 private:
  InputSystem() = default;
  struct Pad;
  void OpenPad(int deviceIndex);
  void ClosePad(int32_t instanceId);
  void Capture(RawPress press);

  Config config_;
  int hook_ = -1;
  std::unique_ptr<PadSource> padSource_;  // SDL's game controllers, or none
  std::shared_ptr<BindingStore> store_;
  DevicePtr keyboard_, scripted_;
  std::vector<std::unique_ptr<Pad>> pads_;
  std::vector<DevicePtr> arrived_;
  bool capturing_ = false;
  std::vector<RawPress> raw_;
};

}  // namespace platform

#pragma once
// Input devices in the manner of DirectInput 8 action mapping: the keyboard,
// every SDL game controller (joining and leaving while the game runs) and the
// scripted input of headless runs. Each device is given the game's action map
// and buffers its events, tagged with action ids, while it is acquired; the
// input unit reads them once per logic step.
//
// Raw platform events arrive through the window's raw event hooks; tests may
// hand them to OnPlatformEvent directly.
#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/InputBindings.h"
#include "platform/Result.h"

namespace platform {

class Window;

enum : uint32_t { DISCL_EXCLUSIVE = 0x1, DISCL_NONEXCLUSIVE = 0x2, DISCL_FOREGROUND = 0x4, DISCL_BACKGROUND = 0x8 };
constexpr HRESULT DIERR_OTHERAPPHASPRIO = E_ACCESSDENIED;
constexpr HRESULT DIERR_INVALIDPARAM = E_INVALIDARG;
constexpr int32_t kButtonDown = 0x80;  // button events carry 0x80 pressed, 0 released

// One buffered event, the DIDEVICEOBJECTDATA stand-in.
struct DeviceData {
  uint32_t dwOfs = 0;        // the control's index on its device
  int32_t dwData = 0;        // kButtonDown / 0, or the axis value in the map's range
  uint32_t dwTimeStamp = 0;  // ms
  uint32_t dwSequence = 0;
  uint32_t uAppData = 0;     // the action id
};

enum class DeviceKind { Keyboard, Pad, Scripted };

class BindingStore;

class InputDevice {
 public:
  InputDevice(DeviceKind kind, std::string name, std::shared_ptr<BindingStore> store);
  DeviceKind Kind() const { return kind_; }
  const std::string& Name() const { return name_; }  // UTF-8

  // Works out which of this device's controls feed which action (from the
  // player's bindings for the map); fails on an unusable map.
  HRESULT BuildActionMap(const ActionMapSpec& spec);
  // Puts the built map in force.
  HRESULT SetActionMap(const ActionMapSpec& spec);
  // Exactly one of exclusive/non-exclusive and of foreground/background.
  HRESULT SetCooperativeLevel(const Window* window, uint32_t flags);
  // Fails with DIERR_OTHERAPPHASPRIO while a foreground device's window is
  // not in front, DIERR_INPUTLOST once the device is unplugged.
  HRESULT Acquire();
  HRESULT Unacquire();
  HRESULT Poll();
  // Reads up to *count events (count 1 is the usual); *count is set to the
  // number read. An unplugged device still hands out what it buffered.
  HRESULT GetDeviceData(uint32_t recordSize, DeviceData* data, uint32_t* count, uint32_t flags);

  bool Acquired() const { return acquired_; }
  bool Unplugged() const { return unplugged_; }

  // Device side, called by the input system: a control changed to value
  // (buttons 0/1, axes -1000..1000 with 0 at rest).
  void Feed(const std::string& control, int32_t value, bool repeat = false);
  void MarkUnplugged();
  // Told of every press (a control going from rest to active, or a key
  // repeat), for the input system's raw capture.
  std::function<void(const std::string& control, bool repeat)> onPress;
  // The due scripted events are taken on the scripted device's reads.
  std::function<void()> beforeRead;

 private:
  struct Buffered {
    DeviceData data;
    std::string control;
    int32_t raw = 0;  // the control's own value
  };
  void Change(const std::string& control, int32_t value);
  void Deliver(const std::string& control, int32_t value);
  void Push(uint32_t action, int32_t value, uint32_t ofs, const std::string& control, int32_t raw);
  void Flush();
  int32_t Scale(int32_t value) const;
  bool Foreground() const;

  DeviceKind kind_;
  std::string name_;
  std::shared_ptr<BindingStore> store_;
  ActionMapSpec builtSpec_, spec_;
  std::multimap<std::string, uint32_t> built_, map_;  // control -> action
  std::map<std::string, uint32_t> offsets_;
  const Window* window_ = nullptr;
  uint32_t cooperative_ = 0;
  bool mapSet_ = false, acquired_ = false, unplugged_ = false;
  std::deque<Buffered> buffer_;
  std::map<std::string, int32_t> state_;     // what the control is now
  std::map<std::string, int32_t> buffered_;  // what the reader knows once the buffer is read
  std::map<std::string, int32_t> read_;      // what the reader has read
  uint32_t sequence_ = 0;
};

using DevicePtr = std::shared_ptr<InputDevice>;

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

  // A raw SDL event (const SDL_Event*).
  void OnPlatformEvent(const void* sdlEvent);
  // Feeds the due scripted events to the scripted device and clears them.
  void PumpScripted();

  // Brings the pad list in line with the platform's, opening new pads and
  // letting go of those that were pulled out.
  void Rescan();
  size_t AttachedPads() const;

 private:
  InputSystem() = default;
  struct Pad;
  void OpenPad(int deviceIndex);
  void ClosePad(int32_t instanceId);
  void Capture(RawPress press);

  Config config_;
  int hook_ = -1;
  bool padsReady_ = false;
  // Set by SDL's event watch, from whichever thread queues a device event:
  // seen even when a modal loop elsewhere takes the event itself.
  std::atomic<bool> devicesChanged_{false};
  bool watching_ = false;
  std::shared_ptr<BindingStore> store_;
  DevicePtr keyboard_, scripted_;
  std::vector<std::unique_ptr<Pad>> pads_;
  std::vector<DevicePtr> arrived_;
  bool capturing_ = false;
  std::vector<RawPress> raw_;
};

}  // namespace platform

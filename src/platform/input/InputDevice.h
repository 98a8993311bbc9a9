#pragma once
// One input device in the manner of DirectInput 8 action mapping: the
// keyboard, a game pad or the scripted input; it buffers its events, tagged
// with action ids, while it is acquired.
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "platform/diagnostics/Result.h"
#include "platform/input/InputBindings.h"

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
  // The next read changes something: events wait in the buffer, the device
  // went, or its window came to or left the front (it is to be acquired or
  // let go). Otherwise a logic step's read would do nothing.
  bool NeedsRead() const;
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

}  // namespace platform

#pragma once
// Private to the platform library: where the input system's game pads come
// from. SDL's game controllers in a windowed run; none at all when pads are
// left out (headless runs, for repeatable runs) or SDL cannot provide them.
#include <cstdint>
#include <memory>
#include <string>

namespace platform {

class PadSource {
 public:
  using Handle = void*;  // an open pad
  virtual ~PadSource() = default;
  // The platform's device list: its length, each entry's instance id, and
  // whether it is a game pad.
  virtual int DeviceCount() const = 0;
  virtual int32_t InstanceId(int deviceIndex) const = 0;
  virtual bool IsPad(int deviceIndex) const = 0;
  // Null when the pad cannot be opened (said on the debug output).
  virtual Handle Open(int deviceIndex, std::string& name) = 0;
  virtual void Close(Handle pad) = 0;
  virtual bool Attached(Handle pad) const = 0;
  // From now on, notes every device that comes or goes, whoever takes its
  // event; TakeDevicesChanged is true once after each.
  virtual void StartWatching() = 0;
  virtual bool TakeDevicesChanged() = 0;
  // Whether TakeDevicesChanged would now be true, without taking it.
  virtual bool DevicesChanged() const = 0;
};

// The game controllers SDL sees; null, said on the debug output, when its
// game-controller support cannot be started.
std::unique_ptr<PadSource> OpenSdlPads();

class NoPads : public PadSource {
 public:
  int DeviceCount() const override { return 0; }
  int32_t InstanceId(int) const override { return -1; }
  bool IsPad(int) const override { return false; }
  Handle Open(int, std::string&) override { return nullptr; }
  void Close(Handle) override {}
  bool Attached(Handle) const override { return false; }
  void StartWatching() override {}
  bool TakeDevicesChanged() override { return false; }
  bool DevicesChanged() const override { return false; }
};

}  // namespace platform

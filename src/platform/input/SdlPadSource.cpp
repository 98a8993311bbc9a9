// SDL's game controllers as the input system's pads.
#include <SDL.h>

#include <atomic>

#include "platform/diagnostics/Debug.h"
#include "platform/input/PadSource.h"

namespace platform {
namespace {
int WatchDevices(void* flag, SDL_Event* e) {
  switch (e->type) {
    case SDL_JOYDEVICEADDED:
    case SDL_JOYDEVICEREMOVED:
    case SDL_CONTROLLERDEVICEADDED:
    case SDL_CONTROLLERDEVICEREMOVED:
      static_cast<std::atomic<bool>*>(flag)->store(true);
      break;
    default: break;
  }
  return 1;
}

class SdlPadSource : public PadSource {
 public:
  ~SdlPadSource() override {
    if (watching_) SDL_DelEventWatch(WatchDevices, &changed_);
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
  }
  int DeviceCount() const override { return SDL_NumJoysticks(); }
  int32_t InstanceId(int deviceIndex) const override { return SDL_JoystickGetDeviceInstanceID(deviceIndex); }
  bool IsPad(int deviceIndex) const override { return SDL_IsGameController(deviceIndex); }
  Handle Open(int deviceIndex, std::string& name) override {
    SDL_GameController* gc = SDL_GameControllerOpen(deviceIndex);
    if (!gc) {
      OutputDebugString(std::string("Input: cannot open a game pad: ") + SDL_GetError());
      return nullptr;
    }
    const char* n = SDL_GameControllerName(gc);
    name = n ? n : "Game pad";
    return gc;
  }
  void Close(Handle pad) override { SDL_GameControllerClose(static_cast<SDL_GameController*>(pad)); }
  bool Attached(Handle pad) const override {
    return SDL_GameControllerGetAttached(static_cast<SDL_GameController*>(pad));
  }
  void StartWatching() override {
    if (watching_) return;
    SDL_AddEventWatch(WatchDevices, &changed_);
    watching_ = true;
  }
  bool TakeDevicesChanged() override { return changed_.exchange(false); }
  bool DevicesChanged() const override { return changed_.load(); }

 private:
  // Set by SDL's event watch, from whichever thread queues a device event:
  // seen even when a modal loop elsewhere takes the event itself.
  std::atomic<bool> changed_{false};
  bool watching_ = false;
};
}  // namespace

std::unique_ptr<PadSource> OpenSdlPads() {
  if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
    OutputDebugString(std::string("Input: game pads unavailable: ") + SDL_GetError());
    return nullptr;
  }
  return std::make_unique<SdlPadSource>();
}

}  // namespace platform

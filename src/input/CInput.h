#pragma once
// The game's input: its abstract actions mapped onto every keyboard, game pad
// and scripted input, read once per logic step into the action-state table,
// and the key configuration screen on request. The rest of the game sees only
// action slots that are 1 or 0.
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "input/ActionLatch.h"
#include "input/GameActions.h"  // the slots poll() fills
#include "input/InputTypes.h"
#include "platform/diagnostics/Result.h"
#include "platform/input/InputDevice.h"
#include "platform/input/InputSystem.h"

class CInput {
 public:
  static constexpr int kMaxDevices = 98;
  // A device that stays lost is given up after this many acquire attempts.
  static constexpr int kAcquireRetries = 3;

  CInput();
  ~CInput();
  CInput(const CInput&) = delete;
  CInput& operator=(const CInput&) = delete;

  // Copies the map's identity, window, name and table (actionsSize bytes,
  // sizeof(DIACTION) per action), sets up the devices and maps the actions
  // onto them. The instance handle is not needed here and may be null.
  HRESULT create(const GUID& guid, void* instance, platform::Window* window, const std::string& name,
                 const DIACTION* actions, uint32_t actionsSize);
  // Reads every device's buffered events into actionStates (255 slots);
  // nothing is read while active is 0. Decide and the directions go through
  // the latch: a press let go before its grid fired still sets its slot.
  HRESULT poll(int32_t* actionStates, int32_t active);
  // The latch poll() writes decide and the directions through; the game
  // tells it when a grid fired, the mouse presses decide through it too.
  input::ActionLatch& Latch() { return latch_; }
  const input::ActionLatch& Latch() const { return latch_; }
  // 0 when the next poll has something to read, acquire or let go; never
  // otherwise (framework/DueTime.h): input then wakes the loop itself.
  double SecondsUntilDue() const;
  // Shows the key configuration screen; on OK the bindings are saved and the
  // devices mapped again.
  HRESULT configureDevices();

  // Whether a control ("key:H", "pad:back") feeds one of the actions in the
  // bindings in force; false before create.
  bool ControlBound(const std::string& control) const;

  // How many times the key configuration screen has been shown: what was
  // pressed there was meant for the screen.
  uint64_t Configurations() const { return configurations; }

  int32_t DeviceCount() const { return deviceCount; }
  platform::InputSystem* System() const { return directInput.get(); }

 private:
  void fillActionFormat();
  void deviceCallback(const platform::DevicePtr& device);
  void releaseDevices();
  HRESULT enumerateDevices();
  void applyEvent(int32_t* actionStates, uint32_t action, int32_t value, int32_t midpoint);

  GUID actionMapGuid;
  platform::Window* window = nullptr;
  std::string actionMapName;  // CP932
  std::unique_ptr<platform::InputSystem> directInput;
  std::array<platform::DevicePtr, kMaxDevices> devices;
  DIACTIONFORMAT actionFormat;
  // The same format for the platform, made once: every logic step hands it
  // to the device arrivals check (building it formats the GUID).
  platform::ActionMapSpec actionSpec;
  int32_t deviceCount = 0;
  std::unique_ptr<DIACTION[]> actions;
  uint32_t actionsSize = 0;
  int32_t axisMin = -1000, axisMax = 1000;
  uint64_t configurations = 0;
  input::ActionLatch latch_;
};

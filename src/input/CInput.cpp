#include "input/CInput.h"

#include <algorithm>
#include <limits>

#include "input/KeyConfigScreen.h"
#include "platform/diagnostics/Debug.h"
#include "platform/diagnostics/Report.h"
#include "platform/text/TextCodec.h"
#include "platform/window/Window.h"

using platform::DeviceData;
using platform::DevicePtr;

namespace {
constexpr uint32_t kGenre = 0x07000000;
constexpr uint32_t kBufferSize = 100;
}  // namespace

CInput::CInput() = default;

CInput::~CInput() {
  actions.reset();
  releaseDevices();
  directInput.reset();
  actionMapName.clear();
}

HRESULT CInput::create(const GUID& guid, void*, platform::Window* wnd, const std::string& name,
                       const DIACTION* table, uint32_t tableSize) {
  releaseDevices();  // a second create starts over
  directInput.reset();
  actionMapGuid = guid;
  window = wnd;
  actionMapName = name;
  uint32_t count = table ? tableSize / static_cast<uint32_t>(sizeof(DIACTION)) : 0;
  actionsSize = count * static_cast<uint32_t>(sizeof(DIACTION));
  actions = std::make_unique<DIACTION[]>(count);
  std::copy(table, table + count, actions.get());

  platform::InputSystem::Config config;
  config.pads = !(window && window->Headless());  // headless runs are repeatable: no real pads
  HRESULT hr = platform::InputSystem::Create(config, directInput);
  if (FAILED(hr)) return DXTRACE("CInput", hr, SJ("DirectInput8オブジェクトの作成に失敗"), true);

  fillActionFormat();
  hr = enumerateDevices();
  if (FAILED(hr)) return DXTRACE("CInput", hr, SJ("デバイスへのアクションのマッピングに失敗"), true);
  return S_OK;
}

void CInput::fillActionFormat() {
  actionFormat = DIACTIONFORMAT{};
  actionFormat.dwSize = sizeof(DIACTIONFORMAT);
  actionFormat.dwActionSize = sizeof(DIACTION);
  actionFormat.dwNumActions = actionsSize / static_cast<uint32_t>(sizeof(DIACTION));
  actionFormat.dwDataSize = 4 * actionFormat.dwNumActions;
  actionFormat.rgoAction = actions.get();
  actionFormat.guidActionMap = actionMapGuid;
  actionFormat.dwGenre = kGenre;
  actionFormat.dwBufferSize = kBufferSize;
  actionFormat.lAxisMin = axisMin;
  actionFormat.lAxisMax = axisMax;
  actionFormat.tszActionMap = actionMapName;
  actionSpec = ToActionMapSpec(actionFormat);
}

HRESULT CInput::enumerateDevices() {
  return directInput->EnumDevicesBySemantics(actionSpec, [this](const DevicePtr& d) {
    deviceCallback(d);
    return true;  // always go on with the next device
  });
}

void CInput::deviceCallback(const DevicePtr& device) {
  if (deviceCount >= kMaxDevices) return;  // the list is full: further devices are left out
  const platform::ActionMapSpec& spec = actionSpec;
  HRESULT hr = device->BuildActionMap(spec);
  if (FAILED(hr)) {
    DXTRACE("CInput", hr, SJ("BuildActionMapに失敗"), true);
    return;
  }
  hr = device->SetActionMap(spec);
  if (FAILED(hr)) {
    DXTRACE("CInput", hr, SJ("SetActionMapに失敗"), true);
    return;
  }
  hr = device->SetCooperativeLevel(window, platform::DISCL_NONEXCLUSIVE | platform::DISCL_FOREGROUND);
  if (FAILED(hr)) {
    DXTRACE("CInput", hr, SJ("DirectInput8の協調モードの設定に失敗"), true);
    return;
  }
  devices[deviceCount++] = device;
}

void CInput::releaseDevices() {
  for (int32_t i = 0; i < deviceCount; ++i) {
    devices[i]->Unacquire();
    devices[i].reset();
  }
  deviceCount = 0;
}

bool CInput::ControlBound(const std::string& control) const {
  if (!directInput) return false;
  for (const platform::Binding& b : directInput->GetBindings(actionSpec))
    if (platform::ControlsOverlap(b.control, control)) return true;
  return false;
}

double CInput::SecondsUntilDue() const {
  if (directInput && directInput->NeedsRead()) return 0;
  for (int32_t i = 0; i < deviceCount; ++i)
    if (devices[i]->NeedsRead()) return 0;
  return std::numeric_limits<double>::infinity();
}

HRESULT CInput::poll(int32_t* actionStates, int32_t active) {
  if (!active) return S_OK;
  if (!directInput || !actionStates) return S_OK;  // no input was set up: the game runs without it

  // Pads plugged in since the last step join the list.
  for (const DevicePtr& d : directInput->TakeArrivedDevices(actionSpec)) deviceCallback(d);

  const int32_t midpoint = axisMin + (axisMax - axisMin) / 2;
  for (int32_t i = 0; i < deviceCount; ++i) {
    const DevicePtr& device = devices[i];
    if (FAILED(device->Poll())) {
      HRESULT hr = device->Acquire();
      for (int tries = 1; hr == DIERR_INPUTLOST && tries < kAcquireRetries; ++tries) hr = device->Acquire();
    }
    for (;;) {
      DeviceData data;
      uint32_t count = 1;
      HRESULT hr = device->GetDeviceData(sizeof(DeviceData), &data, &count, 0);
      if (hr == DIERR_INPUTLOST) {
        device->Acquire();
        count = 1;
        hr = device->GetDeviceData(sizeof(DeviceData), &data, &count, 0);
      }
      if (FAILED(hr) || count == 0) break;
      applyEvent(actionStates, data.uAppData, data.dwData, midpoint);
    }
  }

  // A pad pulled out has handed over its last events above; it leaves the list.
  int32_t kept = 0;
  for (int32_t i = 0; i < deviceCount; ++i) {
    if (devices[i]->Unplugged())
      devices[i].reset();
    else
      devices[kept++] = std::move(devices[i]);
  }
  deviceCount = kept;
  return S_OK;
}

void CInput::applyEvent(int32_t* s, uint32_t action, int32_t v, int32_t midpoint) {
  // An axis sets the slot of the side it leans to; only the midpoint clears both.
  auto axis = [&](ActionId low, ActionId high) {
    if (v < midpoint) latch_.Press(s, low, !latch_.Down(low));
    else if (v > midpoint) latch_.Press(s, high, !latch_.Down(high));
    else {
      latch_.Release(s, low);
      latch_.Release(s, high);
    }
  };
  switch (action) {
    case ACT_LEFT_RIGHT: axis(ACT_LEFT, ACT_RIGHT); break;
    case ACT_UP_DOWN: axis(ACT_UP, ACT_DOWN); break;
    // A direction on its own: keys, the hat, the pad's buttons.
    case ACT_LEFT:
    case ACT_RIGHT:
    case ACT_UP:
    case ACT_DOWN:
      if (v != 0) latch_.Press(s, static_cast<int32_t>(action));
      else latch_.Release(s, static_cast<int32_t>(action));
      break;
    // The keyboard's decide and cancel keys share the pad buttons' slots.
    case ACT_DECIDE:
    case ACT_DECIDE_KEY:
      if (v != 0) latch_.Press(s, ACT_DECIDE);
      else latch_.Release(s, ACT_DECIDE);
      break;
    case ACT_CANCEL:
    case ACT_CANCEL_KEY:
      s[ACT_CANCEL] = v != 0 ? 1 : 0;
      break;
    default:
      break;
  }
}

HRESULT CInput::configureDevices() {
  if (!directInput) return E_FAIL;
  ++configurations;
  fillActionFormat();
  DICONFIGUREDEVICESPARAMS params;
  params.dwSize = sizeof(DICONFIGUREDEVICESPARAMS);
  params.dwcUsers = 0;
  params.lptszUserNames = nullptr;
  params.dwcFormats = 1;
  params.lprgFormats = &actionFormat;
  params.hwnd = window;
  for (int32_t i = 0; i < deviceCount; ++i) devices[i]->Unacquire();

  HRESULT result = input::ConfigureDevices(*directInput, params, DICD_EDIT);
  if (FAILED(result)) DXTRACE("CInput", result, SJ("ConfigureDevices失敗"), true);
  actionSpec = ToActionMapSpec(actionFormat);  // as the screen left the format

  // Map the devices again, with the player's bindings. This also runs after a
  // failure, so that bindings accepted before a failed save are in force and
  // no device is left unacquired with its old map.
  releaseDevices();
  HRESULT hr = enumerateDevices();
  if (FAILED(hr)) return hr;
  return FAILED(result) ? result : S_OK;
}

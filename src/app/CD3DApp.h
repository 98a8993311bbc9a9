#pragma once
// The reusable application base: window, drawing device, audio objects,
// message loop with the 0.016 s logic grid, close confirmation and release in
// a fixed order. A derived game supplies the virtual operations.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/RunOptions.h"
#include "framework/TickTimer.h"
#include "platform/diagnostics/Guid.h"
#include "platform/diagnostics/Result.h"
#include "platform/draw/Device.h"
#include "platform/input/ScriptedInput.h"
#include "platform/window/Window.h"

namespace platform {
class AudioPerformance;
class AudioLoader;
class AudioPath;
class AudioComposer;
class AudioEvent;
}  // namespace platform

using HWND = platform::Window*;
using LRESULT = intptr_t;

struct ResourceSlot {
  void* handle = nullptr;
  int32_t enabled = 1;
  int32_t resourceId = 0;
};

struct D3DLIGHT8 {
  uint32_t type = 0;
  float diffuse[4] = {};
  float ambient[4] = {};
  float direction[3] = {};
};

constexpr int kActionSlots = 255;
constexpr int kTimerCount = 10;
constexpr uint32_t WM_MUSIC_EVENT = platform::WM_APP + 1;

class CD3DApp {
 public:
  CD3DApp();
  virtual ~CD3DApp();
  CD3DApp(const CD3DApp&) = delete;
  CD3DApp& operator=(const CD3DApp&) = delete;

  // Virtual operations in slot order.
  virtual HRESULT SetupScene() { return 0; }
  virtual HRESULT AfterSetup() { return 0; }
  virtual HRESULT StartScene() { return 0; }
  virtual HRESULT UpdateFrame() { return 0; }
  virtual HRESULT RenderFrame() { return 0; }
  virtual HRESULT ReleaseScene() { return 0; }
  virtual HRESULT FinalRelease() { return 0; }
  virtual LRESULT HandleMessage(HWND hwnd, uint32_t msg, uintptr_t wParam, intptr_t lParam);
  virtual LRESULT DialogProc1(HWND, uint32_t, uintptr_t, intptr_t) { return 0; }
  virtual LRESULT DialogProc2(HWND, uint32_t, uintptr_t, intptr_t) { return 0; }
  virtual LRESULT DialogProc3(HWND, uint32_t, uintptr_t, intptr_t) { return 0; }
  virtual LRESULT DialogProc4(HWND, uint32_t, uintptr_t, intptr_t) { return 0; }
  virtual LRESULT DialogProc5(HWND, uint32_t, uintptr_t, intptr_t) { return 0; }
  virtual LRESULT DialogProc6(HWND, uint32_t, uintptr_t, intptr_t) { return 0; }
  virtual LRESULT DialogProc7(HWND, uint32_t, uintptr_t, intptr_t) { return 0; }
  virtual LRESULT DialogProc8(HWND, uint32_t, uintptr_t, intptr_t) { return 0; }
  virtual LRESULT DialogProc9(HWND, uint32_t, uintptr_t, intptr_t) { return 0; }
  virtual HRESULT Create(void* hInstance, int nCmdShow);
  // Seconds from `now` until a logic step next changes anything
  // (framework/DueTime.h). A window's loop sleeps through the steps
  // before it (running them on waking, each at its own time) unless an
  // event comes first. The base class knows nothing of the game: every
  // step is due.
  virtual double SecondsUntilDue(double /*now*/) const { return 0; }
  virtual int Run();

  // One pass of the frame loop: logic on its grid, then draw and present.
  HRESULT StepFrame();
  // A screenshot of the run could not be written.
  bool ScreenshotFailed() const { return screenshotFailed_; }

  // How the run was started (headless, frames, screenshots, input, trace).
  // Setting them again between runs keeps the pass count; scripted input
  // is then taken from the new list.
  void SetRunOptions(const RunOptions& options) {
    runOptions = options;
    nextInput_ = 0;
  }

  // A program driving a headless run from inside (vantorel-script explore)
  // adds each pass's input here, after the scripted input list's: it sees the
  // pass number and may append events, close requests included. Called at
  // the start of every headless pass, those of modal screens too.
  using PassInput = std::function<void(uint64_t pass, std::vector<platform::ScriptedEvent>& due)>;
  void SetPassInput(PassInput input) { passInput_ = std::move(input); }
  // Such a program may also leave frames undrawn where it has seen them
  // before (a replay of known input): the logic runs as it would.
  void SetDrawing(bool on) { drawing_ = on; }

  // Read access for the game and its subsystems.
  platform::Device* GetDevice() const { return device; }
  HWND GetWindow() const { return mainWindow; }
  void* GetInstance() const { return instance; }
  const char* GetTitle() const { return title; }
  int GetWidth() const { return width; }
  int GetHeight() const { return height; }
  int32_t* GetActionStates() { return actionStates.data(); }
  bool Headless() const { return runOptions.headless; }
  uint64_t PassNumber() const { return pass; }
  // How often a window's loop has woken from its wait, for tests.
  uint64_t Wakes() const { return wakes_; }

  std::array<int32_t, kActionSlots> actionStates{};
  std::array<TickTimer, kTimerCount> timers{};

 protected:
  HRESULT CreateAppWindow(void* hInstance);
  HRESULT InitDirectMusic();
  HRESULT InitDevice();
  HRESULT RecordStateBlocks();
  HRESULT ReleaseDevice();
  HRESULT ReleaseDirectMusic();
  void CloseSequence();
  void SendClose() { HandleMessage(mainWindow, platform::WM_CLOSE, 0, 0); }
  // For modal screens in headless runs: closes the current pass and opens the
  // next one; false when the run's frame limit is reached.
  bool NextHeadlessPass() {
    EndPass();
    return BeginPass();
  }

  GUID actionMapGuid;
  void* direct3D = nullptr;  // the renderer behind the device; non-null once created
  platform::Device* device = nullptr;
  D3DLIGHT8 light;
  int showCommand = 0;
  void* instance = nullptr;
  HWND mainWindow = nullptr;
  int iconResourceId = 0;
  int dialogCount = 9;
  std::array<ResourceSlot*, 9> dialogSlots{};
  ResourceSlot* menuSlot = nullptr;
  // Items the menu lists above its own item (labels CP932).
  std::vector<platform::WindowConfig::MenuEntry> menuExtras;
  uint32_t windowStyle = 0x00CF0000;
  int32_t width = 800, height = 600;
  char title[1000] = "D3D8 Application";
  int32_t windowed = 1;
  uint32_t clearColor = 0xFF000000;
  int32_t active = 1;
  std::unique_ptr<TickTimer> frameTimer;
  // The audio objects standing in for the DirectMusic performance, loader,
  // default audio path, composer and notification event.
  // The default path belongs to the performance.
  platform::AudioPerformance* dmPerformance = nullptr;
  platform::AudioLoader* dmLoader = nullptr;
  platform::AudioPath* dmAudioPath = nullptr;
  platform::AudioComposer* dmComposer = nullptr;
  platform::AudioEvent* dmNotificationEvent = nullptr;
  uint32_t defaultStateBlock = 0;

  RunOptions runOptions;

 private:
  HRESULT RunDueLogicSteps();
  bool BeginPass();
  void EndPass();
  void IdleWait();
  std::unique_ptr<platform::Window> windowObject_;
  PassInput passInput_;
  bool drawing_ = true;
  uint64_t pass = 0;
  size_t nextInput_ = 0;
  platform::ScriptedPointer scriptedPointer_;
  bool firstFramePresented_ = false;
  bool windowDestroyed_ = false;
  bool restartLogicGrid_ = true;  // the next logic step runs at once and the grid goes on from it
  bool screenshotFailed_ = false;
  uint64_t wakes_ = 0;
  int32_t sleptThroughMs_ = 0;  // steps put off by the last sleep: no stall, made up on waking
};

extern CD3DApp* g_app;

#include "app/CD3DApp.h"

#include <time.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/Resources.h"
#include "framework/TextFont.h"
#include "gfx/DecodeAhead.h"
#include "platform/audio/AudioPump.h"
#include "platform/diagnostics/Memory.h"
#include "platform/diagnostics/Report.h"
#include "platform/diagnostics/Trace.h"
#include "platform/headless/Clock.h"
#include "platform/text/TextCodec.h"
#include "platform/window/Host.h"

using namespace platform;

CD3DApp* g_app = nullptr;

namespace {
constexpr int32_t kFrameMs = 16;  // the logic grid, 0.016 s
// A longer gap (a stall, a slow machine) is not made up in a burst of steps:
// the grid starts again from the current time.
constexpr int32_t kMaxCatchUpMs = 250;
constexpr uint32_t kHeadlessPassMs = 16;
// The most logic steps a window sleeps through at once (about a second):
// they are caught up on waking. Only lateness past the planned wake counts
// against kMaxCatchUpMs, so the grid keeps its phase across the sleep.
constexpr int32_t kMaxSleptSteps = 62;

// Signed milliseconds from `from` to `to` on the wrapping 32-bit clock.
int32_t MsBetween(uint64_t from, uint64_t to) {
  return static_cast<int32_t>(static_cast<uint32_t>(to) - static_cast<uint32_t>(from));
}
}  // namespace

CD3DApp::CD3DApp() {
  g_app = this;
  frameTimer = std::make_unique<TickTimer>();
  frameTimer->Reset();
}

CD3DApp::~CD3DApp() {
  ReleaseDirectMusic();  // frees the audio output when no close ran (a failed Create); else a no-op
  frameTimer.reset();
  windowObject_.reset();
  if (g_app == this) g_app = nullptr;
}

HRESULT CD3DApp::Create(void* hInstance, int nCmdShow) {
  instance = hInstance;
  // Nothing stands for COM here; the step always succeeds.
  HRESULT hr = CreateAppWindow(hInstance);
  if (FAILED(hr)) return hr;
  showCommand = nCmdShow;
  mainWindow->Show();
  if (FAILED(hr = InitDirectMusic())) return hr;
  if (FAILED(hr = InitDevice())) return hr;
  RecordStateBlocks();
  device->ApplyStateBlock(defaultStateBlock);
  hr = StartScene();
  return FAILED(hr) ? hr : S_OK;
}

HRESULT CD3DApp::CreateAppWindow(void*) {
  WindowConfig config;
  config.title = title;
  config.width = width;
  config.height = height;
  config.iconId = iconResourceId;
  if (menuSlot && menuSlot->enabled) {
    if (const MenuResource* menu = FindMenuResource(menuSlot->resourceId)) {
      config.hasMenu = true;
      config.menuPopup = Utf8ToCp932Lossy(menu->popupUtf8);
      config.menuItem = Utf8ToCp932Lossy(menu->itemUtf8);
      config.menuCommand = menu->command;
      config.menuExtras = menuExtras;
      menuSlot->handle = const_cast<MenuResource*>(menu);
    }
  }
  windowObject_ = Window::Create(config, runOptions.headless);
  if (!windowObject_) {
    // Failing early is clearer than the device failure that would follow.
    return DXTRACE("CD3DApp", E_FAIL, "CreateDevice Error.", true);
  }
  mainWindow = windowObject_.get();
  SetCurrentWindow(mainWindow);
  // What modal loops pass on reaches the game as from the message loop.
  mainWindow->SetMessageHandler([this](const Message& m) { HandleMessage(mainWindow, m.msg, m.wParam, m.lParam); });
  // Dialog slots: this program defines no dialog resources; slots stay empty.
  return S_OK;
}

HRESULT CD3DApp::InitDevice() {
  device = &mainWindow->GetDevice();
  direct3D = device;
  device->SetRenderState(D3DRS_ZENABLE, 1);
  light = D3DLIGHT8{};
  light.type = 3;  // directional
  light.diffuse[0] = light.diffuse[1] = light.diffuse[2] = 0.8f;
  light.ambient[0] = light.ambient[1] = light.ambient[2] = 0.2f;
  float len = std::sqrt(1.8f * 1.8f + 1.0f);
  light.direction[0] = 0;
  light.direction[1] = -1.8f / len;
  light.direction[2] = 1.0f / len;
  for (auto& t : timers) t.Reset();
  actionStates.fill(0);
  TextFont::SetDevice(device);
  if (FAILED(SetupScene()) || FAILED(AfterSetup())) return E_FAIL;
  return S_OK;
}

HRESULT CD3DApp::RecordStateBlocks() {
  Device& d = *device;
  d.BeginStateBlock();
  d.SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
  d.SetRenderState(D3DRS_LIGHTING, 1);
  d.SetRenderState(D3DRS_SHADEMODE, D3DSHADE_GOURAUD);
  d.SetRenderState(D3DRS_ZENABLE, 1);
  d.SetRenderState(D3DRS_ZWRITEENABLE, 1);
  d.SetRenderState(D3DRS_STENCILENABLE, 0);
  d.SetRenderState(D3DRS_EDGEANTIALIAS, 0);
  d.SetRenderState(D3DRS_CLIPPING, 1);
  d.SetRenderState(D3DRS_EDGEANTIALIAS, 0);
  d.SetRenderState(D3DRS_CLIPPLANEENABLE, 0);
  d.SetRenderState(D3DRS_VERTEXBLEND, D3DVBF_DISABLE);
  d.SetRenderState(D3DRS_INDEXEDVERTEXBLENDENABLE, 0);
  d.SetRenderState(D3DRS_FOGENABLE, 0);
  d.SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
  d.SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  d.SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
  d.SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
  d.SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
  d.SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
  d.SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
  d.SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
  d.SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
  d.SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_POINT);
  d.SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_POINT);
  d.SetTextureStageState(0, D3DTSS_MIPFILTER, D3DTEXF_NONE);
  d.SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
  d.SetRenderState(D3DRS_ALPHATESTENABLE, 0);
  defaultStateBlock = d.EndStateBlock();
  return S_OK;
}

// The logic steps fall due on a fixed 0.016 s grid of the clock. Every step
// that fell due since the last pass runs, each seeing the clock as it read
// when the step was due, so the logic keeps 62.5 steps a second and its own
// grids fire as on time however long drawing and presenting take (a 30 Hz
// display's vsync wait included). Not made up: the time of a step that took
// an interval or more itself (a modal screen, a long load), time in which
// the loop did not step (minimised, the close question), and gaps over
// kMaxCatchUpMs; after those the next step runs at once and the grid goes
// on from there.
HRESULT CD3DApp::RunDueLogicSteps() {
  frameTimer->Update();
  const uint64_t now = frameTimer->current;
  int32_t late = MsBetween(frameTimer->last, now);
  if (late < kFrameMs) return S_OK;
  const int32_t slept = sleptThroughMs_;
  sleptThroughMs_ = 0;
  if (restartLogicGrid_ || late - slept > kMaxCatchUpMs) {
    frameTimer->last = static_cast<uint32_t>(now) - kFrameMs;
    late = kFrameMs;
  }
  restartLogicGrid_ = false;
  while (late >= kFrameMs) {
    const uint32_t due = static_cast<uint32_t>(frameTimer->last) + kFrameMs;
    const uint32_t began = timeGetTime();
    SetClockLag(began - due);
    HRESULT hr = UpdateFrame();
    SetClockLag(0);
    if (FAILED(hr)) return E_FAIL;  // the grid is not renewed: the step is tried again
    if (!frameTimer) return S_OK;   // the step closed the game
    // A step that took a whole interval or more (a modal screen, a long
    // load) moves the grid on by its duration: its time is not made up, and
    // the clock the next step sees never runs backwards.
    const uint32_t took = timeGetTime() - began;
    frameTimer->last = took < static_cast<uint32_t>(kFrameMs) ? due : due + took;
    late = MsBetween(frameTimer->last, now);
  }
  return S_OK;
}

HRESULT CD3DApp::StepFrame() {
  if (FAILED(RunDueLogicSteps())) return E_FAIL;  // nothing is drawn
  if (!device || !drawing_) return S_OK;
  device->Clear(clearColor);
  HRESULT hr = RenderFrame();
  device->Present();
  if (!firstFramePresented_) {
    firstFramePresented_ = true;
    // scripts/measure.sh times start-up against this wall-clock stamp.
    if (std::getenv("VANTOREL_FIRST_FRAME_STAMP")) {
      timespec now{};
      clock_gettime(CLOCK_REALTIME, &now);
      std::fprintf(stderr, "first-frame-realtime-ns %lld\n", (long long)now.tv_sec * 1000000000LL + now.tv_nsec);
    }
    decode_ahead::Finish();  // pictures decoded ahead that the first frame did not use go
    StartupFinished();       // the temporaries start-up freed go back to the system
  }
  return hr;
}

LRESULT CD3DApp::HandleMessage(HWND, uint32_t msg, uintptr_t wParam, intptr_t) {
  switch (msg) {
    case WM_ACTIVATE:
      active = ((wParam >> 16) & 0xFFFF) == 0 ? 1 : 0;
      return 0;
    case WM_PAINT:
      if (device && !windowDestroyed_) {
        if (FAILED(StepFrame())) SendClose();
      }
      return 0;
    case WM_CLOSE:
      CloseSequence();
      return 0;
    case WM_MOUSEMOVE:
      return 0;
    default:
      return 0;
  }
}

void CD3DApp::CloseSequence() {
  if (windowDestroyed_) return;
  int answer = mainWindow->MessageBox(SJ("終了してもよいですか？"), SJ("終了確認"), MB_YESNO | MB_ICONQUESTION);
  restartLogicGrid_ = true;  // the time the question was up is not made up
  if (answer != IDYES) return;
  mainWindow->Destroy();
  windowDestroyed_ = true;
  if (menuSlot) menuSlot->handle = nullptr;
  ReleaseDevice();
  ReleaseDirectMusic();
  for (auto& slot : dialogSlots)
    if (slot) slot->handle = nullptr;
  trace::Event("{\"type\":\"quit\"}");
  mainWindow->PostMessage(WM_QUIT, 0, 0);
}

HRESULT CD3DApp::ReleaseDevice() {
  active = 0;
  if (device) {
    ReleaseScene();
    frameTimer.reset();
    if (defaultStateBlock) device->DeleteStateBlock(defaultStateBlock);
    defaultStateBlock = 0;
    TextFont::SetDevice(nullptr);
    device = nullptr;
    direct3D = nullptr;
  }
  return FinalRelease();
}

bool CD3DApp::BeginPass() {
  if (!runOptions.headless) {
    AudioPumpToClock();  // music on the null output keeps step with the clock
    return true;
  }
  if (runOptions.maxFrames && pass >= runOptions.maxFrames) return false;
  AdvanceVirtualClock(kHeadlessPassMs);
  std::vector<ScriptedEvent> listed;
  while (nextInput_ < runOptions.input.size() && runOptions.input[nextInput_].frame <= pass)
    listed.push_back(runOptions.input[nextInput_++]);
  if (passInput_) passInput_(pass, listed);
  std::vector<ScriptedEvent> due;
  for (const ScriptedEvent& e : listed) {
    if (e.kind == ScriptedEvent::Close)
      mainWindow->PostMessage(WM_CLOSE);
    else if (e.kind == ScriptedEvent::MenuQuit)
      mainWindow->PostMessage(WM_COMMAND, IDM_GAME_EXIT);
    else
      due.push_back(e);
  }
  // Keys the window takes itself (full screen) reach nothing else, as with a real window.
  std::erase_if(due, [this](const ScriptedEvent& e) {
    for (const Event& key : ScriptedPointer{}.Translate({e}))
      if (mainWindow->TakeWindowKey(key)) return true;
    return false;
  });
  // Mouse events and keys go to the units that read them as platform events.
  for (const Event& e : scriptedPointer_.Translate(due)) Window::InjectEvent(e);
  SetDueScriptedEvents(std::move(due));
  // Also inside modal screens' passes, so that music advances and loops there.
  AudioPumpToClock();
  return true;
}

void CD3DApp::EndPass() {
  auto shots = runOptions.screenshots.find(pass);
  if (runOptions.headless && shots != runOptions.screenshots.end() && device) {
    for (const std::string& path : shots->second) {
      if (device->SaveScreenshot(path)) continue;
      std::fprintf(stderr, "vantorel: cannot write screenshot %s\n", path.c_str());
      screenshotFailed_ = true;
    }
  }
  // With a window too: each pass's line goes out as it ends.
  trace::EndFrame(pass, timeGetTime());
  ++pass;
}

void CD3DApp::IdleWait() {
  if (runOptions.headless || !frameTimer) return;
  // Sleep until the first logic step that has something to do, or an
  // event: a still screen then wakes a few times a second.
  frameTimer->Update();
  const uint32_t now = static_cast<uint32_t>(frameTimer->current);
  int32_t wait = kFrameMs - MsBetween(frameTimer->last, now);  // to the next step
  if (wait <= 0) {
    platform::LetHostRun();  // a browser shows the frame now (nothing on a desktop)
    return;
  }
  const bool stepping = active && device && !windowDestroyed_;
  if (!stepping) {
    mainWindow->WaitMessage(static_cast<uint32_t>(wait));
    return;
  }
  const double idle = SecondsUntilDue(now / 1000.0) * 1000.0 - wait;  // ms past the next step
  const int32_t putOff = idle > 0 ? static_cast<int32_t>(std::min<double>(std::ceil(idle / kFrameMs), kMaxSleptSteps)) : 0;
  wait += kFrameMs * putOff;
  sleptThroughMs_ = kFrameMs * putOff;  // the steps before the last one were put off on purpose
  mainWindow->WaitMessage(static_cast<uint32_t>(wait));
  ++wakes_;
  // The steps that fell due while asleep run now, before the events that
  // woke the loop are read: each sees its own time and only the input that
  // came before it, as without the sleep.
  if (FAILED(RunDueLogicSteps())) SendClose();
}

int CD3DApp::Run() {
  for (;;) {
    if (!BeginPass()) return 0;
    while (mainWindow->PeekMessage()) {
      Message m;
      if (!mainWindow->GetMessage(m)) {
        EndPass();
        return static_cast<int>(m.wParam);
      }
      HandleMessage(mainWindow, m.msg, m.wParam, m.lParam);
    }
    if (active && device) {
      if (FAILED(StepFrame())) SendClose();
    } else {
      restartLogicGrid_ = true;  // no steps are made up for the time minimised
      if (!runOptions.headless) mainWindow->WaitMessage(100);
    }
    EndPass();
    IdleWait();
  }
}

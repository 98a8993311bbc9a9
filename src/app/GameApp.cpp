#include "app/GameApp.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "framework/GameDataPaths.h"
#include "framework/GameFaces.h"
#include "app/Camera.h"
#include "app/GameLayout.h"
#include "app/Reloader.h"
#include "app/Resources.h"
#include "comfort/Controller.h"
#include "gfx/CPolygon.h"
#include "input/CInput.h"
#include "input/GameActions.h"
#include "msgbox/CMsgBox.h"
#include "saves/Keeper.h"
#include "platform/files/Files.h"
#include "platform/headless/Clock.h"
#include "platform/headless/HeadlessPass.h"
#include "platform/text/TextCodec.h"
#include "script/CTextFile.h"
#include "sound/CDMMusic.h"
#include "sound/CDSMusic.h"

GameApp::GameApp() {
  std::strncpy(title, "Vantorel Ver1.0", sizeof title - 1);
  windowStyle = 0x00CF0000;
  windowed = 1;
  width = 640;
  height = 480;
  iconResourceId = IDI_MAIN_ICON;
  menuResource = ResourceSlot{nullptr, 1, IDR_MAIN_MENU};
  menuSlot = &menuResource;
  menuExtras = {{SJ("セーブ"), IDM_SAVE},
                {SJ("ロード"), IDM_LOAD},
                {SJ("クイックセーブ (F5)"), IDM_QUICK_SAVE},
                {SJ("クイックロード (F9)"), IDM_QUICK_LOAD},
                {SJ("履歴 (Page Up)"), IDM_HISTORY},
                {SJ("設定 (F2)"), IDM_SETTINGS},
                {SJ("既読スキップ (Tab)"), IDM_SKIP_MODE},
                {SJ("オート (A)"), IDM_AUTO_MODE},
                {SJ("タイトルに戻る"), IDM_TITLE}};
  actionMapGuid = kGameActionMapGuid;
}

GameApp::~GameApp() {
  // Normally released by the close sequence; after a failed start-up the
  // objects still go in the same order.
  ReleaseScene();
}

HRESULT GameApp::SetupScene() {
  // Results of the subsystems' set-up are not tested: each reports its own
  // failure and the game goes on without it.
  CPolygon::InitDeviceObjects(gamedata::kTextureDir, device);
  CDSMusic::InitGraph(mainWindow);
  textFile = std::make_unique<CTextFile>(true);
  input = std::make_unique<CInput>();
  const auto& actions = GameActions();
  input->create(actionMapGuid, instance, mainWindow, title, actions.data(),
                static_cast<uint32_t>(sizeof(actions[0]) * actions.size()));
  bgmPlayer = std::make_unique<CDSMusic>();
  bgmPlayer->SetDirectory(gamedata::kMidiDir);
  bgmPlayer->SetVolume(-3000);
  soundPlayer = std::make_unique<CDMMusic>();
  soundPlayer->Init(dmPerformance, dmLoader, dmAudioPath, dmComposer, dmNotificationEvent);
  soundPlayer->SetMasterVolume(1000);
  msgBox = std::make_unique<CMsgBox>();
  msgBox->Init(textFile.get(), input.get(), GetActionStates(), bgmPlayer.get(), soundPlayer.get(),
               SJ(gamefaces::kMessageFace), gamefaces::kMessagePointSize, gamefaces::kMessageStyle);
  if (runOptions.watch) reloader = std::make_unique<Reloader>(*msgBox, *textFile);
  comfort::Controller::Config comfortConfig;
  const std::string dataDir = platform::PlayerDataDirectory();
  if (!dataDir.empty()) comfortConfig.seenPath = dataDir + "/seen";
  comfortConfig.settingsPath = runOptions.settingsFile;
  if (comfortConfig.settingsPath.empty()) {
    const std::string configDir = comfort::PlayerConfigDirectory();
    if (!configDir.empty()) comfortConfig.settingsPath = configDir + "/settings";
  }
  // Compiled translations are kept beside the settings.
  if (!comfortConfig.settingsPath.empty())
    comfortConfig.translationCache = std::filesystem::path(comfortConfig.settingsPath).parent_path() / "translations";
  comfortConfig.bound = [this](const std::string& control) { return input && input->ControlBound(control); };
  comfortConfig.modalScreens = [this] { return input ? input->Configurations() : 0; };
  comfortConfig.latch = &input->Latch();
  comfortConfig.language = runOptions.language;
  comfortConfig.followLocale = !Headless();
  comforts = std::make_unique<comfort::Controller>(*msgBox, GetActionStates(), std::move(comfortConfig));
  saves::Keeper::Config keeperConfig;
  keeperConfig.bound = [this](const std::string& control) { return input && input->ControlBound(control); };
  // Our saves: below --save-dir, else in the player's data directory.
  if (!runOptions.saveDir.empty()) keeperConfig.savesDir = runOptions.saveDir + "/saves";
  else if (!dataDir.empty()) keeperConfig.savesDir = dataDir + "/saves";
  keeperConfig.quit = [this] { SendClose(); };
  keeper = std::make_unique<saves::Keeper>(*msgBox, *comforts, std::move(keeperConfig));
  camera = std::make_unique<Camera>();
  camera->Initialise(device, static_cast<float>(width) / static_cast<float>(height));
  if (Headless()) {
    // Modal screens (key configuration) keep the headless rhythm through this.
    platform::SetHeadlessPassHook([this] { return NextHeadlessPass(); });
  }
  return 0;
}

HRESULT GameApp::StartScene() {
  camera->SetView(LookAtLH({0, 0, -7}, {0, 0, 0}, {0, 1, 0}));
  msgBox->SetLayout(GameLayout());
  // An opening that starts with LoadMenu fails its first step on purpose;
  // its load screen is open and waits.
  keeper->KeepStartUp();
  HRESULT hr = msgBox->StartScript(SJ(gamedata::kOpeningScript));
  if (FAILED(hr) && !msgBox->LoadScreenOpened()) return E_FAIL;
  if (runOptions.continueGame) keeper->ContinueNewest();
  return 0;
}

HRESULT GameApp::UpdateFrame() {
  NoteMenuOpenings();  // one opened since the last step: presses from now on are new
  input->poll(GetActionStates(), active);
  if (!runOptions.rewrites.empty()) ApplyDueRewrites(runOptions.rewrites, PassNumber());
  if (reloader) reloader->Step(timeGetTime());
  camera->Apply();
  const double now = timeGetTime() / 1000.0;
  // The history being open holds the whole game still (music goes on).
  const bool held = comforts->BeginStep(now);
  ShowComfortChecks();
  if (held) return 0;
  msgBox->FrameMove();

  input::ActionLatch& latch = input->Latch();
  TickTimer& decide = timers[kDecideTimer];
  decide.Update();
  if (decide.Fired(kDecideGrid)) {
    NoteMenuOpenings();  // a menu this step opened was not on screen for what came in
    const bool decidePending = actionStates[ACT_DECIDE] != 0;
    // A decide held since before the open menu was shown does not choose
    // for the player: it waits for a press made while the menu is up.
    const bool heldIntoMenu =
        decidePending && msgBox->MenuOpen() && latch.Presses(ACT_DECIDE) == decidePressesAtMenu_;
    // Skipping and auto mode step as the player's decide would.
    const bool comfortStep = !decidePending && comforts->WantsStep(now);
    HRESULT failed = 0;
    if ((decidePending && !heldIntoMenu) || comfortStep) {
      int32_t taken = msgBox->ButtonMenuDecide();
      if (taken == 0) taken = msgBox->FontMenuDecide();
      if (taken != 0) {
        actionStates[ACT_DECIDE] = 0;
      } else if (msgBox->StepIfIdle() == E_FAIL) {
        // The script has run out: start the one it named. The decide slot
        // stays set, so a held button keeps stepping every 0.06 s.
        HRESULT hr = msgBox->StartScript(CMsgBox::currentScriptName);
        // A LoadMenu fails its step so that its script is opened again and
        // waits at the open screen; that holds when this start reached it.
        if (hr == E_FAIL && msgBox->LoadScreenOpened()) hr = msgBox->StartScript(CMsgBox::currentScriptName);
        if (FAILED(hr)) failed = E_FAIL;
      }
      if (comfortStep && !FAILED(failed)) comforts->AfterStep();
    }
    // A tap is used up at this firing even when the step failed: left
    // pending, it would fail again on every pass after it was let go. A
    // decide still held tries the failed step again on the next pass.
    latch.GridFired(GetActionStates(), {ACT_DECIDE});
    if (FAILED(failed)) return E_FAIL;
    decide.Tick();
  }

  TickTimer& direction = timers[kDirectionTimer];
  direction.Update();
  if (direction.Fired(kDirectionGrid)) {
    auto take = [this](int slot) {
      if (!actionStates[slot]) return false;
      actionStates[slot] = 0;
      return true;
    };
    if (take(ACT_RIGHT)) {
      msgBox->ButtonMenuNext();
      msgBox->FontMenuNext();
    }
    if (take(ACT_LEFT)) {
      msgBox->ButtonMenuPrev();
      msgBox->FontMenuPrev();
    }
    if (take(ACT_UP)) {
      msgBox->ButtonMenuPrev();
      msgBox->FontMenuPrev();
    }
    if (take(ACT_DOWN)) {
      msgBox->ButtonMenuNext();
      msgBox->FontMenuNext();
    }
    latch.GridFired(GetActionStates(), {ACT_RIGHT, ACT_LEFT, ACT_UP, ACT_DOWN});
    direction.Tick();
  }

  if (actionStates[ACT_CANCEL]) actionStates[ACT_CANCEL] = 0;
  return 0;
}

void GameApp::NoteMenuOpenings() {
  if (msgBox->MenuOpenings() == menuOpeningsSeen_) return;
  menuOpeningsSeen_ = msgBox->MenuOpenings();
  decidePressesAtMenu_ = input->Latch().Presses(ACT_DECIDE);
}

void GameApp::ShowComfortChecks() {
  if (!mainWindow || !comforts) return;
  mainWindow->SetMenuCheck(IDM_SKIP_MODE, comforts->SkipMode());
  mainWindow->SetMenuCheck(IDM_AUTO_MODE, comforts->Auto());
}

double GameApp::SecondsUntilDue(double now) const {
  if (!msgBox || !input || !runOptions.rewrites.empty()) return 0;
  double due = std::min(msgBox->SecondsUntilDue(now), input->SecondsUntilDue());
  if (reloader) due = std::min(due, reloader->SecondsUntilDue(now));
  if (comforts) due = std::min(due, comforts->SecondsUntilDue(now));  // auto's wait, held skip, a pending click
  // A held action acts each time its grid fires; cancel is cleared on the next step.
  if (actionStates[ACT_DECIDE]) due = std::min(due, timers[kDecideTimer].SecondsUntilFired(kDecideGrid, now));
  if (actionStates[ACT_LEFT] || actionStates[ACT_RIGHT] || actionStates[ACT_UP] || actionStates[ACT_DOWN])
    due = std::min(due, timers[kDirectionTimer].SecondsUntilFired(kDirectionGrid, now));
  if (actionStates[ACT_CANCEL]) due = 0;
  return std::max(due, 0.0);
}

HRESULT GameApp::RenderFrame() {
  if (msgBox) msgBox->Render();
  if (comforts) comforts->Render();
  return 0;
}

HRESULT GameApp::ReleaseScene() {
  if (Headless()) platform::SetHeadlessPassHook(nullptr);
  if (keeper) keeper->AtQuit();
  CDSMusic::ReleaseGraph();
  camera.reset();
  reloader.reset();
  keeper.reset();
  comforts.reset();
  msgBox.reset();
  bgmPlayer.reset();
  soundPlayer.reset();
  input.reset();
  textFile.reset();
  CPolygon::DeleteDeviceObjects();
  return 0;
}

LRESULT GameApp::HandleMessage(HWND hwnd, uint32_t msg, uintptr_t wParam, intptr_t lParam) {
  if (msg == platform::WM_COMMAND && (wParam & 0xFFFF) == IDM_GAME_EXIT) SendClose();
  if (msg == platform::WM_COMMAND && comforts) {
    switch (wParam & 0xFFFF) {
      case IDM_SETTINGS: comforts->OpenSettings(); break;
      case IDM_SKIP_MODE: comforts->ToggleSkipMode(); break;
      case IDM_AUTO_MODE: comforts->ToggleAuto(); break;
      case IDM_HISTORY: comforts->OpenHistoryScreen(); break;
      case IDM_SAVE: if (keeper) keeper->OpenSlots(true); break;
      case IDM_LOAD: if (keeper) keeper->OpenSlots(false); break;
      case IDM_QUICK_SAVE: if (keeper) keeper->QuickSave(); break;
      case IDM_QUICK_LOAD: if (keeper) keeper->QuickLoad(); break;
      case IDM_TITLE: if (keeper) keeper->AskReturnToTitle(); break;
      default: break;
    }
    ShowComfortChecks();
  }
  if (msg == WM_MUSIC_EVENT && bgmPlayer) bgmPlayer->OnGraphEvent();
  return CD3DApp::HandleMessage(hwnd, msg, wParam, lParam);
}

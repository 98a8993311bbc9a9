#pragma once
// The game's application object: the game's window settings, the subsystems
// created once the device exists, the opening script, and the logic step
// that turns input actions into message-window and menu operations on two
// fixed grids (0.06 s for decide, 0.1 s for the directions).
#include <memory>

#include "app/CD3DApp.h"

class CTextFile;
class CInput;
class Camera;
class CDSMusic;
class CDMMusic;
class CMsgBox;
class Reloader;
namespace comfort {
class Controller;
}
namespace saves {
class Keeper;
}

class GameApp : public CD3DApp {
 public:
  GameApp();
  ~GameApp() override;
  HRESULT SetupScene() override;
  HRESULT StartScene() override;
  HRESULT UpdateFrame() override;
  HRESULT RenderFrame() override;
  HRESULT ReleaseScene() override;
  LRESULT HandleMessage(HWND hwnd, uint32_t msg, uintptr_t wParam, intptr_t lParam) override;
  // The earliest of what the parts say (framework/DueTime.h): the
  // message box, the input, the held actions' grids, the file watcher.
  double SecondsUntilDue(double now) const override;

  CMsgBox* MessageWindow() const { return msgBox.get(); }
  Camera* GetCamera() const { return camera.get(); }
  comfort::Controller* Comforts() const { return comforts.get(); }
  saves::Keeper* Keeper() const { return keeper.get(); }

  static constexpr double kDecideGrid = 0.06;     // seconds
  static constexpr double kDirectionGrid = 0.1;   // seconds
  static constexpr int kDecideTimer = 8;
  static constexpr int kDirectionTimer = 1;

 private:
  // Records the decide presses counted when a menu or screen opened.
  void NoteMenuOpenings();

  // The "システム" menu's check marks beside skip mode and auto mode.
  void ShowComfortChecks();
  ResourceSlot menuResource;
  std::unique_ptr<CTextFile> textFile;
  std::unique_ptr<CInput> input;
  std::unique_ptr<Camera> camera;
  std::unique_ptr<CDSMusic> bgmPlayer;
  std::unique_ptr<CDMMusic> soundPlayer;
  std::unique_ptr<CMsgBox> msgBox;
  std::unique_ptr<Reloader> reloader;  // --watch only
  std::unique_ptr<comfort::Controller> comforts;
  std::unique_ptr<saves::Keeper> keeper;  // rollback, quick saves, the game menu
  uint64_t menuOpeningsSeen_ = 0;     // the message box's menu openings noted so far
  uint64_t decidePressesAtMenu_ = 0;  // decide presses counted when the open menu opened
};

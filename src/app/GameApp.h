#pragma once
// The game's application object.
#include "app/CD3DApp.h"
#include "app/TextFont.h"

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

 private:
  ResourceSlot menuResource_;
  std::unique_ptr<TextFont> banner_;
};

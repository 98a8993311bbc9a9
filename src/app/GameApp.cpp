#include "app/GameApp.h"

#include <cstring>

#include "app/Resources.h"
#include "platform/TextCodec.h"

GameApp::GameApp() {
  std::strncpy(title, "Vantorel Ver1.0", sizeof title - 1);
  windowStyle = 0x00CF0000;
  windowed = 1;
  width = 640;
  height = 480;
  iconResourceId = IDI_MAIN_ICON;
  menuResource_ = ResourceSlot{nullptr, 1, IDR_MAIN_MENU};
  menuSlot = &menuResource_;
  actionMapGuid = GUID{0x2972611C, 0x8A87, 0x4B5D, {0x95, 0xAA, 0xBF, 0xF9, 0xFD, 0x57, 0x61, 0x36}};
}

GameApp::~GameApp() = default;

HRESULT GameApp::SetupScene() {
  banner_ = std::make_unique<TextFont>();
  banner_->createFont(SJ("ＭＳ Ｐゴシック"), 14, 1);
  banner_->x = 40;
  banner_->y = 40;
  banner_->setText(SJ("Vantorel　エンジン起動中"));
  return 0;
}

HRESULT GameApp::StartScene() { return 0; }
HRESULT GameApp::UpdateFrame() { return 0; }

HRESULT GameApp::RenderFrame() {
  if (banner_) banner_->draw();
  return 0;
}

HRESULT GameApp::ReleaseScene() {
  banner_.reset();
  return 0;
}

LRESULT GameApp::HandleMessage(HWND hwnd, uint32_t msg, uintptr_t wParam, intptr_t lParam) {
  if (msg == platform::WM_COMMAND && (wParam & 0xFFFF) == IDM_GAME_EXIT) SendClose();
  return CD3DApp::HandleMessage(hwnd, msg, wParam, lParam);
}

#pragma once
// What the targets that drive a message box share: an offscreen device the
// pictures and fonts draw on, a plain text file reader, and a window layout.
#include <memory>

#include "framework/TextFont.h"
#include "gfx/CPolygon.h"
#include "msgbox/CMsgBox.h"
#include "platform/diagnostics/Debug.h"
#include "platform/draw/Device.h"
#include "platform/draw/OffscreenDevice.h"
#include "script/CTextFile.h"

struct MsgBoxSetup {
  std::unique_ptr<platform::Device> device = platform::CreateOffscreenDevice(640, 480);
  CTextFile textFile{false};
  MsgBoxSetup() {
    platform::SetDebugEcho(false);
    CPolygon::InitDeviceObjects("GameData\\Texture\\", device.get());
    TextFont::SetDevice(device.get());
  }
};

inline MsgBoxLayout FuzzMsgBoxLayout() {
  MsgBoxLayout l;
  l.window = {160, 296, 0.9f, 470, 136, 0};
  l.alpha = 255;
  return l;
}

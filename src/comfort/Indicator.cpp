#include "comfort/Indicator.h"

#include <string>

#include "framework/GameFaces.h"
#include "framework/TextFont.h"
#include "platform/draw/Device.h"
#include "platform/text/TextCodec.h"
#include "platform/text/UiText.h"

namespace comfort {
namespace {
constexpr uint32_t kBox = 0xC0101828, kEdge = 0xFF8FA8E0, kText = 0xFFFFFFFF;
constexpr int kFontPixels = 14;
}  // namespace

Indicator::Indicator() : text_(SJ(gamefaces::kMessageFace), kFontPixels) {}

void Indicator::Render(SkipState skip, bool autoMode) {
  if (skip == SkipState::Off && !autoMode) return;
  platform::Device* device = TextFont::GetDevice();
  if (!device) return;
  device->SetRenderState(platform::D3DRS_ZENABLE, 0);
  float top = kTop;
  auto label = [&](const char* msgid) {
    const Utf8 text{platform::Tr(msgid)};
    const float w = float(text_.Width(*device, text)) + 20.0f;
    const float left = kRight - w;
    FillRect(*device, left, top, w, kHeight, kBox);
    FillRect(*device, left, top, 3.0f, kHeight, kEdge);  // a bar on the left marks it as ours
    text_.Draw(*device, text, left + 11.0f, top + 3.0f, kText);
    top += kHeight + 4.0f;
  };
  if (skip == SkipState::Held) label(TR_NOOP("スキップ中"));
  else if (skip == SkipState::Seen) label(TR_NOOP("既読スキップ中"));
  if (autoMode) label(TR_NOOP("オート中"));
}

}  // namespace comfort

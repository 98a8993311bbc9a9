#include "comfort/HistoryView.h"

#include <string>

#include "framework/GameFaces.h"
#include "framework/TextFont.h"
#include "platform/draw/Device.h"
#include "platform/text/TextCodec.h"

namespace comfort {
namespace {
constexpr uint32_t kHeading = 0xFFC8C8FF, kSpeaker = 0xFFFFDC8C, kRows = 0xFFFFFFFF;
constexpr int kFontPixels = 16;  // the message font's 12 points
}  // namespace

HistoryView::HistoryView() : text_(SJ(gamefaces::kMessageFace), kFontPixels) {}

void HistoryView::Prepare(const HistoryEntry& entry) {
  platform::Device* device = TextFont::GetDevice();
  if (!device) return;
  text_.Prime(*device, entry.speaker);
  text_.Prime(*device, entry.text);
}

void HistoryView::Render(const History& history) {
  platform::Device* device = TextFont::GetDevice();
  if (!device) return;
  device->SetRenderState(platform::D3DRS_ZENABLE, 0);
  FillRect(*device, 0, 0, float(device->Width()), float(device->Height()), kShade);

  const size_t total = history.Entries().size();
  const size_t first = history.First(), shown = history.Shown();
  // Where the page stands in the whole: "12-15 / 40".
  text_.Draw(*device,
             SJ("メッセージ履歴　") + std::to_string(first + 1) + "-" + std::to_string(first + shown) + " / " +
                 std::to_string(total),
             kLeft - 20.0f, 14.0f, kHeading);
  for (size_t i = 0; i < shown; ++i) {
    const HistoryEntry& e = history.Entries()[first + i];
    const float top = kTop + kEntryHeight * static_cast<float>(i);
    text_.Draw(*device, e.speaker, kLeft, top, kSpeaker);
    text_.Draw(*device, e.text, kLeft + 16.0f, top + 22.0f, kRows);
  }
}

}  // namespace comfort

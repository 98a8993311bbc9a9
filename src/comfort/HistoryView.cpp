#include "comfort/HistoryView.h"

#include <string>

#include "app/framework/GameFaces.h"
#include "app/framework/TextFont.h"
#include "platform/draw/Device.h"
#include "platform/text/TextCodec.h"

namespace comfort {
namespace {
std::unique_ptr<TextFont> MakeText(int r, int g, int b) {
  auto t = std::make_unique<TextFont>();
  t->createFont(SJ(gamefaces::kMessageFace), 12, 0);
  t->setColor(255, r, g, b);
  return t;
}
}  // namespace

HistoryView::HistoryView() {
  heading_ = MakeText(200, 200, 255);
  heading_->x = kLeft - 20.0f;
  heading_->y = 14.0f;
  for (size_t i = 0; i < History::kPage; ++i) {
    speakers_[i] = MakeText(255, 220, 140);
    rows_[i] = MakeText(255, 255, 255);
  }
}

HistoryView::~HistoryView() = default;

void HistoryView::Render(const History& history) {
  platform::Device* device = TextFont::GetDevice();
  if (!device) return;
  const float w = static_cast<float>(device->Width()), h = static_cast<float>(device->Height());
  const platform::Vertex shade[4] = {{0, 0, 0, 1, kShade, 0, 0},
                                     {w, 0, 0, 1, kShade, 1, 0},
                                     {w, h, 0, 1, kShade, 1, 1},
                                     {0, h, 0, 1, kShade, 0, 1}};
  device->SetRenderState(platform::D3DRS_ZENABLE, 0);
  device->DrawQuad(shade, nullptr);

  const size_t total = history.Entries().size();
  const size_t first = history.First(), shown = history.Shown();
  // "履歴 12–15 / 40": where the page stands in the whole.
  heading_->setText(SJ("メッセージ履歴　") + std::to_string(first + 1) + "-" + std::to_string(first + shown) + " / " +
                    std::to_string(total));
  heading_->draw();
  for (size_t i = 0; i < shown; ++i) {
    const HistoryEntry& e = history.Entries()[first + i];
    const float top = kTop + kEntryHeight * static_cast<float>(i);
    speakers_[i]->x = kLeft;
    speakers_[i]->y = top;
    speakers_[i]->setText(e.speaker);
    if (!e.speaker.empty()) speakers_[i]->draw();
    rows_[i]->x = kLeft + 16.0f;
    rows_[i]->y = top + 22.0f;
    rows_[i]->setText(e.text);
    rows_[i]->draw();
  }
}

}  // namespace comfort

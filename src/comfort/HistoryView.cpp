#include "comfort/HistoryView.h"

#include "platform/text/UiText.h"

#include <string>

#include "framework/GameFaces.h"
#include "framework/TextFont.h"
#include "platform/draw/Device.h"
#include "platform/text/TextCodec.h"

namespace comfort {
namespace {
constexpr uint32_t kSpeaker = 0xFFFFDC8C, kRows = 0xFFFFFFFF;
constexpr int kFontPixels = 16;  // the message font's 12 points

// Calls `row` with each row of an entry's text and its index.
template <typename F>
void EachRow(const std::string& text, F row) {
  size_t at = 0, index = 0;
  for (;;) {
    const size_t end = text.find('\n', at);
    row(text.substr(at, end == std::string::npos ? std::string::npos : end - at), index++);
    if (end == std::string::npos) return;
    at = end + 1;
  }
}
}  // namespace

HistoryView::HistoryView() : text_(SJ(gamefaces::kMessageFace), kFontPixels) {}

float HistoryView::EntryHeight(const HistoryEntry& entry) {
  size_t rows = 0;
  EachRow(entry.text, [&](const std::string&, size_t) { ++rows; });
  return float(rows + (entry.speaker.empty() ? 0 : 1)) * kRowPitch + kGap;
}

void HistoryView::Prepare(const HistoryEntry& entry) {
  platform::Device* device = TextFont::GetDevice();
  if (!device) return;
  text_.Prime(*device, entry.speaker);
  EachRow(entry.text, [&](const std::string& row, size_t) { text_.Prime(*device, row); });
}

void HistoryView::Render(const History& history) {
  platform::Device* device = TextFont::GetDevice();
  if (!device) return;
  const size_t total = history.Entries().size();
  const size_t first = history.First(), shown = history.Shown();
  // Where the page stands in the whole: "12-15 / 40".
  Panel::Draw(*device, text_, Utf8{platform::Tr("メッセージ履歴")},
              std::to_string(first + 1) + "-" + std::to_string(first + shown) + " / " + std::to_string(total));
  float top = kPageTop;
  for (size_t i = 0; i < shown; ++i) {
    const HistoryEntry& e = history.Entries()[first + i];
    float rowTop = top;
    if (!e.speaker.empty()) {
      text_.Draw(*device, e.speaker, kLeft, rowTop, kSpeaker);
      rowTop += kRowPitch;
    }
    // Each row at the screen's own pitch, whatever the font's line spacing.
    EachRow(e.text, [&](const std::string& row, size_t n) {
      text_.Draw(*device, row, kLeft + 16.0f, rowTop + kRowPitch * float(n), kRows);
    });
    top += EntryHeight(e);
  }
}

}  // namespace comfort

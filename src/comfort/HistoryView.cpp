#include "comfort/HistoryView.h"

#include "platform/text/UiText.h"

#include <string>

#include "framework/GameFaces.h"
#include "framework/TextLayout.h"
#include "framework/TextFont.h"
#include "platform/draw/Device.h"
#include "platform/text/TextCodec.h"

namespace comfort {
namespace {
constexpr uint32_t kSpeaker = 0xFFFFDC8C, kRows = 0xFFFFFFFF;
constexpr uint32_t kMarked = 0xFF3A5FCD;  // as the settings screen's cursor
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
  EachRow(entry.ShownText(), [&](const std::string&, size_t) { ++rows; });
  return float(rows + (entry.ShownSpeaker().empty() ? 0 : 1)) * kRowPitch + kGap;
}

namespace {
// An entry's text as the painter takes it: a translated one is UTF-8 already.
Utf8 AsShown(const HistoryEntry& e, const std::string& text) {
  return Utf8{e.translated ? text : platform::Cp932ToUtf8(text)};
}
}  // namespace

void HistoryView::Prepare(const HistoryEntry& entry) {
  platform::Device* device = TextFont::GetDevice();
  if (!device) return;
  text_.Width(*device, AsShown(entry, entry.ShownSpeaker()));
  EachRow(entry.ShownText(), [&](const std::string& row, size_t) { text_.Width(*device, AsShown(entry, row)); });
}

std::string HistoryView::Rows(const std::string& utf8, const std::string& language) {
  const TextRows laid = LayOutRows(utf8, text_.Face(), kFontPixels, kRowWidth, size_t(-1), language);
  std::string rows;
  for (size_t i = 0; i < laid.rows.size(); ++i) {
    if (i) rows += '\n';
    rows += laid.rows[i];
  }
  return rows;
}

void HistoryView::Render(const History& history, long marked) {
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
    if (long(first + i) == marked) FillRect(*device, Panel::kLeft + 8.0f, top - 2.0f, Panel::kRight - Panel::kLeft - 16.0f,
                                            EntryHeight(e) - kGap + 4.0f, kMarked);
    float rowTop = top;
    if (!e.ShownSpeaker().empty()) {
      text_.Draw(*device, AsShown(e, e.ShownSpeaker()), kLeft, rowTop, kSpeaker);
      rowTop += kRowPitch;
    }
    // Each row at the screen's own pitch, whatever the font's line spacing.
    EachRow(e.ShownText(), [&](const std::string& row, size_t n) {
      text_.Draw(*device, AsShown(e, row), kLeft + 16.0f, rowTop + kRowPitch * float(n), kRows);
    });
    top += EntryHeight(e);
  }
}

}  // namespace comfort

#pragma once
// Draws the open history over the game: the picture dimmed, a heading, and
// the page's entries (speaker on its own line above the rows).
#include <cstdint>

#include "comfort/History.h"
#include "comfort/TextPainter.h"

namespace comfort {

class HistoryView {
 public:
  HistoryView();
  // Rasterises an entry as it is added, so that opening the history only
  // draws what is ready (the font opens with the first).
  void Prepare(const HistoryEntry& entry);
  void Render(const History& history);

  static constexpr uint32_t kShade = 0xD8000010;  // over the game, ARGB
  static constexpr float kTop = 44.0f, kEntryHeight = 106.0f, kLeft = 40.0f;

 private:
  TextPainter text_;
};

}  // namespace comfort

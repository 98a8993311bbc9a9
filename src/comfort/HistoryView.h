#pragma once
// Draws the open history over the game: the picture dimmed, a heading, and
// the page's entries (speaker on its own line above the rows).
#include <array>
#include <memory>

#include "comfort/History.h"

class TextFont;

namespace comfort {

class HistoryView {
 public:
  HistoryView();
  ~HistoryView();
  HistoryView(const HistoryView&) = delete;
  HistoryView& operator=(const HistoryView&) = delete;

  void Render(const History& history);

  static constexpr uint32_t kShade = 0xD8000010;  // over the game, ARGB
  static constexpr float kTop = 44.0f, kEntryHeight = 106.0f, kLeft = 40.0f;

 private:
  std::unique_ptr<TextFont> heading_;
  std::array<std::unique_ptr<TextFont>, History::kPage> speakers_, rows_;
};

}  // namespace comfort

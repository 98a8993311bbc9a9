#pragma once
// Draws the open history on its panel: a heading with where the page
// stands in the whole, and the page's entries (the speaker on a line of its
// own above the rows), as many as fit.
#include <cstdint>

#include "comfort/History.h"
#include "comfort/Panel.h"
#include "comfort/TextPainter.h"

namespace comfort {

class HistoryView {
 public:
  HistoryView();
  // Rasterises an entry as it is added, so that opening the history only
  // draws what is ready (the font opens with the first).
  void Prepare(const HistoryEntry& entry);
  // `marked`: the entry a decide rolls the game to, drawn on a bar; -1: none.
  void Render(const History& history, long marked = -1);
  // A translation's text (UTF-8) in rows of the page's width, at the Unicode
  // line breaks, one line feed apart.
  std::string Rows(const std::string& utf8, const std::string& language);

  // An entry's height on the page, from its rows alone (whatever the font),
  // and the page's: the history's measure.
  static float EntryHeight(const HistoryEntry& entry);
  static constexpr float kPageTop = Panel::kContentTop, kPageBottom = Panel::kBottom - 10.0f;
  static constexpr float kPageHeight = kPageBottom - kPageTop;
  static constexpr float kLeft = Panel::kLeft + 24.0f, kRowPitch = 22.0f, kGap = 10.0f;
  // A row starts 16 px in from kLeft and ends as far in from the panel's right.
  static constexpr int kRowWidth = int(Panel::kRight - 24.0f - (kLeft + 16.0f));

 private:
  TextPainter text_;
};

}  // namespace comfort

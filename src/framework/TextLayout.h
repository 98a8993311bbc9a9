#pragma once
// A translation's text laid out in rows of a width in pixels: rows break
// where the Unicode line-breaking rules allow (words are never cut;
// Japanese keeps its kinsoku), widths measured with the font that draws
// them, line feeds in the text kept. Only a word wider than a whole row is
// cut, between graphemes, and that counts as not fitting.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace platform {
class Font;
}

struct TextRows {
  std::vector<std::string> rows;  // without the spaces a row ended on
  bool overflow = false;  // more rows than asked for, or a word wider than a row
  int widest = 0;         // the widest row's width in pixels
};

// `font` measures (null: a stand-in of half the height per narrow
// character and the whole height per wide one). `language` tailors the
// breaking rules ("ja").
TextRows LayOutRows(std::string_view utf8, platform::Font* font, int pixelHeight, int width, size_t maxRows,
                    std::string_view language);

#include "framework/TextLayout.h"

#include <algorithm>

#include "platform/text/Font.h"
#include "platform/text/TextBreaks.h"

namespace {

// Measures a stretch of text; without a font, an estimate.
class Ruler {
 public:
  Ruler(platform::Font* font, int pixelHeight) : font_(font), height_(pixelHeight) {}
  int operator()(std::string_view s) const {
    if (font_) return font_->Measure(s);
    int w = 0;
    for (size_t i = 0; i < s.size(); ++i) {
      const unsigned char c = static_cast<unsigned char>(s[i]);
      if ((c & 0xC0) == 0x80) continue;
      w += c < 0x80 ? height_ / 2 : (c >= 0xE3 ? height_ : height_ * 3 / 5);
    }
    return w;
  }

 private:
  platform::Font* font_;
  int height_;
};

bool IsSpaceAt(std::string_view s, size_t end, size_t& start) {
  if (end > 0 && (s[end - 1] == ' ' || s[end - 1] == '\n' || s[end - 1] == '\t' || s[end - 1] == '\r')) {
    start = end - 1;
    return true;
  }
  // U+3000 ideographic space
  if (end >= 3 && s.substr(end - 3, 3) == "\xE3\x80\x80") {
    start = end - 3;
    return true;
  }
  return false;
}

// The end of `s` without the spaces and line feeds it ends on.
size_t TrimmedEnd(std::string_view s, size_t begin, size_t end) {
  size_t start = end;
  while (end > begin && IsSpaceAt(s, end, start)) end = start;
  return end;
}

// A stretch wider than a whole row, cut between graphemes.
void CutWord(std::string_view s, size_t& begin, size_t end, int width, const Ruler& measure,
             std::vector<std::string>& rows) {
  const std::vector<size_t> ends = platform::GraphemeEnds(s.substr(begin, end - begin));
  size_t rowStart = begin;
  size_t last = begin;
  for (size_t g : ends) {
    const size_t at = begin + g;
    if (measure(s.substr(rowStart, TrimmedEnd(s, rowStart, at) - rowStart)) > width && last > rowStart) {
      rows.emplace_back(s.substr(rowStart, last - rowStart));
      rowStart = last;
    }
    last = at;
  }
  begin = rowStart;  // the rest starts the next row
}
}  // namespace

TextRows LayOutRows(std::string_view utf8, platform::Font* font, int pixelHeight, int width, size_t maxRows,
                    std::string_view language) {
  TextRows out;
  const Ruler measure(font, pixelHeight);
  const std::vector<platform::LineBreak> breaks = platform::LineBreaks(utf8, language);
  size_t rowStart = 0;
  size_t fitEnd = 0;  // the last break so far at which the row still fits; 0: none yet
  auto emit = [&](size_t end) {
    const size_t trimmed = TrimmedEnd(utf8, rowStart, end);
    out.rows.emplace_back(utf8.substr(rowStart, trimmed - rowStart));
    rowStart = end;
    fitEnd = 0;
  };
  for (size_t i = 0; i < breaks.size();) {
    const platform::LineBreak& b = breaks[i];
    const size_t trimmed = TrimmedEnd(utf8, rowStart, b.at);
    const int w = measure(utf8.substr(rowStart, trimmed - rowStart));
    if (w <= width) {
      fitEnd = b.at;
      if (b.hard) emit(b.at);
      ++i;
      continue;
    }
    if (fitEnd > rowStart) {
      emit(fitEnd);  // and try this break again on the new row
      continue;
    }
    // One word wider than the row: cut it, and say so. What is left fits,
    // unless one grapheme alone is wider than the row: it stands alone.
    out.overflow = true;
    CutWord(utf8, rowStart, b.at, width, measure, out.rows);
    if (measure(utf8.substr(rowStart, TrimmedEnd(utf8, rowStart, b.at) - rowStart)) > width) {
      emit(b.at);
      ++i;
    }
  }
  if (rowStart < utf8.size() && TrimmedEnd(utf8, rowStart, utf8.size()) > rowStart) emit(utf8.size());
  for (const std::string& row : out.rows) out.widest = std::max(out.widest, measure(row));
  if (out.rows.size() > maxRows || out.widest > width) out.overflow = true;
  return out;
}

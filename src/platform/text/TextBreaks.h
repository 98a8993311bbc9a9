#pragma once
// Where UTF-8 text may break into lines and where its characters as a
// reader sees them (grapheme clusters) end, by the Unicode rules (UAX #14
// and #29) as ICU implements them. Japanese keeps its kinsoku: no line
// begins with closing brackets, small kana or "。", none ends with an opening
// bracket. Offsets are bytes of the UTF-8 text.
#include <cstddef>
#include <string_view>
#include <vector>

namespace platform {

struct LineBreak {
  size_t at;  // a line may end before this byte (and the next begin here)
  bool hard;  // a line feed or other mandatory break ends the line here
};
// Ascending; the last is the text's end. `language` tailors the rules
// ("ja": strict kinsoku; others as the root rules say).
std::vector<LineBreak> LineBreaks(std::string_view utf8, std::string_view language);
// The end of every grapheme cluster, ascending; the last is the text's end.
std::vector<size_t> GraphemeEnds(std::string_view utf8);

}  // namespace platform

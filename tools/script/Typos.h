#pragma once
// Words that look like a mistyped keyword. The interpreter shows any word
// that is not exactly a keyword as text, so "SEPaly", "Goto" or "FadeIN"
// reach the player instead of playing a sound, jumping or fading.
#include <string>
#include <vector>

namespace scripttool {

// The keyword (CP932, its table spelling) that `word` looks like a mistyped
// form of: the same letters in other case, or within two edits (one for
// keywords of four or five characters; case only for shorter ones). A word
// that is a keyword as it stands is no typo.
struct Typo {
  std::string keyword;  // empty: none
  size_t edits = 0;     // 0: the keyword in other case
  // Sure enough to call an error: other case, or a keyword long enough that
  // no ordinary word lies this close ("Night" is one edit from "Right").
  bool sure = false;
};
Typo KeywordMeant(const std::string& word);

// The one of `choices` that `word` is close to in the same way, or empty.
std::string NearestOf(const std::string& word, const std::vector<std::string>& choices);

// Whether `word` is exactly one of the keywords (either spelling; not the
// assignment's "$").
bool IsKeyword(const std::string& word);

// The CP932 ideographic space U+3000, which is no word separator.
extern const char* const kFullWidthSpace;
// The byte offset of the first full-width space in `word` (at a character
// boundary), or npos.
size_t FindFullWidthSpace(const std::string& word);

}  // namespace scripttool

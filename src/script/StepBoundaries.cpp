#include "script/StepBoundaries.h"

#include <string>

#include "platform/text/TextCodec.h"
#include "script/Keywords.h"
#include "script/MenuBlock.h"

namespace script {
namespace {

const Keyword* Matching(const std::string& word) {
  // Each word matches one row at most: the spellings differ and only the
  // assignment begins with "$".
  for (const Keyword& row : Keywords())
    if (row.Matches(word)) return &row;
  return nullptr;
}

// How many words the thing at `at` takes, as the step reads it.
size_t Extent(const WordList& words, size_t at) {
  const std::string& word = words[at];
  const size_t n = words.size();
  if (word == ".") return 1;
  const Keyword* row = Matching(word);
  if (!row) return word.find(SJ("：")) != std::string::npos && at + 1 < n ? 2 : 1;
  switch (row->command) {
    case Command::FontMenu:
    case Command::ButtonMenu: {
      size_t pos = at + 1;
      if (pos < n && words[pos] != "{") ++pos;  // the frame name
      if (pos >= n) return n - at;
      // Without a block no menu opens, but the keyword and its frame are
      // passed over: the step reads on from the word after them.
      if (words[pos] != "{") return pos - at;
      MenuBlock block;
      if (!ReadMenuBlock(words, pos, block)) return n - at;
      return pos + 1 - at;  // past the closing "}"
    }
    case Command::String:
      return at + 3 < n && words[at + 2] == "=" ? 4 : 2;
    default:
      return size_t(row->arguments) + 1;
  }
}

}  // namespace

std::vector<size_t> StepBoundaries(const WordList& words) {
  std::vector<size_t> out;
  for (size_t at = 0; at < words.size(); at += Extent(words, at)) out.push_back(at);
  return out;
}

std::vector<size_t> MessageWords(const WordList& words) {
  std::vector<size_t> out;
  for (size_t at : StepBoundaries(words)) {
    const std::string& word = words[at];
    if (word == "." || Matching(word)) continue;
    if (word.find(SJ("：")) == std::string::npos) out.push_back(at);
    else if (at + 1 < words.size()) out.push_back(at + 1);  // a speaker without text shows nothing
  }
  return out;
}

size_t LandingWord(const WordList& words, size_t target) {
  size_t landing = 0;
  for (size_t at : StepBoundaries(words)) {
    if (at > target) break;
    landing = at;
  }
  return landing;
}

}  // namespace script

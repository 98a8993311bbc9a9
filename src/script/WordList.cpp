#include "script/WordList.h"

#include <algorithm>

void SplitWords(std::string_view bytes, WordList& words, std::vector<size_t>* offsets) {
  size_t i = 0;
  const size_t n = bytes.size();
  while (i < n) {
    while (i < n && IsWordSpace(static_cast<unsigned char>(bytes[i]))) ++i;
    if (i == n) break;
    size_t start = i;
    while (i < n && !IsWordSpace(static_cast<unsigned char>(bytes[i]))) ++i;
    words.emplace_back(bytes.substr(start, i - start));
    if (offsets) offsets->push_back(start);
  }
}

void RemoveCommentBlocks(WordList& words) {
  // Compacting in place keeps the pass linear; the result is the same as
  // erasing the block's words one by one at the opening position.
  size_t out = 0;
  size_t i = 0;
  while (i < words.size()) {
    if (words[i] == "/*") {
      while (i < words.size() && words[i] != "*/") ++i;
      if (i < words.size()) ++i;  // the closing marker goes too
      continue;
    }
    if (out != i) words[out] = std::move(words[i]);
    ++out;
    ++i;
  }
  words.resize(out);
}

std::string JoinWords(const WordList& words) {
  std::string bytes;
  size_t total = 0;
  for (const std::string& w : words) total += w.size() + 2;
  bytes.reserve(total);
  for (const std::string& w : words) {
    // A word is written as a C string would be: it ends at a zero byte.
    bytes.append(w.data(), std::find(w.begin(), w.end(), '\0') - w.begin());
    bytes += "\r\n";
  }
  return bytes;
}

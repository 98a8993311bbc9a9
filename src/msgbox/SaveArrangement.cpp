#include "msgbox/SaveArrangement.h"

#include <string>

#include "script/CTextFile.h"

size_t ArrangeSaveWords(const std::vector<WordList>& groups, const CTextFile& file, WordList& out) {
  size_t phase = 0;  // key position of the next byte written
  for (size_t g = 0; g < groups.size(); ++g) {
    const WordList& group = groups[g];
    size_t shift = 0;
    while (shift < CTextFile::kKeyLength && !file.ReadsBackAt(group, phase + shift)) ++shift;
    if (shift == CTextFile::kKeyLength) return g;
    if (shift > 0) out.emplace_back(shift, kSavePadding);
    size_t bytes = shift;
    for (const std::string& word : group) bytes += word.size();
    out.insert(out.end(), group.begin(), group.end());
    phase = (phase + bytes) % CTextFile::kKeyLength;
  }
  return groups.size();
}

#include "msgbox/SaveArrangement.h"

#include <string>

#include "platform/files/Files.h"
#include "platform/text/TextCodec.h"
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

HRESULT WriteSaveFile(CTextFile& file, const std::string& path, WordList& words, std::string& reason) {
  if (!platform::IsContainedPath(path)) {
    reason = SJ("保存先「") + path + SJ("」はゲームの外を指すため、書き込めません。");
    return E_FAIL;
  }
  const HRESULT hr = file.Write(path, words);
  // Why the platform could not write it (a full disk, a link leading out,
  // something not a file in the slot's place), when that was the cause.
  if (std::string why = platform::TakeWriteFailureReason(); FAILED(hr) && !why.empty()) reason = why;
  return hr;
}

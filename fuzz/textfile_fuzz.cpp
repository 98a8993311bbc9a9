// Reading script and save files: any bytes, plain or enciphered, must give a
// clean word list without crashing, hanging or reading out of bounds.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "script/CCipher.h"
#include "script/CTextFile.h"

namespace {
// Words are never empty; plain words never hold whitespace (deciphered ones
// may: the cipher maps some bytes onto whitespace values).
void CheckWords(const WordList& words, bool plain) {
  for (const std::string& w : words) {
    if (w.empty()) std::abort();
    if (!plain) continue;
    for (unsigned char c : w)
      if (IsWordSpace(c)) std::abort();
  }
}

bool HasZeroByte(const WordList& words) {
  for (const std::string& w : words)
    if (w.find('\0') != std::string::npos) return true;
  return false;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  static CTextFile plain(false);
  static CTextFile enciphered(true);

  WordList words;
  plain.DecodeBytes(bytes, words);
  CheckWords(words, true);
  // Comment blocks are gone after reading, so writing and reading again must
  // give the same list (a zero byte legitimately ends a word on writing).
  if (!HasZeroByte(words)) {
    WordList again;
    plain.DecodeBytes(JoinWords(words), again);
    if (again != words) std::abort();
  }

  enciphered.DecodeBytes(bytes, words);
  CheckWords(words, false);
  // Writing enciphered and reading again gives the same list whenever the
  // writer accepts it (no enciphered byte is whitespace or zero).
  WordList copy = words;
  CCipher cipher;
  std::string file = enciphered.EncodeWords(copy);
  size_t w = 0;
  size_t b = 0;
  if (!CTextFile::FindUnreadableByte(copy, w, b)) {
    WordList again;
    enciphered.DecodeBytes(file, again);
    if (again != words) std::abort();
  }
  // The cipher itself is exactly invertible, writer's spaces aside.
  for (std::string& word : copy) {
    if (word.empty() || word.back() != ' ') std::abort();
    word.pop_back();
  }
  cipher.Decrypt(copy, CTextFile::kKey);
  if (copy != words) std::abort();
  return 0;
}

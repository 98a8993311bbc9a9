#pragma once
// The fixed-key byte cipher of script and save files. One key cursor runs
// across the whole list (it is not reset for a new word), so the n-th byte of
// the list, counting word bytes only, always pairs with key byte n mod
// key length. Only the low four bits of each key byte take part.
#include <string>

#include "script/WordList.h"

class CCipher {
 public:
  // Replaces each byte c by c - (k & 0x0F) mod 256 and appends one space
  // (not enciphered, no key step) to every word. False, with the list
  // untouched, for an empty key.
  bool Encrypt(WordList& words, std::string key);
  // Replaces each byte c by c + (k & 0x0F) mod 256; appends nothing. Reading
  // drops the writer's spaces, so the pairing matches the writer's.
  bool Decrypt(WordList& words, std::string key);

  // The cipher can echo every word it handles to standard output ("元の文字列：",
  // "暗号後：", "復号後："), for debugging a script file. Off by default.
  static void SetTrace(bool on);
};

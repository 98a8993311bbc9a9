#pragma once
// Laying a script's words out in its enciphered file so that every word reads
// back. The cipher pairs the n-th byte of a file with key byte n mod 10, and a
// few ASCII characters (! % ' ) * , - /) become whitespace under one key byte
// each, so whether a word reads back depends on how many bytes stand before
// it. The reader drops comment blocks after deciphering, so a block of padding
// ("/*", a word of "_", "*/") moves the words after it to another key
// position and the engine still counts the same words at the same places.
#include <cstddef>
#include <string>
#include <vector>

#include "script/WordList.h"

namespace scripttool {

// Whether `word`, its first byte at key position `phase`, reads back.
bool WordReadsBackAt(const std::string& word, size_t phase);

struct ScriptLayout {
  WordList fileWords;  // the words to encipher: the engine's words with padding blocks among them
  size_t blocks = 0;   // padding blocks put in
  // npos when every word was placed; else the first word (index into the
  // engine's words) that no arrangement can place.
  size_t unplaceable = static_cast<size_t>(-1);
  bool readsNowhere = false;  // that word reads back at no key position at all
};

// Lays out `engineWords` (comment blocks already removed) with as few
// padding blocks as possible.
ScriptLayout LayOutScript(const WordList& engineWords);

}  // namespace scripttool

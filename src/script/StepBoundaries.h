#pragma once
// Where in a word list the interpreter can stand between steps: the first
// word of a command (with its argument words, a menu block or the optional
// "= value" of "string" behind it), a clear word ".", a text word, or a
// speaker word with its text. A script read again after an edit is put back
// at one of these, never inside a command's arguments.
#include <cstddef>
#include <vector>

#include "script/WordList.h"

namespace script {

// The boundaries in file order; empty for an empty list.
std::vector<size_t> StepBoundaries(const WordList& words);

// Where each message's text word stands, in file order: a text word, or
// the word after a speaker word (as the interpreter stands when the message
// shows). The positions the messages seen are kept by.
std::vector<size_t> MessageWords(const WordList& words);

// The last boundary at or before `target` (the first word when the list is
// empty or target comes before every boundary).
size_t LandingWord(const WordList& words, size_t target);

}  // namespace script

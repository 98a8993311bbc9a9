#pragma once
// Laying a save's words out so that they read back. The cipher pairs the
// n-th byte of a file with key byte n mod 10, so whether a word enciphers to
// whitespace or zero (and would come back split or cut, shifting every word
// after it) depends on how many bytes come before it: the same variables
// can be written at 10:15 and not at 10:05. The save reader passes over
// words it does not know outside the date, the script name and the variable
// triples, so a padding word in front of a group moves that group to a key
// position where it reads back, and readers still see the same save.
#include <cstddef>
#include <string>
#include <vector>

#include "platform/diagnostics/Result.h"
#include "script/WordList.h"

class CTextFile;

// The padding character: '_' is no keyword of the reader and enciphers to
// a printable byte under every key byte.
constexpr char kSavePadding = '_';

// Appends the groups to out in order, each unbroken, with a padding word of
// one to nine kSavePadding bytes before a group only where the group would
// not read back at its place. Returns the index of the first group that
// reads back at no key position (out then holds the groups before it), or
// groups.size() when all of them were laid out.
size_t ArrangeSaveWords(const std::vector<WordList>& groups, const CTextFile& file, WordList& out);

// Writes the laid-out words to path. A name that would write outside the
// game (it climbs with ".." or is absolute) is refused with a reason for
// the player; other failures give the platform's reason when it has one (a
// full disk, a link leading out), else leave reason as it was.
HRESULT WriteSaveFile(CTextFile& file, const std::string& path, WordList& words, std::string& reason);

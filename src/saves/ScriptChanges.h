#pragma once
// A save made with an older version of a script: the snapshot is fitted to
// the words the script has now. The same word when the words up to it are
// unchanged; else the saved message, or failing that the nearest earlier
// message of the record, whose words are unchanged (found again in the new
// words); else the start of the script.
#include <cstddef>
#include <deque>
#include <string>
#include <vector>

#include "saves/PlayRecord.h"

namespace saves {

enum class Fit : uint8_t {
  Unchanged,       // the script is as it was
  SameWord,        // changed after the word the save stands at
  SameMessage,     // changed before it: at the saved message, found again, stepped to from there
  EarlierMessage,  // at a message before it, stepped to from there
  ScriptStart,     // from the start of the script, the window blanked as a fresh start finds it
};

// Fits `s` (the last entry of `record`) to `now`. For SameMessage,
// EarlierMessage and ScriptStart the menus close and the caller steps the
// script once restored.
Fit FitToScript(msgbox::Snapshot& s, const std::vector<std::string>& now, const std::deque<RecordEntry>& record);

// What the player is told of a fit, once: the msgid of the engine's catalogue
// (po/en.po); empty for Unchanged.
const char* FitNote(Fit fit);

}  // namespace saves

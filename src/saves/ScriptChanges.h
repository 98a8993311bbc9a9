#pragma once
// A save made with an older version of a script: the snapshot is fitted to
// the words the script has now. The same word when the words up to it are
// unchanged; else the nearest earlier message of the record whose words are
// unchanged (found again in the new words); else the start of the script.
#include <cstddef>
#include <deque>
#include <string>
#include <vector>

#include "saves/PlayRecord.h"

namespace saves {

enum class Fit : uint8_t {
  Unchanged,       // the script is as it was
  SameWord,        // changed after the word the save stands at
  EarlierMessage,  // at a message before it, stepped to from there
  ScriptStart,     // from the start of the script
};

// Fits `s` (the last entry of `record`) to `now`. For EarlierMessage and
// ScriptStart the menus close and the caller steps the script once restored.
Fit FitToScript(msgbox::Snapshot& s, const std::vector<std::string>& now, const std::deque<RecordEntry>& record);

}  // namespace saves

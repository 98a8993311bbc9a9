#pragma once
// The scripts of a game as the engine names them: every enciphered script
// file below GameData/Text (the working directory is the game's), save files
// left out.
#include <string>
#include <vector>

#include "ScriptWalk.h"

namespace scripttool {
// Reads each script's words, sorted by engine name (CP932, backslashes,
// without the "E" of the enciphered file name).
bool ReadScripts(std::vector<WalkedScript>& scripts, std::string& error);
}  // namespace scripttool

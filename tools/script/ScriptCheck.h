#pragma once
// The game-wide half of `vantorel-script check`: what one script uses
// against what the whole game defines (texture aliases, sound aliases,
// variables) and the files it needs (pictures, sounds, music, scripts,
// saves). Files are looked up as the engine looks them up, relative to the
// working directory, which is the game directory.
#include <vector>

#include "ScriptWalk.h"

namespace scripttool {

// The script the game opens first.
extern const char* const kOpeningScriptUtf8;

// Adds the findings about `scripts` (already walked) as a whole. Findings
// that belong to no script carry an empty script name. A script the game
// names is there when it is one of `scripts` (a plain source counts: the
// build makes it) or its built file is.
void CheckGame(const std::vector<WalkedScript>& scripts, std::vector<Finding>& findings);

}  // namespace scripttool

#pragma once
// `vantorel-script new`: the smallest whole game, for an author to start from.
#include <string>
#include <vector>

namespace scripttool {

struct NewGameFile {
  const char* path;  // below the game's scripts/ (UTF-8, '/')
  const char* text;  // UTF-8
};

// The plain scripts of a new game.
const std::vector<NewGameFile>& NewGameScripts();

}  // namespace scripttool

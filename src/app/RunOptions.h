#pragma once
// How this run was started: the command line of the vantorel executable.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/input/ScriptedInput.h"

struct RunOptions {
  bool headless = false;
  uint64_t maxFrames = 0;                       // 0: until the player quits
  std::map<uint64_t, std::vector<std::string>> screenshots;  // pass -> host PNG paths
  std::vector<platform::ScriptedEvent> input;   // sorted by frame
  std::string tracePath;
  bool answerYes = true;
  bool showHelp = false;
  bool showVersion = false;
  bool gameDirGiven = false;  // --game-dir was on the command line
};

// Parses argv; on error returns false with a message. Relative host paths are
// made absolute (the game directory becomes the working directory later).
bool ParseCommandLine(int argc, char** argv, RunOptions& options, std::string& gameDir, std::string& error);

#pragma once
// How this run was started: the command line of the vantorel executable.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/input/ScriptedInput.h"

// --rewrite-at N FROM TO: at pass N the file FROM is copied over TO (host
// paths), so a test can edit the game's files at a known point of a run.
struct FileRewrite {
  uint64_t pass = 0;
  std::string from, to;
};

struct RunOptions {
  bool headless = false;
  uint64_t maxFrames = 0;                       // 0: until the player quits
  std::map<uint64_t, std::vector<std::string>> screenshots;  // pass -> host PNG paths
  std::vector<platform::ScriptedEvent> input;   // sorted by frame
  std::string tracePath;
  bool answerYes = true;
  std::string saveDir;  // --save-dir: where saves go instead of the game's or the player's place
  bool watch = false;                 // reload the open script and pictures when saved
  bool continueGame = false;          // --continue: from the newest save of the game menu's kinds
  std::string settingsFile;           // --settings: the player's settings file instead of the usual one
  std::string language;               // --language: a translation for this run ("ja": the original)
  std::vector<FileRewrite> rewrites;  // in the order given
  bool showHelp = false;
  bool showVersion = false;
  bool showInfo = false;  // --info: what the engine found, then exit
  bool gameDirGiven = false;  // --game-dir was on the command line
};

// Parses argv; on error returns false with a message. Relative host paths are
// made absolute (the game directory becomes the working directory later).
bool ParseCommandLine(int argc, char** argv, RunOptions& options, std::string& gameDir, std::string& error);

#pragma once
// What `build` leaves beside a game's GameData: where the game's scripts were
// built from, so that `check` without --source can tell a script edited
// since its last build ("0 errors" for a game that no longer is what its
// sources say would mislead).
#include <string>
#include <vector>

namespace scripttool {

// The record's file, beside GameData.
extern const char* const kBuildRecordName;

// Writes the record into gameDir: srcDir relative to gameDir where possible,
// so that the two can move together.
bool WriteBuildRecord(const std::string& gameDir, const std::string& srcDir, bool cp932, std::string& error);

// The source directory (a host path usable from the working directory) the
// record in gameDir names; false when there is no record.
bool ReadBuildRecord(const std::string& gameDir, std::string& srcDir);

// The enciphered file below gameDir that a source below srcDir builds into.
std::string BuiltFileFor(const std::string& srcDir, const std::string& source, const std::string& gameDir);

// The plain scripts (.txt) below dir, sorted; false when it cannot be listed.
bool ListScriptSources(const std::string& dir, std::vector<std::string>& sources, std::string& error);

struct StaleSource {
  std::string source;  // host path
  std::string built;   // host path of its built file
  bool neverBuilt = false;
};
// The sources below srcDir whose built file in gameDir is missing or older.
std::vector<StaleSource> FindStaleSources(const std::string& srcDir, const std::string& gameDir);

}  // namespace scripttool

#pragma once
// Engine paths are CP932 byte strings with backslashes, relative to the game
// directory (the working directory). Every file access resolves them here.
#include <string>
#include <string_view>

namespace platform {
// Host path (UTF-8, '/') for an engine path. When the converted name does not
// exist, the raw bytes and then a case-insensitive match per component are
// tried, so that game data copied from Windows is found. If nothing exists,
// the plain UTF-8 conversion is returned (the place a new file would go).
std::string ResolvePath(std::string_view enginePath);
bool FileExists(std::string_view enginePath);
// Reads a whole file; false when it cannot be opened or read.
bool ReadWholeFile(std::string_view enginePath, std::string& bytes);
// Writes crash-safe: a temporary file in the same directory is written,
// flushed and fsync'd, renamed over the target, and the directory fsync'd.
// On any failure the old file is left untouched and false is returned.
bool WriteFileAtomic(std::string_view enginePath, std::string_view bytes);
// The same for a host path (UTF-8), used for the player's configuration.
bool WriteHostFileAtomic(const std::string& hostPath, std::string_view bytes);
// Creates a host directory and its parents; true when it exists afterwards.
bool MakeHostDirs(const std::string& hostPath);
// The current directory as a host path.
std::string CurrentDirectory();
}  // namespace platform

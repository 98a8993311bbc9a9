#pragma once
// Engine paths are CP932 byte strings with backslashes, relative to the game
// directory (the working directory). Every file access resolves them here.
#include <cstddef>
#include <string>
#include <string_view>

#include "platform/files/RegularFile.h"

namespace platform {
// Host path (UTF-8, '/') for an engine path. When the converted name does not
// exist, the raw bytes and then a case-insensitive match per component are
// tried, so that game data copied from Windows is found. If nothing exists,
// the plain UTF-8 conversion is returned (the place a new file would go).
std::string ResolvePath(std::string_view enginePath);
bool FileExists(std::string_view enginePath);
// Reads a whole file of at most maxBytes (a cap of file_caps, RegularFile.h);
// false when it cannot be opened or read, is no regular file or is larger.
// A file refused for what it is or its size is reported (once) unless
// `report` is false.
bool ReadWholeFile(std::string_view enginePath, std::string& bytes, size_t maxBytes, bool report = true);
// Writes crash-safe: a temporary file in the same directory is written,
// flushed and fsync'd, renamed over the target, and the directory fsync'd.
// On any failure the old file is left untouched and false is returned.
// Something other than a regular file in the target's place (a FIFO, a
// device, a directory) is never replaced: refused and reported.
bool WriteFileAtomic(std::string_view enginePath, std::string_view bytes);
// The same for a host path (UTF-8), used for the player's configuration. A
// symbolic link at hostPath is followed when followLink (the file it leads
// to is replaced, crash-safe in its own directory), else replaced itself.
bool WriteHostFileAtomic(const std::string& hostPath, std::string_view bytes, bool followLink = true);
// Creates a host directory and its parents; true when it exists afterwards.
bool MakeHostDirs(const std::string& hostPath);
// Whether files can be made in a host directory (made first when missing):
// a file is made there and removed again. False with the reason (English,
// for the command line) when it is no directory or cannot be written.
bool CheckWritableDirectory(const std::string& hostPath, std::string& why);
// The current directory as a host path.
std::string CurrentDirectory();

// Where the files the engine writes for the player (saves) go. Unset: into
// the game directory, where the game lays them out. Set: under hostDir with
// the same relative path, creating directories as needed, and reads of such
// files (SavedFileExists, ReadSavedFile) look there first. kRootOnly keeps
// them from being found in the game, so a run sees only the saves it made.
enum class WriteRootReads { kRootThenGame, kRootOnly };
void SetWriteRoot(const std::string& hostDir, WriteRootReads reads = WriteRootReads::kRootThenGame);
void ClearWriteRoot();
std::string WriteRoot();  // empty when unset
// Whether a name from a script stays inside the place it is written to:
// relative, no drive, no ".." component (split on single-byte separators).
bool IsContainedPath(std::string_view enginePath);
// Writes a file for the player, crash-safe, relative to the game directory
// or the write root opened once: refuses names that are not contained, and
// any folder on the way that a symbolic link makes lead out of that place,
// as it is when written (a folder swapped for a link meanwhile cannot send
// the save elsewhere); a failure leaves no temporary file.
bool WriteGameFile(std::string_view enginePath, std::string_view bytes);
// Why the last WriteGameFile or WriteHostFileAtomic on this thread failed, in the player's words
// (CP932): a full disk, a read-only place, a link leading out... Taken
// once: empty afterwards, and after a write that did not fail.
std::string TakeWriteFailureReason();
// Reads a file the engine wrote (a save): the write root, then the game
// unless the root was set with kRootOnly.
// A save over file_caps::kSave, or one that is no regular file, is refused
// and reported.
bool SavedFileExists(std::string_view enginePath);
bool ReadSavedFile(std::string_view enginePath, std::string& bytes);
// The host path a file written by WriteGameFile lands on (for reports).
std::string WritePath(std::string_view enginePath);
// Whether the engine can write the game's own save place (the directory of
// enginePath, or its nearest existing ancestor inside the game).
bool GamePlaceWritable(std::string_view enginePath);

// A stable name for a game: its directory's name and a hash of its opening
// script ("demo-3f2a..."), so two games never share player data and a moved
// game keeps its own.
std::string MakeGameId(std::string_view directoryName, std::string_view openingScript);
void SetGameId(const std::string& id);
std::string GameId();  // "game-<hash of the current directory>" until set
// $<xdgVariable>/vantorel, or ~/<homeFallback>/vantorel when the variable is
// unset or relative (invalid by the XDG rules); empty without HOME either.
std::string VantorelHome(const char* xdgVariable, const char* homeFallback);
// $XDG_DATA_HOME/vantorel/<game id> (or ~/.local/share/vantorel/<game id>);
// empty when neither is set. Not created here.
std::string PlayerDataDirectory();
}  // namespace platform

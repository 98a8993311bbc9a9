#pragma once
// Reading and replacing files the player or the game put in place. Only a
// regular file is read: a FIFO, a device or a directory in a file's place
// is refused before anything is read from it (it is opened, if at all,
// without blocking, so a FIFO never holds the game), and none of them is
// ever replaced by a file of ours. Each kind of file has a size cap fitted
// to what it can hold, and a larger file is refused by its size, not read.
#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// The most bytes a file of each kind may hold.
namespace file_caps {
inline constexpr size_t kMiB = size_t(1) << 20;
inline constexpr size_t kScript = 16 * kMiB;    // a script (the demo's largest: 3 KB)
inline constexpr size_t kSave = 16 * kMiB;      // a save: the variables of a game
inline constexpr size_t kSettings = 64 * 1024;  // the player's settings (a few hundred bytes)
inline constexpr size_t kBindings = 64 * 1024;  // the player's key bindings
inline constexpr size_t kSeen = 64 * kMiB;      // the messages seen: some 40 bytes each
inline constexpr size_t kInput = 16 * kMiB;     // scripted input for a headless run
// A picture: 8192 x 8192 at 32 bits, uncompressed with every mipmap level.
inline constexpr size_t kPicture = 344 * kMiB;
inline constexpr size_t kEffect = 256 * kMiB;  // a WAV effect (25 minutes of CD sound)
inline constexpr size_t kMusic = 16 * kMiB;    // a MIDI piece
}  // namespace file_caps

enum class FileRead { kRead, kMissing, kNotRegular, kTooLarge, kFailed };

// Reads hostPath (UTF-8, following symbolic links) when it is a regular file
// of at most maxBytes; bytes is empty unless kRead.
FileRead ReadRegularFile(const std::string& hostPath, std::string& bytes, size_t maxBytes);

// Where a file of ours may go: hostPath itself, or the file a symbolic
// link there leads to when followLink (the player's dotfiles may link the
// settings elsewhere: the link stays, the file it names is replaced).
// False when what is there is neither absent nor a regular file (a
// directory, FIFO, device, or a link that loops); `target` then names it.
bool ReplaceableTarget(const std::string& hostPath, bool followLink, std::string& target);

// Replaces the contents of a regular file (or creates it) in place,
// truncating and writing as an editor that does not rename does; false for
// anything else in its place, or when a write fails. Not crash-safe: for
// tests that edit a game under a running engine.
bool OverwriteRegularFile(const std::string& hostPath, std::string_view bytes);

// Writes a file the user named for output (a screenshot): crash-safe over
// a regular file or none; a device or FIFO named on purpose (/dev/stdout)
// is written in place, without blocking. Every write and the close are
// checked: false when any failed (a full disk), or for a directory.
bool WriteOutputFile(const std::string& hostPath, std::string_view bytes);

// The player's words for why a file was not read (CP932).
std::string RefusalReason(FileRead why, size_t maxBytes);
// Reports a file that was not read (kNotRegular or kTooLarge) or not
// written (kNotRegular), once per file and run, naming it (CP932) as the
// game or the player named it. Main thread (a worker reads quietly and
// leaves the report to the main thread's own read).
void ReportRefusedFile(std::string_view nameCp932, FileRead why, size_t maxBytes, bool writing = false);

}  // namespace platform

#pragma once
// The loudness of a game's MIDI pieces measured ahead, for a build that
// cannot measure a piece as it starts (the browser's one thread): a text
// table of lines "KEY LUFS", KEY the piece's content key in 16 hexadecimal
// digits, LUFS its integrated loudness with two decimals; anything after a
// '#' is a comment (the writer names the files there).
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

namespace platform {

// A piece's content key: FNV-1a 64 over its standard MIDI file image (as
// ExtractSmf leaves it), so any copy or name of the same piece finds the
// same value, and a 64-bit build and a 32-bit one agree.
uint64_t PieceKey(std::string_view smf);

// One line of the table, ending in a line break; `comment` (when given)
// follows after "  # ".
std::string LoudnessLine(uint64_t key, double lufs, std::string_view comment = {});

// The table's entries by key. Lines that do not read as a key and a finite
// loudness (with a comment or nothing after it) are passed over, as is a
// key seen before (the first one holds).
std::map<uint64_t, double> ParseLoudnessTable(std::string_view text);

}  // namespace platform

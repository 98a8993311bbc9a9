#pragma once
// Repairs made to a WAV file's bytes before SDL parses them.
#include <string>

namespace platform {

// SDL allocates a chunk's declared length before reading it, so a damaged
// 100-byte file saying 2 GB would cost 2 GB. Chunk lengths past the end of
// the file are cut to what the file holds; SDL then treats the data as
// truncated, as it would any cut file.
void ClampWavChunkLengths(std::string& bytes);

// SDL reads 32-bit float samples but not 64-bit ones, which some editors
// wrote: those become 32-bit floats here (the plain and the extensible
// format tags), with the format chunk to match. Other files are untouched.
void NarrowDoubleWavSamples(std::string& bytes);

}  // namespace platform

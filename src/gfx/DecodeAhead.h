#pragma once
// Pictures decoded ahead, off the main thread. Start-up knows which pictures
// its first frame will load (the message window's and those the opening
// script puts up before it first waits) and has them read and decoded on its
// worker while the window is being made; the texture load takes the decoded
// pixels instead of reading the file again. A picture the worker has not
// begun is decoded by the load itself as before, and one whose decoding
// failed is read again there, so its failure is reported as always.
// Entries are keyed by the file's found path (see FindMediaFile).
#include <cstddef>
#include <string>
#include <vector>

#include "platform/files/ImageDecoder.h"

namespace decode_ahead {

// Announces the files the worker will decode, in order (found paths).
// Any still planned from before are dropped.
void Plan(const std::vector<std::string>& foundPaths);
// On the worker: decodes each planned file that no load has claimed, until
// the plan is done or Finish was called.
void Run();
// On the loading thread: the decoded pixels of `foundPath`, waiting when
// the worker is decoding it right now. False when it was not planned, not
// begun (it is then struck from the plan) or failed to decode.
bool Take(const std::string& foundPath, platform::Image& out);
// Start-up is over: the rest of the plan is dropped and decoded pictures
// nobody took are freed.
void Finish();
// How many pictures Take has handed out since the program started.
size_t Served();

}  // namespace decode_ahead

#pragma once
// Handing freed heap memory back to the system. Start-up frees megabytes of
// temporaries (picture decoding, the soundfont's parser) that malloc keeps
// resident. Trimming takes the allocator's locks for several milliseconds,
// which would stall the window thread's start-up, so no trim runs before the
// first frame is out.
namespace platform {
// Called by the window thread once its first frame is presented: trims now.
void StartupFinished();
// Trims now when start-up is over; before that, the trim of StartupFinished
// will cover what was freed.
void TrimFreeMemory();
}  // namespace platform

// Sound-effect files: any bytes loaded as an effect, its length asked for
// and its samples converted to the output format, as the first play does.
// Loading must refuse what cannot play; nothing may crash or overrun.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "platform/audio/AudioSegment.h"
#include "platform/diagnostics/Debug.h"

namespace {
void SetUpOnce() {
  char dir[] = "/tmp/vantorel-wavfuzz-XXXXXX";
  if (!mkdtemp(dir) || chdir(dir) != 0) std::abort();
  platform::SetDebugEcho(false);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool ready = (SetUpOnce(), true);
  (void)ready;
  FILE* f = std::fopen("effect.wav", "wb");
  if (!f) std::abort();
  std::fwrite(data, 1, size, f);
  std::fclose(f);

  platform::AudioLoader loader;
  platform::AudioSegmentPtr segment;
  if (FAILED(loader.LoadSegment("effect.wav", segment))) {
    if (segment) std::abort();  // a refused file hands out nothing
    return 0;
  }
  int64_t length = -1;
  if (FAILED(segment->GetLength(length)) || length < 0) std::abort();
  bool lengthFromHeader = !segment->Decoded();  // no resampling: known without converting
  size_t frames = segment->Frames();
  const int16_t* samples = segment->Samples();
  // Touch the last sample: the converted length must be backed by memory.
  if (frames && samples) {
    volatile int16_t last = samples[frames * 2 - 1];
    (void)last;
  }
  // Without resampling the length known before conversion is the length after.
  if (lengthFromHeader && length != static_cast<int64_t>(frames)) std::abort();
  return 0;
}

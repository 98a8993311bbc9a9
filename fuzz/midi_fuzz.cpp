// Music files: any bytes played as a MIDI piece and rendered for a while.
// The graph must refuse what it cannot play, and neither the player nor the
// end-of-piece check may crash, overrun or hang on a damaged file.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/audio/MusicGraph.h"
#include "platform/diagnostics/Debug.h"

namespace {
platform::MusicGraph* SetUpOnce() {
  char dir[] = "/tmp/vantorel-midifuzz-XXXXXX";
  if (!mkdtemp(dir) || chdir(dir) != 0) std::abort();
  platform::SetDebugEcho(false);
  return new platform::MusicGraph();  // one soundfont load for the whole run
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static platform::MusicGraph* graph = SetUpOnce();
  FILE* f = std::fopen("piece.mid", "wb");
  if (!f) std::abort();
  std::fwrite(data, 1, size, f);
  std::fclose(f);
  if (!graph->Play("piece.mid")) return 0;
  // Two seconds in 0.1 s blocks: long enough for tempo changes, loops and
  // the end of short pieces.
  std::vector<int16_t> block(2 * 4410);
  for (int i = 0; i < 20; ++i) graph->Render(block.data(), 4410);
  int code;
  while (graph->GetEvent(code)) {
  }
  return 0;
}

// The current output and the state both outputs share.
#include "platform/audio/AudioOutput.h"

namespace platform {
namespace audio_internal {
namespace {
struct Shared {
  AudioOutput* current = nullptr;  // null: the null output
  AudioPerformance* owner = nullptr;
  uint64_t nextSerial = 1;
  bool pathUsed[kMaxPaths] = {};
  MusicGraph* music = nullptr;
  PumpState pump;
};
Shared g;
std::atomic<float> g_master{1.0f};
std::atomic<float> g_pathGain[kMaxPaths];
}  // namespace

AudioOutput& CurrentOutput() { return g.current ? *g.current : NullOutput(); }
void SetCurrentOutput(AudioOutput* device) { g.current = device; }
AudioPerformance*& OutputOwner() { return g.owner; }
uint64_t NextPlaySerial() { return g.nextSerial++; }

int AllocatePathSlot() {
  for (int i = 0; i < kMaxPaths; ++i) {
    if (!g.pathUsed[i]) {
      g.pathUsed[i] = true;
      g_pathGain[i] = 1.0f;
      return i;
    }
  }
  return -1;
}

void ReleasePathSlot(int slot) { g.pathUsed[slot] = false; }
std::atomic<float>& PathGain(int slot) { return g_pathGain[slot]; }
std::atomic<float>& MasterGain() { return g_master; }
MusicGraph* AttachedMusic() { return g.music; }
PumpState& Pump() { return g.pump; }

void* MakeChunk(float* samples, size_t bytes) { return CurrentOutput().MakeChunk(samples, bytes); }

void AttachMusic(MusicGraph* graph) {
  CurrentOutput().SetMusic(nullptr);
  g.music = graph;
  g.pump.remainder = 0;
  g.pump.clockStarted = false;
  CurrentOutput().SetMusic(graph);
}

void DetachMusic(MusicGraph* graph) {
  if (g.music != graph) return;
  CurrentOutput().SetMusic(nullptr);
  g.music = nullptr;
}
}  // namespace audio_internal
}  // namespace platform

// CPU cost of the limiter on the mixer thread: one device block (1024
// frames, 23 ms of sound) of a mix below the knee, where it only follows
// the peaks, and of one far over it, where every frame is bent.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "platform/audio/AudioMix.h"

namespace {
void BM_MixLimiter(benchmark::State& state) {
  const float level = state.range(0) ? 4.0f : 0.5f;
  std::vector<float> block(1024 * 2);
  for (size_t i = 0; i < block.size(); ++i) block[i] = level * std::sin(0.031f * float(i));
  std::vector<float> work = block;
  platform::MixLimiter limiter;
  for (auto _ : state) {
    work = block;
    limiter.Process(work.data(), 1024);
    benchmark::DoNotOptimize(work.data());
  }
  // Real-time factor: seconds of sound limited per CPU second.
  state.counters["audio_s_per_cpu_s"] =
      benchmark::Counter(1024.0 / platform::kAudioRate * double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_MixLimiter)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
}  // namespace

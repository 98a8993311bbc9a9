// CPU cost of music: FluidSynth rendering a General MIDI piece into the
// output format, as the music stream does on a device or the headless pump.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "support/AudioTestMedia.h"
#include "platform/audio/AudioMix.h"
#include "platform/audio/MusicGraph.h"

namespace {
// A busy band at 120 bpm: piano chords, string pad, bass, melody, drums;
// up to about 16 notes at once.
std::string BandPiece(int bars) {
  using testmedia::Note;
  std::vector<Note> notes;
  const uint8_t roots[4] = {48, 53, 55, 50};
  for (int bar = 0; bar < bars; ++bar) {
    uint32_t t0 = 384u * bar;
    uint8_t root = roots[bar % 4];
    for (uint8_t k : {0, 4, 7, 12}) notes.push_back({t0, 384, 1, uint8_t(root + 12 + k), 60});  // pad
    for (int beat = 0; beat < 4; ++beat) {
      uint32_t t = t0 + 96u * beat;
      for (uint8_t k : {0, 4, 7}) notes.push_back({t, 90, 0, uint8_t(root + 24 + k), 80});  // piano
      notes.push_back({t, 90, 2, uint8_t(root - 12), 100});                                  // bass
      notes.push_back({t, 48, 3, uint8_t(root + 36 + (beat * 2) % 7), 90});                 // melody
      notes.push_back({t + 48, 48, 3, uint8_t(root + 38 + beat), 90});
      notes.push_back({t, 20, 9, uint8_t(beat % 2 ? 38 : 36), 110});  // kick / snare
      notes.push_back({t, 20, 9, 42, 80});                             // hi-hat
      notes.push_back({t + 48, 20, 9, 42, 70});
    }
  }
  return testmedia::Midi(notes, 500000, {{0, 0}, {1, 48}, {2, 33}, {3, 73}});
}

void BM_MusicRender(benchmark::State& state) {
  char dir[] = "/tmp/vantorel-bench-XXXXXX";
  if (!::mkdtemp(dir)) return state.SkipWithError("no temporary directory");
  std::string file = std::string(dir) + "/band.mid";
  std::string bytes = BandPiece(256);  // 512 s, longer than any run
  if (FILE* f = std::fopen(file.c_str(), "wb")) {
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
  platform::MusicGraph graph;
  graph.SetVolume(-3000);
  if (!graph.Play(file)) return state.SkipWithError("piece not playable");
  const size_t framesPerPass = platform::kAudioRate * 16 / 1000;  // one 16 ms pass
  std::vector<int16_t> out(framesPerPass * 2);
  for (auto _ : state) {
    graph.Render(out.data(), framesPerPass);
    benchmark::DoNotOptimize(out.data());
  }
  // Real-time factor: audio seconds rendered per CPU second.
  state.counters["audio_s_per_cpu_s"] =
      benchmark::Counter(0.016 * double(state.iterations()), benchmark::Counter::kIsRate);
  std::remove(file.c_str());
  ::rmdir(dir);
}
BENCHMARK(BM_MusicRender)->Unit(benchmark::kMicrosecond)->MinTime(3.0);

// A piece started at a place (a snapshot given back) against one started
// from its beginning: the Play and the first 16 ms pass, in which the player
// goes to the place through every event before it. The band piece's place
// 8 minutes in (of 8.5) is about as far as any piece goes.
void PlayAndFirstPass(benchmark::State& state, int tick) {
  char dir[] = "/tmp/vantorel-bench-XXXXXX";
  if (!::mkdtemp(dir)) return state.SkipWithError("no temporary directory");
  std::string file = std::string(dir) + "/band.mid";
  std::string bytes = BandPiece(256);
  if (FILE* f = std::fopen(file.c_str(), "wb")) {
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
  platform::MusicGraph graph;
  graph.SetVolume(-3000);
  const size_t framesPerPass = platform::kAudioRate * 16 / 1000;
  std::vector<int16_t> out(framesPerPass * 2);
  if (!graph.Play(file)) return state.SkipWithError("piece not playable");
  graph.Render(out.data(), framesPerPass);  // the soundfont in before timing
  for (auto _ : state) {
    graph.Play(file, tick);
    graph.Render(out.data(), framesPerPass);
    benchmark::DoNotOptimize(out.data());
  }
  if (graph.Position() < tick) state.SkipWithError("the place was not reached");
  std::remove(file.c_str());
  ::rmdir(dir);
}
void BM_PlayFromBeginning(benchmark::State& state) { PlayAndFirstPass(state, 0); }
void BM_PlayAtPlace(benchmark::State& state) { PlayAndFirstPass(state, 384 * 240); }
BENCHMARK(BM_PlayFromBeginning)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlayAtPlace)->Unit(benchmark::kMicrosecond);

// The soundfont load that the graph does in the background: how long the
// first Play may have to wait when it comes at once.
void BM_GraphUntilFirstPiece(benchmark::State& state) {
  char dir[] = "/tmp/vantorel-bench-XXXXXX";
  if (!::mkdtemp(dir)) return state.SkipWithError("no temporary directory");
  std::string file = std::string(dir) + "/scale.mid";
  std::string bytes = testmedia::Scale();
  if (FILE* f = std::fopen(file.c_str(), "wb")) {
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
  for (auto _ : state) {
    platform::MusicGraph graph;
    benchmark::DoNotOptimize(graph.Play(file));
  }
  std::remove(file.c_str());
  ::rmdir(dir);
}
BENCHMARK(BM_GraphUntilFirstPiece)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
}  // namespace

// Counting the ways of an exploration (tools/script/WayGraph.h) on graphs
// shaped as explorations leave them: menus of 4 items one after another,
// each item's way running through 20 messages before the next menu, and
// every second item meeting the first one's way at its third message. The
// argument is the number of states; the count runs once per exploration.
#include <benchmark/benchmark.h>

#include "WayGraph.h"

namespace {
void BM_CountWays(benchmark::State& state) {
  const uint64_t states = static_cast<uint64_t>(state.range(0));
  scripttool::WayGraph graph;
  const char* items[] = {"「一」", "「二」", "「三」", "「四」"};
  uint64_t next = 1, menu = scripttool::WayGraph::kOpening;
  while (next < states) {
    uint64_t firstThird = 0, last = 0;
    for (int item = 0; item < 4 && next < states; ++item) {
      uint64_t at = menu;
      for (int message = 0; message < 20 && next < states; ++message) {
        if (item % 2 == 1 && message == 2 && firstThird) {
          graph.AddEdge(at, firstThird, "");  // meets the first item's way
          at = 0;
          break;
        }
        graph.AddEdge(at, next, message == 0 ? items[item] : "");
        at = next++;
        if (item == 0 && message == 2) firstThird = at;
      }
      if (at) last = at;
    }
    menu = last;
  }
  for (auto _ : state) benchmark::DoNotOptimize(graph.Count());
  state.counters["steps"] = static_cast<double>(graph.Steps());
}
BENCHMARK(BM_CountWays)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
}  // namespace

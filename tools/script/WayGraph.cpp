#include "WayGraph.h"

#include <algorithm>
#include <limits>

namespace scripttool {

void WayGraph::AddEdge(uint64_t from, uint64_t to, const std::string& choice) {
  next_[from].push_back({to, choice});
}

std::unordered_map<uint64_t, WayGraph::Ways> WayGraph::Count() const {
  // Nodes numbered densely, each node's steps once each and in one order,
  // so the count reads the same from run to run whatever order the
  // branches ended in.
  std::unordered_map<uint64_t, uint32_t> index;
  std::vector<uint64_t> keys;
  auto id = [&](uint64_t key) {
    auto [it, added] = index.emplace(key, static_cast<uint32_t>(keys.size()));
    if (added) keys.push_back(key);
    return it->second;
  };
  id(kOpening);
  std::vector<std::vector<std::pair<uint32_t, const std::string*>>> next;
  for (const auto& [from, edges] : next_) {
    const uint32_t f = id(from);
    if (next.size() <= f) next.resize(f + 1);
    std::vector<Edge> sorted = edges;
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    for (const Edge& e : sorted) {
      const uint32_t t = id(e.to);
      // The label lives in next_, which outlives this count.
      const auto& kept = *std::find(edges.begin(), edges.end(), e);
      next[f].push_back({t, &kept.choice});
    }
  }
  next.resize(keys.size());
  for (auto& edges : next)
    std::sort(edges.begin(), edges.end(), [&](const auto& a, const auto& b) {
      return keys[a.first] != keys[b.first] ? keys[a.first] < keys[b.first] : *a.second < *b.second;
    });

  // Depth first from the opening, without recursion (a long game is a deep
  // chain): the reverse of the order nodes finish in is an order in which
  // every step goes forward except those back to a node still open (loops).
  std::vector<uint8_t> seen(keys.size(), 0);
  std::vector<uint32_t> finished;
  std::vector<std::pair<uint32_t, size_t>> stack{{0, 0}};
  seen[0] = 1;
  while (!stack.empty()) {
    auto& [node, at] = stack.back();
    if (at >= next[node].size()) {
      finished.push_back(node);
      stack.pop_back();
      continue;
    }
    const uint32_t to = next[node][at++].first;
    if (!seen[to]) {
      seen[to] = 1;
      stack.push_back({to, 0});
    }
  }
  std::vector<size_t> order(keys.size(), 0);
  for (size_t i = 0; i < finished.size(); ++i) order[finished[i]] = finished.size() - 1 - i;

  std::vector<Ways> ways(keys.size());
  ways[0].count = 1;
  constexpr uint64_t kMost = std::numeric_limits<uint64_t>::max();
  for (auto node = finished.rbegin(); node != finished.rend(); ++node) {
    for (const auto& [t, choice] : next[*node]) {
      if (order[t] <= order[*node]) continue;  // back to a node on the way: a loop
      const Ways& from = ways[*node];
      Ways& to = ways[t];
      const bool first = to.count == 0;  // no way had reached it before this one
      to.count = from.count > kMost - to.count ? kMost : to.count + from.count;
      const size_t length = from.shortest.size() + (choice->empty() ? 0 : 1);
      if (!first && length > to.shortest.size()) continue;
      Choices way = from.shortest;
      if (!choice->empty()) way.push_back(*choice);
      if (first || way.size() < to.shortest.size() || way < to.shortest) to.shortest = std::move(way);
    }
  }
  std::unordered_map<uint64_t, Ways> out;
  out.reserve(finished.size());
  for (uint32_t n : finished) out.emplace(keys[n], std::move(ways[n]));
  return out;
}

}  // namespace scripttool

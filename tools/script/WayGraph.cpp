#include "WayGraph.h"

#include <algorithm>
#include <limits>

namespace scripttool {

void WayGraph::AddEdge(uint64_t from, uint64_t to, const std::string& choice) {
  auto [it, added] = choiceIds_.emplace(choice, static_cast<uint32_t>(choices_.size()));
  if (added) choices_.push_back(choice);
  edges_.push_back({from, to, it->second});
}

std::unordered_map<uint64_t, WayGraph::Ways> WayGraph::Count() const {
  // Nodes numbered densely in the order of their keys, each node's steps
  // once each and in one order, so the count reads the same from run to run
  // whatever order the branches ended in.
  std::vector<Edge> edges = edges_;
  auto byKey = [this](const Edge& a, const Edge& b) {
    if (a.from != b.from) return a.from < b.from;
    if (a.to != b.to) return a.to < b.to;
    return choices_[a.choice] < choices_[b.choice];
  };
  std::sort(edges.begin(), edges.end(), byKey);
  edges.erase(std::unique(edges.begin(), edges.end(),
                          [](const Edge& a, const Edge& b) {
                            return a.from == b.from && a.to == b.to && a.choice == b.choice;
                          }),
              edges.end());
  std::unordered_map<uint64_t, uint32_t> index;
  std::vector<uint64_t> keys;
  auto id = [&](uint64_t key) {
    auto [it, added] = index.emplace(key, static_cast<uint32_t>(keys.size()));
    if (added) keys.push_back(key);
    return it->second;
  };
  id(kOpening);
  std::vector<uint32_t> to(edges.size());
  std::vector<uint32_t> fromId(edges.size());
  for (size_t i = 0; i < edges.size(); ++i) {
    fromId[i] = id(edges[i].from);
    to[i] = id(edges[i].to);
  }
  // Each node's steps lie together (sorted by the node's key): their span.
  std::vector<std::pair<size_t, size_t>> span(keys.size(), {0, 0});
  for (size_t i = 0; i < edges.size();) {
    size_t j = i;
    while (j < edges.size() && edges[j].from == edges[i].from) ++j;
    span[fromId[i]] = {i, j};
    i = j;
  }

  // Depth first from the opening, without recursion (a long game is a deep
  // chain): the reverse of the order nodes finish in is an order in which
  // every step goes forward except those back to a node still open (loops).
  std::vector<uint8_t> seen(keys.size(), 0);
  std::vector<uint32_t> finished;
  std::vector<std::pair<uint32_t, size_t>> stack{{0, span[0].first}};
  seen[0] = 1;
  while (!stack.empty()) {
    auto& [node, at] = stack.back();
    if (at >= span[node].second) {
      finished.push_back(node);
      stack.pop_back();
      continue;
    }
    const uint32_t next = to[at++];
    if (!seen[next]) {
      seen[next] = 1;
      stack.push_back({next, span[next].first});
    }
  }
  std::vector<size_t> order(keys.size(), 0);
  for (size_t i = 0; i < finished.size(); ++i) order[finished[i]] = finished.size() - 1 - i;

  std::vector<Ways> ways(keys.size());
  ways[0].count = 1;
  constexpr uint64_t kMost = std::numeric_limits<uint64_t>::max();
  for (auto node = finished.rbegin(); node != finished.rend(); ++node) {
    for (size_t e = span[*node].first; e < span[*node].second; ++e) {
      const uint32_t t = to[e];
      if (order[t] <= order[*node]) continue;  // back to a node on the way: a loop
      const std::string& choice = choices_[edges[e].choice];
      const Ways& from = ways[*node];
      Ways& into = ways[t];
      const bool firstWay = into.count == 0;  // no way had reached it before this one
      into.count = from.count > kMost - into.count ? kMost : into.count + from.count;
      const size_t length = from.shortest.size() + (choice.empty() ? 0 : 1);
      if (!firstWay && length > into.shortest.size()) continue;
      Choices way = from.shortest;
      if (!choice.empty()) way.push_back(choice);
      if (firstWay || way.size() < into.shortest.size() || way < into.shortest) into.shortest = std::move(way);
    }
  }
  std::unordered_map<uint64_t, Ways> out;
  out.reserve(finished.size());
  for (uint32_t n : finished) out.emplace(keys[n], std::move(ways[n]));
  return out;
}

}  // namespace scripttool

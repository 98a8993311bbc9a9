#include "WayGraph.h"

#include <algorithm>
#include <limits>

namespace scripttool {

void WayGraph::AddEdge(uint64_t from, uint64_t to, const std::string& choice) {
  auto [it, added] = choiceIds_.emplace(choice, static_cast<uint32_t>(choices_.size()));
  if (added) choices_.push_back(choice);
  edges_.push_back({from, to, it->second});
}

WayGraph::Counts WayGraph::Count() const {
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

  // The ways to each node, in that order. A node's shortest way is a trail
  // in the tree of choices, so a way of n choices costs one trail, not n
  // copied labels.
  Counts out;
  out.choices_ = &choices_;
  std::vector<Counts::Trail>& trails = out.trails_;
  std::vector<uint64_t> count(keys.size(), 0);
  std::vector<uint32_t> trail(keys.size(), 0);
  count[0] = 1;
  // -1, 0, 1 as way a (trail a and then choice ca, 0 for none) comes before,
  // with or after way b (likewise), both of the same number of choices.
  auto compare = [&](uint32_t a, uint32_t ca, uint32_t b, uint32_t cb) {
    if (ca == 0) {  // a's last choice is its trail's own
      if (a == 0) return 0;
      ca = trails[a].choice;
      a = trails[a].parent;
    }
    if (cb == 0) {
      if (b == 0) return 0;
      cb = trails[b].choice;
      b = trails[b].parent;
    }
    // a and b are now equally deep: walk both up to where they meet; the
    // first choice (the highest up) in which they differ decides.
    uint32_t lastA = 0, lastB = 0;
    while (a != b) {
      if (trails[a].choice != trails[b].choice) {
        lastA = trails[a].choice;
        lastB = trails[b].choice;
      }
      a = trails[a].parent;
      b = trails[b].parent;
    }
    if (lastA != lastB) return choices_[lastA] < choices_[lastB] ? -1 : 1;
    if (ca != cb) return choices_[ca] < choices_[cb] ? -1 : 1;
    return 0;
  };
  constexpr uint64_t kMost = std::numeric_limits<uint64_t>::max();
  for (auto node = finished.rbegin(); node != finished.rend(); ++node) {
    for (size_t e = span[*node].first; e < span[*node].second; ++e) {
      const uint32_t t = to[e];
      if (order[t] <= order[*node]) continue;  // back to a node on the way: a loop
      const uint32_t choice = edges[e].choice;
      const bool firstWay = count[t] == 0;  // no way had reached it before this one
      count[t] = count[*node] > kMost - count[t] ? kMost : count[t] + count[*node];
      const uint32_t from = trail[*node];
      const uint32_t length = trails[from].depth + (choice ? 1 : 0);
      if (!firstWay) {
        const uint32_t now = trails[trail[t]].depth;
        if (length > now || (length == now && compare(from, choice, trail[t], 0) >= 0)) continue;
      }
      if (choice == 0) {
        trail[t] = from;
      } else {
        trails.push_back({from, choice, length});
        trail[t] = static_cast<uint32_t>(trails.size() - 1);
      }
    }
  }
  for (uint32_t n : finished) out.index_.emplace(keys[n], n);
  out.count_ = std::move(count);
  out.trail_ = std::move(trail);
  return out;
}

WayGraph::Ways WayGraph::Counts::Of(uint64_t node) const {
  Ways w;
  auto it = index_.find(node);
  if (it == index_.end()) return w;
  w.count = count_[it->second];
  for (uint32_t t = trail_[it->second]; t != 0; t = trails_[t].parent) w.shortest.push_back((*choices_)[trails_[t].choice]);
  std::reverse(w.shortest.begin(), w.shortest.end());
  return w;
}

}  // namespace scripttool

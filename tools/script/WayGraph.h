#pragma once
// The ways an exploration played, as a graph of the game's states: each
// branch leaves the states it went through in order, and where it stopped at
// a state another branch had already played the two ways meet. Counting the
// ways from the opening to each end (an ending, a failure, a stop) over the
// graph counts the ways that merged on the way too, which the branches
// alone (one per way not yet met) do not.
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace scripttool {

class WayGraph {
 public:
  using Choices = std::vector<std::string>;
  // The node every way starts from: the game as it opens.
  static constexpr uint64_t kOpening = 0;

  // A step from one node to the next; `choice` is the menu item decided on
  // the way (empty where none was).
  void AddEdge(uint64_t from, uint64_t to, const std::string& choice);

  struct Ways {
    uint64_t count = 0;  // saturates at the largest uint64_t
    Choices shortest;    // the fewest choices, the first in order among equals
  };
  // The ways from the opening to every node it reaches. A way that comes
  // back to a state it passed is counted up to there (a loop is no more ways).
  class Counts {
   public:
    Ways Of(uint64_t node) const;  // count 0 for a node no way reaches
    bool Reaches(uint64_t node) const { return index_.count(node) > 0; }

   private:
    friend class WayGraph;
    // The shortest ways share their beginnings: a tree of choices, each
    // node its parent, its choice and its depth; 0 is the empty way.
    struct Trail {
      uint32_t parent, choice, depth;
    };
    std::vector<Trail> trails_{{0, 0, 0}};
    std::unordered_map<uint64_t, uint32_t> index_;  // node -> its number
    std::vector<uint64_t> count_;
    std::vector<uint32_t> trail_;
    const std::vector<std::string>* choices_ = nullptr;
  };
  Counts Count() const;
  size_t Steps() const { return edges_.size(); }

 private:
  // Kept flat and small (the exploration may hold millions of states):
  // 24 bytes a step, labels once each.
  struct Edge {
    uint64_t from, to;
    uint32_t choice;  // index into choices_; 0 is none
  };
  std::vector<Edge> edges_;
  std::vector<std::string> choices_{std::string()};
  std::unordered_map<std::string, uint32_t> choiceIds_{{std::string(), 0}};
};

}  // namespace scripttool

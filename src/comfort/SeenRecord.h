#pragma once
// The messages the player has seen, per game, kept across runs: each by the
// script it is in and the position of its text word there, so that editing
// one script leaves what was seen of the others alone.
#include <cstddef>
#include <set>
#include <string>
#include <utility>

namespace comfort {

class SeenRecord {
 public:
  // hostPath: the record's file (UTF-8); empty keeps nothing across runs.
  explicit SeenRecord(std::string hostPath = {}) : path_(std::move(hostPath)) {}
  // Reads the file; lines that do not parse are left out.
  void Load();
  // Writes the file crash-safe when something was marked since; false when
  // that failed (the record is kept and tried again on the next save).
  bool Save();

  bool Seen(const std::string& script, size_t word) const { return seen_.count({script, word}) != 0; }
  // True when it had not been seen before.
  bool Mark(const std::string& script, size_t word);
  size_t Size() const { return seen_.size(); }
  const std::string& Path() const { return path_; }


 private:
  std::string path_;
  std::set<std::pair<std::string, size_t>> seen_;
  bool dirty_ = false;
};

}  // namespace comfort

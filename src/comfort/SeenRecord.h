#pragma once
// The messages the player has seen, per game, kept across runs: each by the
// script it is in and the position of its text word there, so that editing
// one script leaves what was seen of the others alone.
//
// Two instances of one game may run at once: each save merges, under a lock
// on the record's directory, what the file holds now with what this run
// marked, so no mark of either is lost. A save also drops the marks of
// messages no script has any more (an edit moved or removed them), so the
// file does not grow with every edit.
#include <cstddef>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <utility>

namespace comfort {

class SeenRecord {
 public:
  // A script's message words now (empty when the script is gone); nothing
  // when that cannot be told, and then its marks are kept.
  using Lookup = std::function<std::optional<std::set<size_t>>(const std::string& script)>;

  // hostPath: the record's file (UTF-8); empty keeps nothing across runs.
  // Without a lookup no mark is ever dropped.
  explicit SeenRecord(std::string hostPath = {}, Lookup lookup = {})
      : path_(std::move(hostPath)), lookup_(std::move(lookup)) {}
  // Reads the file; lines that do not parse are left out. A file that is
  // not a regular file or is too large is reported and not read.
  void Load();
  // When something was marked since: merges with the file as it is now and
  // writes it crash-safe. False when that failed (the marks are kept and
  // tried again on the next save): the lock was held too long by another
  // instance, the file cannot be written, or it is one that must not be
  // replaced (not a regular file, or too large to read and merge).
  bool Save();

  bool Seen(const std::string& script, size_t word) const { return seen_.count({script, word}) != 0; }
  // True when it had not been seen before.
  bool Mark(const std::string& script, size_t word);
  size_t Size() const { return seen_.size(); }
  const std::string& Path() const { return path_; }

 private:
  using Marks = std::set<std::pair<std::string, size_t>>;
  // False when the file is there but may not be merged or replaced.
  bool ReadFile(Marks& into) const;
  void DropStale();

  std::string path_;
  Lookup lookup_;
  Marks seen_;
  bool dirty_ = false;
};

}  // namespace comfort

#pragma once
// What the branch processes of one exploration share, in memory mapped
// before the first fork: the job slots (-j), the set of states already seen
// (one 64-bit key each), and the branch counter. Everything is lock-free or
// a process-shared semaphore, so a branch that dies holds nothing but its
// slot (the coordinator then reports it).
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <semaphore.h>

#include <string_view>

namespace scripttool {

class ExploreShared {
 public:
  // Null when the memory cannot be mapped. `capacity` is a power of two.
  static ExploreShared* Create(int jobs, size_t capacity);

  // A job slot: held while a branch runs, given back when it ends.
  void Acquire();
  void Release();
  // Adds a state key; true when it was not seen before. A full set counts
  // every further key as seen, which ends the branch rather than the run.
  bool Insert(uint64_t key);
  uint64_t States() const { return states_.load(); }
  bool Full() const { return full_.load(); }
  // The id of a new branch (the first is 0).
  int NewBranch() { return branches_.fetch_add(1); }

 private:
  ExploreShared() = default;
  sem_t slots_;
  std::atomic<uint64_t> states_{0};
  std::atomic<int> branches_{0};
  std::atomic<bool> full_{false};
  size_t capacity_ = 0;
  std::atomic<uint64_t>* table_ = nullptr;  // in the same mapping, after this header
};

// FNV-1a over bytes, for state keys.
class KeyHash {
 public:
  void Add(const void* data, size_t size);
  void Add(std::string_view text);
  void Add(uint64_t n) { Add(&n, sizeof n); }
  // Never 0: 0 marks an empty cell of the set.
  uint64_t Value() const { return hash_ ? hash_ : 1; }

 private:
  uint64_t hash_ = 1469598103934665603ull;
};

}  // namespace scripttool

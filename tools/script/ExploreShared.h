#pragma once
// What the processes of one exploration share, in memory mapped before the
// first fork: the permits to run (-j), the count of parked branches, the
// set of states already seen (one 64-bit key each, at most a set number of
// them) and the branch counter. Everything is lock-free or a process-shared
// semaphore, so a branch that dies holds nothing but its permit, which
// whoever reaps it gives back.
//
// The process bound: a branch process holds a permit from its fork until it
// is reaped (a zombie still counts against a process limit), except while it
// is parked, waiting to go on with a menu it has handed its permit down from;
// at most kMaxParked are parked at once. So branch processes never number
// more than -j plus kMaxParked.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <semaphore.h>

#include <string_view>

namespace scripttool {

class ExploreShared {
 public:
  static constexpr int kMaxParked = 2;

  // Null when the memory cannot be mapped. The state table is sized for
  // `maxStates`: a power of two at least four times as large, so it is never
  // more than a quarter full and a probe always ends at an empty cell.
  static ExploreShared* Create(int jobs, uint64_t maxStates);
  // The table's cells for a state limit.
  static size_t TableCells(uint64_t maxStates);

  // A permit, when one is free now.
  bool TryAcquire();
  // Waits for a permit.
  void Acquire();
  void Release();
  // A place among the parked branches, when one is free; Unpark gives it back.
  bool TryPark();
  void Unpark();
  int Parked() const { return parked_.load(); }

  enum class Visit { kNew, kSeen, kLimit };
  // Adds a state key. kLimit: the key is new but the set holds as many as
  // the limit allows, so the branch must stop there; that is remembered.
  Visit Insert(uint64_t key);
  uint64_t States() const { return states_.load(); }
  uint64_t MaxStates() const { return maxStates_; }
  bool LimitReached() const { return limit_.load(); }
  // The id of a new branch (the first is 0).
  int NewBranch() { return branches_.fetch_add(1); }
  int Branches() const { return branches_.load(); }
  // A branch process that could not be forked (its items were queued).
  void NoteForkFailure() { forkFailures_.fetch_add(1); }
  uint64_t ForkFailures() const { return forkFailures_.load(); }

 private:
  ExploreShared() = default;
  sem_t permits_;
  std::atomic<int> parked_{0};
  std::atomic<uint64_t> states_{0};
  std::atomic<int> branches_{0};
  std::atomic<uint64_t> forkFailures_{0};
  std::atomic<bool> limit_{false};
  uint64_t maxStates_ = 0;
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

#include "ExploreShared.h"

#include <sys/mman.h>

#include <cerrno>
#include <new>
#include <string_view>

namespace scripttool {

size_t ExploreShared::TableCells(uint64_t maxStates) {
  size_t cells = 16;
  while (cells / 4 < maxStates) cells *= 2;
  return cells;
}

ExploreShared* ExploreShared::Create(int jobs, uint64_t maxStates) {
  const size_t capacity = TableCells(maxStates);
  const size_t bytes = sizeof(ExploreShared) + capacity * sizeof(std::atomic<uint64_t>);
  // Anonymous and shared: the pages are zero, and only those touched are
  // ever backed.
  void* memory = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
  if (memory == MAP_FAILED) return nullptr;
  auto* shared = new (memory) ExploreShared();
  if (::sem_init(&shared->permits_, 1, static_cast<unsigned>(jobs)) != 0) return nullptr;
  shared->maxStates_ = maxStates;
  shared->capacity_ = capacity;
  // Zero pages are empty cells already: the table is not written here, so
  // it costs memory only as states fill it.
  shared->table_ = reinterpret_cast<std::atomic<uint64_t>*>(static_cast<char*>(memory) + sizeof(ExploreShared));
  return shared;
}

bool ExploreShared::TryAcquire() {
  while (::sem_trywait(&permits_) != 0) {
    if (errno != EINTR) return false;
  }
  return true;
}

void ExploreShared::Acquire() {
  while (::sem_wait(&permits_) != 0 && errno == EINTR) {
  }
}

void ExploreShared::Release() { ::sem_post(&permits_); }

bool ExploreShared::TryPark() {
  int now = parked_.load();
  while (now < kMaxParked)
    if (parked_.compare_exchange_weak(now, now + 1)) return true;
  return false;
}

void ExploreShared::Unpark() { parked_.fetch_sub(1); }

ExploreShared::Visit ExploreShared::Insert(uint64_t key) {
  const size_t mask = capacity_ - 1;
  bool reserved = false;  // a place under the limit, taken before claiming a cell
  // Open addressing with linear probing; the table is at most a quarter
  // full, so an empty cell comes soon.
  for (size_t at = key & mask;; at = (at + 1) & mask) {
    uint64_t cell = table_[at].load();
    if (cell == key) break;
    if (cell != 0) continue;
    if (!reserved) {
      if (states_.fetch_add(1) >= maxStates_) {
        states_.fetch_sub(1);
        limit_.store(true);
        return Visit::kLimit;
      }
      reserved = true;
    }
    uint64_t expected = 0;
    if (table_[at].compare_exchange_strong(expected, key)) return Visit::kNew;
    if (expected == key) break;  // another branch put the same key here just now
  }
  if (reserved) states_.fetch_sub(1);
  return Visit::kSeen;
}

void KeyHash::Add(const void* data, size_t size) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  for (size_t i = 0; i < size; ++i) {
    hash_ ^= bytes[i];
    hash_ *= 1099511628211ull;
  }
}

void KeyHash::Add(std::string_view text) {
  Add(static_cast<uint64_t>(text.size()));  // so that "ab"+"c" and "a"+"bc" differ
  Add(text.data(), text.size());
}

}  // namespace scripttool

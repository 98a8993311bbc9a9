#include "ExploreShared.h"

#include <sys/mman.h>

#include <cerrno>
#include <new>
#include <string_view>

namespace scripttool {

ExploreShared* ExploreShared::Create(int jobs, size_t capacity) {
  const size_t bytes = sizeof(ExploreShared) + capacity * sizeof(std::atomic<uint64_t>);
  // Anonymous and shared: the pages are zero, and only those touched are
  // ever backed.
  void* memory = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
  if (memory == MAP_FAILED) return nullptr;
  auto* shared = new (memory) ExploreShared();
  if (::sem_init(&shared->slots_, 1, static_cast<unsigned>(jobs)) != 0) return nullptr;
  shared->capacity_ = capacity;
  shared->table_ = reinterpret_cast<std::atomic<uint64_t>*>(static_cast<char*>(memory) + sizeof(ExploreShared));
  for (size_t i = 0; i < capacity; ++i) new (&shared->table_[i]) std::atomic<uint64_t>(0);
  return shared;
}

void ExploreShared::Acquire() {
  while (::sem_wait(&slots_) != 0 && errno == EINTR) {
  }
}

void ExploreShared::Release() { ::sem_post(&slots_); }

bool ExploreShared::Insert(uint64_t key) {
  const size_t mask = capacity_ - 1;
  // Open addressing with linear probing; at most a quarter of the table is
  // probed before the set counts as full.
  for (size_t i = 0, at = key & mask; i < capacity_ / 4; ++i, at = (at + 1) & mask) {
    uint64_t cell = table_[at].load();
    if (cell == key) return false;
    if (cell == 0) {
      uint64_t expected = 0;
      if (table_[at].compare_exchange_strong(expected, key)) {
        states_.fetch_add(1);
        return true;
      }
      if (expected == key) return false;  // another branch put the same key here just now
    }
  }
  full_.store(true);
  return false;
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

#include "comfort/History.h"

#include <algorithm>

namespace comfort {

void History::Add(std::string speaker, std::string text) {
  entries_.push_back({std::move(speaker), std::move(text)});
  if (entries_.size() > kCapacity) {
    entries_.pop_front();
    if (first_ > 0) --first_;  // the page keeps showing the same entries
  }
}

void History::Clear() {
  entries_.clear();
  first_ = 0;
  open_ = false;
}

bool History::Open() {
  if (entries_.empty()) return false;
  open_ = true;
  first_ = Newest();
  return true;
}

bool History::Scroll(long delta) {
  const long newest = static_cast<long>(Newest());
  const long to = static_cast<long>(first_) + delta;
  if (delta > 0 && static_cast<long>(first_) >= newest) return false;
  first_ = static_cast<size_t>(std::clamp(to, 0L, newest));
  return true;
}

size_t History::Shown() const { return std::min(kPage, entries_.size() - std::min(first_, entries_.size())); }

}  // namespace comfort

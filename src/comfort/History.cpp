#include "comfort/History.h"

#include <algorithm>

namespace comfort {

void History::Add(std::string speaker, std::string text) {
  HistoryEntry e;
  e.speaker = std::move(speaker);
  e.text = std::move(text);
  Add(std::move(e));
}

void History::Add(HistoryEntry entry) {
  entries_.push_back(std::move(entry));
  ++added_;
  if (entries_.size() > kCapacity) {
    entries_.pop_front();
    if (first_ > 0) --first_;  // the page keeps showing the same entries
  }
}

void History::DropNewest(size_t n) {
  n = std::min<uint64_t>(n, added_);
  added_ -= n;
  for (; n && !entries_.empty(); --n) entries_.pop_back();
  first_ = std::min(first_, entries_.empty() ? size_t{0} : entries_.size() - 1);
}

void History::Clear() {
  added_ = 0;
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

void History::SetPage(float height, Measure measure) {
  page_ = height;
  measure_ = std::move(measure);
  if (open_) first_ = std::min(first_, Newest());
}

size_t History::Newest() const {
  size_t first = entries_.size();
  float used = 0.0f;
  while (first > 0 && (first == entries_.size() || used + Height(entries_[first - 1]) <= page_)) {
    used += Height(entries_[first - 1]);
    --first;
  }
  return first;
}

size_t History::Shown() const {
  size_t n = 0;
  float used = 0.0f;
  for (size_t i = first_; i < entries_.size(); ++i, ++n) {
    used += Height(entries_[i]);
    if (n > 0 && used > page_) break;
  }
  return n;
}

}  // namespace comfort

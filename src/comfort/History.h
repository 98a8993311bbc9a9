#pragma once
// The message history: the last messages the player was shown, oldest
// first, and the page of them the history screen shows while it is open
// (the newest at the bottom). Strings are CP932 as shown. A page holds as
// many entries as fit its height, each as tall as its measure says.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>

namespace comfort {

struct HistoryEntry {
  std::string speaker;  // the label the message began with, or empty
  std::string text;     // rows as typed, one line feed apart
  // What a translation knows it by: the script and position of the text
  // word and of the label's word (npos: none), and the text word itself.
  std::string script;
  size_t word = static_cast<size_t>(-1);
  std::string original;
  std::string labelScript;
  size_t labelWord = static_cast<size_t>(-1);
  // In the translation in force, when it has the label or the text (UTF-8,
  // rows one line feed apart); otherwise the entry shows as the original.
  bool translated = false;
  std::string shownSpeaker, shownText;

  const std::string& ShownSpeaker() const { return translated ? shownSpeaker : speaker; }
  const std::string& ShownText() const { return translated ? shownText : text; }
};

class History {
 public:
  static constexpr size_t kCapacity = 256;  // older entries are let go
  static constexpr size_t kPage = 4;        // entries a page holds when nothing measures them

  // The page's height and each entry's, in any one unit (the screen's pixels).
  using Measure = std::function<float(const HistoryEntry&)>;
  void SetPage(float height, Measure measure);

  void Add(std::string speaker, std::string text);
  void Add(HistoryEntry entry);
  // Every entry, to show it anew (in another language).
  std::deque<HistoryEntry>& Edit() { return entries_; }
  // Lets the newest n entries go (the game rolled back past them).
  void DropNewest(size_t n);
  // Entries added since the last Clear, less those dropped: numbers each
  // message shown, whether or not the capacity still holds it.
  uint64_t Added() const { return added_; }
  // Forgets everything (start-up, a load) and closes.
  void Clear();

  // Opens at the newest page; false (and stays closed) with nothing to show.
  bool Open();
  void Close() { open_ = false; }
  bool IsOpen() const { return open_; }

  // Scrolls by `delta` entries (negative: older), held within the entries.
  // Returns false when asked to go newer than the newest page: the caller
  // closes the screen then, if that gesture closes it.
  bool Scroll(long delta);
  // The index of the top entry shown.
  size_t First() const { return first_; }
  // Entries the page shows: First() up to First() + Shown(); at least one
  // while there are entries, however tall.
  size_t Shown() const;
  const std::deque<HistoryEntry>& Entries() const { return entries_; }
  bool Empty() const { return entries_.empty(); }

 private:
  // The top entry of the newest page.
  size_t Newest() const;
  float Height(const HistoryEntry& e) const { return measure_ ? measure_(e) : 1.0f; }
  std::deque<HistoryEntry> entries_;
  float page_ = static_cast<float>(kPage);
  Measure measure_;
  size_t first_ = 0;
  bool open_ = false;
  uint64_t added_ = 0;
};

}  // namespace comfort

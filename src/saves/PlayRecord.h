#pragma once
// The record of play: a snapshot at every wait point the game reached (a
// message typed out, a menu or the save/load screen open), with the
// messages the history gained on the way to it, so that the game can be
// rolled back to any of them and forward again through the recorded
// future. Rolling gives state back only: no script runs, so no sound
// effect plays again, no save is written, no key configuration opens.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

#include "comfort/History.h"
#include "comfort/HistoryRoom.h"
#include "msgbox/Snapshot.h"

class CMsgBox;

namespace saves {

struct RecordEntry {
  msgbox::Snapshot snapshot;
  bool menu = false;       // taken with a menu (or the save/load screen) open
  int32_t chosen = -1;     // a menu's item the game went on with; -1: none yet
  uint64_t historyAdded = 0;  // the history's count of messages at the snapshot
  std::vector<comfort::HistoryEntry> shown;  // messages shown since the entry before
};

class PlayRecord {
 public:
  static constexpr size_t kDepth = 200;  // entries kept; older ones are let go

  // Once a step: records the box's state when it has reached a wait point
  // it was not at before. Standing rolled back, a new wait point the game
  // reached by playing on drops the old future first.
  void Observe(const CMsgBox& box, const comfort::History& history);
  // One entry back / forward; false (nothing changes) at either end.
  bool Back(CMsgBox& box, comfort::HistoryRoom& history);
  bool Forward(CMsgBox& box, comfort::HistoryRoom& history);
  // To entry i (Back and Forward one at a time until there).
  bool To(size_t i, CMsgBox& box, comfort::HistoryRoom& history);
  // The record starts again (start-up, a load, a return to the title).
  void Clear();
  // The old future goes (the player chose anew at a menu rolled back to).
  void DropFuture();

  size_t Depth() const { return entries_.size(); }
  // Entries recorded since start-up: tells a new entry from the last one seen.
  uint64_t Recorded() const { return recorded_; }
  // Gives the current entry back (after Adopt), the music at its place.
  void RestoreCurrent(CMsgBox& box);
  // How far back the game stands: 0 at the newest entry.
  size_t BackCount() const { return entries_.empty() ? 0 : entries_.size() - 1 - at_; }
  bool Empty() const { return entries_.empty(); }
  const RecordEntry* Current() const { return entries_.empty() ? nullptr : &entries_[at_]; }
  size_t At() const { return at_; }
  const std::deque<RecordEntry>& Entries() const { return entries_; }
  // The entry at which the history's message number n (from 1) was the newest shown.
  bool EntryOfMessage(uint64_t n, size_t& index) const;
  // Entries as a save gives them back (the last one current).
  void Adopt(std::deque<RecordEntry> entries);

 private:
  struct Identity {
    uint64_t words = 0;
    size_t position = 0;
    uint64_t menus = 0;
    bool operator==(const Identity&) const = default;
  };
  static Identity Of(const CMsgBox& box);
  void Restore(CMsgBox& box, bool musicAtPlace = false);

  std::deque<RecordEntry> entries_;
  size_t at_ = 0;
  Identity seen_;
  bool seenValid_ = false;
  int32_t menuCursor_ = -1;
  uint64_t recorded_ = 0;  // the open menu's cursor while the current entry is a menu
};

}  // namespace saves

#include "saves/PlayRecord.h"

#include <algorithm>

#include "comfort/HistoryRoom.h"
#include "msgbox/CMsgBox.h"

namespace saves {

namespace {
// The item under the open menu's cursor; -1 when no menu is open.
int32_t MenuCursor(const CMsgBox& box) {
  if (box.Buttons().ButtonMenuActive()) {
    auto it = box.Buttons().ButtonMenuCursor();
    return it == box.Buttons().ButtonMenuItems().end() ? -1 : it->first;
  }
  if (box.TextMenu().MenuActive()) {
    auto it = box.TextMenu().FontMenuCursor();
    return it == box.TextMenu().FontMenuItems().end() ? -1 : it->first;
  }
  return -1;
}
}  // namespace

PlayRecord::Identity PlayRecord::Of(const CMsgBox& box) {
  return {box.Script().Generation(), box.Script().Position(), box.MenuOpenings()};
}

void PlayRecord::Observe(const CMsgBox& box, const comfort::History& history) {
  // What the player has under the cursor when the game goes on from a menu
  // is the choice made there.
  if (!entries_.empty() && entries_[at_].menu && box.MenuOpen()) menuCursor_ = MenuCursor(box);
  if (!box.AtWaitPoint()) return;
  const Identity id = Of(box);
  if (seenValid_ && id == seen_) return;
  seen_ = id;
  seenValid_ = true;
  if (!entries_.empty()) {
    if (entries_[at_].menu && menuCursor_ >= 0) entries_[at_].chosen = menuCursor_;
    DropFuture();
  }
  RecordEntry e;
  box.TakeSnapshot(e.snapshot, entries_.empty() ? nullptr : &entries_.back().snapshot);
  e.menu = box.MenuOpen();
  e.historyAdded = history.Added();
  const uint64_t before = entries_.empty() ? 0 : entries_.back().historyAdded;
  const size_t newer = static_cast<size_t>(
      std::min<uint64_t>(e.historyAdded > before ? e.historyAdded - before : 0, history.Entries().size()));
  e.shown.assign(history.Entries().end() - static_cast<long>(newer), history.Entries().end());
  entries_.push_back(std::move(e));
  ++recorded_;
  if (entries_.size() > kDepth) entries_.pop_front();
  at_ = entries_.size() - 1;
  menuCursor_ = -1;
}

void PlayRecord::RestoreCurrent(CMsgBox& box) { Restore(box, true); }

void PlayRecord::Restore(CMsgBox& box, bool musicAtPlace) {
  box.RestoreSnapshot(entries_[at_].snapshot,
                      musicAtPlace ? CMsgBox::MusicReturn::AtPlace : CMsgBox::MusicReturn::Continue);
  seen_ = Of(box);
  seenValid_ = true;
  menuCursor_ = -1;
}

bool PlayRecord::Back(CMsgBox& box, comfort::HistoryRoom& history) {
  if (entries_.empty()) return false;
  // Past the newest entry (its message is still typing, say), one back is
  // that entry itself.
  const bool standingAtEntry = seenValid_ && Of(box) == seen_;
  if (standingAtEntry && at_ == 0) return false;
  if (standingAtEntry) --at_;
  const uint64_t added = history.Messages().Added();
  const uint64_t keep = entries_[at_].historyAdded;
  history.DropNewest(static_cast<size_t>(added > keep ? added - keep : 0));
  Restore(box);
  return true;
}

bool PlayRecord::Forward(CMsgBox& box, comfort::HistoryRoom& history) {
  if (entries_.empty() || at_ + 1 >= entries_.size()) return false;
  ++at_;
  for (const comfort::HistoryEntry& m : entries_[at_].shown) history.Add(m);  // shown in the language in force
  Restore(box);
  return true;
}

bool PlayRecord::To(size_t i, CMsgBox& box, comfort::HistoryRoom& history) {
  if (i >= entries_.size()) return false;
  bool moved = false;
  while (at_ > i && Back(box, history)) moved = true;
  while (at_ < i && Forward(box, history)) moved = true;
  if (!moved && !(seenValid_ && Of(box) == seen_)) moved = Back(box, history);  // to the newest entry itself
  return moved;
}

void PlayRecord::Clear() {
  entries_.clear();
  at_ = 0;
  seenValid_ = false;
  menuCursor_ = -1;
}

void PlayRecord::DropFuture() {
  if (!entries_.empty()) entries_.erase(entries_.begin() + static_cast<long>(at_) + 1, entries_.end());
}

bool PlayRecord::EntryOfMessage(uint64_t n, size_t& index) const {
  for (size_t i = 0; i < entries_.size(); ++i)
    if (entries_[i].historyAdded >= n) {
      index = i;
      return true;
    }
  return false;
}

void PlayRecord::Adopt(std::deque<RecordEntry> entries) {
  entries_ = std::move(entries);
  at_ = entries_.empty() ? 0 : entries_.size() - 1;
  seenValid_ = false;
  menuCursor_ = -1;
}

}  // namespace saves

#pragma once
// The message history as a screen over the game: it keeps what was shown,
// opens at the newest page, scrolls with the game's controls, the page
// keys and the wheel, and closes on cancel, Escape, a right click or the
// wheel down past the newest.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "comfort/History.h"
#include "comfort/Room.h"

namespace msgbox {
class Translation;
}

namespace comfort {

class HistoryView;

class HistoryRoom : public Room {
 public:
  HistoryRoom();
  ~HistoryRoom() override;

  void Add(const std::string& speaker, const std::string& text);
  // A message with what a translation knows it by, shown in the
  // translation in force.
  void Add(HistoryEntry entry);
  // Shows every entry, and those to come, in a translation (null: the
  // original): the label and text it has, the original where it has none.
  void Translate(std::shared_ptr<const msgbox::Translation> translation);
  void Clear() { history_.Clear(); }
  void DropNewest(size_t n) { history_.DropNewest(n); }
  void Open() { history_.Open(); }
  const History& Messages() const { return history_; }

  bool IsOpen() const override { return history_.IsOpen(); }
  void Close() override { history_.Close(); }
  void TakeEvent(const platform::Event& e) override;
  void TakeControls(const int32_t* actions, bool decidePressed) override;
  void Render() override;

  // ,"historyOpen":…,"historyFirst":…,"history":[…]
  void Trace(std::string& members) const;

  // What rolls the game to where the history's message number n (from 1)
  // was shown; false when it cannot. Set: a click on an entry, or decide,
  // rolls there and closes the history; null: the history only shows.
  void SetRoll(std::function<bool(uint64_t)> roll) { roll_ = std::move(roll); }
  // The entry a decide rolls to: the one under the pointer, else the
  // newest on the page; -1 when none (closed, empty, or no roll set).
  long Target() const;
  // The entry shown at a game-area point; -1 when none.
  long EntryAt(int32_t x, int32_t y) const;

 private:
  void Show(HistoryEntry& e);
  HistoryView& View();
  bool RollTo(long entry);
  History history_;
  std::function<bool(uint64_t)> roll_;
  long hovered_ = -1;  // the entry under the pointer
  std::unique_ptr<HistoryView> view_;  // made with the first message (it opens the font)
  std::shared_ptr<const msgbox::Translation> translation_;
};

}  // namespace comfort

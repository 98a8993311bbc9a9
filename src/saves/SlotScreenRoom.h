#pragma once
// Our save and load screens: sixty slots on pages of six, each with the
// picture of the screen at saving, the date and time and the message shown
// then (speaker and first words); the load screen has two pages more, first,
// for the quick save and the autosaves. Left and right (Page Up / Down, the
// wheel) turn pages, up and down move the cursor, decide or a click takes
// the slot; overwriting and deleting (Delete) ask first, on the screen.
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <string>

#include "comfort/Room.h"
#include "comfort/TextPainter.h"
#include "platform/draw/Device.h"
#include "saves/SaveFile.h"
#include "saves/SavePlace.h"

namespace saves {

class SlotScreenRoom : public comfort::Room {
 public:
  static constexpr int32_t kPerPage = 6;
  static constexpr int32_t kAutoPages = 2;  // the quick save and the ten autosaves, on the load screen
  // Saving into a file name / loading one; the screen closes first.
  std::function<void(const std::string& name)> save, load;

  explicit SlotScreenRoom(const SavePlace& place) : place_(place), text_(Face(), 14) {}
  void Open(bool saving);
  bool Saving() const { return saving_; }
  int32_t Page() const { return page_; }
  int32_t Cursor() const { return cursor_; }
  int32_t Pages() const { return saving_ ? SavePlace::kSlots / kPerPage : kAutoPages + SavePlace::kSlots / kPerPage; }
  // The file a cell of a page stands for; empty when none.
  std::string NameAt(int32_t page, int32_t cell) const;

  bool IsOpen() const override { return open_; }
  void Close() override;
  void TakeEvent(const platform::Event& e) override;
  void TakeControls(const int32_t* actions, bool decidePressed) override;
  void Render() override;

  // ,"saveScreen":null or {"mode":…,"page":…,"cursor":…}
  void Trace(std::string& members) const;

  static constexpr float kTop = 64.0f, kCellW = 292.0f, kCellH = 124.0f, kLeft = 24.0f;
  static int32_t CellAt(int32_t x, int32_t y);

 private:
  static std::string Face();
  enum class Ask : uint8_t { None, Overwrite, Delete };
  void Turn(int32_t delta);
  void Take();
  void Answer(bool yes);
  void ReadPage();
  struct Shown {
    bool exists = false;
    SaveSummary summary;
    platform::TexturePtr picture;
  };

  const SavePlace& place_;
  comfort::TextPainter text_;
  bool open_ = false;
  bool saving_ = false;
  int32_t page_ = 0, cursor_ = 0;
  Ask ask_ = Ask::None;
  bool yes_ = false;
  std::array<Shown, kPerPage> cells_;
};

}  // namespace saves

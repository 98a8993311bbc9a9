// The save and load screens of the game menu: which file each cell stands
// for on each page, a load only of a save that exists, and overwriting and
// deleting only after a yes.
#include <gtest/gtest.h>

#include <filesystem>

#include "input/GameActions.h"
#include "saves/SaveFile.h"
#include "saves/SlotScreenRoom.h"
#include "support/ScratchDir.h"

using namespace saves;
using platform::Event;

namespace {
class SlotScreen : public ::testing::Test {
 protected:
  void SetUp() override {
    room.save = [this](const std::string& n) { saved = n; };
    room.load = [this](const std::string& n) { loaded = n; };
  }
  void Write(const std::string& name) {
    SaveContents c;
    c.summary.kind = "slot";
    c.summary.time = 1700000000;
    c.record.emplace_back();
    c.record.back().snapshot.words = std::make_shared<const std::vector<std::string>>();
    ASSERT_TRUE(place.Write(name, EncodeSave(c)));
  }
  void Press(int action) {
    int32_t a[255] = {};
    a[action] = 1;
    room.TakeControls(a, action == ACT_DECIDE);
  }
  ScratchDir dir;
  SavePlace place{dir.Path() + "/saves"};
  SlotScreenRoom room{place};
  std::string saved, loaded;
};

TEST_F(SlotScreen, PagesNameTheQuickSaveTheAutosavesAndSixtySlots) {
  room.Open(false);
  EXPECT_EQ(room.Pages(), 12);
  EXPECT_EQ(room.Page(), SlotScreenRoom::kAutoPages);  // the load screen opens on the slots
  EXPECT_EQ(room.NameAt(0, 0), "quick.vsave");
  EXPECT_EQ(room.NameAt(0, 1), "auto-00.vsave");
  EXPECT_EQ(room.NameAt(1, 4), "auto-09.vsave");
  EXPECT_EQ(room.NameAt(1, 5), "");
  EXPECT_EQ(room.NameAt(2, 0), "slot-01.vsave");
  EXPECT_EQ(room.NameAt(11, 5), "slot-60.vsave");
  room.Open(true);
  EXPECT_EQ(room.Pages(), 10);
  EXPECT_EQ(room.NameAt(0, 0), "slot-01.vsave");
  Press(ACT_LEFT);  // round to the last page
  EXPECT_EQ(room.Page(), 9);
}

TEST_F(SlotScreen, LoadsOnlyASaveThatExists) {
  Write("slot-02.vsave");
  room.Open(false);
  Press(ACT_DECIDE);  // slot 1 is empty
  EXPECT_TRUE(room.IsOpen());
  EXPECT_EQ(loaded, "");
  room.TakeEvent(Event::MouseMove(SlotScreenRoom::kLeft + SlotScreenRoom::kCellW + 10, SlotScreenRoom::kTop + 10));
  EXPECT_EQ(room.Cursor(), 1);
  Press(ACT_DECIDE);
  EXPECT_EQ(loaded, "slot-02.vsave");
  EXPECT_FALSE(room.IsOpen());
}

TEST_F(SlotScreen, OverwritingAndDeletingAskFirst) {
  room.Open(true);
  Press(ACT_DECIDE);  // an empty slot: saved at once
  EXPECT_EQ(saved, "slot-01.vsave");
  Write("slot-01.vsave");
  saved.clear();
  room.Open(true);
  Press(ACT_DECIDE);  // asks; "no" is under the cursor
  EXPECT_TRUE(room.IsOpen());
  Press(ACT_DECIDE);
  EXPECT_EQ(saved, "");
  Press(ACT_DECIDE);
  Press(ACT_RIGHT);  // to "yes"
  Press(ACT_DECIDE);
  EXPECT_EQ(saved, "slot-01.vsave");

  room.Open(true);
  room.TakeEvent(Event::KeyPress(static_cast<platform::Key>(76), true));  // Delete
  Press(ACT_CANCEL);  // asked, and let go
  EXPECT_TRUE(place.Exists("slot-01.vsave"));
  room.TakeEvent(Event::KeyPress(static_cast<platform::Key>(76), true));
  Press(ACT_LEFT);
  Press(ACT_DECIDE);
  EXPECT_FALSE(place.Exists("slot-01.vsave"));
  EXPECT_TRUE(room.IsOpen());
}
}  // namespace

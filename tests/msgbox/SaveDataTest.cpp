// The save/load screen's modes on their own: which screen a decision
// answers when SaveMenu and LoadMenu have both opened one.
#include <gtest/gtest.h>

#include <string>

#include "msgbox/FontMenu.h"
#include "msgbox/MsgBoxLayout.h"
#include "msgbox/SaveData.h"

using msgbox::SaveData;

TEST(SaveDataScreen, EachDecisionTakesOneModeTheSaveScreenFirst) {
  SaveData saves;
  msgbox::FontMenu menu;
  const SpriteRect frame{10, 20, 0, 100, 100, 0};
  // No reader: every slot reads as empty.
  saves.OpenLoadScreen(nullptr, menu, frame);
  EXPECT_TRUE(menu.MenuActive());
  // An empty slot can be saved to but not loaded from.
  EXPECT_FALSE(menu.FontMenuItems().at(1)->selectable);
  // A SaveMenu over the open load screen leaves the load mode on.
  saves.OpenSaveScreen("resume", nullptr, menu, frame);
  EXPECT_TRUE(menu.FontMenuItems().at(1)->selectable);
  EXPECT_EQ(menu.FontMenuItems().at(1)->scriptName, "resume");
  EXPECT_TRUE(saves.SaveMode() && saves.LoadMode());
  EXPECT_EQ(saves.TakeScreen(), SaveData::Screen::Save);
  EXPECT_EQ(saves.TakeScreen(), SaveData::Screen::Load);
  EXPECT_EQ(saves.TakeScreen(), SaveData::Screen::None);
  // The seam opens one screen with the other mode cleared.
  saves.OpenScreen(false, "", nullptr, menu, frame);
  EXPECT_EQ(saves.TakeScreen(), SaveData::Screen::Load);
  EXPECT_EQ(saves.TakeScreen(), SaveData::Screen::None);
  // The list runs down from the frame's corner, the cursor on "back".
  EXPECT_EQ(menu.FontMenuItems().size(), 4u);
  EXPECT_EQ(menu.FontMenuCursor()->first, 0);
  EXPECT_EQ(menu.FontMenuItems().at(3)->position.x, 10.0f);
  EXPECT_EQ(menu.FontMenuItems().at(3)->position.y, 20.0f + 3 * 30.0f);
}

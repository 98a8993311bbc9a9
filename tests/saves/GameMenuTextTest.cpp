// The game menu speaks the language of our screens: every row has its
// English text in the engine's catalogue, and the original's stays as it was.
#include <gtest/gtest.h>

#include <string>

#include "platform/text/UiText.h"
#include "saves/GameMenuRoom.h"

namespace {
using saves::GameMenuRoom;

TEST(GameMenuText, EveryRowIsInEnglishWithATranslationAndAsItWasWithout) {
  platform::SetUiLanguage("en");
  for (int32_t row = 0; row < GameMenuRoom::kRows; ++row) {
    const std::string name = GameMenuRoom::RowName(row);
    ASSERT_FALSE(name.empty()) << row;
    // A row missing from the catalogue would show its Japanese msgid.
    EXPECT_LT(static_cast<unsigned char>(name[0]), 0x80) << row << ": " << name;
  }
  EXPECT_EQ(GameMenuRoom::RowName(GameMenuRoom::kTitle), "Return to title");
  platform::SetUiLanguage("ja");
  EXPECT_EQ(GameMenuRoom::RowName(GameMenuRoom::kSave), "セーブ");
  EXPECT_EQ(GameMenuRoom::RowName(GameMenuRoom::kRows), "");
}
}  // namespace

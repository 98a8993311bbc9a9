#include "script/MenuItems.h"

#include <gtest/gtest.h>

#include <vector>

TEST(MenuItems, NewItemsCarryTheirDefaults) {
  FontMenuItem font;
  EXPECT_TRUE(font.selectable);
  EXPECT_EQ(font.highlightValue, 255);
  EXPECT_EQ(font.normalValue, 180);
  EXPECT_EQ(font.brightness, font.normalValue);
  EXPECT_TRUE(font.scriptName.empty());

  ButtonMenuItem button;
  EXPECT_EQ(button.selectionDisplacement.x, -2.0f);
  EXPECT_EQ(button.selectionDisplacement.y, -2.0f);
  EXPECT_EQ(button.selectionDisplacement.z, 0.0f);
  EXPECT_EQ(button.position.z, 1.0f);
}

template <class Item>
class MenuItemMapTest : public ::testing::Test {};
using ItemKinds = ::testing::Types<ButtonMenuItem, FontMenuItem>;
TYPED_TEST_SUITE(MenuItemMapTest, ItemKinds);

TYPED_TEST(MenuItemMapTest, OrderedByIdAndFirstItemOfAnIdWins) {
  MenuItemMap<TypeParam> items;
  auto make = [](int32_t id, const char* label) {
    auto item = std::make_unique<TypeParam>();
    item->id = id;
    item->label = label;
    return item;
  };
  EXPECT_TRUE(InsertMenuItem(items, make(3, "three")));
  EXPECT_TRUE(InsertMenuItem(items, make(1, "one")));
  EXPECT_TRUE(InsertMenuItem(items, make(-5, "minus five")));
  EXPECT_TRUE(InsertMenuItem(items, make(2, "two")));
  EXPECT_FALSE(InsertMenuItem(items, make(2, "second two")));
  EXPECT_FALSE(InsertMenuItem(items, std::unique_ptr<TypeParam>()));

  std::vector<int32_t> ids;
  for (const auto& [id, item] : items) ids.push_back(item->id);
  EXPECT_EQ(ids, (std::vector<int32_t>{-5, 1, 2, 3}));
  EXPECT_EQ(items.at(2)->label, "two");
}

#pragma once
// The item records of button menus, font menus and the save/load screen, and
// the maps that own them. Maps are ordered by id, ascending; an id already
// present is not inserted a second time.
#include <cstdint>
#include <map>
#include <memory>
#include <string>

// x, y, z in screen pixels (z is the sprite depth).
struct MenuVector {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
  bool operator==(const MenuVector&) const = default;
};

// One picture button of a button menu. The label selects the button's
// picture; it is never drawn as text.
struct ButtonMenuItem {
  MenuVector position{0.0f, 0.0f, 1.0f};      // upper-left corner
  MenuVector basePosition{0.0f, 0.0f, 1.0f};  // position as laid out
  MenuVector lowerRight{0.0f, 0.0f, 1.0f};    // position + size as laid out
  MenuVector size;                            // grid cell (width, height, 0)
  std::string label;
  std::string target;  // script to start, without extension
  int32_t id = 0;
  // Subtracted from the position while the item is under the cursor, added
  // back when the cursor leaves it: the button seems to lift.
  MenuVector selectionDisplacement{-2.0f, -2.0f, 0.0f};
  bool operator==(const ButtonMenuItem&) const = default;
};

// One text item of a font menu or of the save/load screen.
struct FontMenuItem {
  MenuVector position{0.0f, 0.0f, 1.0f};
  MenuVector lowerRight{0.0f, 0.0f, 1.0f};
  MenuVector size;
  int32_t highlightValue = 255;
  int32_t normalValue = 180;
  int32_t brightness = 180;  // text alpha: highlightValue under the cursor, else normalValue
  bool selectable = true;    // the cursor skips items the save/load screen clears
  std::string label;
  std::string target;      // script without extension, or a save file name
  std::string scriptName;  // save/load screen: the script a save here records
  int32_t id = 0;
  // A translation's label (UTF-8), shown instead of `label` when not empty.
  std::string shown;
  size_t labelWord = static_cast<size_t>(-1);  // the label's word in its script; -1: none
  bool operator==(const FontMenuItem&) const = default;
};

template <class Item>
using MenuItemMap = std::map<int32_t, std::unique_ptr<Item>>;
using ButtonMenuItemMap = MenuItemMap<ButtonMenuItem>;
using FontMenuItemMap = MenuItemMap<FontMenuItem>;

// Inserts item under its id. When the id is taken, the map keeps its item
// and the new one is destroyed; returns whether it was inserted.
template <class Item>
bool InsertMenuItem(MenuItemMap<Item>& items, std::unique_ptr<Item> item) {
  if (!item) return false;
  const int32_t id = item->id;
  return items.try_emplace(id, std::move(item)).second;
}

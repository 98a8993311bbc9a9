#pragma once
// What the button menu and the font menu share: taking a block's items,
// the grid's cell count and the cursor's round trip over the items.
#include <cstdint>
#include <memory>
#include <utility>

#include "script/MenuBlock.h"
#include "script/MenuItems.h"

namespace msgbox {

// A grid of no columns or rows is laid out as a single one.
inline int32_t AtLeastOne(int32_t n) { return n < 1 ? 1 : n; }

// One step of the cursor, from the last item round to the first and back.
template <class Map>
void Advance(Map& items, typename Map::iterator& cursor, bool forward) {
  if (forward) {
    if (++cursor == items.end()) cursor = items.begin();
  } else {
    if (cursor == items.begin()) cursor = items.end();
    --cursor;
  }
}

// Moves a block's items into the map; a repeated id keeps the first item.
template <class Item>
void TakeItems(script::MenuBlock& block, MenuItemMap<Item>& items) {
  for (script::MenuBlockItem& entry : block.items) {
    auto item = std::make_unique<Item>();
    item->label = std::move(entry.label);
    if constexpr (requires { item->labelWord; }) item->labelWord = entry.at;
    item->id = entry.id;
    item->target = std::move(entry.target);
    InsertMenuItem(items, std::move(item));
  }
}

}  // namespace msgbox

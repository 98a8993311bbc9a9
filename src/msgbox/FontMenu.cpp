// The font menu: filling, laying out, the cursor and drawing.
#include "msgbox/FontMenu.h"

#include <iterator>
#include <utility>

#include "framework/GameFaces.h"
#include "framework/TextFont.h"
#include "msgbox/Devices.h"
#include "msgbox/MenuGrid.h"
#include "msgbox/MsgBoxLayout.h"
#include "msgbox/DeviceCalls.h"
#include "platform/text/TextCodec.h"
#include "script/MenuBlock.h"

namespace msgbox {

FontMenu::FontMenu() : fontMenuCursor(fontMenuItems.end()) {}
FontMenu::~FontMenu() = default;

void FontMenu::CreateText() {
  menuTextObject = std::make_unique<TextFont>();
  menuTextObject->createFont(SJ(gamefaces::kMenuFace), 14, 1);
}

void FontMenu::ReleaseText() {
  itemTexts_.clear();
  menuTextObject.reset();
}

void FontMenu::SetAlpha(int32_t alpha) {
  menuTextObject->setColor(255, 255, 255, 255);
  menuTextObject->setAlpha(alpha);
}

void FontMenu::Clear() {
  fontMenuItems.clear();
  itemTexts_.clear();
  fontMenuColumns = fontMenuRows = 0;
  fontMenuCursor = fontMenuItems.end();
}

void FontMenu::Fill(script::MenuBlock& block) {
  fontMenuColumns = block.columns;
  fontMenuRows = block.rows;
  TakeItems(block, fontMenuItems);
}

// Item i lies in column i mod c and row i div c; the row count only sets
// the cell height, so items beyond c x r continue downwards.
void FontMenu::LayOut(const SpriteRect& f) {
  const int32_t columns = AtLeastOne(fontMenuColumns);
  const float cellW = f.w / float(columns);
  const float cellH = f.h / float(AtLeastOne(fontMenuRows));
  int32_t i = 0;
  for (auto& [id, item] : fontMenuItems) {
    // Text starts a little in from the cell's corner.
    item->position = {f.x + float(i % columns) * cellW + 20.0f, f.y + float(i / columns) * cellH + 10.0f, 1.0f};
    item->size = {cellW, cellH, 0.0f};
    item->lowerRight = {item->position.x + cellW, item->position.y + cellH, 1.0f};
    item->brightness = item->normalValue;
    ++i;
  }
  fontMenuCursor = fontMenuItems.begin();
  if (fontMenuCursor != fontMenuItems.end()) fontMenuCursor->second->brightness = fontMenuCursor->second->highlightValue;
}

void FontMenu::Add(std::unique_ptr<FontMenuItem> item) { InsertMenuItem(fontMenuItems, std::move(item)); }

void FontMenu::ListDown(float x, float y, float lineHeight) {
  float k = 0.0f;
  for (auto& [id, item] : fontMenuItems) {
    item->position = {x, y + lineHeight * k, 1.0f};
    item->brightness = item->normalValue;
    k += 1.0f;
  }
  fontMenuCursor = fontMenuItems.begin();
  fontMenuCursor->second->brightness = fontMenuCursor->second->highlightValue;
}

void FontMenu::SetSelectable(int32_t id, bool selectable) {
  auto it = fontMenuItems.find(id);
  if (it != fontMenuItems.end()) it->second->selectable = selectable;
}

void FontMenu::Move(bool forward, const Devices& devices) {
  if (!menuActive) return;
  devicecalls::PlaySoundEffect(devices.soundPlayer, SJ("方向キー音"));
  if (fontMenuCursor == fontMenuItems.end()) return;
  // One item on and then past unselectable items; with none selectable the
  // cursor comes back round to where it was.
  fontMenuCursor->second->brightness = fontMenuCursor->second->normalValue;
  const auto start = fontMenuCursor;
  do {
    Advance(fontMenuItems, fontMenuCursor, forward);
  } while (!fontMenuCursor->second->selectable && fontMenuCursor != start);
  fontMenuCursor->second->brightness = fontMenuCursor->second->highlightValue;
}

const FontMenuItem* FontMenu::Decidable() const {
  if (!menuActive || fontMenuCursor == fontMenuItems.end()) return nullptr;
  return fontMenuCursor->second.get();
}

// Items listed one per line (the save/load screen) have no cell: each then
// reaches down to the next line, and as far right as the dialogue frame would.
bool FontMenu::ItemAt(float x, float y, int32_t& id) const {
  if (!menuActive) return false;
  constexpr float kListWidth = 560.0f, kListLine = 30.0f;
  for (auto it = fontMenuItems.begin(); it != fontMenuItems.end(); ++it) {
    const FontMenuItem& item = *it->second;
    float w = item.size.x, h = item.size.y;
    if (w <= 0.0f || h <= 0.0f) {
      w = kListWidth;
      auto next = std::next(it);
      h = next != fontMenuItems.end() && next->second->position.y > item.position.y
              ? next->second->position.y - item.position.y
              : kListLine;
    }
    // Text is laid a little in from its cell's corner; the cell around it counts.
    const float left = item.position.x - (item.size.x > 0.0f ? 20.0f : 0.0f);
    const float top = item.position.y - (item.size.y > 0.0f ? 10.0f : 0.0f);
    if (x >= left && x < left + w && y >= top && y < top + h) {
      if (!item.selectable) return false;
      id = it->first;
      return true;
    }
  }
  return false;
}

void FontMenu::MoveTo(int32_t id, const Devices& devices) {
  auto to = fontMenuItems.find(id);
  if (!menuActive || to == fontMenuItems.end() || to == fontMenuCursor || !to->second->selectable) return;
  devicecalls::PlaySoundEffect(devices.soundPlayer, SJ("方向キー音"));
  if (fontMenuCursor != fontMenuItems.end()) fontMenuCursor->second->brightness = fontMenuCursor->second->normalValue;
  fontMenuCursor = to;
  fontMenuCursor->second->brightness = fontMenuCursor->second->highlightValue;
}

void FontMenu::Render() {
  if (!menuActive) return;
  // Items laid out past the screen's bottom or right edge (a long menu's
  // grid continues downwards) show nothing: they are neither rasterised
  // nor drawn.
  const platform::Device* device = TextFont::GetDevice();
  for (auto& [id, item] : fontMenuItems) {
    if (device && (item->position.y >= float(device->Height()) || item->position.x >= float(device->Width()))) continue;
    std::unique_ptr<TextFont>& text = itemTexts_[id];
    if (!text) {
      text = std::make_unique<TextFont>();
      text->createFont(menuTextObject->faceName, menuTextObject->pointSize, menuTextObject->styleFlags);
    }
    if (item->shown.empty()) text->setText(item->label);
    else text->setTextUtf8(item->shown);  // a translation's label
    text->x = item->position.x;
    text->y = item->position.y;
    text->setColor(item->brightness, 255, 255, 255);
    text->draw();
  }
}

}  // namespace msgbox

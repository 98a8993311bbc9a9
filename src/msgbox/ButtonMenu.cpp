// The button menu: filling, laying out, the lifting cursor and drawing.
#include "msgbox/ButtonMenu.h"

#include <algorithm>
#include <utility>

#include "gfx/CPolygon.h"
#include "msgbox/Devices.h"
#include "msgbox/MenuGrid.h"
#include "msgbox/MsgBoxLayout.h"
#include "msgbox/DeviceCalls.h"
#include "platform/diagnostics/Report.h"
#include "platform/text/TextCodec.h"
#include "script/MenuBlock.h"

namespace msgbox {

namespace {
// The screen column the "Left" button menu fills.
constexpr int kLeftColumnWidth = 150;
constexpr int kLeftColumnHeight = 400;

void Lift(ButtonMenuItem& item, float sign) {
  item.position.x += sign * item.selectionDisplacement.x;
  item.position.y += sign * item.selectionDisplacement.y;
  item.position.z += sign * item.selectionDisplacement.z;
}
}  // namespace

ButtonMenu::ButtonMenu() : buttonMenuCursor(buttonMenuItems.end()) {}
ButtonMenu::~ButtonMenu() = default;

void ButtonMenu::CreateSprite() { buttonSprite = std::make_unique<CPolygon>(); }
void ButtonMenu::ReleaseSprite() { buttonSprite.reset(); }

void ButtonMenu::Clear() {
  buttonMenuItems.clear();
  buttonMenuColumns = buttonMenuRows = 0;
  buttonMenuCursor = buttonMenuItems.end();
}

void ButtonMenu::Fill(script::MenuBlock& block) {
  buttonMenuColumns = block.columns;
  buttonMenuRows = block.rows;
  TakeItems(block, buttonMenuItems);
}

void ButtonMenu::LayOut(const SpriteRect& f) {
  LayOutCells(f.x, f.y, f.w / float(AtLeastOne(buttonMenuColumns)), f.h / float(AtLeastOne(buttonMenuRows)));
}

void ButtonMenu::LayOutLeftColumn() {
  // Whole pixels: the column is cut into integer cells.
  LayOutCells(0.0f, 0.0f, float(kLeftColumnWidth / AtLeastOne(buttonMenuColumns)),
              float(kLeftColumnHeight / AtLeastOne(buttonMenuRows)));
}

// Item i lies in column i mod c and row i div c; the row count only sets
// the cell height, so items beyond c x r continue downwards.
void ButtonMenu::LayOutCells(float left, float top, float cellW, float cellH) {
  const int32_t columns = AtLeastOne(buttonMenuColumns);
  int32_t i = 0;
  for (auto& [id, item] : buttonMenuItems) {
    item->position = {left + float(i % columns) * cellW, top + float(i / columns) * cellH, 1.0f};
    item->size = {cellW, cellH, 0.0f};
    item->basePosition = item->position;
    item->lowerRight = {item->position.x + cellW, item->position.y + cellH, 1.0f};
    ++i;
  }
  buttonMenuCursor = buttonMenuItems.begin();
  if (buttonMenuCursor != buttonMenuItems.end()) Lift(*buttonMenuCursor->second, -1.0f);
}

void ButtonMenu::Add(std::unique_ptr<ButtonMenuItem> item) { InsertMenuItem(buttonMenuItems, std::move(item)); }

void ButtonMenu::Open() {
  buttonPictureReported = false;
  missingButtonPictures.clear();
  if (!buttonMenuActive) ++openings_;
  buttonMenuActive = true;
}

void ButtonMenu::Move(bool forward, const Devices& devices) {
  if (!buttonMenuActive) return;
  devicecalls::PlaySoundEffect(devices.soundPlayer, SJ("方向キー音"));
  if (buttonMenuCursor == buttonMenuItems.end()) return;
  Lift(*buttonMenuCursor->second, 1.0f);
  Advance(buttonMenuItems, buttonMenuCursor, forward);
  Lift(*buttonMenuCursor->second, -1.0f);
}

bool ButtonMenu::ItemAt(float x, float y, int32_t& id) const {
  if (!buttonMenuActive) return false;
  for (const auto& [key, item] : buttonMenuItems) {
    const MenuVector& a = item->basePosition;
    const MenuVector& b = item->lowerRight;
    if (x >= a.x && x < b.x && y >= a.y && y < b.y) {
      id = key;
      return true;
    }
  }
  return false;
}

void ButtonMenu::MoveTo(int32_t id, const Devices& devices) {
  auto to = buttonMenuItems.find(id);
  if (!buttonMenuActive || to == buttonMenuItems.end() || to == buttonMenuCursor) return;
  devicecalls::PlaySoundEffect(devices.soundPlayer, SJ("方向キー音"));
  if (buttonMenuCursor != buttonMenuItems.end()) Lift(*buttonMenuCursor->second, 1.0f);
  buttonMenuCursor = to;
  Lift(*buttonMenuCursor->second, -1.0f);
}

const ButtonMenuItem* ButtonMenu::Decidable() const {
  // A menu without items has nothing to decide and stays as it is.
  if (!buttonMenuActive || buttonMenuCursor == buttonMenuItems.end()) return nullptr;
  return buttonMenuCursor->second.get();
}

void ButtonMenu::FrameMove() {
  if (buttonMenuActive) buttonSprite->FrameMove(0);
}

HRESULT ButtonMenu::Render(const std::map<std::string, std::string>& textureAliases) {
  if (!buttonMenuActive) return S_OK;
  for (auto& [id, item] : buttonMenuItems) {
    buttonSprite->SetPosition(item->position.x, item->position.y, item->position.z);
    buttonSprite->SetSize(item->size.x, item->size.y, item->size.z);
    const std::string key = item->label + SJ("ボタン");
    auto alias = textureAliases.find(key);
    if (alias == textureAliases.end()) {
      // Drawing stops here on every frame the menu is open; the player
      // is told once per opening, not sixty times a second.
      if (!buttonPictureReported) DXTRACE("CMsgBox", E_FAIL, SJ("ボタンテクスチャが見つかりません。"), true, key);
      buttonPictureReported = true;
      return E_FAIL;
    }
    // A picture file that could not be loaded is not tried again on every
    // frame of this opening: each try would report it again.
    const std::string& file = alias->second;
    if (std::find(missingButtonPictures.begin(), missingButtonPictures.end(), file) != missingButtonPictures.end()) {
      buttonSprite->SetTexturePointer(nullptr);
      buttonSprite->textureName = file;
    } else {
      buttonSprite->SetTexture(file);
      if (!buttonSprite->texture) missingButtonPictures.push_back(file);
    }
    buttonSprite->Render();
  }
  return S_OK;
}

}  // namespace msgbox

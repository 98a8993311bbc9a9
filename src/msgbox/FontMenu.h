#pragma once
// The font (text) menu: the items a FontMenu block lists, laid out in the
// dialogue frame, with a cursor that skips items that cannot be chosen. The
// save/load screen shows its slots in it too.
#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "script/MenuItems.h"

class TextFont;
struct SpriteRect;

namespace script {
struct MenuBlock;
}

namespace msgbox {

struct Devices;
struct Snapshot;

class FontMenu {
 public:
  FontMenu();
  ~FontMenu();
  FontMenu(const FontMenu&) = delete;
  FontMenu& operator=(const FontMenu&) = delete;

  // The text object the items are drawn with (set-up and release).
  void CreateText();
  void ReleaseText();
  void SetAlpha(int32_t alpha);

  // Empties the menu before a block or the save/load screen fills it.
  void Clear();
  void SetFrame(std::string frame) { fontMenuFrame = std::move(frame); }
  // Takes a block's grid and items (a repeated id keeps the first item).
  void Fill(script::MenuBlock& block);
  // Lays the items out in a grid over the frame, the cursor on the first.
  void LayOut(const SpriteRect& frame);
  // Adds one item, and lays all of them out one per line from (x, y) with
  // the cursor on the first: the save/load screen's list.
  void Add(std::unique_ptr<FontMenuItem> item);
  void ListDown(float x, float y, float lineHeight);
  void SetSelectable(int32_t id, bool selectable);

  void SetActive(bool on) {
    if (on && !menuActive) ++openings_;
    menuActive = on;
  }
  // How many times the menu (or the save/load screen in it) has opened.
  uint64_t Openings() const { return openings_; }
  // Moves the cursor on or back past items that cannot be chosen, with the
  // cursor sound; does nothing while the menu is closed.
  void Move(bool forward, const Devices& devices);
  // The item under the cursor of the open menu; null when there is none.
  const FontMenuItem* Decidable() const;
  // The id of the open menu's selectable item over the point; false if none.
  bool ItemAt(float x, float y, int32_t& id) const;
  // Moves the cursor to that item, with the cursor sound when it moves.
  void MoveTo(int32_t id, const Devices& devices);
  void Render();

  const std::string& FontMenuFrame() const { return fontMenuFrame; }
  int32_t Columns() const { return fontMenuColumns; }
  int32_t Rows() const { return fontMenuRows; }
  const FontMenuItemMap& FontMenuItems() const { return fontMenuItems; }
  // Every item, for showing their labels in a translation.
  FontMenuItemMap& Items() { return fontMenuItems; }
  FontMenuItemMap::const_iterator FontMenuCursor() const { return fontMenuCursor; }
  bool MenuActive() const { return menuActive; }
  const TextFont* MenuTextObject() const { return menuTextObject.get(); }

  // --- snapshots (SnapshotRoles.cpp); `previous` lends what did not change ---
  void Capture(Snapshot& s, const Snapshot* previous) const;
  // A menu given back open counts as an opening.
  void Restore(const Snapshot& s);

 private:
  std::string fontMenuFrame;
  int32_t fontMenuColumns = 0, fontMenuRows = 0;
  FontMenuItemMap fontMenuItems;
  FontMenuItemMap::iterator fontMenuCursor;  // end(): none
  bool menuActive = false;
  std::unique_ptr<TextFont> menuTextObject;
  uint64_t openings_ = 0;
  // Each item's label in a text object of its own, made with the menu's
  // face on first drawing: one object for all would rasterise every label
  // again on every frame (300 of them for a menu of 300 items).
  std::map<int32_t, std::unique_ptr<TextFont>> itemTexts_;
};

}  // namespace msgbox

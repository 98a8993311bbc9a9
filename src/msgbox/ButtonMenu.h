#pragma once
// The button menu: picture buttons a ButtonMenu block lists, laid out in the
// dialogue frame or in the screen's left column, with a cursor that lifts
// the button under it. Each button's picture is the texture aliased to its
// label followed by "ボタン".
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/diagnostics/Result.h"
#include "script/MenuItems.h"

class CPolygon;
struct SpriteRect;

namespace script {
struct MenuBlock;
}

namespace msgbox {

struct Devices;
struct Snapshot;

class ButtonMenu {
 public:
  ButtonMenu();
  ~ButtonMenu();
  ButtonMenu(const ButtonMenu&) = delete;
  ButtonMenu& operator=(const ButtonMenu&) = delete;

  // The sprite every button is drawn with (set-up and release).
  void CreateSprite();
  void ReleaseSprite();

  // Empties the menu before a block fills it.
  void Clear();
  void SetFrame(std::string frame) { buttonMenuFrame = std::move(frame); }
  // Takes a block's grid and items (a repeated id keeps the first item).
  void Fill(script::MenuBlock& block);
  // Lays the buttons out in a grid over the dialogue frame, or over the
  // screen's left column; the cursor goes to the first, lifted.
  void LayOut(const SpriteRect& frame);
  void LayOutLeftColumn();
  void Add(std::unique_ptr<ButtonMenuItem> item);

  // Opens the menu: the reports of missing pictures start afresh.
  void Open();
  // How many times the menu has opened.
  uint64_t Openings() const { return openings_; }
  void SetActive(bool on) { buttonMenuActive = on; }
  // Moves the cursor with the cursor sound; nothing while the menu is closed.
  void Move(bool forward, const Devices& devices);
  // The item under the cursor of the open menu; null when there is none.
  const ButtonMenuItem* Decidable() const;
  // The id of the open menu's button laid out over the point; false if none.
  bool ItemAt(float x, float y, int32_t& id) const;
  // Moves the cursor to that button, with the cursor sound when it moves.
  void MoveTo(int32_t id, const Devices& devices);
  void FrameMove();
  // Draws the open menu's buttons; E_FAIL when a button has no picture
  // alias, which also ends the drawing of this frame.
  HRESULT Render(const std::map<std::string, std::string>& textureAliases);

  const std::string& ButtonMenuFrame() const { return buttonMenuFrame; }
  int32_t Columns() const { return buttonMenuColumns; }
  int32_t Rows() const { return buttonMenuRows; }
  const ButtonMenuItemMap& ButtonMenuItems() const { return buttonMenuItems; }
  ButtonMenuItemMap::const_iterator ButtonMenuCursor() const { return buttonMenuCursor; }
  bool ButtonMenuActive() const { return buttonMenuActive; }
  const std::unique_ptr<CPolygon>& ButtonSprite() const { return buttonSprite; }

  // --- snapshots (SnapshotRoles.cpp); `previous` lends what did not change ---
  void Capture(Snapshot& s, const Snapshot* previous) const;
  // A menu given back open counts as an opening.
  void Restore(const Snapshot& s);

 private:
  void LayOutCells(float left, float top, float cellW, float cellH);

  std::string buttonMenuFrame;
  int32_t buttonMenuColumns = 0, buttonMenuRows = 0;
  ButtonMenuItemMap buttonMenuItems;
  ButtonMenuItemMap::iterator buttonMenuCursor;  // end(): none
  bool buttonMenuActive = false;
  std::unique_ptr<CPolygon> buttonSprite;
  // Since the menu opened: a missing picture alias was reported, the
  // picture files that could not be loaded.
  bool buttonPictureReported = false;
  std::vector<std::string> missingButtonPictures;
  uint64_t openings_ = 0;
};

}  // namespace msgbox

#pragma once
// The two menus' state: the button menu and the font (text) menu, which is
// also the save/load screen.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "script/MenuItems.h"

class CPolygon;
class TextFont;

namespace msgbox {

struct ButtonMenu {
  ButtonMenu();
  ~ButtonMenu();
  ButtonMenu(const ButtonMenu&) = delete;
  ButtonMenu& operator=(const ButtonMenu&) = delete;

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
};

struct FontMenu {
  FontMenu();
  ~FontMenu();
  FontMenu(const FontMenu&) = delete;
  FontMenu& operator=(const FontMenu&) = delete;

  std::string fontMenuFrame;
  int32_t fontMenuColumns = 0, fontMenuRows = 0;
  FontMenuItemMap fontMenuItems;
  FontMenuItemMap::iterator fontMenuCursor;  // end(): none
  bool menuActive = false;
  std::unique_ptr<TextFont> menuTextObject;
};

}  // namespace msgbox

// Menus: the button menu and the font menu blocks, their cursors and
// decisions. Until the menu readers are built, a block is passed over whole
// so that the words after it run, and no menu opens.
#include <string>
#include <vector>

#include "msgbox/CMsgBox.h"
#include "script/MenuItems.h"

namespace {
// Index of the "}" that closes the block opened at `open`, or words.size().
size_t BlockEnd(const std::vector<std::string>& words, size_t open) {
  int depth = 0;
  for (size_t i = open; i < words.size(); ++i) {
    if (words[i] == "{") ++depth;
    else if (words[i] == "}" && --depth == 0) return i;
  }
  return words.size();
}
}  // namespace

// The words after a menu keyword: an optional frame word, then the block.
// NotMatched when no "{" follows, so that the current word is tested against
// the keywords after this one.
CMsgBox::Outcome CMsgBox::PassMenuBlock(std::string& frame) {
  if (position + 1 >= words.size()) return EndOfWords();
  ++position;
  frame = "InsideSerifuFrame";
  if (words[position] != "{") {
    frame = words[position];
    if (position + 1 >= words.size()) return EndOfWords();
    ++position;
  }
  if (words[position] != "{") return NotMatched();
  position = BlockEnd(words, position);
  if (position >= words.size()) return EndOfWords();
  return Finish();
}

CMsgBox::Outcome CMsgBox::CmdButtonMenu() {
  buttonMenuItems.clear();
  buttonMenuColumns = buttonMenuRows = 0;
  buttonMenuCursor = buttonMenuItems.end();
  return PassMenuBlock(buttonMenuFrame);
}

CMsgBox::Outcome CMsgBox::CmdFontMenu() {
  fontMenuItems.clear();
  fontMenuColumns = fontMenuRows = 0;
  fontMenuCursor = fontMenuItems.end();
  return PassMenuBlock(fontMenuFrame);
}

void CMsgBox::ButtonMenuPrev() {}
void CMsgBox::ButtonMenuNext() {}
void CMsgBox::FontMenuPrev() {}
void CMsgBox::FontMenuNext() {}

int32_t CMsgBox::ButtonMenuDecide() {
  if (!buttonMenuActive) return 0;
  buttonMenuActive = false;
  return 1;
}

int32_t CMsgBox::FontMenuDecide() {
  if (!menuActive) return 0;
  menuActive = false;
  saveMode = loadMode = false;
  return 1;
}

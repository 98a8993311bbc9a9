#pragma once
// The grammar of a menu block, as ButtonMenu and FontMenu read it:
//
//   { ... フォーマット columns rows ... メニューアイテム { label id target ... } ... }
//
// Words the reader does not know are passed over; "}" closes the block only
// where the reader tests for it (not in place of a format number, nor after
// メニューアイテム, where anything but "{" is passed over). Item ids are read
// as "%d" reads them. The interpreter and the script checker share it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "script/WordList.h"

namespace script {

struct MenuBlockItem {
  std::string label;
  std::string target;
  int32_t id = 0;          // 0 when the id word begins with no number
  bool numericId = false;  // the id word began with a number
  size_t at = 0;           // index of the label word
};

struct MenuBlock {
  // A format whose words are no numbers leaves these as they were.
  int32_t columns = 0, rows = 0;
  bool hasFormat = false;
  std::vector<MenuBlockItem> items;  // in file order, repeated ids included
};

// Reads from the "{" at words[position] up to its closing "}", where it
// leaves position. False when the words end inside the block: position is
// then at the last word, and block holds what was read up to there.
bool ReadMenuBlock(const WordList& words, size_t& position, MenuBlock& block);

}  // namespace script

#include "script/MenuBlock.h"

#include "script/DecimalWord.h"
#include "platform/text/TextCodec.h"

namespace script {

bool ReadMenuBlock(const WordList& words, size_t& position, MenuBlock& block) {
  auto next = [&]() {
    if (position + 1 >= words.size()) return false;
    ++position;
    return true;
  };
  for (;;) {
    if (!next()) return false;
    if (words[position] == "}") return true;
    if (words[position] == SJ("フォーマット")) {
      block.hasFormat = true;
      if (!next()) return false;
      ParseDecimal(words[position], block.columns);
      if (!next()) return false;
      ParseDecimal(words[position], block.rows);
    }
    if (words[position] != SJ("メニューアイテム")) continue;
    if (!next()) return false;
    if (words[position] != "{") continue;
    for (;;) {
      if (!next()) return false;
      if (words[position] == "}") break;
      MenuBlockItem item;
      item.label = words[position];
      item.at = position;
      if (!next()) return false;
      item.numericId = ParseDecimal(words[position], item.id);
      if (!next()) return false;
      item.target = words[position];
      block.items.push_back(std::move(item));
    }
  }
}

}  // namespace script

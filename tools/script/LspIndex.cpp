#include "LspIndex.h"

#include <algorithm>

#include "platform/text/TextCodec.h"

namespace scripttool::lsp {

ScriptIndex IndexScript(const ScriptInput& input) {
  ScriptIndex index;
  index.name = input.name;
  index.words = input.Words();
  if (input.fromSource) {
    index.path = input.source.hostPath;
    // One pass over the text for every word's place, rather than a count
    // from the start for each.
    const std::string& text = input.source.text;
    const std::vector<size_t>& offsets = input.source.offsets;
    index.places.reserve(offsets.size());
    size_t line = 0, character = 0, at = 0;
    for (size_t w = 0; w < offsets.size(); ++w) {
      while (at < offsets[w] && at < text.size()) {
        const unsigned char c = static_cast<unsigned char>(text[at]);
        if (c == '\n') {
          ++line;
          character = 0;
          ++at;
        } else {
          ++character;
          at += platform::IsLeadByte(c) ? 2 : 1;
        }
      }
      size_t length = 0;
      const std::string& word = index.words[w];
      for (size_t i = 0; i < word.size(); ++length) i += platform::IsLeadByte(static_cast<unsigned char>(word[i])) ? 2 : 1;
      index.places.push_back({{line, character}, length});
    }
  }
  index.walked.name = index.name;
  index.walked.words = index.words;
  std::vector<Finding> ignored;
  WalkScript(index.walked, ignored);
  for (const ScriptCommand& c : index.walked.commands) {
    if (c.keyword == "Texture" && !c.args.empty()) index.definitions.push_back({NameKind::TextureAlias, c.args[0], c.at + 1});
    if (c.keyword == "SELoad" && c.args.size() > 1) index.definitions.push_back({NameKind::SoundAlias, c.args[1], c.at + 2});
    if (c.keyword == "string" && !c.args.empty()) index.definitions.push_back({NameKind::Variable, c.args[0], c.at + 1});
  }
  return index;
}

namespace {
bool Before(const Place& a, const Place& b) { return a.line < b.line || (a.line == b.line && a.character < b.character); }
}  // namespace

size_t WordBefore(const ScriptIndex& index, Place at) {
  // The first word starting at or after `at`; the one before it is ours.
  auto it = std::lower_bound(index.places.begin(), index.places.end(), at,
                             [](const WordPlace& w, const Place& p) { return Before(w.start, p); });
  if (it == index.places.begin()) return std::string::npos;
  return size_t(it - index.places.begin()) - 1;
}

size_t WordAt(const ScriptIndex& index, Place at) {
  // A word starting right at the cursor wins over one ending there.
  auto it = std::lower_bound(index.places.begin(), index.places.end(), at,
                             [](const WordPlace& w, const Place& p) { return Before(w.start, p); });
  if (it != index.places.end() && it->start.line == at.line && it->start.character == at.character)
    return size_t(it - index.places.begin());
  const size_t w = WordBefore(index, at);
  if (w == std::string::npos) return w;
  const WordPlace& p = index.places[w];
  if (p.start.line == at.line && at.character <= p.start.character + p.length) return w;
  return std::string::npos;
}

const ScriptCommand* CommandOf(const ScriptIndex& index, size_t word) {
  for (const ScriptCommand& c : index.walked.commands) {
    if (word == c.at) return &c;
    if (word > c.at && word <= c.at + c.args.size()) return &c;
    for (const MenuItemEntry& item : c.items)
      if (word >= item.at && word <= item.at + 2) return &c;
  }
  return nullptr;
}

}  // namespace scripttool::lsp

// What the server answers about a place in a document: completion, hover,
// go to definition, and the document's messages and menus as symbols.
#include <algorithm>
#include <set>

#include "KeywordReference.h"
#include "LspServer.h"
#include "platform/text/TextCodec.h"
#include "script/Keywords.h"

namespace scripttool::lsp {

namespace {
// Completion item kinds of the protocol.
constexpr int kKindVariable = 6, kKindFile = 17, kKindKeyword = 14, kKindConstant = 21, kKindEnumMember = 20;
// Symbol kinds.
constexpr int kSymbolEnum = 10, kSymbolString = 15, kSymbolEnumMember = 22;

std::string Utf8(const std::string& cp932) { return platform::Cp932ToUtf8(cp932); }

// The table spelling of a keyword word, or empty.
std::string KeywordOf(const std::string& word) {
  for (const script::Keyword& k : script::Keywords())
    if (!k.dollarPrefix && k.Matches(word)) return k.word;
  return "";
}

Json PlaceJson(Place p) { return {{"line", p.line}, {"character", p.character}}; }

Json RangeOf(const ScriptIndex& index, size_t first, size_t last) {
  if (index.places.empty()) return {{"start", PlaceJson({})}, {"end", PlaceJson({})}};
  first = std::min(first, index.places.size() - 1);
  last = std::min(std::max(first, last), index.places.size() - 1);
  Place end = index.places[last].start;
  end.character += index.places[last].length;
  return {{"start", PlaceJson(index.places[first].start)}, {"end", PlaceJson(end)}};
}

std::string Shortened(const std::string& utf8, size_t characters) {
  size_t i = 0, n = 0;
  while (i < utf8.size() && n < characters) {
    const unsigned char c = static_cast<unsigned char>(utf8[i]);
    i += c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    ++n;
  }
  return i < utf8.size() ? utf8.substr(0, i) + "…" : utf8;
}

// What the argument after a keyword names, for completion.
enum class Wants { Anything, TextureAlias, SoundAlias, Script, ScriptFile, Target };
Wants WantedAfter(const std::string& keyword) {
  static const std::set<std::string> pictures = {"BG", "Right", "Center", "WideCenter", "Left", "TexLoad", "TexUnload"};
  if (pictures.count(keyword)) return Wants::TextureAlias;
  if (keyword == "SEPlay") return Wants::SoundAlias;
  if (keyword == "goto" || keyword == "SaveMenu") return Wants::Script;
  if (keyword == "NextScriptFile") return Wants::ScriptFile;
  if (keyword == "FadeIn" || keyword == "FadeOut" || keyword == "Clear") return Wants::Target;
  return Wants::Anything;
}
}  // namespace

const Server::Document* Server::DocumentOf(const Json& params) const {
  auto it = documents_.find(params.at("textDocument").at("uri"));
  return it == documents_.end() ? nullptr : &it->second;
}

const ScriptIndex* Server::DocumentIndex(const Json& params, Place& at) {
  const Document* doc = DocumentOf(params);
  if (!doc) return nullptr;
  if (params.contains("position")) {
    at.line = params["position"].at("line");
    at.character = params["position"].at("character");
  }
  if (doc->name.empty()) {
    auto it = loose_.find(doc->uri);
    return it == loose_.end() ? nullptr : &it->second;
  }
  return &IndexOf(byName_.at(doc->name));
}

Json Server::LocationOf(const ScriptIndex& index, size_t word) {
  std::string uri = UriFromPath(index.path);
  for (const auto& [u, doc] : documents_)
    if (doc.path == index.path) uri = u;  // as the editor named it
  return {{"uri", uri}, {"range", RangeOf(index, word, word)}};
}

Json Server::Completion(const Json& params) {
  Place at;
  const ScriptIndex* here = DocumentIndex(params, at);
  Json items = Json::array();
  if (!here) return items;
  // The word being typed is the one the cursor touches; the one before it
  // says what may stand here.
  size_t typed = WordAt(*here, at);
  size_t before = typed != std::string::npos ? (typed == 0 ? std::string::npos : typed - 1) : WordBefore(*here, at);
  // Only a keyword on the same line sets the context: at a line's start a
  // new command is the likelier.
  const bool sameLine = before != std::string::npos && before < here->places.size() &&
                        here->places[before].start.line == at.line;
  const Wants wants = sameLine ? WantedAfter(KeywordOf(here->words[before])) : Wants::Anything;

  std::set<std::string> seen;
  auto add = [&](const std::string& label, int kind, const std::string& detail, const std::string& doc = "") {
    if (label.empty() || !seen.insert(label).second) return;
    Json item = {{"label", label}, {"kind", kind}, {"detail", detail}};
    if (!doc.empty()) item["documentation"] = {{"kind", "markdown"}, {"value", doc}};
    items.push_back(std::move(item));
  };
  auto definitions = [&](NameKind kind, int itemKind, const char* what) {
    const ScriptIndex* own = here;
    auto one = [&](const ScriptIndex& index) {
      for (const Definition& d : index.definitions) {
        if (d.kind != kind) continue;
        std::string detail = what;
        if (kind != NameKind::Variable && d.word + 1 < index.words.size() && kind == NameKind::TextureAlias)
          detail += ": " + Utf8(index.words[d.word + 1]);
        if (kind == NameKind::SoundAlias && d.word >= 1) detail += ": " + Utf8(index.words[d.word - 1]);
        add(Utf8(d.name), itemKind, detail);
      }
    };
    one(*own);
    for (size_t i = 0; i < inputs_.size(); ++i)
      if (!inputs_[i].name.empty()) one(IndexOf(i));
  };
  auto scripts = [&](bool withExtension) {
    for (const auto& [name, i] : byName_) {
      if (inputs_[i].name.empty()) continue;
      std::string label = Utf8(name);
      if (!withExtension && label.size() > 4 && label.compare(label.size() - 4, 4, ".Dat") == 0)
        label.resize(label.size() - 4);
      add(label, kKindFile, inputs_[i].fromSource ? "script (plain source)" : "script (built)");
    }
  };
  switch (wants) {
    case Wants::TextureAlias:
      definitions(NameKind::TextureAlias, kKindConstant, "texture alias");
      break;
    case Wants::SoundAlias:
      definitions(NameKind::SoundAlias, kKindConstant, "sound alias");
      break;
    case Wants::Script:
      scripts(false);
      definitions(NameKind::Variable, kKindVariable, "variable");
      break;
    case Wants::ScriptFile:
      scripts(true);
      break;
    case Wants::Target:
      for (const char* t : {"All", "Images", "Volume", "Left", "Center", "Right", "WideCenter"})
        add(t, kKindEnumMember, "target");
      break;
    case Wants::Anything:
      for (const KeywordEntry& e : KeywordEntries()) {
        const script::Keyword& k = script::Keywords()[size_t(e.command)];
        if (k.dollarPrefix) continue;
        add(Utf8(k.word), kKindKeyword, KeywordSynopsis(e), e.summary);
      }
      definitions(NameKind::Variable, kKindVariable, "variable");
      definitions(NameKind::TextureAlias, kKindConstant, "texture alias");
      definitions(NameKind::SoundAlias, kKindConstant, "sound alias");
      scripts(false);
      break;
  }
  return items;
}

Json Server::Hover(const Json& params) {
  Place at;
  const ScriptIndex* here = DocumentIndex(params, at);
  if (!here) return nullptr;
  const size_t w = WordAt(*here, at);
  if (w == std::string::npos) return nullptr;
  const std::string& word = here->words[w];
  std::string text;
  const std::string keyword = KeywordOf(word);
  if (!keyword.empty() || (word.size() > 1 && word[0] == '$' && w + 1 < here->words.size() && here->words[w + 1] == "=")) {
    if (const KeywordEntry* e = FindKeywordEntry(keyword.empty() ? std::string("$") : Utf8(keyword))) text = KeywordMarkdown(*e);
  }
  if (text.empty()) {
    // A name the game defines: where, and as what.
    for (size_t i = 0; i < inputs_.size() && text.empty(); ++i) {
      if (inputs_[i].name.empty()) continue;
      const ScriptIndex& index = IndexOf(i);
      for (const Definition& d : index.definitions) {
        if (d.name != word) continue;
        const ScriptCommand* c = CommandOf(index, d.word);
        if (!c) continue;
        // The defining command as written: "Texture 公園 BG\Park.png", "string $x = 1".
        size_t end = c->at + c->args.size();
        if (c->keyword == "string" && end + 2 < index.words.size() && index.words[end + 1] == "=") end += 2;
        std::string line = Utf8(c->keyword);
        for (size_t k = c->at + 1; k <= end && k < index.words.size(); ++k) line += " " + Utf8(index.words[k]);
        text = "`" + line + "` in " + Utf8(index.name);
        break;
      }
    }
  }
  if (text.empty()) return nullptr;
  return {{"contents", {{"kind", "markdown"}, {"value", text}}}, {"range", RangeOf(*here, w, w)}};
}

Json Server::Definitions(const Json& params) {
  Place at;
  const ScriptIndex* here = DocumentIndex(params, at);
  Json out = Json::array();
  if (!here) return out;
  const size_t w = WordAt(*here, at);
  if (w == std::string::npos) return out;
  const std::string word = here->words[w];
  const bool variable = word.size() > 1 && word[0] == '$';
  // The script's own definitions first: Texture keeps the first it met.
  std::vector<size_t> order;
  for (size_t i = 0; i < inputs_.size(); ++i)
    if (!inputs_[i].name.empty()) order.push_back(i);
  const ScriptIndex* first = here;
  for (const ScriptIndex* index : {first}) {
    for (const Definition& d : index->definitions)
      if (d.name == word && (d.kind == NameKind::Variable) == variable) out.push_back(LocationOf(*index, d.word));
  }
  for (size_t i : order) {
    const ScriptIndex& index = IndexOf(i);
    if (index.path == here->path) continue;
    for (const Definition& d : index.definitions)
      if (d.name == word && (d.kind == NameKind::Variable) == variable) out.push_back(LocationOf(index, d.word));
  }
  if (!out.empty() || variable) return out;
  // A script named by goto, NextScriptFile, a menu item, Save or SaveMenu.
  std::string name = word;
  if (name.size() < 4 || name.compare(name.size() - 4, 4, ".Dat") != 0) name += ".Dat";
  auto it = byName_.find(name);
  if (it != byName_.end() && inputs_[it->second].fromSource) {
    const ScriptIndex& target = IndexOf(it->second);
    out.push_back({{"uri", LocationOf(target, 0)["uri"]},
                   {"range", {{"start", PlaceJson({})}, {"end", PlaceJson({})}}}});
  }
  return out;
}

Json Server::Symbols(const Json& params) {
  Place at;
  const ScriptIndex* here = DocumentIndex(params, at);
  Json out = Json::array();
  if (!here || here->places.empty()) return out;
  struct Entry {
    size_t word;
    Json symbol;
  };
  std::vector<Entry> entries;
  const std::string colon = platform::Utf8ToCp932Lossy("：");
  for (const ShownMessage& m : here->walked.messages) {
    size_t first = m.at;
    if (first > 0 && here->words[first - 1].find(colon) != std::string::npos) --first;  // the speaker word
    std::string name = Shortened(Utf8(m.text), 60);
    if (name.empty()) name = "(empty message)";
    Json range = RangeOf(*here, first, m.at);
    entries.push_back({first, {{"name", name}, {"kind", kSymbolString}, {"range", range}, {"selectionRange", RangeOf(*here, m.at, m.at)}}});
  }
  for (const ScriptCommand& c : here->walked.commands) {
    if (c.keyword != "FontMenu" && c.keyword != "ButtonMenu" && c.keyword != "SaveMenu" && c.keyword != "LoadMenu")
      continue;
    Json children = Json::array();
    size_t last = c.at + c.args.size();
    for (const MenuItemEntry& item : c.items) {
      last = std::max(last, item.at + 2);
      children.push_back({{"name", Utf8(item.label).empty() ? "(item)" : Utf8(item.label)},
                          {"detail", "→ " + Utf8(item.target)},
                          {"kind", kSymbolEnumMember},
                          {"range", RangeOf(*here, item.at, item.at + 2)},
                          {"selectionRange", RangeOf(*here, item.at, item.at)}});
    }
    std::string name = Utf8(c.keyword);
    if (!c.frame.empty()) name += " " + Utf8(c.frame);
    Json symbol = {{"name", name}, {"kind", kSymbolEnum}, {"range", RangeOf(*here, c.at, last)},
                   {"selectionRange", RangeOf(*here, c.at, c.at)}};
    if (!children.empty()) symbol["children"] = std::move(children);
    entries.push_back({c.at, std::move(symbol)});
  }
  std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.word < b.word; });
  for (Entry& e : entries) out.push_back(std::move(e.symbol));
  return out;
}

}  // namespace scripttool::lsp

#include "saves/SaveFile.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <type_traits>

namespace saves {

namespace {
// --- writing ---
void Field(std::string& out, std::string_view name, std::string_view bytes) {
  out += name;
  out += ' ';
  out += std::to_string(bytes.size());
  out += '\n';
  out += bytes;
  out += '\n';
}
void Number(std::string& out, std::string_view name, int64_t n) { Field(out, name, std::to_string(n)); }
void Real(std::string& out, std::string_view name, float f) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.9g", static_cast<double>(f));
  Field(out, name, buf);
}

std::string Sprite(const msgbox::SpriteState& s) {
  std::string o;
  Field(o, "name", s.name);
  Number(o, "shown", s.shown);
  Number(o, "alpha", s.alpha);
  Real(o, "x", s.x);
  Real(o, "y", s.y);
  Real(o, "z", s.z);
  Real(o, "w", s.w);
  Real(o, "h", s.h);
  return o;
}

void Vec(std::string& o, std::string_view name, const MenuVector& v) {
  std::string f;
  Real(f, "x", v.x);
  Real(f, "y", v.y);
  Real(f, "z", v.z);
  Field(o, name, f);
}

std::string Menu(const msgbox::MenuState& m) {
  std::string o;
  Field(o, "frame", m.frame);
  Number(o, "columns", m.columns);
  Number(o, "rows", m.rows);
  if (m.hasCursor) Number(o, "cursor", m.cursor);
  Number(o, "active", m.active);
  return o;
}

std::string Button(const ButtonMenuItem& b) {
  std::string o;
  Vec(o, "position", b.position);
  Vec(o, "base", b.basePosition);
  Vec(o, "lowerRight", b.lowerRight);
  Vec(o, "size", b.size);
  Field(o, "label", b.label);
  Field(o, "target", b.target);
  Number(o, "id", b.id);
  Vec(o, "lift", b.selectionDisplacement);
  return o;
}

std::string TextItem(const FontMenuItem& t) {
  std::string o;
  Vec(o, "position", t.position);
  Vec(o, "lowerRight", t.lowerRight);
  Vec(o, "size", t.size);
  Number(o, "highlight", t.highlightValue);
  Number(o, "normal", t.normalValue);
  Number(o, "brightness", t.brightness);
  Number(o, "selectable", t.selectable);
  Field(o, "label", t.label);
  Field(o, "target", t.target);
  Field(o, "script", t.scriptName);
  Number(o, "id", t.id);
  if (t.labelWord != static_cast<size_t>(-1)) Number(o, "labelWord", static_cast<int64_t>(t.labelWord));
  return o;
}

std::string Place(const msgbox::TextPlace& p) {
  std::string o;
  Field(o, "script", p.script);
  Number(o, "word", static_cast<int64_t>(p.word));
  Field(o, "original", p.original);
  return o;
}

// A message of the history: its words as shown in the original, and where
// a translation finds them (absent when they came from no script word).
std::string Message(const comfort::HistoryEntry& m) {
  constexpr size_t kNone = static_cast<size_t>(-1);
  std::string o;
  Field(o, "speaker", m.speaker);
  Field(o, "text", m.text);
  if (m.word != kNone) {
    Field(o, "script", m.script);
    Number(o, "word", static_cast<int64_t>(m.word));
    Field(o, "original", m.original);
  }
  if (m.labelWord != kNone) {
    Field(o, "labelScript", m.labelScript);
    Number(o, "labelWord", static_cast<int64_t>(m.labelWord));
  }
  return o;
}

template <class V>
std::string Pairs(const std::map<std::string, V>& m) {
  std::string o;
  for (const auto& [k, v] : m) {
    Field(o, "k", k);
    if constexpr (std::is_same_v<V, std::string>) Field(o, "v", v);
    else Number(o, "v", v);
  }
  return o;
}

// The word lists are written once each and named by their place in the
// file; the maps, the loaded pictures and the menus' items only when they
// differ from the entry's before (a reader takes that one's when absent).
std::string State(const msgbox::Snapshot& s, const msgbox::Snapshot* before,
                  const std::map<const void*, size_t>& lists) {
  auto changed = [before](const auto& now, const auto& then) { return now && !(before && now == then); };
  std::string o;
  if (s.words) Number(o, "words", static_cast<int64_t>(lists.at(s.words.get())));
  Field(o, "scriptPath", s.scriptPath);
  Number(o, "position", static_cast<int64_t>(s.position));
  Number(o, "messageWord", static_cast<int64_t>(s.messageWord));
  Number(o, "running", s.running);
  Field(o, "currentScript", s.currentScriptName);
  if (changed(s.variables, before->variables)) Field(o, "variables", Pairs(*s.variables));
  if (changed(s.intVars, before->intVars)) Field(o, "intVars", Pairs(*s.intVars));
  if (changed(s.textureAliases, before->textureAliases)) Field(o, "aliases", Pairs(*s.textureAliases));
  if (changed(s.textures, before->textures)) {
    std::string t;
    for (const std::string& name : *s.textures) Field(t, "t", name);
    Field(o, "textures", t);
  }
  Field(o, "message", s.messageText);
  Field(o, "given", s.givenText);
  Field(o, "shown", s.shownText);
  Number(o, "typed", s.typedLength);
  Number(o, "typing", s.typing);
  Number(o, "rowBreaks", s.rowBreaks);
  Field(o, "speakerKey", s.speakerKey);
  Field(o, "speakerLabel", s.speakerLabel);
  Number(o, "messageAlpha", s.messageAlpha);
  Number(o, "cursorFrame", static_cast<int64_t>(s.cursorFrame));
  if (!s.language.empty()) Field(o, "language", s.language);
  Field(o, "speakerPlace", Place(s.speakerPlace));
  Field(o, "textPlace", Place(s.textPlace));
  Field(o, "menuScript", s.menuScript);
  Number(o, "shownGraphemes", static_cast<int64_t>(s.shownGraphemes));
  Number(o, "shownWhole", s.shownWhole);
  for (const msgbox::SpriteState& sprite : s.sprites) Field(o, "sprite", Sprite(sprite));
  Field(o, "buttonMenu", Menu(s.buttonMenu));
  if (changed(s.buttonItems, before->buttonItems)) {
    std::string items;
    for (const ButtonMenuItem& b : *s.buttonItems) Field(items, "button", Button(b));
    Field(o, "buttons", items);
  }
  Field(o, "textMenu", Menu(s.fontMenu));
  if (changed(s.fontItems, before->fontItems)) {
    std::string items;
    for (const FontMenuItem& t : *s.fontItems) Field(items, "textItem", TextItem(t));
    Field(o, "textItems", items);
  }
  Number(o, "saveMode", s.saveMode);
  Number(o, "loadMode", s.loadMode);
  Field(o, "music", s.musicPath);
  Number(o, "musicVolume", s.musicVolume);
  Number(o, "musicPlaying", s.musicPlaying);
  if (s.musicTick >= 0) Number(o, "musicTick", s.musicTick);
  return o;
}

std::string Summary(const SaveSummary& m) {
  std::string o;
  Field(o, "kind", m.kind);
  Number(o, "time", m.time);
  Number(o, "timeMs", m.timeMs);
  Field(o, "speaker", m.speaker);
  Field(o, "text", m.text);
  Field(o, "script", m.script);
  Number(o, "position", static_cast<int64_t>(m.position));
  if (!m.thumbnailPng.empty()) Field(o, "thumbnail", m.thumbnailPng);
  return o;
}

// --- reading ---
struct Fields {
  std::vector<std::pair<std::string_view, std::string_view>> list;
  bool ok = true;
};

Fields Parse(std::string_view bytes) {
  Fields f;
  size_t i = 0;
  while (i < bytes.size()) {
    const size_t space = bytes.find(' ', i);
    const size_t eol = bytes.find('\n', i);
    if (space == std::string_view::npos || eol == std::string_view::npos || space > eol) return f.ok = false, f;
    size_t len = 0;
    auto [p, ec] = std::from_chars(bytes.data() + space + 1, bytes.data() + eol, len);
    if (ec != std::errc{} || p != bytes.data() + eol || len > bytes.size() - eol - 1) return f.ok = false, f;
    const size_t start = eol + 1;
    if (start + len >= bytes.size() || bytes[start + len] != '\n') return f.ok = false, f;
    f.list.emplace_back(bytes.substr(i, space - i), bytes.substr(start, len));
    i = start + len + 1;
  }
  return f;
}

int64_t ToNumber(std::string_view v) {
  int64_t n = 0;
  std::from_chars(v.data(), v.data() + v.size(), n);
  return n;
}
float ToReal(std::string_view v) { return std::strtof(std::string(v).c_str(), nullptr); }

void ReadSprite(std::string_view bytes, msgbox::SpriteState& s) {
  for (auto [name, v] : Parse(bytes).list) {
    if (name == "name") s.name = v;
    else if (name == "shown") s.shown = ToNumber(v) != 0;
    else if (name == "alpha") s.alpha = static_cast<int32_t>(ToNumber(v));
    else if (name == "x") s.x = ToReal(v);
    else if (name == "y") s.y = ToReal(v);
    else if (name == "z") s.z = ToReal(v);
    else if (name == "w") s.w = ToReal(v);
    else if (name == "h") s.h = ToReal(v);
  }
}

MenuVector ReadVec(std::string_view bytes) {
  MenuVector m;
  for (auto [name, v] : Parse(bytes).list) {
    if (name == "x") m.x = ToReal(v);
    else if (name == "y") m.y = ToReal(v);
    else if (name == "z") m.z = ToReal(v);
  }
  return m;
}

void ReadMenu(std::string_view bytes, msgbox::MenuState& m) {
  for (auto [name, v] : Parse(bytes).list) {
    if (name == "frame") m.frame = v;
    else if (name == "columns") m.columns = static_cast<int32_t>(ToNumber(v));
    else if (name == "rows") m.rows = static_cast<int32_t>(ToNumber(v));
    else if (name == "cursor") m.cursor = static_cast<int32_t>(ToNumber(v)), m.hasCursor = true;
    else if (name == "active") m.active = ToNumber(v) != 0;
  }
}

ButtonMenuItem ReadButton(std::string_view bytes) {
  ButtonMenuItem b;
  for (auto [name, v] : Parse(bytes).list) {
    if (name == "position") b.position = ReadVec(v);
    else if (name == "base") b.basePosition = ReadVec(v);
    else if (name == "lowerRight") b.lowerRight = ReadVec(v);
    else if (name == "size") b.size = ReadVec(v);
    else if (name == "label") b.label = v;
    else if (name == "target") b.target = v;
    else if (name == "id") b.id = static_cast<int32_t>(ToNumber(v));
    else if (name == "lift") b.selectionDisplacement = ReadVec(v);
  }
  return b;
}

FontMenuItem ReadTextItem(std::string_view bytes) {
  FontMenuItem t;
  for (auto [name, v] : Parse(bytes).list) {
    if (name == "position") t.position = ReadVec(v);
    else if (name == "lowerRight") t.lowerRight = ReadVec(v);
    else if (name == "size") t.size = ReadVec(v);
    else if (name == "highlight") t.highlightValue = static_cast<int32_t>(ToNumber(v));
    else if (name == "normal") t.normalValue = static_cast<int32_t>(ToNumber(v));
    else if (name == "brightness") t.brightness = static_cast<int32_t>(ToNumber(v));
    else if (name == "selectable") t.selectable = ToNumber(v) != 0;
    else if (name == "label") t.label = v;
    else if (name == "target") t.target = v;
    else if (name == "script") t.scriptName = v;
    else if (name == "id") t.id = static_cast<int32_t>(ToNumber(v));
    else if (name == "labelWord") t.labelWord = static_cast<size_t>(ToNumber(v));
  }
  return t;
}

msgbox::TextPlace ReadPlace(std::string_view bytes) {
  msgbox::TextPlace p;
  for (auto [name, v] : Parse(bytes).list) {
    if (name == "script") p.script = v;
    else if (name == "word") p.word = static_cast<size_t>(ToNumber(v));
    else if (name == "original") p.original = v;
  }
  return p;
}

comfort::HistoryEntry ReadMessage(std::string_view bytes) {
  comfort::HistoryEntry m;
  for (auto [name, v] : Parse(bytes).list) {
    if (name == "speaker") m.speaker = v;
    else if (name == "text") m.text = v;
    else if (name == "script") m.script = v;
    else if (name == "word") m.word = static_cast<size_t>(ToNumber(v));
    else if (name == "original") m.original = v;
    else if (name == "labelScript") m.labelScript = v;
    else if (name == "labelWord") m.labelWord = static_cast<size_t>(ToNumber(v));
  }
  return m;
}

template <class V>
std::map<std::string, V> ReadPairs(std::string_view bytes) {
  std::map<std::string, V> m;
  std::string key;
  for (auto [name, v] : Parse(bytes).list) {
    if (name == "k") key = v;
    else if (name == "v") {
      if constexpr (std::is_same_v<V, std::string>) m[key] = std::string(v);
      else m[key] = static_cast<V>(ToNumber(v));
    }
  }
  return m;
}

struct WordList {
  std::shared_ptr<const std::vector<std::string>> words;
  uint64_t generation = 0;
};

bool ReadState(std::string_view bytes, const std::vector<WordList>& lists, const msgbox::Snapshot* before,
               msgbox::Snapshot& s) {
  const Fields f = Parse(bytes);
  if (!f.ok) return false;
  size_t sprite = 0;
  if (before) {
    s.variables = before->variables;
    s.intVars = before->intVars;
    s.textureAliases = before->textureAliases;
    s.textures = before->textures;
    s.buttonItems = before->buttonItems;
    s.fontItems = before->fontItems;
  }
  for (auto [name, v] : f.list) {
    if (name == "words") {
      const auto i = static_cast<size_t>(ToNumber(v));
      if (i >= lists.size()) return false;
      s.words = lists[i].words;
      s.wordsGeneration = lists[i].generation;
    } else if (name == "scriptPath") s.scriptPath = v;
    else if (name == "position") s.position = static_cast<size_t>(ToNumber(v));
    else if (name == "messageWord") s.messageWord = static_cast<size_t>(ToNumber(v));
    else if (name == "running") s.running = ToNumber(v) != 0;
    else if (name == "currentScript") s.currentScriptName = v;
    else if (name == "variables") s.variables = std::make_shared<const std::map<std::string, std::string>>(ReadPairs<std::string>(v));
    else if (name == "intVars") s.intVars = std::make_shared<const std::map<std::string, int32_t>>(ReadPairs<int32_t>(v));
    else if (name == "aliases") s.textureAliases = std::make_shared<const std::map<std::string, std::string>>(ReadPairs<std::string>(v));
    else if (name == "textures") {
      auto t = std::make_shared<std::vector<std::string>>();
      for (auto [n, w] : Parse(v).list)
        if (n == "t") t->emplace_back(w);
      s.textures = t;
    } else if (name == "message") s.messageText = v;
    else if (name == "given") s.givenText = v;
    else if (name == "shown") s.shownText = v;
    else if (name == "typed") s.typedLength = static_cast<uint32_t>(ToNumber(v));
    else if (name == "typing") s.typing = ToNumber(v) != 0;
    else if (name == "rowBreaks") s.rowBreaks = ToNumber(v) != 0;
    else if (name == "speakerKey") s.speakerKey = v;
    else if (name == "speakerLabel") s.speakerLabel = v;
    else if (name == "messageAlpha") s.messageAlpha = static_cast<int32_t>(ToNumber(v));
    else if (name == "cursorFrame") s.cursorFrame = static_cast<size_t>(ToNumber(v));
    else if (name == "language") s.language = v;
    else if (name == "speakerPlace") s.speakerPlace = ReadPlace(v);
    else if (name == "textPlace") s.textPlace = ReadPlace(v);
    else if (name == "menuScript") s.menuScript = v;
    else if (name == "shownGraphemes") s.shownGraphemes = static_cast<size_t>(ToNumber(v));
    else if (name == "shownWhole") s.shownWhole = ToNumber(v) != 0;
    else if (name == "sprite") {
      if (sprite < s.sprites.size()) ReadSprite(v, s.sprites[sprite++]);
    } else if (name == "buttonMenu") ReadMenu(v, s.buttonMenu);
    else if (name == "buttons") {
      auto buttons = std::make_shared<std::vector<ButtonMenuItem>>();
      for (auto [n, b] : Parse(v).list)
        if (n == "button") buttons->push_back(ReadButton(b));
      s.buttonItems = buttons;
    } else if (name == "textMenu") ReadMenu(v, s.fontMenu);
    else if (name == "textItems") {
      auto items = std::make_shared<std::vector<FontMenuItem>>();
      for (auto [n, t] : Parse(v).list)
        if (n == "textItem") items->push_back(ReadTextItem(t));
      s.fontItems = items;
    }
    else if (name == "saveMode") s.saveMode = ToNumber(v) != 0;
    else if (name == "loadMode") s.loadMode = ToNumber(v) != 0;
    else if (name == "music") s.musicPath = v;
    else if (name == "musicVolume") s.musicVolume = static_cast<int32_t>(ToNumber(v));
    else if (name == "musicPlaying") s.musicPlaying = ToNumber(v) != 0;
    else if (name == "musicTick") s.musicTick = static_cast<int32_t>(std::clamp<int64_t>(ToNumber(v), -1, INT32_MAX));
  }
  // A damaged save is refused here rather than restored past its own words.
  return s.words != nullptr && s.position <= s.words->size() && s.messageWord <= s.words->size();
}

bool ReadHeader(std::string_view bytes, std::string_view& rest, std::string& why) {
  const size_t eol = bytes.find('\n');
  const std::string magic = std::string(kSaveMagic) + ' ';
  if (eol == std::string_view::npos || bytes.substr(0, magic.size()) != magic) {
    why = "not a save file of this engine";
    return false;
  }
  if (ToNumber(bytes.substr(magic.size(), eol - magic.size())) < 1) {
    why = "unknown save version";
    return false;
  }
  rest = bytes.substr(eol + 1);
  return true;
}

bool ReadSummary(std::string_view bytes, SaveSummary& m) {
  const Fields f = Parse(bytes);
  bool hasMs = false;
  for (auto [name, v] : f.list) {
    if (name == "kind") m.kind = v;
    else if (name == "time") m.time = ToNumber(v);
    else if (name == "timeMs") m.timeMs = ToNumber(v), hasMs = true;
    else if (name == "speaker") m.speaker = v;
    else if (name == "text") m.text = v;
    else if (name == "script") m.script = v;
    else if (name == "position") m.position = static_cast<uint64_t>(ToNumber(v));
    else if (name == "thumbnail") m.thumbnailPng = v;
  }
  if (!hasMs) {
    // Saturated: the bytes may be anything.
    constexpr int64_t kMax = INT64_MAX / 1000;
    m.timeMs = m.time > kMax ? INT64_MAX : m.time < -kMax ? -INT64_MAX : m.time * 1000;
  }
  return f.ok;
}
}  // namespace

// Told apart from the interpreter's own by the top bit.
uint64_t FreshWordsGeneration() {
  static uint64_t next = 1;
  return (uint64_t{1} << 63) | next++;
}

std::string EncodeSave(const SaveContents& save) {
  std::string out = std::string(kSaveMagic) + ' ' + std::to_string(kSaveVersion) + '\n';
  Field(out, "summary", Summary(save.summary));
  // Each word list once, in the order the entries first name it.
  std::map<const void*, size_t> lists;
  std::string table;
  for (const RecordEntry& e : save.record) {
    const auto* words = e.snapshot.words.get();
    if (!words || lists.count(words)) continue;
    lists[words] = lists.size();
    std::string list;
    for (const std::string& w : *words) Field(list, "w", w);
    Field(table, "list", list);
  }
  Field(out, "words", table);
  const msgbox::Snapshot none;
  const msgbox::Snapshot* before = &none;
  for (const RecordEntry& e : save.record) {
    std::string entry;
    Field(entry, "state", State(e.snapshot, before, lists));
    before = &e.snapshot;
    Number(entry, "menu", e.menu);
    Number(entry, "chosen", e.chosen);
    Number(entry, "historyAdded", static_cast<int64_t>(e.historyAdded));
    for (const comfort::HistoryEntry& m : e.shown) Field(entry, "shown", Message(m));
    Field(out, "entry", entry);
  }
  std::string history;
  for (const comfort::HistoryEntry& m : save.history) Field(history, "message", Message(m));
  Field(out, "history", history);
  // The last field: a file without it was cut short.
  Field(out, "end", "");
  return out;
}

bool DecodeSummary(std::string_view bytes, SaveSummary& summary, std::string& why) {
  std::string_view rest;
  if (!ReadHeader(bytes, rest, why)) return false;
  // The summary is the first field: only it is parsed.
  const size_t space = rest.find(' '), eol = rest.find('\n');
  if (rest.substr(0, space) != "summary" || eol == std::string_view::npos) {
    why = "the save has no summary";
    return false;
  }
  size_t len = 0;
  std::from_chars(rest.data() + space + 1, rest.data() + eol, len);
  if (len > rest.size() - eol - 1 || !ReadSummary(rest.substr(eol + 1, len), summary)) {
    why = "the save is cut short";
    return false;
  }
  return true;
}

bool DecodeSave(std::string_view bytes, SaveContents& save, std::string& why) {
  std::string_view rest;
  if (!ReadHeader(bytes, rest, why)) return false;
  const Fields top = Parse(rest);
  if (!top.ok) {
    why = "the save is cut short";
    return false;
  }
  if (top.list.empty() || top.list.back().first != "end") {
    why = "the save is cut short";
    return false;
  }
  std::vector<WordList> lists;
  save = {};
  for (auto [name, v] : top.list) {
    if (name == "summary") ReadSummary(v, save.summary);
    else if (name == "words") {
      for (auto [n, list] : Parse(v).list) {
        if (n != "list") continue;
        auto words = std::make_shared<std::vector<std::string>>();
        for (auto [w, word] : Parse(list).list)
          if (w == "w") words->emplace_back(word);
        lists.push_back({words, FreshWordsGeneration()});
      }
    } else if (name == "entry") {
      RecordEntry e;
      bool stateRead = false;
      for (auto [n, f] : Parse(v).list) {
        if (n == "state")
          stateRead = ReadState(f, lists, save.record.empty() ? nullptr : &save.record.back().snapshot, e.snapshot);
        else if (n == "menu") e.menu = ToNumber(f) != 0;
        else if (n == "chosen") e.chosen = static_cast<int32_t>(ToNumber(f));
        else if (n == "historyAdded") e.historyAdded = static_cast<uint64_t>(ToNumber(f));
        else if (n == "shown") e.shown.push_back(ReadMessage(f));
      }
      if (!stateRead) {
        why = "a state in the save cannot be read";
        return false;
      }
      save.record.push_back(std::move(e));
    } else if (name == "history") {
      for (auto [n, f] : Parse(v).list)
        if (n == "message") save.history.push_back(ReadMessage(f));
    }
  }
  if (save.record.empty()) {
    why = "the save holds no game";
    return false;
  }
  return true;
}

}  // namespace saves

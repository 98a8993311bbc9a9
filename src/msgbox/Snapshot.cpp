// What a snapshot costs in memory.
#include "msgbox/Snapshot.h"

#include <type_traits>

namespace msgbox {

namespace {
// Heap bytes of a string beyond the object itself (short strings live inside it).
size_t Heap(const std::string& s) { return s.capacity() > 15 ? s.capacity() + 1 : 0; }

template <class T>
size_t Shared(const std::shared_ptr<const T>& now, const std::shared_ptr<const T>& before, size_t (*size)(const T&)) {
  if (!now || (before && now == before)) return 0;
  return size(*now) + 32;  // the control block with the object
}

size_t Words(const std::vector<std::string>& v) {
  size_t n = sizeof v + v.capacity() * sizeof(std::string);
  for (const std::string& s : v) n += Heap(s);
  return n;
}

template <class V>
size_t Map(const std::map<std::string, V>& m) {
  size_t n = sizeof m;
  for (const auto& [k, v] : m) {
    n += 48 + sizeof k + sizeof v + Heap(k);  // a tree node's links and colour
    if constexpr (std::is_same_v<V, std::string>) n += Heap(v);
  }
  return n;
}

template <class Item>
size_t Items(const std::vector<Item>& v) {
  size_t n = sizeof v + v.capacity() * sizeof(Item);
  for (const Item& item : v) {
    n += Heap(item.label) + Heap(item.target);
    if constexpr (requires { item.shown; }) n += Heap(item.shown) + Heap(item.scriptName);
  }
  return n;
}
}  // namespace

size_t Snapshot::OwnBytes(const Snapshot* previous) const {
  const Snapshot none;
  const Snapshot& p = previous ? *previous : none;
  size_t n = sizeof(Snapshot);
  for (const std::string* s : {&scriptPath, &currentScriptName, &messageText, &givenText, &shownText, &speakerKey,
                               &speakerLabel, &musicPath, &buttonMenu.frame, &fontMenu.frame, &language, &speakerPlace.script,
                               &speakerPlace.original, &textPlace.script, &textPlace.original, &menuScript})
    n += Heap(*s);
  for (const SpriteState& sprite : sprites) n += Heap(sprite.name);
  n += Shared<std::vector<std::string>>(words, p.words, Words);
  n += Shared<std::vector<std::string>>(textures, p.textures, Words);
  n += Shared<std::map<std::string, std::string>>(variables, p.variables, Map<std::string>);
  n += Shared<std::map<std::string, int32_t>>(intVars, p.intVars, Map<int32_t>);
  n += Shared<std::map<std::string, std::string>>(textureAliases, p.textureAliases, Map<std::string>);
  n += Shared<std::vector<ButtonMenuItem>>(buttonItems, p.buttonItems, Items<ButtonMenuItem>);
  n += Shared<std::vector<FontMenuItem>>(fontItems, p.fontItems, Items<FontMenuItem>);
  return n;
}

}  // namespace msgbox

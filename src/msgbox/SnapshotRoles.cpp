// Each role's part of a snapshot: what it holds, taken and given back.
#include <atomic>
#include <iterator>

#include "framework/TextFont.h"
#include "gfx/CAnimPolygon.h"
#include "gfx/CPolygon.h"
#include "msgbox/ButtonMenu.h"
#include "msgbox/Fades.h"
#include "msgbox/FontMenu.h"
#include "msgbox/Interpreter.h"
#include "msgbox/MessageWindow.h"
#include "msgbox/Snapshot.h"

namespace msgbox {

namespace {
void TakeSprite(SpriteState& out, const CPolygon* sprite) {
  if (!sprite) return;
  out.name = sprite->textureName;
  out.shown = sprite->texture != nullptr;
  out.alpha = sprite->GetAlpha();
  out.x = sprite->x;
  out.y = sprite->y;
  out.z = sprite->z;
  out.w = sprite->width;
  out.h = sprite->height;
}

void GiveSprite(const SpriteState& in, CPolygon* sprite) {
  if (!sprite) return;
  if (in.shown) {
    // Loads the picture again when it was let go since (TexUnload).
    if (sprite->textureName != in.name || !sprite->texture) sprite->SetTexture(in.name);
  } else {
    sprite->textureName = in.name;
    sprite->SetTexturePointer(nullptr);
  }
  sprite->SetAlpha(in.alpha);
  sprite->SetPosition(in.x, in.y, in.z);
  sprite->SetSize(in.w, in.h, 0.0f);
}

// The registry's names, shared with the previous snapshot's while equal
// (compared in place, without building a list).
std::shared_ptr<const std::vector<std::string>> RegistryNames(const Snapshot* previous) {
  const auto& registry = CPolygon::Registry();
  if (previous && previous->textures && previous->textures->size() == registry.size()) {
    auto it = previous->textures->begin();
    bool same = true;
    for (const auto& [name, texture] : registry)
      if (*it++ != name) {
        same = false;
        break;
      }
    if (same) return previous->textures;
  }
  auto names = std::make_shared<std::vector<std::string>>();
  names->reserve(registry.size());
  for (const auto& [name, texture] : registry) names->push_back(name);
  return names;
}

template <class Map, class Item>
std::shared_ptr<const std::vector<Item>> MenuItems(const Map& items,
                                                   const std::shared_ptr<const std::vector<Item>>& previous) {
  if (previous && previous->size() == items.size()) {
    auto it = previous->begin();
    bool same = true;
    for (const auto& [id, item] : items)
      if (!(*it++ == *item)) {
        same = false;
        break;
      }
    if (same) return previous;
  }
  auto list = std::make_shared<std::vector<Item>>();
  list->reserve(items.size());
  for (const auto& [id, item] : items) list->push_back(*item);
  return list;
}

template <class Map, class Item>
void GiveItems(Map& items, typename Map::iterator& cursor, const std::vector<Item>* list, const MenuState& state) {
  items.clear();
  if (list)
    for (const Item& item : *list) InsertMenuItem(items, std::make_unique<Item>(item));
  cursor = state.hasCursor ? items.find(state.cursor) : items.end();
}
}  // namespace

uint64_t Interpreter::NewGeneration() {
  static std::atomic<uint64_t> next{1};
  return next++;
}

void Interpreter::Capture(Snapshot& s, const Snapshot* previous) const {
  if (previous && previous->wordsGeneration == generation_) s.words = previous->words;
  else s.words = std::make_shared<const std::vector<std::string>>(words);
  s.wordsGeneration = generation_;
  s.scriptPath = scriptPath;
  s.position = position;
  s.messageWord = messageWord;
  s.running = running;
  s.currentScriptName = currentScriptName;
  s.variables = ShareIfEqual(variables, previous ? previous->variables : nullptr);
  s.intVars = ShareIfEqual(intVars, previous ? previous->intVars : nullptr);
  s.textureAliases = ShareIfEqual(textureAliases, previous ? previous->textureAliases : nullptr);
  s.textures = RegistryNames(previous);
}

void Interpreter::Restore(const Snapshot& s) {
  if (s.wordsGeneration != generation_) {
    words = s.words ? *s.words : std::vector<std::string>{};
    generation_ = s.wordsGeneration;
  }
  scriptPath = s.scriptPath;
  position = s.position;
  messageWord = s.messageWord;
  running = s.running;
  currentScriptName = s.currentScriptName;
  if (s.variables) variables = *s.variables;
  if (s.intVars) intVars = *s.intVars;
  if (s.textureAliases) textureAliases = *s.textureAliases;
  if (s.textures)
    for (const std::string& name : *s.textures)
      if (!CPolygon::Registry().count(name)) CPolygon::LoadTexture(name);
}

void MessageWindow::Capture(Snapshot& s, const Snapshot*) const {
  s.messageText = messageText;
  s.givenText = givenText;
  s.typedLength = typedLength;
  s.typing = typing;
  s.rowBreaks = rowBreaks;
  s.speakerKey = speakerKey;
  s.speakerLabel = speakerLabel;
  if (messageTextObject) {
    s.shownText = messageTextObject->GetText();
    s.messageAlpha = messageTextObject->alpha;
  }
  s.shownGraphemes = shownGraphemes_;
  s.shownWhole = TypedOut();
  if (translated_) {
    // Underneath a translation the original stands as it would come back.
    s.typedLength = s.shownWhole ? static_cast<uint32_t>(messageText.size()) : 0;
    s.shownText = messageText.substr(0, s.typedLength);
  }
  if (cursorSprite) s.cursorFrame = cursorSprite->current;
  TakeSprite(s.sprites[kBg], bgSprite.get());
  TakeSprite(s.sprites[kLeft], leftSprite.get());
  TakeSprite(s.sprites[kCenter], centerSprite.get());
  TakeSprite(s.sprites[kRight], rightSprite.get());
  TakeSprite(s.sprites[kWideCenter], wideCenterSprite.get());
  TakeSprite(s.sprites[kSpeaker], speakerSprite.get());
  TakeSprite(s.sprites[kPictureFrame], pictureFrameSprite.get());
  TakeSprite(s.sprites[kWindow], windowSprite.get());
  TakeSprite(s.sprites[kCursor], cursorSprite.get());
}

void MessageWindow::Restore(const Snapshot& s) {
  // The original's view first; CMsgBox lays a translation over it again.
  if (translated_ && messageTextObject) messageTextObject->SetLinePitch(0);
  translated_ = false;
  shown_.clear();
  stops_.clear();
  shownGraphemes_ = 0;
  shownOverflow_ = false;
  messageText = s.messageText;
  givenText = s.givenText;
  typedLength = s.typedLength;
  typing = s.typing;
  rowBreaks = s.rowBreaks;
  speakerKey = s.speakerKey;
  speakerLabel = s.speakerLabel;
  if (messageTextObject) {
    messageTextObject->setText(s.shownText);
    messageTextObject->setAlpha(s.messageAlpha);
  }
  GiveSprite(s.sprites[kBg], bgSprite.get());
  GiveSprite(s.sprites[kLeft], leftSprite.get());
  GiveSprite(s.sprites[kCenter], centerSprite.get());
  GiveSprite(s.sprites[kRight], rightSprite.get());
  GiveSprite(s.sprites[kWideCenter], wideCenterSprite.get());
  GiveSprite(s.sprites[kSpeaker], speakerSprite.get());
  GiveSprite(s.sprites[kPictureFrame], pictureFrameSprite.get());
  GiveSprite(s.sprites[kWindow], windowSprite.get());
  GiveSprite(s.sprites[kCursor], cursorSprite.get());
  if (cursorSprite && !cursorSprite->frames.empty()) {
    // The frame on screen is the one before `current` (Update shows, then moves on).
    const size_t n = cursorSprite->frames.size();
    cursorSprite->current = s.cursorFrame % n;
    const TexRect& r = cursorSprite->frames[(cursorSprite->current + n - 1) % n];
    cursorSprite->SetTexRect(r);
  }
}

void ButtonMenu::Capture(Snapshot& s, const Snapshot* previous) const {
  s.buttonMenu.frame = buttonMenuFrame;
  s.buttonMenu.columns = buttonMenuColumns;
  s.buttonMenu.rows = buttonMenuRows;
  s.buttonMenu.hasCursor = buttonMenuCursor != buttonMenuItems.end();
  s.buttonMenu.cursor = s.buttonMenu.hasCursor ? buttonMenuCursor->first : 0;
  s.buttonMenu.active = buttonMenuActive;
  s.buttonItems = MenuItems(buttonMenuItems, previous ? previous->buttonItems : nullptr);
  TakeSprite(s.sprites[kButton], buttonSprite.get());
}

void ButtonMenu::Restore(const Snapshot& s) {
  buttonMenuFrame = s.buttonMenu.frame;
  buttonMenuColumns = s.buttonMenu.columns;
  buttonMenuRows = s.buttonMenu.rows;
  GiveItems(buttonMenuItems, buttonMenuCursor, s.buttonItems.get(), s.buttonMenu);
  buttonMenuActive = false;
  if (s.buttonMenu.active) Open();
  GiveSprite(s.sprites[kButton], buttonSprite.get());
}

void FontMenu::Capture(Snapshot& s, const Snapshot* previous) const {
  s.fontMenu.frame = fontMenuFrame;
  s.fontMenu.columns = fontMenuColumns;
  s.fontMenu.rows = fontMenuRows;
  s.fontMenu.hasCursor = fontMenuCursor != fontMenuItems.end();
  s.fontMenu.cursor = s.fontMenu.hasCursor ? fontMenuCursor->first : 0;
  s.fontMenu.active = menuActive;
  s.fontItems = MenuItems(fontMenuItems, previous ? previous->fontItems : nullptr);
}

void FontMenu::Restore(const Snapshot& s) {
  fontMenuFrame = s.fontMenu.frame;
  fontMenuColumns = s.fontMenu.columns;
  fontMenuRows = s.fontMenu.rows;
  GiveItems(fontMenuItems, fontMenuCursor, s.fontItems.get(), s.fontMenu);
  if (s.fontMenu.active) ++openings_;
  menuActive = s.fontMenu.active;
}

void Fades::Settle() {
  imageFadeActive = volumeFadeActive = false;
  fadeSprites.clear();
  fadeTexts.clear();
  imagePhase = musicPhase = FadePhase::Start;
}

}  // namespace msgbox

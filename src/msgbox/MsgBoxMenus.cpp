// Menus: the button menu and font menu blocks, their layout, cursors and
// decisions. The save/load screen is a font menu built in
// MsgBoxSaveData.cpp and decided here.
#include <string>

#include "app/framework/TextFont.h"
#include "gfx/CPolygon.h"
#include "msgbox/CMsgBox.h"
#include "msgbox/MsgBoxSeams.h"
#include "platform/diagnostics/Report.h"
#include "platform/text/TextCodec.h"
#include "script/MenuBlock.h"
#include "script/MenuItems.h"

namespace {
const char kInsideFrame[] = "InsideSerifuFrame";
const char kLeftFrame[] = "Left";

// The screen column the "Left" button menu fills.
constexpr int kLeftColumnWidth = 150;
constexpr int kLeftColumnHeight = 400;

// A grid of no columns or rows is laid out as a single one.
int32_t AtLeastOne(int32_t n) { return n < 1 ? 1 : n; }

template <class Map>
void Advance(Map& items, typename Map::iterator& cursor, bool forward) {
  if (forward) {
    if (++cursor == items.end()) cursor = items.begin();
  } else {
    if (cursor == items.begin()) cursor = items.end();
    --cursor;
  }
}
}  // namespace

namespace msgbox {
ButtonMenu::ButtonMenu() : buttonMenuCursor(buttonMenuItems.end()) {}
ButtonMenu::~ButtonMenu() = default;
FontMenu::FontMenu() : fontMenuCursor(fontMenuItems.end()) {}
FontMenu::~FontMenu() = default;
}  // namespace msgbox

// --- opening a menu (from Step) ---

CMsgBox::Outcome CMsgBox::CmdButtonMenu() { return OpenMenu(true); }
CMsgBox::Outcome CMsgBox::CmdFontMenu() { return OpenMenu(false); }

CMsgBox::Outcome CMsgBox::OpenMenu(bool buttonMenu) {
  std::string& frame = buttonMenu ? buttons_.buttonMenuFrame : fontMenu_.fontMenuFrame;
  if (buttonMenu) {
    buttons_.buttonMenuItems.clear();
    buttons_.buttonMenuColumns = buttons_.buttonMenuRows = 0;
    buttons_.buttonMenuCursor = buttons_.buttonMenuItems.end();
  } else {
    fontMenu_.fontMenuItems.clear();
    fontMenu_.fontMenuColumns = fontMenu_.fontMenuRows = 0;
    fontMenu_.fontMenuCursor = fontMenu_.fontMenuItems.end();
  }
  if (script_.position + 1 >= script_.words.size()) return EndOfWords();
  ++script_.position;
  frame = kInsideFrame;
  if (script_.words[script_.position] != "{") {
    frame = script_.words[script_.position];
    if (script_.position + 1 >= script_.words.size()) return EndOfWords();
    ++script_.position;
  }
  // Without a block the keyword is no command: the word after it is tested
  // against the keywords that follow.
  if (script_.words[script_.position] != "{") return NotMatched();

  const std::string& missingItems =
      buttonMenu ? SJ("ボタンメニューの項目が設定されていません。") : SJ("フォントメニューの項目が設定されていません。");
  HRESULT hr = E_FAIL;
  if (buttonMenu && frame == kInsideFrame) hr = ReadButtonMenu();
  else if (buttonMenu && frame == kLeftFrame) hr = ReadLeftButtonMenu();
  else if (!buttonMenu && frame == kInsideFrame) hr = ReadFontMenu();
  else DXTRACE("CMsgBox", E_FAIL, missingItems, true);  // no reader fits this frame
  if (FAILED(hr)) return Return(E_FAIL);
  if (buttonMenu ? buttons_.buttonMenuItems.empty() : fontMenu_.fontMenuItems.empty()) {
    // A menu without items could never be decided and would hold the
    // script for good: it does not open, and the step goes on after it.
    DXTRACE("CMsgBox", E_FAIL, missingItems, true);
    return Finish();
  }
  if (buttonMenu) {
    buttons_.buttonPictureReported = false;
    buttons_.missingButtonPictures.clear();
  }
  (buttonMenu ? buttons_.buttonMenuActive : fontMenu_.menuActive) = true;
  ++script_.position;  // past the closing "}"; the next step waits for the decision
  return Return(S_OK);
}

// --- reading a block ---

// Reads the block from the "{" at the current word up to the closing "}",
// where it leaves the position (script/MenuBlock.h). Running out of words
// inside the block ends the script; the items read up to there stay.
template <class Item>
HRESULT CMsgBox::ReadMenuBlock(std::map<int32_t, std::unique_ptr<Item>>& items, int32_t& columns, int32_t& rows,
                               const char* missingItemsMessage) {
  if (script_.position >= script_.words.size() || script_.words[script_.position] != "{") {
    DXTRACE("CMsgBox", E_FAIL, missingItemsMessage, true);
    return E_FAIL;
  }
  script::MenuBlock block;
  block.columns = columns;
  block.rows = rows;
  const bool closed = script::ReadMenuBlock(script_.words, script_.position, block);
  columns = block.columns;
  rows = block.rows;
  for (script::MenuBlockItem& entry : block.items) {
    auto item = std::make_unique<Item>();
    item->label = std::move(entry.label);
    item->id = entry.id;
    item->target = std::move(entry.target);
    InsertMenuItem(items, std::move(item));  // a repeated id keeps the first item
  }
  if (!closed) {
    EndOfWords();
    return E_FAIL;
  }
  return S_OK;
}

HRESULT CMsgBox::ReadButtonMenu() {
  HRESULT hr = ReadMenuBlock(buttons_.buttonMenuItems, buttons_.buttonMenuColumns, buttons_.buttonMenuRows,
                             SJ("ボタンメニューの項目が設定されていません。").c_str());
  if (FAILED(hr)) return hr;
  const SpriteRect& f = window_.layout.window;
  LayOutButtons(f.x, f.y, f.w / float(AtLeastOne(buttons_.buttonMenuColumns)), f.h / float(AtLeastOne(buttons_.buttonMenuRows)));
  return S_OK;
}

HRESULT CMsgBox::ReadLeftButtonMenu() {
  HRESULT hr = ReadMenuBlock(buttons_.buttonMenuItems, buttons_.buttonMenuColumns, buttons_.buttonMenuRows,
                             SJ("ボタンメニューの項目が設定されていません。").c_str());
  if (FAILED(hr)) return hr;
  // Whole pixels: the column is cut into integer cells.
  LayOutButtons(0.0f, 0.0f, float(kLeftColumnWidth / AtLeastOne(buttons_.buttonMenuColumns)),
                float(kLeftColumnHeight / AtLeastOne(buttons_.buttonMenuRows)));
  return S_OK;
}

HRESULT CMsgBox::ReadFontMenu() {
  HRESULT hr = ReadMenuBlock(fontMenu_.fontMenuItems, fontMenu_.fontMenuColumns, fontMenu_.fontMenuRows,
                             SJ("フォントメニューの項目が設定されていません。").c_str());
  if (FAILED(hr)) return hr;
  LayOutFontItems();
  return S_OK;
}

// --- layout ---
// Item i lies in column i mod c and row i div c; the row count only sets
// the cell height, so items beyond c x r continue downwards.

void CMsgBox::LayOutButtons(float left, float top, float cellW, float cellH) {
  const int32_t columns = AtLeastOne(buttons_.buttonMenuColumns);
  int32_t i = 0;
  for (auto& [id, item] : buttons_.buttonMenuItems) {
    item->position = {left + float(i % columns) * cellW, top + float(i / columns) * cellH, 1.0f};
    item->size = {cellW, cellH, 0.0f};
    item->basePosition = item->position;
    item->lowerRight = {item->position.x + cellW, item->position.y + cellH, 1.0f};
    ++i;
  }
  buttons_.buttonMenuCursor = buttons_.buttonMenuItems.begin();
  if (buttons_.buttonMenuCursor != buttons_.buttonMenuItems.end()) {
    ButtonMenuItem& first = *buttons_.buttonMenuCursor->second;
    first.position.x -= first.selectionDisplacement.x;
    first.position.y -= first.selectionDisplacement.y;
    first.position.z -= first.selectionDisplacement.z;
  }
}

void CMsgBox::LayOutFontItems() {
  const SpriteRect& f = window_.layout.window;
  const int32_t columns = AtLeastOne(fontMenu_.fontMenuColumns);
  const float cellW = f.w / float(columns);
  const float cellH = f.h / float(AtLeastOne(fontMenu_.fontMenuRows));
  int32_t i = 0;
  for (auto& [id, item] : fontMenu_.fontMenuItems) {
    // Text starts a little in from the cell's corner.
    item->position = {f.x + float(i % columns) * cellW + 20.0f, f.y + float(i / columns) * cellH + 10.0f, 1.0f};
    item->size = {cellW, cellH, 0.0f};
    item->lowerRight = {item->position.x + cellW, item->position.y + cellH, 1.0f};
    item->brightness = item->normalValue;
    ++i;
  }
  fontMenu_.fontMenuCursor = fontMenu_.fontMenuItems.begin();
  if (fontMenu_.fontMenuCursor != fontMenu_.fontMenuItems.end()) fontMenu_.fontMenuCursor->second->brightness = fontMenu_.fontMenuCursor->second->highlightValue;
}

// --- cursors ---

namespace {
void Lift(ButtonMenuItem& item, float sign) {
  item.position.x += sign * item.selectionDisplacement.x;
  item.position.y += sign * item.selectionDisplacement.y;
  item.position.z += sign * item.selectionDisplacement.z;
}
}  // namespace

void CMsgBox::ButtonMenuPrev() {
  if (!buttons_.buttonMenuActive) return;
  msgboxseam::PlaySoundEffect(devices_.soundPlayer, SJ("方向キー音"));
  if (buttons_.buttonMenuCursor == buttons_.buttonMenuItems.end()) return;
  Lift(*buttons_.buttonMenuCursor->second, 1.0f);
  Advance(buttons_.buttonMenuItems, buttons_.buttonMenuCursor, false);
  Lift(*buttons_.buttonMenuCursor->second, -1.0f);
}

void CMsgBox::ButtonMenuNext() {
  if (!buttons_.buttonMenuActive) return;
  msgboxseam::PlaySoundEffect(devices_.soundPlayer, SJ("方向キー音"));
  if (buttons_.buttonMenuCursor == buttons_.buttonMenuItems.end()) return;
  Lift(*buttons_.buttonMenuCursor->second, 1.0f);
  Advance(buttons_.buttonMenuItems, buttons_.buttonMenuCursor, true);
  Lift(*buttons_.buttonMenuCursor->second, -1.0f);
}

namespace {
// Moves one item on and then past unselectable items; with none selectable
// the cursor comes back round to where it was.
void MoveFontCursor(FontMenuItemMap& items, FontMenuItemMap::iterator& cursor, bool forward) {
  cursor->second->brightness = cursor->second->normalValue;
  const auto start = cursor;
  do {
    Advance(items, cursor, forward);
  } while (!cursor->second->selectable && cursor != start);
  cursor->second->brightness = cursor->second->highlightValue;
}
}  // namespace

void CMsgBox::FontMenuPrev() {
  if (!fontMenu_.menuActive) return;
  msgboxseam::PlaySoundEffect(devices_.soundPlayer, SJ("方向キー音"));
  if (fontMenu_.fontMenuCursor != fontMenu_.fontMenuItems.end()) MoveFontCursor(fontMenu_.fontMenuItems, fontMenu_.fontMenuCursor, false);
}

void CMsgBox::FontMenuNext() {
  if (!fontMenu_.menuActive) return;
  msgboxseam::PlaySoundEffect(devices_.soundPlayer, SJ("方向キー音"));
  if (fontMenu_.fontMenuCursor != fontMenu_.fontMenuItems.end()) MoveFontCursor(fontMenu_.fontMenuItems, fontMenu_.fontMenuCursor, true);
}

// --- decisions ---

namespace {
// The script a decision starts: the target, through its variable when it
// begins with "$", with ".Dat" appended. An unknown variable is reported
// and the name goes on unreplaced (opening it then fails visibly).
std::string DecidedScript(const CMsgBox& box, const std::string& target) {
  std::string copy = target;
  if (!copy.empty() && copy[0] == '$' && !box.ReplaceVariable(copy)) {
    DXTRACE("CMsgBox", E_FAIL, SJ("変数の置き換えに失敗"), true);
  }
  return copy + ".Dat";
}
}  // namespace

int32_t CMsgBox::ButtonMenuDecide() {
  // A menu without items has nothing to decide and stays as it is.
  if (!buttons_.buttonMenuActive || buttons_.buttonMenuCursor == buttons_.buttonMenuItems.end()) return 0;
  ActionScope action(*this, ActionKind::New);
  msgboxseam::PlaySoundEffect(devices_.soundPlayer, SJ("決定キー音"));
  currentScriptName = DecidedScript(*this, buttons_.buttonMenuCursor->second->target);
  buttons_.buttonMenuActive = false;
  StartScript(currentScriptName);
  return 1;
}

int32_t CMsgBox::FontMenuDecide() {
  if (!fontMenu_.menuActive || fontMenu_.fontMenuCursor == fontMenu_.fontMenuItems.end()) return 0;
  ActionScope action(*this, ActionKind::New);
  fontMenu_.menuActive = false;
  msgboxseam::PlaySoundEffect(devices_.soundPlayer, SJ("決定キー音"));
  // Copies: saving, loading and starting a script may rebuild the menu.
  const std::string target = fontMenu_.fontMenuCursor->second->target;
  const std::string scriptName = fontMenu_.fontMenuCursor->second->scriptName;
  const std::string script = DecidedScript(*this, target);
  if (saves_.saveMode) {
    saves_.saveMode = false;
    if (target == SJ("$戻る")) currentScriptName = script;
    else Save(scriptName, target);
  } else if (saves_.loadMode) {
    saves_.loadMode = false;
    if (target == SJ("$戻る")) currentScriptName = script;
    else Load(target);
  } else {
    currentScriptName = script;
  }
  StartScript(currentScriptName);
  return 1;
}

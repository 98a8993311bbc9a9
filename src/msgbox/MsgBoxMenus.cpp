// Menus: the button menu and font menu blocks, their layout, cursors and
// decisions. The save/load screen is a font menu built in
// MsgBoxSaveData.cpp and decided here.
#include <string>

#include "msgbox/CMsgBox.h"
#include "msgbox/MsgBoxSeams.h"
#include "platform/Report.h"
#include "platform/TextCodec.h"
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

// --- opening a menu (from Step) ---

CMsgBox::Outcome CMsgBox::CmdButtonMenu() { return OpenMenu(true); }
CMsgBox::Outcome CMsgBox::CmdFontMenu() { return OpenMenu(false); }

CMsgBox::Outcome CMsgBox::OpenMenu(bool buttonMenu) {
  std::string& frame = buttonMenu ? buttonMenuFrame : fontMenuFrame;
  if (buttonMenu) {
    buttonMenuItems.clear();
    buttonMenuColumns = buttonMenuRows = 0;
    buttonMenuCursor = buttonMenuItems.end();
  } else {
    fontMenuItems.clear();
    fontMenuColumns = fontMenuRows = 0;
    fontMenuCursor = fontMenuItems.end();
  }
  if (position + 1 >= words.size()) return EndOfWords();
  ++position;
  frame = kInsideFrame;
  if (words[position] != "{") {
    frame = words[position];
    if (position + 1 >= words.size()) return EndOfWords();
    ++position;
  }
  // Without a block the keyword is no command: the word after it is tested
  // against the keywords that follow.
  if (words[position] != "{") return NotMatched();

  const std::string& missingItems =
      buttonMenu ? SJ("ボタンメニューの項目が設定されていません。") : SJ("フォントメニューの項目が設定されていません。");
  HRESULT hr = E_FAIL;
  if (buttonMenu && frame == kInsideFrame) hr = ReadButtonMenu();
  else if (buttonMenu && frame == kLeftFrame) hr = ReadLeftButtonMenu();
  else if (!buttonMenu && frame == kInsideFrame) hr = ReadFontMenu();
  else DXTRACE("CMsgBox", E_FAIL, missingItems, true);  // no reader fits this frame
  if (FAILED(hr)) return Return(E_FAIL);
  if (buttonMenu ? buttonMenuItems.empty() : fontMenuItems.empty()) {
    // A menu without items could never be decided and would hold the
    // script for good: it does not open, and the step goes on after it.
    DXTRACE("CMsgBox", E_FAIL, missingItems, true);
    return Finish();
  }
  if (buttonMenu) {
    buttonPictureReported_ = false;
    missingButtonPictures_.clear();
  }
  (buttonMenu ? buttonMenuActive : menuActive) = true;
  ++position;  // past the closing "}"; the next step waits for the decision
  return Return(S_OK);
}

// --- reading a block ---

// Reads the block from the "{" at the current word up to the closing "}",
// where it leaves the position (script/MenuBlock.h). Running out of words
// inside the block ends the script; the items read up to there stay.
template <class Item>
HRESULT CMsgBox::ReadMenuBlock(std::map<int32_t, std::unique_ptr<Item>>& items, int32_t& columns, int32_t& rows,
                               const char* missingItemsMessage) {
  if (position >= words.size() || words[position] != "{") {
    DXTRACE("CMsgBox", E_FAIL, missingItemsMessage, true);
    return E_FAIL;
  }
  script::MenuBlock block;
  block.columns = columns;
  block.rows = rows;
  const bool closed = script::ReadMenuBlock(words, position, block);
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
  HRESULT hr = ReadMenuBlock(buttonMenuItems, buttonMenuColumns, buttonMenuRows,
                             SJ("ボタンメニューの項目が設定されていません。").c_str());
  if (FAILED(hr)) return hr;
  const SpriteRect& f = layout.window;
  LayOutButtons(f.x, f.y, f.w / float(AtLeastOne(buttonMenuColumns)), f.h / float(AtLeastOne(buttonMenuRows)));
  return S_OK;
}

HRESULT CMsgBox::ReadLeftButtonMenu() {
  HRESULT hr = ReadMenuBlock(buttonMenuItems, buttonMenuColumns, buttonMenuRows,
                             SJ("ボタンメニューの項目が設定されていません。").c_str());
  if (FAILED(hr)) return hr;
  // Whole pixels: the column is cut into integer cells.
  LayOutButtons(0.0f, 0.0f, float(kLeftColumnWidth / AtLeastOne(buttonMenuColumns)),
                float(kLeftColumnHeight / AtLeastOne(buttonMenuRows)));
  return S_OK;
}

HRESULT CMsgBox::ReadFontMenu() {
  HRESULT hr = ReadMenuBlock(fontMenuItems, fontMenuColumns, fontMenuRows,
                             SJ("フォントメニューの項目が設定されていません。").c_str());
  if (FAILED(hr)) return hr;
  LayOutFontItems();
  return S_OK;
}

// --- layout ---
// Item i lies in column i mod c and row i div c; the row count only sets
// the cell height, so items beyond c x r continue downwards.

void CMsgBox::LayOutButtons(float left, float top, float cellW, float cellH) {
  const int32_t columns = AtLeastOne(buttonMenuColumns);
  int32_t i = 0;
  for (auto& [id, item] : buttonMenuItems) {
    item->position = {left + float(i % columns) * cellW, top + float(i / columns) * cellH, 1.0f};
    item->size = {cellW, cellH, 0.0f};
    item->basePosition = item->position;
    item->lowerRight = {item->position.x + cellW, item->position.y + cellH, 1.0f};
    ++i;
  }
  buttonMenuCursor = buttonMenuItems.begin();
  if (buttonMenuCursor != buttonMenuItems.end()) {
    ButtonMenuItem& first = *buttonMenuCursor->second;
    first.position.x -= first.selectionDisplacement.x;
    first.position.y -= first.selectionDisplacement.y;
    first.position.z -= first.selectionDisplacement.z;
  }
}

void CMsgBox::LayOutFontItems() {
  const SpriteRect& f = layout.window;
  const int32_t columns = AtLeastOne(fontMenuColumns);
  const float cellW = f.w / float(columns);
  const float cellH = f.h / float(AtLeastOne(fontMenuRows));
  int32_t i = 0;
  for (auto& [id, item] : fontMenuItems) {
    // Text starts a little in from the cell's corner.
    item->position = {f.x + float(i % columns) * cellW + 20.0f, f.y + float(i / columns) * cellH + 10.0f, 1.0f};
    item->size = {cellW, cellH, 0.0f};
    item->lowerRight = {item->position.x + cellW, item->position.y + cellH, 1.0f};
    item->brightness = item->normalValue;
    ++i;
  }
  fontMenuCursor = fontMenuItems.begin();
  if (fontMenuCursor != fontMenuItems.end()) fontMenuCursor->second->brightness = fontMenuCursor->second->highlightValue;
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
  if (!buttonMenuActive) return;
  msgboxseam::PlaySoundEffect(soundPlayer, SJ("方向キー音"));
  if (buttonMenuCursor == buttonMenuItems.end()) return;
  Lift(*buttonMenuCursor->second, 1.0f);
  Advance(buttonMenuItems, buttonMenuCursor, false);
  Lift(*buttonMenuCursor->second, -1.0f);
}

void CMsgBox::ButtonMenuNext() {
  if (!buttonMenuActive) return;
  msgboxseam::PlaySoundEffect(soundPlayer, SJ("方向キー音"));
  if (buttonMenuCursor == buttonMenuItems.end()) return;
  Lift(*buttonMenuCursor->second, 1.0f);
  Advance(buttonMenuItems, buttonMenuCursor, true);
  Lift(*buttonMenuCursor->second, -1.0f);
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
  if (!menuActive) return;
  msgboxseam::PlaySoundEffect(soundPlayer, SJ("方向キー音"));
  if (fontMenuCursor != fontMenuItems.end()) MoveFontCursor(fontMenuItems, fontMenuCursor, false);
}

void CMsgBox::FontMenuNext() {
  if (!menuActive) return;
  msgboxseam::PlaySoundEffect(soundPlayer, SJ("方向キー音"));
  if (fontMenuCursor != fontMenuItems.end()) MoveFontCursor(fontMenuItems, fontMenuCursor, true);
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
  if (!buttonMenuActive || buttonMenuCursor == buttonMenuItems.end()) return 0;
  ActionScope action(*this, ActionKind::New);
  msgboxseam::PlaySoundEffect(soundPlayer, SJ("決定キー音"));
  currentScriptName = DecidedScript(*this, buttonMenuCursor->second->target);
  buttonMenuActive = false;
  StartScript(currentScriptName);
  return 1;
}

int32_t CMsgBox::FontMenuDecide() {
  if (!menuActive || fontMenuCursor == fontMenuItems.end()) return 0;
  ActionScope action(*this, ActionKind::New);
  menuActive = false;
  msgboxseam::PlaySoundEffect(soundPlayer, SJ("決定キー音"));
  // Copies: saving, loading and starting a script may rebuild the menu.
  const std::string target = fontMenuCursor->second->target;
  const std::string scriptName = fontMenuCursor->second->scriptName;
  const std::string script = DecidedScript(*this, target);
  if (saveMode) {
    saveMode = false;
    if (target == SJ("$戻る")) currentScriptName = script;
    else Save(scriptName, target);
  } else if (loadMode) {
    loadMode = false;
    if (target == SJ("$戻る")) currentScriptName = script;
    else Load(target);
  } else {
    currentScriptName = script;
  }
  StartScript(currentScriptName);
  return 1;
}

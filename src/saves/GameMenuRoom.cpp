#include "saves/GameMenuRoom.h"

#include "comfort/Panel.h"
#include "framework/GameFaces.h"
#include "framework/TextFont.h"
#include "input/GameActions.h"
#include "platform/text/TextCodec.h"
#include "platform/text/UiText.h"

namespace saves {
using platform::Key;
using platform::MouseButton;
using Type = platform::Event::Type;

namespace {
constexpr uint32_t kCursor = 0xFF3A5FCD, kPanel = 0xFF202A40, kText = 0xFFFFFFFF, kDim = 0xFFB0B8C8;

}  // namespace

std::string GameMenuRoom::RowName(int32_t row) {
  static const char* const kNames[GameMenuRoom::kRows] = {
      TR_NOOP("セーブ"), TR_NOOP("ロード"),         TR_NOOP("クイックセーブ (F5)"), TR_NOOP("クイックロード (F9)"),
      TR_NOOP("履歴"),   TR_NOOP("設定"),           TR_NOOP("タイトルに戻る"),      TR_NOOP("ゲームを終了する")};
  // In the language of our screens (the msgids are the original's texts).
  return row >= 0 && row < GameMenuRoom::kRows ? platform::Tr(kNames[row]) : "";
}

GameMenuRoom::GameMenuRoom() : text_(SJ(gamefaces::kMessageFace), 16) {}

void GameMenuRoom::Open() {
  open_ = true;
  asking_ = false;
  cursor_ = 0;
}

int32_t GameMenuRoom::RowAt(int32_t x, int32_t y) {
  if (x < kLeft || x >= kLeft + kWidth || y < kTop) return -1;
  const int32_t row = (y - kTop) / kRowHeight;
  return row < kRows ? row : -1;
}

void GameMenuRoom::Take(int32_t row) {
  if (row < 0 || row >= kRows) return;
  if (row == kTitle && !asking_) {
    asking_ = true;
    yes_ = false;
    return;
  }
  Close();
  if (actions[size_t(row)]) actions[size_t(row)]();
}

void GameMenuRoom::Answer(bool yes) {
  asking_ = false;
  if (!yes) return;
  Close();
  if (actions[kTitle]) actions[kTitle]();
}

void GameMenuRoom::TakeEvent(const platform::Event& e) {
  switch (e.type) {
    case Type::KeyDown:
      if (e.key == Key::Escape) asking_ ? void(asking_ = false) : Close();
      else if (e.key == Key::Return || e.key == Key::KeypadEnter) asking_ ? Answer(yes_) : Take(cursor_);
      break;
    case Type::MouseDown:
      if (e.mouse == MouseButton::Right) {
        asking_ ? void(asking_ = false) : Close();
      } else if (e.mouse == MouseButton::Left) {
        const int32_t row = RowAt(e.x, e.y);
        if (asking_) {
          // The question stands on the title row: yes to the left, no to the right.
          if (row == kTitle) Answer(e.x < kLeft + kWidth / 2);
        } else if (row >= 0) {
          cursor_ = row;
          Take(row);
        }
      }
      break;
    case Type::MouseMotion:
      if (!asking_) {
        const int32_t row = RowAt(e.x, e.y);
        if (row >= 0) cursor_ = row;
      }
      break;
    default:
      break;
  }
}

void GameMenuRoom::TakeControls(const int32_t* a, bool decidePressed) {
  if (!open_) return;
  if (asking_) {
    if (a[ACT_LEFT] || a[ACT_RIGHT] || a[ACT_UP] || a[ACT_DOWN]) yes_ = !yes_;
    if (a[ACT_CANCEL]) asking_ = false;
    else if (decidePressed) Answer(yes_);
    return;
  }
  if (a[ACT_UP]) cursor_ = (cursor_ + kRows - 1) % kRows;
  if (a[ACT_DOWN]) cursor_ = (cursor_ + 1) % kRows;
  if (a[ACT_CANCEL]) Close();
  else if (decidePressed) Take(cursor_);
}

void GameMenuRoom::Render() {
  if (!open_) return;
  platform::Device* device = TextFont::GetDevice();
  if (!device) return;
  comfort::Panel::Draw(*device, text_, comfort::Utf8{platform::Tr("メニュー")});
  for (int32_t i = 0; i < kRows; ++i) {
    const float top = float(kTop + i * kRowHeight);
    comfort::FillRect(*device, float(kLeft), top, float(kWidth), float(kRowHeight - 4), i == cursor_ && !asking_ ? kCursor : kPanel);
    if (asking_ && i == kTitle) {
      comfort::FillRect(*device, float(kLeft + (yes_ ? 0 : kWidth / 2)), top, float(kWidth / 2), float(kRowHeight - 4), kCursor);
      text_.Draw(*device, comfort::Utf8{platform::Tr("戻る")}, float(kLeft + 12), top + 7.0f, kText);
      text_.Draw(*device, comfort::Utf8{platform::Tr("やめる")}, float(kLeft + kWidth / 2 + 12), top + 7.0f, kText);
    } else {
      text_.Draw(*device, comfort::Utf8{RowName(i)}, float(kLeft + 12), top + 7.0f, kText);
    }
  }
  const comfort::Utf8 hint{asking_ ? platform::Tr("タイトルに戻りますか？ 今の進み具合はオートセーブに残ります。")
                                   : platform::Tr("↑↓: 選ぶ　決定 / クリック: 開く　Esc / 右クリック: 閉じる")};
  text_.Draw(*device, hint, float(comfort::Panel::kLeft + 24), float(kTop + kRows * kRowHeight + 8), kDim);
}

}  // namespace saves

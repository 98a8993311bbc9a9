#include "saves/SlotScreenRoom.h"

#include <ctime>

#include "comfort/Panel.h"
#include "framework/GameFaces.h"
#include "framework/TextFont.h"
#include "input/GameActions.h"
#include "platform/diagnostics/Trace.h"
#include "platform/files/PngReader.h"
#include "platform/text/TextCodec.h"
#include "platform/text/UiText.h"

namespace saves {
using platform::Key;
using platform::MouseButton;
using Type = platform::Event::Type;

namespace {
constexpr uint32_t kCursor = 0xFF3A5FCD, kPanel = 0xFF202A40, kText = 0xFFFFFFFF, kDim = 0xFFB0B8C8;
constexpr float kThumbW = 120.0f, kThumbH = 90.0f;
constexpr size_t kFirstWords = 18;  // bytes of the message shown in a cell (9 full-width characters)

// Cut on a character boundary.
std::string FirstWords(const std::string& cp932, size_t bytes) {
  std::string out;
  for (size_t i = 0; i < cp932.size();) {
    if (cp932[i] == '\n') {
      ++i;
      continue;
    }
    const size_t n = platform::IsLeadByte(static_cast<unsigned char>(cp932[i])) && i + 1 < cp932.size() ? 2 : 1;
    if (out.size() + n > bytes) return out + "...";
    out.append(cp932, i, n);
    i += n;
  }
  return out;
}

std::string When(int64_t t) {
  const std::time_t tt = static_cast<std::time_t>(t);
  std::tm tm{};
  localtime_r(&tt, &tm);
  char buf[64];
  std::strftime(buf, sizeof buf, "%Y/%m/%d %H:%M", &tm);
  return buf;
}
}  // namespace

std::string SlotScreenRoom::Face() { return SJ(gamefaces::kMessageFace); }

std::string SlotScreenRoom::NameAt(int32_t page, int32_t cell) const {
  if (cell < 0 || cell >= kPerPage || page < 0 || page >= Pages()) return {};
  if (!saving_) {
    if (page < kAutoPages) {
      const int32_t i = page * kPerPage + cell;  // 0: the quick save, 1..10: the autosaves
      if (i == 0) return SavePlace::QuickName();
      return i - 1 < SavePlace::kAutoRing ? SavePlace::AutoName(i - 1) : std::string();
    }
    page -= kAutoPages;
  }
  return SavePlace::SlotName(page * kPerPage + cell + 1);
}

void SlotScreenRoom::Open(bool saving) {
  open_ = true;
  saving_ = saving;
  // The load screen opens on the slots, the autosaves a page back.
  page_ = saving ? 0 : kAutoPages;
  cursor_ = 0;
  ask_ = Ask::None;
  ReadPage();
}

void SlotScreenRoom::Close() {
  open_ = false;
  ask_ = Ask::None;
  for (Shown& c : cells_) c = {};
}

void SlotScreenRoom::ReadPage() {
  platform::Device* device = TextFont::GetDevice();
  for (int32_t i = 0; i < kPerPage; ++i) {
    Shown& c = cells_[size_t(i)];
    c = {};
    const std::string name = NameAt(page_, i);
    std::string bytes, why;
    if (name.empty() || !place_.Read(name, bytes) || !DecodeSummary(bytes, c.summary, why)) continue;
    c.exists = true;
    platform::Image image;
    if (device && !c.summary.thumbnailPng.empty() && platform::DecodePng(c.summary.thumbnailPng, image))
      c.picture = device->CreateTexture(image.width, image.height, image.argb.data());
  }
}

void SlotScreenRoom::Turn(int32_t delta) {
  const int32_t pages = Pages();
  page_ = ((page_ + delta) % pages + pages) % pages;
  ReadPage();
}

int32_t SlotScreenRoom::CellAt(int32_t x, int32_t y) {
  if (x < kLeft || y < kTop) return -1;
  const auto col = static_cast<int32_t>((float(x) - kLeft) / kCellW);
  const auto row = static_cast<int32_t>((float(y) - kTop) / kCellH);
  if (col > 1 || row > 2) return -1;
  return row * 2 + col;
}

void SlotScreenRoom::Take() {
  const Shown& c = cells_[size_t(cursor_)];
  const std::string name = NameAt(page_, cursor_);
  if (name.empty()) return;
  if (saving_) {
    if (c.exists) {
      ask_ = Ask::Overwrite;
      yes_ = false;
      return;
    }
    Close();
    if (save) save(name);
  } else if (c.exists) {
    Close();
    if (load) load(name);
  }
}

void SlotScreenRoom::Answer(bool yes) {
  const Ask asked = ask_;
  ask_ = Ask::None;
  if (!yes) return;
  const std::string name = NameAt(page_, cursor_);
  if (asked == Ask::Overwrite) {
    Close();
    if (save) save(name);
  } else if (asked == Ask::Delete) {
    place_.Remove(name);
    ReadPage();
  }
}

void SlotScreenRoom::TakeEvent(const platform::Event& e) {
  switch (e.type) {
    case Type::KeyDown:
      if (e.key == Key::Escape) ask_ != Ask::None ? void(ask_ = Ask::None) : Close();
      else if (e.key == Key::Return || e.key == Key::KeypadEnter) ask_ != Ask::None ? Answer(yes_) : Take();
      else if (ask_ == Ask::None && e.key == Key::PageUp) Turn(-1);
      else if (ask_ == Ask::None && e.key == Key::PageDown) Turn(1);
      else if (ask_ == Ask::None && e.key == static_cast<Key>(76) && cells_[size_t(cursor_)].exists) {  // Delete
        ask_ = Ask::Delete;
        yes_ = false;
      }
      break;
    case Type::MouseDown:
      if (e.mouse == MouseButton::Right) {
        ask_ != Ask::None ? void(ask_ = Ask::None) : Close();
      } else if (e.mouse == MouseButton::Left) {
        if (ask_ != Ask::None) {
          // The question's two answers stand below the page: yes left, no right.
          if (e.y >= kTop + 3 * kCellH) Answer(e.x < 320);
        } else if (const int32_t cell = CellAt(e.x, e.y); cell >= 0) {
          cursor_ = cell;
          Take();
        }
      }
      break;
    case Type::MouseMotion:
      if (ask_ == Ask::None)
        if (const int32_t cell = CellAt(e.x, e.y); cell >= 0) cursor_ = cell;
      break;
    case Type::MouseWheel:
      if (ask_ == Ask::None) Turn(e.wheel > 0 ? -1 : 1);
      break;
    default:
      break;
  }
}

void SlotScreenRoom::TakeControls(const int32_t* a, bool decidePressed) {
  if (!open_) return;
  if (ask_ != Ask::None) {
    if (a[ACT_LEFT] || a[ACT_RIGHT]) yes_ = !yes_;
    if (a[ACT_CANCEL]) ask_ = Ask::None;
    else if (decidePressed) Answer(yes_);
    return;
  }
  if (a[ACT_LEFT]) Turn(-1);
  if (a[ACT_RIGHT]) Turn(1);
  if (a[ACT_UP]) cursor_ = (cursor_ + kPerPage - 2) % kPerPage;
  if (a[ACT_DOWN]) cursor_ = (cursor_ + 2) % kPerPage;
  if (a[ACT_CANCEL]) Close();
  else if (decidePressed) Take();
}

void SlotScreenRoom::Render() {
  if (!open_) return;
  platform::Device* device = TextFont::GetDevice();
  if (!device) return;
  const std::string note = std::to_string(page_ + 1) + " / " + std::to_string(Pages());
  comfort::Panel::Draw(*device, text_, comfort::Utf8{platform::Tr(saving_ ? TR_NOOP("セーブ") : TR_NOOP("ロード"))},
                       note);
  for (int32_t i = 0; i < kPerPage; ++i) {
    const Shown& c = cells_[size_t(i)];
    const float x = kLeft + float(i % 2) * kCellW, y = kTop + float(i / 2) * kCellH;
    comfort::FillRect(*device, x, y, kCellW - 8, kCellH - 8, i == cursor_ ? kCursor : kPanel);
    const std::string name = NameAt(page_, i);
    // In the language of our screens (UTF-8; the names' numbers are ASCII).
    const std::string label = name.rfind("slot", 0) == 0 ? "No." + name.substr(5, 2)
                              : name.rfind("auto", 0) == 0 ? platform::Tr("オート") + (" " + name.substr(5, 2))
                                                           : std::string(platform::Tr("クイック"));
    if (c.picture) {
      const platform::Vertex v[4] = {{x + 6, y + 6, 0, 1, 0xFFFFFFFF, 0, 0},
                                     {x + 6 + kThumbW, y + 6, 0, 1, 0xFFFFFFFF, 1, 0},
                                     {x + 6 + kThumbW, y + 6 + kThumbH, 0, 1, 0xFFFFFFFF, 1, 1},
                                     {x + 6, y + 6 + kThumbH, 0, 1, 0xFFFFFFFF, 0, 1}};
      device->DrawQuad(v, c.picture);
    } else {
      comfort::FillRect(*device, x + 6, y + 6, kThumbW, kThumbH, 0xFF101420);
    }
    const float tx = x + kThumbW + 14;
    text_.Draw(*device, comfort::Utf8{label}, tx, y + 8, kDim);
    if (c.exists) {
      text_.Draw(*device, When(c.summary.time), tx, y + 28, kText);
      text_.Draw(*device, FirstWords(c.summary.speaker, 20), tx, y + 50, kText);
      text_.Draw(*device, FirstWords(c.summary.text, kFirstWords), tx, y + 70, kText);
    } else {
      text_.Draw(*device, comfort::Utf8{platform::Tr("空き")}, tx, y + 28, kDim);
    }
  }
  const float hy = kTop + 3 * kCellH + 4;
  if (ask_ != Ask::None) {
    const char* question = ask_ == Ask::Overwrite ? TR_NOOP("上書きしますか？") : TR_NOOP("消しますか？");
    text_.Draw(*device, comfort::Utf8{platform::Tr(question)}, kLeft, hy, kText);
    comfort::FillRect(*device, yes_ ? 200.0f : 330.0f, hy - 2, 110, 24, kCursor);
    text_.Draw(*device, comfort::Utf8{platform::Tr("はい")}, 220, hy, kText);
    text_.Draw(*device, comfort::Utf8{platform::Tr("いいえ")}, 350, hy, kText);
  } else {
    text_.Draw(*device, comfort::Utf8{platform::Tr("←→ / ホイール: ページ　決定 / クリック: 選ぶ　Delete: 消す　Esc / 右クリック: 閉じる")},
               kLeft, hy, kDim);
  }
}

void SlotScreenRoom::Trace(std::string& members) const {
  if (!open_) {
    members += ",\"saveScreen\":null";
    return;
  }
  members += std::string(",\"saveScreen\":{\"mode\":\"") + (saving_ ? "save" : "load") +
             "\",\"page\":" + std::to_string(page_) + ",\"cursor\":" + std::to_string(cursor_) + "}";
}

}  // namespace saves

#include "comfort/HistoryRoom.h"

#include "comfort/HistoryView.h"
#include "comfort/Panel.h"
#include "input/GameActions.h"
#include "msgbox/Translation.h"
#include "platform/text/TextCodec.h"
#include "platform/diagnostics/Trace.h"

namespace comfort {
using platform::Key;
using platform::MouseButton;
using Type = platform::Event::Type;

HistoryRoom::HistoryRoom() { history_.SetPage(HistoryView::kPageHeight, HistoryView::EntryHeight); }
HistoryRoom::~HistoryRoom() = default;

void HistoryRoom::Add(const std::string& speaker, const std::string& text) {
  history_.Add(speaker, text);
  View().Prepare(history_.Entries().back());
}

void HistoryRoom::Add(HistoryEntry entry) {
  Show(entry);
  history_.Add(std::move(entry));
  View().Prepare(history_.Entries().back());
}

HistoryView& HistoryRoom::View() {
  if (!view_) view_ = std::make_unique<HistoryView>();
  return *view_;
}

void HistoryRoom::Translate(std::shared_ptr<const msgbox::Translation> translation) {
  if (translation == translation_) return;
  translation_ = std::move(translation);
  for (HistoryEntry& e : history_.Edit()) Show(e);
  // Heights changed with the words: an open page starts again at the newest.
  if (history_.IsOpen()) history_.Open();
}

void HistoryRoom::Show(HistoryEntry& e) {
  e.translated = false;
  e.shownSpeaker.clear();
  e.shownText.clear();
  if (!translation_) return;
  const std::string* label = nullptr;
  if (!e.speaker.empty() && e.labelWord != static_cast<size_t>(-1))
    label = translation_->Text(e.labelScript, e.labelWord, e.speaker);
  const std::string* text = e.word != static_cast<size_t>(-1) ? translation_->Text(e.script, e.word, e.original) : nullptr;
  if (!label && !text) return;  // the original, as it was typed
  e.translated = true;
  e.shownSpeaker = label ? *label : platform::Cp932ToUtf8(e.speaker);
  e.shownText = View().Rows(text ? *text : platform::Cp932ToUtf8(e.original), translation_->Language());
}

void HistoryRoom::TakeEvent(const platform::Event& e) {
  switch (e.type) {
    case Type::KeyDown:
      if (e.key == Key::Escape) history_.Close();
      else if (e.key == Key::PageUp) history_.Scroll(-static_cast<long>(history_.Shown()));
      else if (e.key == Key::PageDown) history_.Scroll(static_cast<long>(history_.Shown()));
      break;
    case Type::MouseMotion:
      hovered_ = EntryAt(e.x, e.y);
      break;
    case Type::MouseDown:
      if (e.mouse == MouseButton::Right) history_.Close();
      else if (e.mouse == MouseButton::Left && roll_) RollTo(EntryAt(e.x, e.y));
      break;
    case Type::MouseWheel:
      if (e.wheel > 0) history_.Scroll(-1);
      else if (!history_.Scroll(1)) history_.Close();  // down past the newest
      hovered_ = -1;  // the page moved under the pointer
      break;
    default:
      break;
  }
}

void HistoryRoom::TakeControls(const int32_t* actions, bool decidePressed) {
  if (actions[ACT_UP] || actions[ACT_DOWN]) hovered_ = -1;
  if (actions[ACT_UP]) history_.Scroll(-1);
  if (actions[ACT_DOWN]) history_.Scroll(1);
  if (actions[ACT_CANCEL]) history_.Close();
  else if (decidePressed && roll_) RollTo(Target());
}

long HistoryRoom::EntryAt(int32_t x, int32_t y) const {
  if (!history_.IsOpen() || x < Panel::kLeft || x >= Panel::kRight) return -1;
  float top = HistoryView::kPageTop;
  for (size_t i = history_.First(); i < history_.First() + history_.Shown(); ++i) {
    const float bottom = top + HistoryView::EntryHeight(history_.Entries()[i]);
    if (float(y) >= top && float(y) < bottom) return long(i);
    top = bottom;
  }
  return -1;
}

long HistoryRoom::Target() const {
  if (!roll_ || !history_.IsOpen() || history_.Empty()) return -1;
  const bool onPage = hovered_ >= long(history_.First()) && hovered_ < long(history_.First() + history_.Shown());
  return onPage ? hovered_ : long(history_.First() + history_.Shown()) - 1;
}

bool HistoryRoom::RollTo(long entry) {
  if (entry < 0 || size_t(entry) >= history_.Entries().size()) return false;
  // The entries kept are the newest of all the messages numbered so far.
  const uint64_t n = history_.Added() - history_.Entries().size() + uint64_t(entry) + 1;
  if (!roll_(n)) return false;
  history_.Close();
  hovered_ = -1;
  return true;
}

void HistoryRoom::Render() {
  if (history_.IsOpen() && view_) view_->Render(history_, Target());
}

void HistoryRoom::Trace(std::string& members) const {
  members += ",\"historyOpen\":";
  members += history_.IsOpen() ? "true" : "false";
  members += ",\"historyFirst\":" + std::to_string(history_.First());
  members += ",\"history\":[";
  for (size_t i = 0; i < history_.Entries().size(); ++i) {
    const HistoryEntry& e = history_.Entries()[i];
    if (i) members += ',';
    if (e.translated)
      members += "{\"speaker\":" + platform::JsonString(e.shownSpeaker) + ",\"text\":" + platform::JsonString(e.shownText) + "}";
    else
      members += "{\"speaker\":" + platform::JsonCp932(e.speaker) + ",\"text\":" + platform::JsonCp932(e.text) + "}";
  }
  members += "]";
}

}  // namespace comfort

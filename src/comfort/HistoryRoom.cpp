#include "comfort/HistoryRoom.h"

#include "comfort/HistoryView.h"
#include "input/GameActions.h"
#include "platform/diagnostics/Trace.h"

namespace comfort {
using platform::Key;
using platform::MouseButton;
using Type = platform::Event::Type;

HistoryRoom::HistoryRoom() { history_.SetPage(HistoryView::kPageHeight, HistoryView::EntryHeight); }
HistoryRoom::~HistoryRoom() = default;

void HistoryRoom::Add(const std::string& speaker, const std::string& text) {
  history_.Add(speaker, text);
  if (!view_) view_ = std::make_unique<HistoryView>();
  view_->Prepare(history_.Entries().back());
}

void HistoryRoom::TakeEvent(const platform::Event& e) {
  switch (e.type) {
    case Type::KeyDown:
      if (e.key == Key::Escape) history_.Close();
      else if (e.key == Key::PageUp) history_.Scroll(-static_cast<long>(history_.Shown()));
      else if (e.key == Key::PageDown) history_.Scroll(static_cast<long>(history_.Shown()));
      break;
    case Type::MouseDown:
      if (e.mouse == MouseButton::Right) history_.Close();
      break;
    case Type::MouseWheel:
      if (e.wheel > 0) history_.Scroll(-1);
      else if (!history_.Scroll(1)) history_.Close();  // down past the newest
      break;
    default:
      break;
  }
}

void HistoryRoom::TakeControls(const int32_t* actions, bool) {
  if (actions[ACT_UP]) history_.Scroll(-1);
  if (actions[ACT_DOWN]) history_.Scroll(1);
  if (actions[ACT_CANCEL]) history_.Close();
}

void HistoryRoom::Render() {
  if (history_.IsOpen() && view_) view_->Render(history_);
}

void HistoryRoom::Trace(std::string& members) const {
  members += ",\"historyOpen\":";
  members += history_.IsOpen() ? "true" : "false";
  members += ",\"historyFirst\":" + std::to_string(history_.First());
  members += ",\"history\":[";
  for (size_t i = 0; i < history_.Entries().size(); ++i) {
    const HistoryEntry& e = history_.Entries()[i];
    if (i) members += ',';
    members += "{\"speaker\":" + platform::JsonCp932(e.speaker) + ",\"text\":" + platform::JsonCp932(e.text) + "}";
  }
  members += "]";
}

}  // namespace comfort

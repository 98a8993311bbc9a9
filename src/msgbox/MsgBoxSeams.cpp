// The seams for what drives the game besides the script's own input: the
// pointer over the menus, and the record of each message shown.
#include "msgbox/CMsgBox.h"


bool CMsgBox::MenuItemAt(float x, float y, int32_t& id) const {
  if (buttons_.ItemAt(x, y, id)) return true;
  return fontMenu_.ItemAt(x, y, id);
}

void CMsgBox::MoveMenuCursorTo(int32_t id) {
  // Only one of the two menus is open at a time; the closed one ignores it.
  buttons_.MoveTo(id, devices_);
  fontMenu_.MoveTo(id, devices_);
}

void CMsgBox::NotifyMessageShown() {
  ShownMessage m;
  m.speaker = window_.SpeakerLabel();
  std::string text = window_.MessageText();
  if (!m.speaker.empty() && text.compare(0, m.speaker.size(), m.speaker) == 0) text.erase(0, m.speaker.size());
  // Rows are typed two line feeds apart; the record keeps one per row.
  std::string rows;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    rows += text[i];
  }
  while (!rows.empty() && rows.back() == '\n') rows.pop_back();
  m.text = std::move(rows);
  m.script = OpenScriptName();
  m.word = script_.Position();
  m.original = textOrigin_.original;
  if (!m.speaker.empty() && speakerOrigin_.original == m.speaker) {
    m.labelScript = speakerOrigin_.script;
    m.labelWord = speakerOrigin_.word;
  }
  messageObserver_(m);
}

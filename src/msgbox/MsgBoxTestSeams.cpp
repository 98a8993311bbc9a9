// Seams through which tests, benchmarks and fuzzers put the message window
// into a state a script would otherwise reach in many steps.
#include <string>
#include <utility>
#include <vector>

#include "msgbox/CMsgBox.h"
#include "script/MenuItems.h"

void CMsgBox::ReplaceWords(std::vector<std::string> words) {
  script_.ReplaceWords(std::move(words));
  window_.BreakRows();
}

void CMsgBox::ForceHold(Hold what, bool on) {
  switch (what) {
    case Hold::ButtonMenu: buttons_.SetActive(on); break;
    case Hold::FontMenu: fontMenu_.SetActive(on); break;
    case Hold::ImageFade: fades_.Hold(true, on); break;
    case Hold::MusicFade: fades_.Hold(false, on); break;
    case Hold::Running: script_.SetRunning(on); break;
    case Hold::Typing: window_.SetTyping(on); break;
  }
}

void CMsgBox::InsertButtonItem(std::unique_ptr<ButtonMenuItem> item) {
  buttons_.Add(std::move(item));
}

void CMsgBox::SetFontItemSelectable(int32_t id, bool selectable) {
  fontMenu_.SetSelectable(id, selectable);
}

void CMsgBox::OpenSaveLoadScreen(bool saving, std::string argument) {
  saves_.OpenScreen(saving, argument, script_.TextFile(), fontMenu_, window_.DialogueFrame());
}

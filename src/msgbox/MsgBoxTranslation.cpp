// The message box in a translation: the message on screen, the speaker's
// label, the text menu's items and the save/load screen shown in the
// translation's words, the original's state kept underneath unchanged.
#include "msgbox/CMsgBox.h"
#include "platform/text/TextCodec.h"

std::string CMsgBox::TranslatedMessage() {
  const std::string& label = window_.SpeakerLabel();
  shownLabel_.clear();
  if (!label.empty()) {
    const std::string* t = nullptr;
    if (speakerOrigin_.original == label) t = translation_->Text(speakerOrigin_.script, speakerOrigin_.word, label);
    shownLabel_ = t ? *t : platform::Cp932ToUtf8(label);
  }
  if (textOrigin_.original.empty() && window_.GivenText().empty()) return shownLabel_;
  const std::string* text = translation_->Text(textOrigin_.script, textOrigin_.word, textOrigin_.original);
  return shownLabel_ + (text ? *text : platform::Cp932ToUtf8(textOrigin_.original));
}

void CMsgBox::SetTranslation(std::shared_ptr<const msgbox::Translation> translation) {
  translation_ = std::move(translation);
  saves_.UseTranslation(translation_.get());
  if (translation_) {
    // A cleared window stays clear; a message shows again in the new words.
    const std::string shown = window_.GivenText().empty() ? std::string() : TranslatedMessage();
    window_.ReshowTranslated(shown, translation_->Language());
  } else {
    shownLabel_ = window_.SpeakerLabel();
    window_.ShowOriginal();
  }
  TranslateMenus();
}

void CMsgBox::TranslateMenus() {
  if (saves_.SaveMode() || saves_.LoadMode()) {
    saves_.TranslateScreen(fontMenu_);
    return;
  }
  for (auto& [id, item] : fontMenu_.Items()) {
    item->shown.clear();
    if (!translation_ || item->labelWord == static_cast<size_t>(-1)) continue;
    if (const std::string* t = translation_->Text(menuScript_, item->labelWord, item->label)) item->shown = *t;
  }
}

// The message window: set-up, layout, the speaker, the message and its
// typewriter, the wait cursor and the order of drawing.
#include "msgbox/MessageWindow.h"

#include <algorithm>
#include <string>

#include "framework/TextFont.h"
#include "framework/TextLayout.h"
#include "gfx/CAnimPolygon.h"
#include "gfx/CPolygon.h"
#include "platform/text/TextBreaks.h"
#include "platform/text/TextCodec.h"

namespace msgbox {

namespace {
const char kPictureFrameTexture[] = "MsgBox\\CharaPicFrame.dds";
const char kWindowTexture[] = "MsgBox\\MsgBox.dds";
const char kCursorTexture[] = "MsgBox\\Cursor.tga";
constexpr float kCursorInterval = 0.3f;  // seconds per cursor frame

// Byte offsets at which a message is broken into rows of 26 full-width characters.
constexpr size_t kSecondRow = 52;
constexpr size_t kThirdRow = 104;
const char kRowBreak[] = "\n\n";
}  // namespace

MessageWindow::MessageWindow() = default;
MessageWindow::~MessageWindow() = default;

void MessageWindow::Create(const std::string& faceName, int pointSize, int flags) {
  pictureFrameSprite = std::make_unique<CPolygon>();
  speakerSprite = std::make_unique<CPolygon>();
  windowSprite = std::make_unique<CPolygon>();
  messageTextObject = std::make_unique<TextFont>();
  messageTextObject->createFont(faceName, pointSize, flags);
  cursorSprite = std::make_unique<CAnimPolygon>();
  bgSprite = std::make_unique<CPolygon>();
  rightSprite = std::make_unique<CPolygon>();
  centerSprite = std::make_unique<CPolygon>();
  leftSprite = std::make_unique<CPolygon>();
  wideCenterSprite = std::make_unique<CPolygon>();

  pictureFrameSprite->SetTexture(kPictureFrameTexture);
  windowSprite->SetTexture(kWindowTexture);
  cursorSprite->SetTexture(kCursorTexture);
}

std::vector<std::string> MessageWindow::OwnPictures() {
  return {kPictureFrameTexture, kWindowTexture, kCursorTexture};
}

void MessageWindow::Release() {
  pictureFrameSprite.reset();
  speakerSprite.reset();
  windowSprite.reset();
  messageTextObject.reset();
  cursorSprite.reset();
  bgSprite.reset();
  rightSprite.reset();
  leftSprite.reset();
  centerSprite.reset();
  wideCenterSprite.reset();
}

void MessageWindow::SetLayout(const MsgBoxLayout& l) {
  layout.bg = l.bg;
  layout.pictureFrame = l.pictureFrame;
  layout.speaker = l.speaker;
  layout.window = l.window;
  layout.alpha = l.alpha;

  auto place = [](CPolygon& sprite, const SpriteRect& r, int alpha) {
    sprite.Set(r.x, r.y, r.z, r.w, r.h, r.d, alpha, 0);
  };
  place(*bgSprite, l.bg, l.alpha);
  place(*pictureFrameSprite, l.pictureFrame, l.alpha);
  place(*speakerSprite, l.speaker, l.alpha);
  place(*windowSprite, l.window, l.alpha);

  // The cursor: four frames side by side in one texture, at the window's
  // lower-right corner.
  const SpriteRect& w = l.window;
  cursorSprite->Setup({{0.0f, 0.0f, 0.25f, 1.0f}, {0.25f, 0.0f, 0.5f, 1.0f}, {0.5f, 0.0f, 0.75f, 1.0f},
                       {0.75f, 0.0f, 1.0f, 1.0f}},
                      kCursorInterval, w.x + w.w - 20, w.y + w.h - 30, 0.9f, 24, 32, 0, l.alpha, 0);

  messageTextObject->setColor(255, 255, 255, 255);
  messageTextObject->setAlpha(l.alpha);
  messageTextObject->x = w.x + 20;
  messageTextObject->y = w.y + 35;

  // Standing pictures are always opaque, whatever the layout alpha.
  place(*leftSprite, l.left, 255);
  place(*centerSprite, l.center, 255);
  place(*rightSprite, l.right, 255);
  place(*wideCenterSprite, l.wideCenter, 255);
}

// --- what the interpreter sets ---

void MessageWindow::BlankForScript() {
  ClearShownText();
  for (CPolygon* sprite : {rightSprite.get(), centerSprite.get(), leftSprite.get()}) {
    if (sprite) sprite->SetTexturePointer(nullptr);
  }
}

void MessageWindow::StartScript() {
  typedLength = 0;
  shownGraphemes_ = 0;
  rowBreaks = true;
}

void MessageWindow::ClearMessage() {
  messageText.clear();
  givenText.clear();
  typedLength = 0;
  shown_.clear();
  stops_.clear();
  shownGraphemes_ = 0;
  shownOverflow_ = false;
}

void MessageWindow::ClearShownText() {
  if (!messageTextObject) return;
  if (translated_) messageTextObject->setTextUtf8("");
  else messageTextObject->setText("");
}

void MessageWindow::SetSpeaker(const std::string& word, const std::map<std::string, std::string>& textureAliases) {
  const std::string& colon = SJ("：");
  std::string key = word;
  const std::string& star = SJ("＊");
  size_t at = key.find(star);
  if (at != std::string::npos) {
    key.erase(at, star.size());
    if ((at = key.find(colon)) != std::string::npos) key.erase(at, colon.size());
    speakerKey = key;
    auto alias = textureAliases.find(speakerKey);
    if (alias != textureAliases.end()) {
      if (speakerSprite) speakerSprite->SetTexture(alias->second);
    } else {
      speakerKey = "Nothing";
    }
    speakerLabel = SJ("？？？：");
    return;
  }
  if ((at = key.find(colon)) != std::string::npos) key.erase(at, colon.size());
  speakerKey = key;
  auto alias = textureAliases.find(speakerKey);
  if (alias != textureAliases.end()) {
    if (speakerSprite) speakerSprite->SetTexture(alias->second);
    // A picture variant such as 太郎・笑顔 is labelled with the name alone.
    if ((at = key.find(SJ("・"))) != std::string::npos) key.erase(at);
    speakerLabel = key + colon;
  } else {
    auto nothing = textureAliases.find("Nothing");
    if (nothing != textureAliases.end() && speakerSprite) speakerSprite->SetTexture(nothing->second);
    speakerLabel = speakerKey == SJ("ナレーション") ? std::string() : speakerKey + colon;
  }
}

void MessageWindow::SetMessage(const std::string& text) {
  messageText = text;
  givenText = text;
  if (rowBreaks) {
    if (messageText.size() > kThirdRow) messageText.insert(kThirdRow, kRowBreak);
    if (messageText.size() > kSecondRow) messageText.insert(kSecondRow, kRowBreak);
    messageText += kRowBreak;
  }
  // A message typed on from an earlier, longer one would never reach the
  // text object: the typewriter only writes it while typedLength grows.
  if (typedLength >= messageText.size()) {
    typedLength = static_cast<uint32_t>(messageText.size());
    if (messageTextObject && !translated_) messageTextObject->setText(messageText);
  }
}

// --- per frame ---

void MessageWindow::FramePictures() {
  for (CPolygon* sprite : {pictureFrameSprite.get(), speakerSprite.get(), windowSprite.get(), bgSprite.get(),
                           rightSprite.get(), centerSprite.get(), leftSprite.get(), wideCenterSprite.get()}) {
    sprite->FrameMove(0);
  }
}

// One character per logic step, two bytes for a lead byte; a translation's
// text one grapheme per step.
void MessageWindow::Type() {
  if (translated_) {
    if (shownGraphemes_ < stops_.size()) {
      typing = true;
      ++shownGraphemes_;
      SetShownText();
    } else {
      typing = false;
    }
    return;
  }
  if (typedLength < messageText.size()) {
    typing = true;
    typedLength += platform::IsLeadByte(static_cast<unsigned char>(messageText[typedLength])) ? 2 : 1;
    size_t shown = std::min<size_t>(typedLength, messageText.size());
    messageTextObject->setText(messageText.substr(0, shown));
  } else {
    typing = false;
  }
}

void MessageWindow::AnimateCursor() { cursorSprite->Update(); }

void MessageWindow::TypeAll() {
  if (translated_) {
    if (shownGraphemes_ >= stops_.size()) return;
    shownGraphemes_ = stops_.size();
    SetShownText();
    return;
  }
  if (typedLength >= messageText.size()) return;
  typedLength = static_cast<uint32_t>(messageText.size());
  if (messageTextObject) messageTextObject->setText(messageText);
}

void MessageWindow::RenderPictures(bool chrome) {
  for (CPolygon* sprite : {bgSprite.get(), rightSprite.get(), centerSprite.get(), leftSprite.get(), wideCenterSprite.get()}) {
    if (sprite->texture) sprite->Render();
  }
  if (!chrome) return;
  if (speakerSprite->texture) speakerSprite->Render();
  pictureFrameSprite->Render();
}

void MessageWindow::RenderWindow() {
  windowSprite->Render();
  messageTextObject->draw();
}

void MessageWindow::RenderCursor() { cursorSprite->Render(); }

// --- a translation's view ---

int MessageWindow::TextAreaWidthFor(const SpriteRect& window) {
  // Rows start 20 pixels in from the window's left edge and keep as far
  // from its right edge.
  return static_cast<int>(window.w) - 40;
}

size_t MessageWindow::TextAreaRowsFor(const SpriteRect& window, int em) {
  // From the first row's top to 8 pixels above the window's bottom edge,
  // each row one em tall and the next a row pitch below.
  const float room = window.h - 35.0f - 8.0f - float(em);
  return room < 0.0f ? 1 : size_t(room / float(kTranslatedRowPitch)) + 1;
}

int MessageWindow::TextAreaWidth() const { return TextAreaWidthFor(layout.window); }

size_t MessageWindow::TextAreaRows() const {
  return TextAreaRowsFor(layout.window, messageTextObject ? messageTextObject->PixelHeight() : 16);
}

void MessageWindow::LayOutShown(const std::string& utf8, const std::string& language) {
  platform::Font* font = messageTextObject ? messageTextObject->Face() : nullptr;
  const int em = messageTextObject ? messageTextObject->PixelHeight() : 16;
  TextRows laid = LayOutRows(utf8, font, em, TextAreaWidth(), TextAreaRows(), language);
  shown_.clear();
  for (size_t i = 0; i < laid.rows.size(); ++i) {
    if (i) shown_ += '\n';
    shown_ += laid.rows[i];
  }
  shownOverflow_ = laid.overflow;
  stops_ = platform::GraphemeEnds(shown_);
}

void MessageWindow::SetShownText() {
  if (!messageTextObject) return;
  const size_t bytes = ShownTyped();
  messageTextObject->setTextUtf8(shown_.substr(0, bytes));
}

void MessageWindow::ShowTranslated(const std::string& utf8, const std::string& language) {
  if (!translated_ && messageTextObject) messageTextObject->SetLinePitch(kTranslatedRowPitch);
  translated_ = true;
  LayOutShown(utf8, language);
  // As a message typed on from a longer one shows its first bytes at once.
  if (shownGraphemes_ >= stops_.size()) shownGraphemes_ = stops_.size();
  SetShownText();
}

void MessageWindow::ReshowTranslated(const std::string& utf8, const std::string& language) {
  const bool whole = translated_ ? shownGraphemes_ >= stops_.size() : typedLength >= messageText.size();
  if (!translated_ && messageTextObject) messageTextObject->SetLinePitch(kTranslatedRowPitch);
  translated_ = true;
  LayOutShown(utf8, language);
  shownGraphemes_ = whole ? stops_.size() : 0;
  SetShownText();
}

void MessageWindow::RestoreTranslated(const std::string& utf8, const std::string& language, size_t graphemes) {
  if (!translated_ && messageTextObject) messageTextObject->SetLinePitch(kTranslatedRowPitch);
  translated_ = true;
  LayOutShown(utf8, language);
  shownGraphemes_ = std::min(graphemes, stops_.size());
  SetShownText();
}

void MessageWindow::ShowOriginal() {
  if (!translated_) return;
  const bool whole = shownGraphemes_ >= stops_.size();
  translated_ = false;
  shown_.clear();
  stops_.clear();
  shownGraphemes_ = 0;
  shownOverflow_ = false;
  if (whole) typedLength = static_cast<uint32_t>(messageText.size());
  else typedLength = 0;
  if (messageTextObject) {
    messageTextObject->SetLinePitch(0);
    messageTextObject->setText(messageText.substr(0, std::min<size_t>(typedLength, messageText.size())));
  }
}

}  // namespace msgbox

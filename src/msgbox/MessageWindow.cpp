// The message window: set-up, layout, the speaker, the message and its
// typewriter, the wait cursor and the order of drawing.
#include "msgbox/MessageWindow.h"

#include <algorithm>
#include <string>

#include "framework/TextFont.h"
#include "gfx/CAnimPolygon.h"
#include "gfx/CPolygon.h"
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
  rowBreaks = true;
}

void MessageWindow::ClearMessage() {
  messageText.clear();
  givenText.clear();
  typedLength = 0;
}

void MessageWindow::ClearShownText() {
  if (messageTextObject) messageTextObject->setText("");
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
    if (messageTextObject) messageTextObject->setText(messageText);
  }
}

// --- per frame ---

void MessageWindow::FramePictures() {
  for (CPolygon* sprite : {pictureFrameSprite.get(), speakerSprite.get(), windowSprite.get(), bgSprite.get(),
                           rightSprite.get(), centerSprite.get(), leftSprite.get(), wideCenterSprite.get()}) {
    sprite->FrameMove(0);
  }
}

// One character per logic step, two bytes for a lead byte.
void MessageWindow::Type() {
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

}  // namespace msgbox

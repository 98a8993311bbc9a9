#pragma once
// The message window's state: its sprites and text objects, the message
// being typed, the speaker, and the placements it keeps from the layout.
#include <cstdint>
#include <memory>
#include <string>

#include "msgbox/MsgBoxLayout.h"

class CPolygon;
class CAnimPolygon;
class TextFont;

namespace msgbox {

struct MessageWindow {
  MessageWindow();
  ~MessageWindow();
  MessageWindow(const MessageWindow&) = delete;
  MessageWindow& operator=(const MessageWindow&) = delete;

  std::unique_ptr<CPolygon> pictureFrameSprite;
  std::unique_ptr<CPolygon> speakerSprite;
  std::unique_ptr<CPolygon> windowSprite;
  std::unique_ptr<TextFont> messageTextObject;
  std::unique_ptr<CAnimPolygon> cursorSprite;
  std::unique_ptr<CPolygon> bgSprite;
  std::unique_ptr<CPolygon> rightSprite;
  std::unique_ptr<CPolygon> leftSprite;
  std::unique_ptr<CPolygon> centerSprite;
  std::unique_ptr<CPolygon> wideCenterSprite;

  std::string messageText;
  uint32_t typedLength = 0;
  bool typing = false;
  bool rowBreaks = false;
  std::string speakerKey;
  std::string speakerLabel;
  MsgBoxKeptLayout layout;
};

}  // namespace msgbox

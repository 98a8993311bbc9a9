#pragma once
// The message window and its typewriter: the background and standing
// pictures, the speaker picture and its frame, the window with the message
// typed into it one character per logic step, and the wait cursor. It also
// keeps the placements of the layout, whose window placement is the
// dialogue frame the menus and the save/load screen lay out in.
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "msgbox/MsgBoxLayout.h"

class CPolygon;
class CAnimPolygon;
class TextFont;

namespace msgbox {

struct Snapshot;

class MessageWindow {
 public:
  MessageWindow();
  ~MessageWindow();
  MessageWindow(const MessageWindow&) = delete;
  MessageWindow& operator=(const MessageWindow&) = delete;

  // Creates the sprites and the message text object (face, size, style of
  // the message font), and releases them again.
  void Create(const std::string& faceName, int pointSize, int flags);
  // The pictures Create loads (below the texture directory), in its order.
  static std::vector<std::string> OwnPictures();
  void Release();
  bool Created() const { return windowSprite != nullptr; }
  void SetLayout(const MsgBoxLayout& l);
  const SpriteRect& DialogueFrame() const { return layout.window; }

  // A script opens: the shown text and the standing pictures blank out
  // (their texture names stay; background and wide picture carry over),
  // and once it has opened typing starts from nothing, in rows.
  void BlankForScript();
  void StartScript();
  // The clear word: no message, nothing typed.
  void ClearMessage();
  // A speaker word ("name：", "name＊：" for an unknown speaker): the speaker
  // picture from the texture aliases, and the label the message begins with.
  void SetSpeaker(const std::string& word, const std::map<std::string, std::string>& textureAliases);
  // The message to type, broken into rows of 26 full-width characters.
  void SetMessage(const std::string& text);
  // The text shown so far vanishes (the message itself stays).
  void ClearShownText();
  // The whole message at once, as if typed to its end.
  void TypeAll();

  // One logic step: the sprites' frame hook, and then (while a script
  // runs) the typewriter.
  void FramePictures();
  void Type();
  void AnimateCursor();
  // Without `chrome` only the background and the standing pictures.
  void RenderPictures(bool chrome = true);
  // The window with the message; the wait cursor.
  void RenderWindow();
  void RenderCursor();

  // --- a translation's view of the message ---
  // The message as a translation shows it (UTF-8, label included), laid out
  // in rows that fill the window's text area by the Unicode rules for
  // `language`, typed on by grapheme from as far as the last message was
  // typed (a clear word or a new script starts from nothing). The
  // original's message and its rows stay as they are underneath.
  void ShowTranslated(const std::string& utf8, const std::string& language);
  // The same message again in another language, at once: typed whole
  // where it was, else typed anew.
  void ReshowTranslated(const std::string& utf8, const std::string& language);
  // A snapshot's message in a translation, `graphemes` of it typed (at
  // most all).
  void RestoreTranslated(const std::string& utf8, const std::string& language, size_t graphemes);
  // Back to the original's rows, as far as they are typed.
  void ShowOriginal();
  bool Translated() const { return translated_; }
  // The message typed to its end, in the words shown (a translation's or the original's).
  bool TypedOut() const { return translated_ ? shownGraphemes_ >= stops_.size() : typedLength >= messageText.size(); }
  // The message as shown: its rows one line feed apart, and how many bytes
  // of it are typed.
  const std::string& ShownText() const { return shown_; }
  size_t ShownTyped() const { return shownGraphemes_ == 0 ? 0 : stops_[shownGraphemes_ - 1]; }
  // Whether the shown message fits the window's rows.
  bool ShownFits() const { return !shownOverflow_; }
  // The text area a translation fills: its width and rows, one row pitch apart.
  int TextAreaWidth() const;
  size_t TextAreaRows() const;
  // The same for a window placed at `window` with text `em` pixels high.
  static int TextAreaWidthFor(const SpriteRect& window);
  static size_t TextAreaRowsFor(const SpriteRect& window, int em);
  static constexpr int kTranslatedRowPitch = 24;

  // Test seams: typing as if a message were being typed; rows broken as
  // once a script has opened.
  void SetTyping(bool on) { typing = on; }
  void BreakRows() { rowBreaks = true; }

  const std::unique_ptr<CPolygon>& PictureFrameSprite() const { return pictureFrameSprite; }
  const std::unique_ptr<CPolygon>& SpeakerSprite() const { return speakerSprite; }
  const std::unique_ptr<CPolygon>& WindowSprite() const { return windowSprite; }
  const std::unique_ptr<TextFont>& MessageTextObject() const { return messageTextObject; }
  const std::unique_ptr<CAnimPolygon>& CursorSprite() const { return cursorSprite; }
  const std::unique_ptr<CPolygon>& BgSprite() const { return bgSprite; }
  const std::unique_ptr<CPolygon>& RightSprite() const { return rightSprite; }
  const std::unique_ptr<CPolygon>& LeftSprite() const { return leftSprite; }
  const std::unique_ptr<CPolygon>& CenterSprite() const { return centerSprite; }
  const std::unique_ptr<CPolygon>& WideCenterSprite() const { return wideCenterSprite; }
  const std::string& MessageText() const { return messageText; }
  // The message as it was set, before the row breaks go in, and whether it
  // fits the window's three rows of 52 bytes (26 full-width characters).
  static constexpr size_t kWindowBytes = 3 * 52;
  const std::string& GivenText() const { return givenText; }
  bool MessageFits() const { return givenText.size() <= kWindowBytes; }
  uint32_t TypedLength() const { return typedLength; }
  bool Typing() const { return typing; }
  bool RowBreaks() const { return rowBreaks; }
  const std::string& SpeakerKey() const { return speakerKey; }
  const std::string& SpeakerLabel() const { return speakerLabel; }
  const MsgBoxKeptLayout& Layout() const { return layout; }

  // --- snapshots (SnapshotRoles.cpp); `previous` lends what did not change ---
  void Capture(Snapshot& s, const Snapshot* previous) const;
  void Restore(const Snapshot& s);

 private:
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
  std::string givenText;
  uint32_t typedLength = 0;
  bool typing = false;
  bool rowBreaks = false;
  std::string speakerKey;
  std::string speakerLabel;
  MsgBoxKeptLayout layout;

  void LayOutShown(const std::string& utf8, const std::string& language);
  void SetShownText();
  bool translated_ = false;
  std::string shown_;          // rows joined by line feeds
  std::vector<size_t> stops_;  // the end of each grapheme of shown_
  size_t shownGraphemes_ = 0;  // typed so far; kept across messages as typedLength is
  bool shownOverflow_ = false;
};

}  // namespace msgbox

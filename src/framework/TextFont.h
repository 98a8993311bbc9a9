#pragma once
// A drawable line (or block) of text with its own face, size, style, text,
// position and colour. The text is rasterised again only when it or the
// style changes, not every frame.
#include <cstdint>
#include <memory>
#include <string>

#include "platform/diagnostics/Result.h"
#include "platform/draw/Device.h"
#include "platform/text/Font.h"

class TextFont {
 public:
  TextFont();
  ~TextFont();
  TextFont(const TextFont&) = delete;
  TextFont& operator=(const TextFont&) = delete;

  // The device every font draws with; the framework sets it once.
  static void SetDevice(platform::Device* device);
  static platform::Device* GetDevice();

  // The face is looked up and opened when first needed (drawing, HasFont),
  // so that text objects made at start-up cost nothing until shown.
  HRESULT createFont(const std::string& face, int pointSize, uint32_t styleFlags);
  // The pixel height a point size is drawn at (at the unscaled size).
  static int PixelHeightFor(int pointSize);
  void setColor(int alpha, int red, int green, int blue);
  void setAlpha(int alpha);
  void addAlpha(int delta);
  void setText(const std::string& text);
  // Text in UTF-8 rather than CP932: a translation's, drawn with the font
  // for the language in force (platform::FontLanguage).
  void setTextUtf8(const std::string& utf8);
  bool TextIsUtf8() const { return utf8_; }
  // Lines `pixels` apart (0: one em, the game's own pitch).
  void SetLinePitch(int pixels);
  struct Rect {
    int left, top, right, bottom;
  };
  // Draws into `rect`, or at (x, y) within an 800 x 600 rectangle when null.
  HRESULT draw(const Rect* rect = nullptr);
  void releaseFont();

  bool HasFont() const { return OpenedFont() != nullptr; }
  // The font as opened for the language in force, for measuring; null
  // when none could be opened.
  platform::Font* Face() const { return OpenedFont(); }
  const std::string& GetText() const { return text; }
  uint32_t GetColor() const { return color; }
  int PixelHeight() const { return pixelHeight_; }

  std::string faceName;  // at most 79 bytes, as given to createFont
  int pointSize = 0;
  uint32_t styleFlags = 0;  // bit 0 bold, bit 1 italic
  float scale = 1.0f;
  float x = 0, y = 0;
  std::string text;  // CP932
  uint32_t color = 0xFFFFFFFF;
  int red = 255, green = 255, blue = 255, alpha = 255;

 private:
  void Rasterise();
  platform::Font* OpenedFont() const;
  mutable std::unique_ptr<platform::Font> font_;
  mutable bool fontPending_ = false;  // createFont was called and the face is not opened yet
  mutable bool opened_ = false;          // an open was tried since createFont
  mutable uint64_t fontGeneration_ = 0;  // platform::FontGeneration when it was
  bool utf8_ = false;
  int linePitch_ = 0;
  int pixelHeight_ = 0;
  platform::TexturePtr texture_;
  int texW_ = 0, texH_ = 0;
  std::string rasterisedText_;
  mutable bool stale_ = true;
};

// MulDiv as Windows rounds it: (a * b + c / 2) / c.
int MulDiv(int a, int b, int c);

#pragma once
// Text for the screens drawn over the game: one font opened once, each
// distinct string rasterised once and kept (up to a bound), drawn pixel for
// pixel in any colour. Opening a screen then costs no font look-up.
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>

#include "platform/draw/Device.h"
#include "platform/text/Font.h"
#include "platform/text/TextCodec.h"

namespace comfort {

// Text already in UTF-8 (a translation's, our screens' texts from the
// engine's catalogue), drawn as it is.
struct Utf8 {
  std::string text;
};

class TextPainter {
 public:
  // The face (CP932) and its height in pixels.
  TextPainter(std::string face, int pixelHeight) : face_(std::move(face)), height_(pixelHeight) {}
  // Opens the font now, so that the first drawing does not.
  bool Open();
  // Draws CP932 text with its top-left at (x, y); returns its width.
  int Draw(platform::Device& device, const std::string& text, float x, float y, uint32_t argb) {
    return Draw(device, Utf8{platform::Cp932ToUtf8(text)}, x, y, argb);
  }
  int Draw(platform::Device& device, const Utf8& text, float x, float y, uint32_t argb);
  // The text's width in pixels as it would be drawn.
  int Width(platform::Device& device, const std::string& text) { return Find(device, platform::Cp932ToUtf8(text)).width; }
  int Width(platform::Device& device, const Utf8& text) { return Find(device, text.text).width; }
  // Rasterises the text now without drawing it, for a later Draw.
  void Prime(platform::Device& device, const std::string& text) { Find(device, platform::Cp932ToUtf8(text)); }
  size_t Cached() const { return cache_.size(); }
  // The font that draws (opened now if need be); null when none opens.
  platform::Font* Face() { return Open() ? font_.get() : nullptr; }

  static constexpr size_t kMaxCached = 256;

 private:
  struct Entry {
    platform::TexturePtr texture;
    int width = 0, height = 0;
  };
  const Entry& Find(platform::Device& device, const std::string& utf8);
  std::string face_;
  int height_;
  bool tried_ = false;
  uint64_t generation_ = 0;  // platform::FontGeneration the font was opened for
  std::unique_ptr<platform::Font> font_;
  std::map<std::string, Entry> cache_;
  std::deque<std::string> order_;  // oldest first: the first to go when the cache is full
};

// A filled rectangle (no texture), blended.
void FillRect(platform::Device& device, float x, float y, float w, float h, uint32_t argb);

}  // namespace comfort

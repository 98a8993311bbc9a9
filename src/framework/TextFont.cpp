#include "framework/TextFont.h"

#include <algorithm>

#include "platform/text/TextCodec.h"

namespace {
platform::Device* g_fontDevice = nullptr;
constexpr int kLogPixelsY = 96;  // the screen resolution the point sizes are taken at

int Clamp255(int v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }
}  // namespace

int MulDiv(int a, int b, int c) {
  if (c == 0) return -1;
  long long p = static_cast<long long>(a) * b;
  long long half = (c < 0 ? -c : c) / 2;
  long long r = ((p < 0) != (c < 0)) ? (p - half) / c : (p + half) / c;
  return static_cast<int>(r);
}

TextFont::TextFont() = default;
TextFont::~TextFont() { releaseFont(); }

void TextFont::SetDevice(platform::Device* device) { g_fontDevice = device; }
platform::Device* TextFont::GetDevice() { return g_fontDevice; }

int TextFont::PixelHeightFor(int size) { return MulDiv(size, kLogPixelsY, 72); }

HRESULT TextFont::createFont(const std::string& face, int size, uint32_t flags) {
  faceName = face.substr(0, 79);
  pointSize = size;
  styleFlags = flags;
  scale = 1.0f;
  pixelHeight_ = MulDiv(pointSize, static_cast<int>(kLogPixelsY * scale), 72);
  font_.reset();
  fontPending_ = true;
  opened_ = false;
  stale_ = true;
  return S_OK;  // a missing font leaves HasFont() false; draw then does nothing
}

platform::Font* TextFont::OpenedFont() const {
  // A translation chosen or left since the font was opened: open it anew
  // for the language now in force.
  if (opened_ && fontGeneration_ != platform::FontGeneration()) fontPending_ = true;
  if (fontPending_) {
    fontPending_ = false;
    opened_ = true;
    fontGeneration_ = platform::FontGeneration();
    font_ = platform::OpenFont(faceName, pixelHeight_, styleFlags & 1, styleFlags & 2, platform::FontLanguage());
    // Lines stand one em apart, as with the game's own faces (their line is
    // exactly the em): a face with a taller line (Noto Sans CJK: 24 px at
    // 16) would push the third row of a message below the window.
    if (font_) font_->SetLinePitch(linePitch_ > 0 ? linePitch_ : pixelHeight_);
    stale_ = true;
  }
  return font_.get();
}

void TextFont::SetLinePitch(int pixels) {
  if (pixels < 0) pixels = 0;
  if (pixels == linePitch_) return;
  linePitch_ = pixels;
  if (font_) font_->SetLinePitch(linePitch_ > 0 ? linePitch_ : pixelHeight_);
  stale_ = true;
}

void TextFont::setColor(int a, int r, int g, int b) {
  alpha = Clamp255(a);
  red = Clamp255(r);
  green = Clamp255(g);
  blue = Clamp255(b);
  color = uint32_t(alpha) << 24 | uint32_t(red) << 16 | uint32_t(green) << 8 | uint32_t(blue);
}

void TextFont::setAlpha(int a) { setColor(a, red, green, blue); }
void TextFont::addAlpha(int delta) { setAlpha(alpha + delta); }

void TextFont::setText(const std::string& t) {
  if (t != text || utf8_) {
    text = t;
    utf8_ = false;
    stale_ = true;
  }
}

void TextFont::setTextUtf8(const std::string& t) {
  if (t != text || !utf8_) {
    text = t;
    utf8_ = true;
    stale_ = true;
  }
}

void TextFont::Rasterise() {
  stale_ = false;
  texture_.reset();
  texW_ = texH_ = 0;
  rasterisedText_ = text;
  platform::Font* font = OpenedFont();
  if (!font || !g_fontDevice || text.empty()) return;
  platform::TextImage img;
  if (!font->Render(utf8_ ? text : platform::Cp932ToUtf8(text), img) || img.width == 0) return;
  texture_ = g_fontDevice->CreateTexture(img.width, img.height, img.argb.data());
  if (texture_) {
    texW_ = img.width;
    texH_ = img.height;
  }
}

HRESULT TextFont::draw(const Rect* rect) {
  if (text.empty()) return S_OK;
  if (!OpenedFont() || !g_fontDevice) return E_FAIL;
  if (stale_ || rasterisedText_ != text) Rasterise();
  if (!texture_) return S_OK;
  Rect r = rect ? *rect
                : Rect{static_cast<int>(x), static_cast<int>(y), static_cast<int>(x + 800), static_cast<int>(y + 600)};
  // Clip the text block to the rectangle.
  int w = std::min(texW_, r.right - r.left);
  int h = std::min(texH_, r.bottom - r.top);
  if (w <= 0 || h <= 0) return S_OK;
  float u1 = float(w) / texW_, v1 = float(h) / texH_;
  float l = float(r.left), t = float(r.top), rr = l + w, b = t + h;
  platform::Vertex v[4] = {{l, t, 0, 1, color, 0, 0},
                           {rr, t, 0, 1, color, u1, 0},
                           {rr, b, 0, 1, color, u1, v1},
                           {l, b, 0, 1, color, 0, v1}};
  // Glyphs are drawn pixel for pixel.
  uint32_t mag = g_fontDevice->GetTextureStageState(0, platform::D3DTSS_MAGFILTER);
  g_fontDevice->SetTextureStageState(0, platform::D3DTSS_MAGFILTER, platform::D3DTEXF_POINT);
  g_fontDevice->DrawQuad(v, texture_);
  g_fontDevice->SetTextureStageState(0, platform::D3DTSS_MAGFILTER, mag);
  return S_OK;
}

void TextFont::releaseFont() {
  texture_.reset();
  font_.reset();
  fontPending_ = false;
  opened_ = false;
  stale_ = true;
}

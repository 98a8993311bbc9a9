#include "comfort/TextPainter.h"

#include "platform/text/TextCodec.h"

namespace comfort {

bool TextPainter::Open() {
  // A language chosen since: its characters need the fonts that have them.
  if (tried_ && generation_ != platform::FontGeneration()) {
    tried_ = false;
    cache_.clear();
    order_.clear();
  }
  if (!tried_) {
    tried_ = true;
    generation_ = platform::FontGeneration();
    font_ = platform::OpenFont(face_, height_, false, false, platform::FontLanguage());
  }
  return font_ != nullptr;
}

const TextPainter::Entry& TextPainter::Find(platform::Device& device, const std::string& text) {
  // `text` is UTF-8.
  static const Entry kNone;
  if (text.empty() || !Open()) return kNone;
  auto it = cache_.find(text);
  if (it == cache_.end()) {
    if (cache_.size() >= kMaxCached) {
      // The oldest go: a page long scrolled past is rasterised again if shown again.
      cache_.erase(order_.front());
      order_.pop_front();
    }
    order_.push_back(text);
    Entry e;
    platform::TextImage img;
    if (font_->Render(text, img) && img.width > 0) {
      e.texture = device.CreateTexture(img.width, img.height, img.argb.data());
      if (e.texture) {
        e.width = img.width;
        e.height = img.height;
      }
    }
    it = cache_.emplace(text, std::move(e)).first;
  }
  return it->second;
}

int TextPainter::Draw(platform::Device& device, const Utf8& text, float x, float y, uint32_t argb) {
  const Entry& e = Find(device, text.text);
  if (!e.texture) return 0;
  const float r = x + float(e.width), b = y + float(e.height);
  const platform::Vertex v[4] = {{x, y, 0, 1, argb, 0, 0}, {r, y, 0, 1, argb, 1, 0}, {r, b, 0, 1, argb, 1, 1},
                                 {x, b, 0, 1, argb, 0, 1}};
  // Glyphs pixel for pixel, whatever filter the game left set.
  const uint32_t mag = device.GetTextureStageState(0, platform::D3DTSS_MAGFILTER);
  device.SetTextureStageState(0, platform::D3DTSS_MAGFILTER, platform::D3DTEXF_POINT);
  device.DrawQuad(v, e.texture);
  device.SetTextureStageState(0, platform::D3DTSS_MAGFILTER, mag);
  return e.width;
}

void FillRect(platform::Device& device, float x, float y, float w, float h, uint32_t argb) {
  const platform::Vertex v[4] = {{x, y, 0, 1, argb, 0, 0}, {x + w, y, 0, 1, argb, 1, 0},
                                 {x + w, y + h, 0, 1, argb, 1, 1}, {x, y + h, 0, 1, argb, 0, 1}};
  device.DrawQuad(v, nullptr);
}

}  // namespace comfort

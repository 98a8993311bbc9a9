#pragma once
// An abstract screen object: a texture reference, the name it was selected
// by, and a fixed table of virtual operations whose base versions do
// nothing. The order of the virtual declarations is the slot order; further
// kinds of screen object override them in place.
#include <array>
#include <cstdint>
#include <string>

#include "platform/diagnostics/Result.h"
#include "platform/draw/Device.h"

struct Vec3 {
  float x = 0, y = 0, z = 0;
};

// A texture rectangle in texture coordinates: left u, top v, right u, bottom v.
struct TexRect {
  float tu0 = 0, tv0 = 0, tu1 = 0, tv1 = 0;
};

class CDrawObject {
 public:
  CDrawObject() = default;
  CDrawObject(const CDrawObject&) = delete;
  CDrawObject& operator=(const CDrawObject&) = delete;

  /* 0 */ virtual HRESULT Reserved0(std::string) { return 0; }
  /* 1 */ virtual HRESULT Set(float /*x*/, float /*y*/, float /*z*/, float /*width*/, float /*height*/,
                              float /*depth*/, int32_t /*alpha*/, int32_t /*depthTest*/) {
    return 0;
  }
  /* 2 */ virtual HRESULT Reserved2(const std::array<uint32_t, 10>&) { return 0; }
  /* 3 */ virtual HRESULT Reserved3(const std::array<uint32_t, 16>&) { return 0; }
  /* 4 */ virtual HRESULT FrameMove(uint32_t) { return 0; }
  /* 5 */ virtual HRESULT Render() { return 0; }
  /* 6 */ virtual HRESULT Reserved6() { return 0; }
  /* 7 */ virtual void SetPosition(float, float, float) {}
  /* 8 */ virtual Vec3 GetPosition() const { return {}; }
  /* 9 */ virtual void Move(float, float, float) {}
  /* 10 */ virtual void Move(const Vec3&) {}
  /* 11 */ virtual void SetSize(float, float, float) {}
  /* 12 */ virtual Vec3 GetSize() const { return {}; }
  /* 13 */ virtual void SetTexRect(float, float, float, float) {}
  /* 14 */ virtual void SetTexRect(const TexRect&) {}
  /* 15 */ virtual HRESULT Reserved15() { return 0; }
  /* 16 */ virtual HRESULT Reserved16() { return 0; }
  // Declared last so that it takes no slot ahead of the ones above. Virtual
  // so that deleting through a base pointer frees the derived parts too.
  virtual ~CDrawObject() = default;

  platform::TexturePtr texture;  // shared with the registry; null for none
  std::string textureName;
};

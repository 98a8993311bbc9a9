#pragma once
// The sprite: a textured, coloured screen rectangle drawn as one quad, and
// the class-wide texture registry that loads textures by name from the
// texture directory and shares them with every sprite that shows them.
#include <cstdint>
#include <map>
#include <set>
#include <string>

#include "gfx/CDrawObject.h"

class CPolygon : public CDrawObject {
 public:
  // Class-wide state.
  static HRESULT InitDeviceObjects(std::string textureDirectory, platform::Device* device);
  static HRESULT DeleteDeviceObjects();
  static HRESULT LoadTexture(std::string name);
  static HRESULT UnloadTexture(std::string name);
  static platform::TexturePtr FindTexture(std::string name);
  // The registry as it stands (names in byte order), for tests and tracing.
  static const std::map<std::string, platform::TexturePtr>& Registry() { return registry; }
  static platform::Device* GetDevice() { return device; }
  // Reads the picture file of a registered name afresh and shows it in the
  // registry and in every sprite that shows that name (a sprite blanked by
  // SetTexturePointer(nullptr) stays blank). On a failure nothing changes
  // and the failure code is returned, without a box: the caller reports.
  // `sprites` is how many sprites now show the new picture.
  static HRESULT ReloadTexture(const std::string& name, size_t& sprites);
  // Pictures with text in them may have a translation's own version:
  // while a language is set, Texture\LANG\NAME stands in for Texture\NAME
  // where it exists. Setting another language loads the pictures that
  // change again and shows them in every sprite that shows them.
  static void SetTextureLanguage(const std::string& language);
  static const std::string& TextureLanguage() { return textureLanguage; }
  // The engine path a picture of that name is read from now.
  static std::string SourcePath(const std::string& name);

  CPolygon();
  ~CPolygon() override;

  HRESULT SetTexture(std::string name);
  HRESULT SetTexturePointer(platform::TexturePtr tex);
  void SetColor(int32_t a, int32_t r, int32_t g, int32_t b);
  void SetAlpha(int32_t a);
  int32_t GetAlpha() const { return alpha; }
  void AddAlpha(int32_t step);

  HRESULT Set(float x, float y, float z, float width, float height, float depth, int32_t alpha,
              int32_t depthTest) override;
  HRESULT Render() override;
  void SetPosition(float x, float y, float z) override;
  Vec3 GetPosition() const override;
  void Move(float dx, float dy, float dz) override;
  void Move(const Vec3& d) override;
  void SetSize(float width, float height, float depth) override;
  Vec3 GetSize() const override;
  void SetTexRect(float tu0, float tv0, float tu1, float tv1) override;
  void SetTexRect(const TexRect& r) override;

  int32_t red = 255, green = 255, blue = 255, alpha = 255;
  uint32_t color = 0xFFFFFFFF;
  float x = 0, y = 0, z = 0.9f;
  float width = 100, height = 100, depth = 0;
  float tu0 = 0, tv0 = 0, tu1 = 1, tv1 = 1;
  int32_t depthTest = 0;
  int32_t smooth = 1;

 private:
  void PackColor();

  static platform::Device* device;  // borrowed, never released here
  static std::string textureDirectory;
  static std::map<std::string, platform::TexturePtr> registry;
  static std::string textureLanguage;
  static std::map<std::string, std::string> sources;  // name -> the path it was read from
  static platform::Vertex quad[4];  // the one vertex buffer every sprite refills
  static std::set<CPolygon*>& Live();  // every sprite that exists, for ReloadTexture
};

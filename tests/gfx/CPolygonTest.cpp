#include "gfx/CPolygon.h"

#include <gtest/gtest.h>

#include <climits>
#include <fstream>
#include <memory>
#include <sstream>

#include "platform/diagnostics/Trace.h"
#include "platform/draw/NullDevice.h"
#include "platform/text/TextCodec.h"
#include "support/PictureFiles.h"
#include "support/SpriteFixture.h"

using namespace platform;

namespace {

std::string SmallTga(int w = 2, int h = 2) {
  return pictures::MakeTga(pictures::MakeImage(w, h, [](int, int) { return 0xFF336699u; }), 32, false, false);
}

class Registry : public ScratchGameDir {
 protected:
  void SetUp() override {
    ScratchGameDir::SetUp();
    CPolygon::InitDeviceObjects("GameData\\Texture\\", &device);
  }
  NullDevice device{64, 64};  // counts texture creations, draws nothing
};

}  // namespace

TEST(CPolygon, NewSpriteHasNoTextureAndTheDocumentedValues) {
  CPolygon p;
  EXPECT_EQ(p.texture, nullptr);
  EXPECT_EQ(p.textureName, "Nothing");
  EXPECT_EQ(p.color, 0xFFFFFFFFu);
  EXPECT_FLOAT_EQ(p.GetPosition().z, 0.9f);
  EXPECT_FLOAT_EQ(p.GetSize().x, 100);
  EXPECT_FLOAT_EQ(p.tu1 + p.tv1, 2);
  EXPECT_EQ(p.smooth, 1);
}

TEST(CPolygon, AlphaAndColourAreClampedAndPacked) {
  CPolygon p;
  p.SetAlpha(300);
  EXPECT_EQ(p.GetAlpha(), 255);
  p.SetAlpha(-5);
  EXPECT_EQ(p.GetAlpha(), 0);
  p.SetAlpha(253);
  p.AddAlpha(5);
  EXPECT_EQ(p.GetAlpha(), 255);
  p.AddAlpha(5);
  EXPECT_EQ(p.GetAlpha(), 255);
  p.SetAlpha(3);
  p.AddAlpha(-5);
  EXPECT_EQ(p.GetAlpha(), 0);
  p.AddAlpha(INT_MAX);  // no overflow on the way to the clamp
  EXPECT_EQ(p.GetAlpha(), 255);
  p.AddAlpha(INT_MIN);
  EXPECT_EQ(p.GetAlpha(), 0);

  p.SetColor(255, 255, 0, 0);
  EXPECT_EQ(p.color, 0xFFFF0000u);
  p.SetAlpha(128);
  EXPECT_EQ(p.color, 0x80FF0000u);
  p.SetColor(300, -5, 128, 255);
  EXPECT_EQ(p.color, 0xFF0080FFu);
  EXPECT_EQ(p.red, 0);
  p.AddAlpha(-300);
  EXPECT_EQ(p.color, 0x000080FFu);  // red, green and blue kept
}

TEST(CPolygon, SetGivesWhiteWithAlphaButKeepsTheComponents) {
  CPolygon p;
  p.SetColor(255, 10, 20, 30);
  p.smooth = 0;
  EXPECT_EQ(p.Set(5, 6, 0.5f, 40, 30, 2, 128, 1), 0);
  EXPECT_EQ(p.color, 0x80FFFFFFu);
  EXPECT_EQ(p.GetAlpha(), 128);
  EXPECT_EQ(p.smooth, 1);
  EXPECT_EQ(p.depthTest, 1);
  EXPECT_FLOAT_EQ(p.GetPosition().z, 0.5f);
  EXPECT_FLOAT_EQ(p.GetSize().y, 30);
  p.SetAlpha(64);  // rebuilt from the stored components, not from white
  EXPECT_EQ(p.color, 0x400A141Eu);
  p.Set(0, 0, 0, 1, 1, 0, 300, 0);
  EXPECT_EQ(p.color, 0xFFFFFFFFu);  // an out-of-range alpha cannot wrap into the colour
}

TEST_F(Registry, TwoSpritesShareOneLoad) {
  WriteTexture("MsgBox/Cursor.tga", SmallTga());
  CPolygon a, b;
  a.SetTexture("MsgBox\\Cursor.tga");
  b.SetTexture("MsgBox\\Cursor.tga");
  EXPECT_EQ(device.TexturesCreated(), 1);
  ASSERT_NE(a.texture, nullptr);
  EXPECT_EQ(a.texture, b.texture);
  EXPECT_EQ(a.textureName, "MsgBox\\Cursor.tga");
  EXPECT_EQ(CPolygon::Registry().size(), 1u);
  EXPECT_EQ(a.texture->Width(), 2);
}

TEST_F(Registry, NamesAreExactAndCp932) {
  std::string jp = SJ("背景\\空.tga");
  WriteTexture("背景/空.tga", SmallTga(3, 1));
  CPolygon p;
  p.SetTexture(jp);
  ASSERT_NE(p.texture, nullptr);
  EXPECT_EQ(p.texture->Width(), 3);

  p.SetTexture("Nothing");
  EXPECT_EQ(p.texture, nullptr);
  EXPECT_EQ(p.textureName, "Nothing");
  // Only the exact name means no texture; these are looked up as files.
  WriteTexture("nothing", SmallTga());
  p.SetTexture("nothing");
  EXPECT_NE(p.texture, nullptr);
  p.SetTexture("Nothing ");
  EXPECT_EQ(p.texture, nullptr);  // no such file: the load fails
  EXPECT_EQ(p.textureName, "Nothing ");
  EXPECT_EQ(CPolygon::Registry().count("Nothing "), 0u);
}

TEST_F(Registry, UnloadThenLookupLoadsAgain) {
  WriteTexture("a.tga", SmallTga());
  EXPECT_EQ(CPolygon::UnloadTexture("a.tga"), E_FAIL);  // never loaded
  EXPECT_EQ(CPolygon::LoadTexture("a.tga"), S_OK);
  TexturePtr first = CPolygon::FindTexture("a.tga");
  EXPECT_EQ(device.TexturesCreated(), 1);
  EXPECT_EQ(CPolygon::UnloadTexture("a.tga"), S_OK);
  EXPECT_EQ(CPolygon::UnloadTexture("a.tga"), E_FAIL);
  TexturePtr second = CPolygon::FindTexture("a.tga");
  EXPECT_EQ(device.TexturesCreated(), 2);
  EXPECT_NE(first, second);

  // Loading a registered name again reads the file but keeps the entry.
  EXPECT_EQ(CPolygon::LoadTexture("a.tga"), S_OK);
  EXPECT_EQ(device.TexturesCreated(), 3);
  EXPECT_EQ(CPolygon::FindTexture("a.tga"), second);
}

TEST_F(Registry, SpritesKeepTheirTextureAliveUntilTheySelectAnother) {
  WriteTexture("chara.tga", SmallTga());
  CPolygon p;
  p.SetTexture("chara.tga");
  std::weak_ptr<Texture> watch = p.texture;
  CPolygon::UnloadTexture("chara.tga");
  EXPECT_FALSE(watch.expired());
  EXPECT_EQ(p.texture, watch.lock());

  // The script's reload: the sprite goes on showing what it received.
  CPolygon::LoadTexture("chara.tga");
  EXPECT_NE(CPolygon::FindTexture("chara.tga"), p.texture);
  p.SetTexture("chara.tga");
  EXPECT_TRUE(watch.expired());

  // Shutdown empties the registry; the sprite's reference stays valid.
  watch = p.texture;
  CPolygon::DeleteDeviceObjects();
  EXPECT_TRUE(CPolygon::Registry().empty());
  EXPECT_FALSE(watch.expired());
  p.SetTexturePointer(nullptr);
  EXPECT_TRUE(watch.expired());
  EXPECT_EQ(p.textureName, "chara.tga");  // the pointer alone changed
}

TEST_F(Registry, FailedLoadReportsAndLeavesNoTexture) {
  std::string tracePath = (root_ / "trace.jsonl").string();
  ASSERT_TRUE(trace::Open(tracePath));
  WriteTexture("good.tga", SmallTga());
  WriteTexture("bad.dds", "DDS garbage");
  std::string cut = pictures::MakeDds(pictures::MakeImage(8, 8, [](int, int) { return 0xFFFFFFFFu; }), pictures::kA8R8G8B8);
  WriteTexture("cut.dds", cut.substr(0, cut.size() - 1));

  CPolygon p;
  p.SetTexture("good.tga");
  ASSERT_NE(p.texture, nullptr);
  p.SetTexture("bad.dds");
  EXPECT_EQ(p.texture, nullptr);
  EXPECT_EQ(CPolygon::LoadTexture("cut.dds"), D3DXERR_INVALIDDATA);
  EXPECT_EQ(CPolygon::LoadTexture("missing.tga"), D3DXERR_INVALIDDATA);
  EXPECT_EQ(CPolygon::Registry().size(), 1u);
  EXPECT_EQ(device.TexturesCreated(), 1);

  trace::EndFrame(1, 0);
  trace::Close();
  std::ifstream in(tracePath);
  std::stringstream all;
  all << in.rdbuf();
  std::string text = all.str();
  std::string report =
      "{\"type\":\"report\",\"unit\":\"CPolygon\",\"line\":44,\"code\":\"D3DXERR_INVALIDDATA (0x88760b59)\","
      "\"message\":\"CPolygon内で、D3DUtil_CreateTextureの失敗。\",\"subject\":\"cut.dds\"}";
  size_t count = 0;
  for (size_t at = text.find("\"type\":\"report\""); at != std::string::npos; at = text.find("\"type\":\"report\"", at + 1))
    ++count;
  EXPECT_EQ(count, 3u) << text;
  EXPECT_NE(text.find(report.substr(0, 40)), std::string::npos);
  EXPECT_NE(text.find(report.substr(report.find("\"code\""))), std::string::npos) << text;
  // Each report names its picture as the game names it, below the texture directory.
  EXPECT_NE(text.find("\"subject\":\"bad.dds\"}"), std::string::npos) << text;
  EXPECT_NE(text.find("\"subject\":\"missing.tga\"}"), std::string::npos) << text;
}

TEST_F(Registry, NoDeviceMeansNoTextureAndNoDrawing) {
  WriteTexture("a.tga", SmallTga());
  CPolygon::DeleteDeviceObjects();
  CPolygon p;
  p.SetTexture("a.tga");
  EXPECT_EQ(p.texture, nullptr);
  EXPECT_LT(p.Render(), 0);
  EXPECT_EQ(device.DrawCalls(), 0u);
}

// A picture saved again while it is on screen: every sprite that shows its
// name shows the new file, a blanked one stays blank, and a file that no
// longer reads leaves the old picture everywhere.
TEST_F(Registry, ReloadShowsTheNewFileInTheSpritesThatShowIt) {
  WriteTexture("bg.tga", SmallTga(2, 2));
  WriteTexture("other.tga", SmallTga(5, 5));
  CPolygon shown, alsoShown, blanked, other;
  shown.SetTexture("bg.tga");
  alsoShown.SetTexture("bg.tga");
  blanked.SetTexture("bg.tga");
  blanked.SetTexturePointer(nullptr);  // a standing picture blanked by a new script
  other.SetTexture("other.tga");
  TexturePtr otherTexture = other.texture;

  WriteTexture("bg.tga", SmallTga(4, 3));
  size_t sprites = 99;
  ASSERT_EQ(CPolygon::ReloadTexture("bg.tga", sprites), S_OK);
  EXPECT_EQ(sprites, 2u);
  ASSERT_NE(shown.texture, nullptr);
  EXPECT_EQ(shown.texture->Width(), 4);
  EXPECT_EQ(alsoShown.texture, shown.texture);
  EXPECT_EQ(blanked.texture, nullptr);
  EXPECT_EQ(other.texture, otherTexture);
  // Sprites selected later find the new picture in the registry.
  CPolygon later;
  later.SetTexture("bg.tga");
  EXPECT_EQ(later.texture, shown.texture);

  TexturePtr before = shown.texture;
  WriteTexture("bg.tga", "not a picture");
  EXPECT_TRUE(FAILED(CPolygon::ReloadTexture("bg.tga", sprites)));
  EXPECT_EQ(sprites, 0u);
  EXPECT_EQ(shown.texture, before);
  EXPECT_EQ(CPolygon::FindTexture("bg.tga"), before);
}

TEST_F(Registry, ReloadForgetsSpritesThatAreGone) {
  WriteTexture("bg.tga", SmallTga());
  auto gone = std::make_unique<CPolygon>();
  gone->SetTexture("bg.tga");
  gone.reset();  // a dangling entry would be written through here
  CPolygon kept;
  kept.SetTexture("bg.tga");
  size_t sprites = 0;
  ASSERT_EQ(CPolygon::ReloadTexture("bg.tga", sprites), S_OK);
  EXPECT_EQ(sprites, 1u);
}

#include <gtest/gtest.h>

#include <algorithm>

#include "framework/TextFont.h"
#include "platform/draw/OffscreenDevice.h"
#include "platform/text/TextCodec.h"

TEST(TextFont, ColourClampsAndPacking) {
  TextFont f;
  f.setColor(300, -5, 128, 255);
  EXPECT_EQ(f.alpha, 255);
  EXPECT_EQ(f.red, 0);
  EXPECT_EQ(f.color, 0xFF0080FFu);
  f.addAlpha(-300);  // opaque minus 300: transparent, colour kept
  EXPECT_EQ(f.alpha, 0);
  EXPECT_EQ(f.color, 0x000080FFu);
  f.setAlpha(128);
  EXPECT_EQ(f.color, 0x800080FFu);
}

TEST(TextFont, PixelHeightFromPointSize) {
  EXPECT_EQ(MulDiv(12, 96, 72), 16);
  EXPECT_EQ(MulDiv(14, 96, 72), 19);
  TextFont f;
  f.createFont(SJ("ＭＳ Ｐゴシック"), 12, 1);
  EXPECT_EQ(f.PixelHeight(), 16);
  EXPECT_TRUE(f.HasFont());
}

TEST(TextFont, DrawsOnlyWhenThereIsTextAndRasterisesOnce) {
  auto dev = platform::CreateOffscreenDevice(200, 60);
  ASSERT_TRUE(dev);
  TextFont::SetDevice(dev.get());
  TextFont f;
  f.createFont(SJ("ＭＳ Ｐゴシック"), 14, 0);
  EXPECT_EQ(f.draw(), S_OK);
  EXPECT_EQ(dev->DrawCalls(), 0u);  // empty text draws nothing
  f.setText(SJ("漢字"));
  f.x = 10.7f;
  f.y = 5.2f;
  f.setColor(255, 255, 0, 0);
  dev->Clear(0xFF000000);
  EXPECT_EQ(f.draw(), S_OK);
  dev->Present();
  std::vector<uint32_t> px;
  ASSERT_TRUE(dev->ReadPixels(px));
  int red = 0, other = 0;
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 200; ++x) {
      uint32_t p = px[y * 200 + x];
      if (((p >> 16) & 0xFF) > 128) {
        ++red;
        EXPECT_GE(x, 10);  // truncated position
        EXPECT_GE(y, 5);
      }
      if ((p & 0xFFFF) > 0x1010) ++other;
    }
  EXPECT_GT(red, 30);
  EXPECT_EQ(other, 0);
  // A clipping rectangle smaller than the text cuts it.
  TextFont::Rect r{0, 0, 4, 4};
  dev->Clear(0xFF000000);
  f.draw(&r);
  dev->Present();
  ASSERT_TRUE(dev->ReadPixels(px));
  for (int y = 4; y < 60; ++y)
    for (int x = 4; x < 200; ++x) ASSERT_EQ(px[y * 200 + x] & 0xFFFFFF, 0u);
  TextFont::SetDevice(nullptr);
}

TEST(TextFont, TheFaceIsOpenedWhenFirstNeededAndAReleasedFontStaysReleased) {
  TextFont released;
  released.createFont(SJ("ＭＳ Ｐゴシック"), 12, 1);
  released.releaseFont();
  EXPECT_FALSE(released.HasFont());  // not opened behind the release's back
  released.setText("x");
  EXPECT_EQ(released.draw(), E_FAIL);

  auto dev = platform::CreateOffscreenDevice(120, 40);
  ASSERT_TRUE(dev);
  TextFont::SetDevice(dev.get());
  // Two text objects of one face draw the same pixels, whichever opens first.
  std::vector<uint32_t> px[2];
  TextFont a, b;
  a.createFont(SJ("ＭＳ ゴシック"), 14, 1);
  b.createFont(SJ("ＭＳ ゴシック"), 14, 1);
  for (TextFont* f : {&a, &b}) {
    f->setText(SJ("終了確認"));
    f->x = 3;
    f->y = 4;
  }
  for (int i = 0; i < 2; ++i) {
    dev->Clear(0xFF000000);
    EXPECT_EQ((i == 0 ? a : b).draw(), S_OK);
    dev->Present();
    ASSERT_TRUE(dev->ReadPixels(px[i]));
  }
  EXPECT_TRUE(px[0] == px[1]);
  EXPECT_NE(std::count(px[0].begin(), px[0].end(), 0xFF000000u), long(px[0].size()));
  TextFont::SetDevice(nullptr);
}

#include <gtest/gtest.h>

#include "platform/Font.h"
#include "platform/TextCodec.h"

using namespace platform;

TEST(Font, WindowsJapaneseFacesResolveToIpaFonts) {
  EXPECT_NE(ResolveFontFile(SJ("ＭＳ Ｐゴシック"), true, false).find("ipagp"), std::string::npos);
  EXPECT_NE(ResolveFontFile("MS PGothic", false, false).find("ipagp"), std::string::npos);
  // IPAGothic is installed both as ipag.ttf and as the fonts-japanese-gothic alternative.
  std::string fixed = ResolveFontFile(SJ("ＭＳ ゴシック"), false, false);
  EXPECT_TRUE(fixed.find("ipag.ttf") != std::string::npos || fixed.find("japanese-gothic") != std::string::npos) << fixed;
}

TEST(Font, RendersJapaneseLinesAndTabs) {
  auto font = OpenFont(SJ("ＭＳ Ｐゴシック"), 16, true, false);
  ASSERT_TRUE(font);
  TextImage one, two, tabbed;
  ASSERT_TRUE(font->Render("漢字テスト", one));
  EXPECT_GT(one.width, 40);
  EXPECT_EQ(one.height, font->LineHeight());
  bool ink = false;
  for (uint32_t p : one.argb) ink |= (p >> 24) > 128;
  EXPECT_TRUE(ink);
  ASSERT_TRUE(font->Render("漢字\r\nテスト", two));
  EXPECT_EQ(two.height, 2 * font->LineHeight());
  ASSERT_TRUE(font->Render("a\tb", tabbed));
  EXPECT_GT(tabbed.width, 50);  // the tab jumps to the next stop of eight characters
  TextImage empty;
  ASSERT_TRUE(font->Render("", empty));
  EXPECT_EQ(empty.width, 0);
}

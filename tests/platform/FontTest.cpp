#include <gtest/gtest.h>

#include "platform/text/Font.h"
#include "platform/text/TextCodec.h"

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

TEST(Font, OpensOfOneFaceSizeAndStyleShareItAndDrawTheSamePixels) {
  auto first = OpenFont(SJ("ＭＳ Ｐゴシック"), 16, true, false);
  ASSERT_TRUE(first);
  TextImage before;
  ASSERT_TRUE(first->Render("夕焼けの約束 Ag", before));
  auto second = OpenFont("MS PGothic", 16, true, false);  // another name for the same file
  ASSERT_TRUE(second);
  EXPECT_EQ(second->FilePath(), first->FilePath());
  // Other text through one, then the first text again through the other:
  // the shared glyph cache changes nothing.
  TextImage other, after;
  ASSERT_TRUE(first->Render("ミケ、おいで！", other));
  first.reset();  // the face outlives the font that opened it
  ASSERT_TRUE(second->Render("夕焼けの約束 Ag", after));
  EXPECT_EQ(after.width, before.width);
  EXPECT_EQ(after.height, before.height);
  EXPECT_TRUE(after.argb == before.argb);

  // Size and style are part of what is shared: each keeps its own metrics.
  auto larger = OpenFont(SJ("ＭＳ Ｐゴシック"), 24, true, false);
  auto plain = OpenFont(SJ("ＭＳ Ｐゴシック"), 16, false, false);
  ASSERT_TRUE(larger && plain);
  TextImage big, thin;
  ASSERT_TRUE(larger->Render("夕焼けの約束 Ag", big));
  ASSERT_TRUE(plain->Render("夕焼けの約束 Ag", thin));
  EXPECT_GT(big.height, before.height);
  EXPECT_FALSE(thin.width == before.width && thin.argb == before.argb);  // not bold
  // Many sizes in turn: the faces no font uses are closed, those in use stay.
  for (int px = 8; px < 40; ++px) EXPECT_TRUE(OpenFont("MS PGothic", px, false, false)) << px;
  TextImage again;
  ASSERT_TRUE(second->Render("夕焼けの約束 Ag", again));
  EXPECT_TRUE(again.argb == before.argb);
}

// The script checker relies on this to name characters that show as boxes.
TEST(Font, KnowsWhichCharactersItHasGlyphsFor) {
  auto font = OpenFont(SJ("ＭＳ Ｐゴシック"), 16, true, false);
  ASSERT_TRUE(font);
  EXPECT_TRUE(font->HasGlyph(U'あ'));
  EXPECT_TRUE(font->HasGlyph(U'漢'));
  EXPECT_TRUE(font->HasGlyph(U'A'));
  EXPECT_FALSE(font->HasGlyph(U'\u2211'));  // CP932 0x8794, which the IPA fonts leave out
  EXPECT_FALSE(font->HasGlyph(U'\uE000'));  // the user-defined area
}

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <utility>

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

namespace {
// The first and last image rows with ink (alpha above half), from `from` on.
std::pair<int, int> InkRows(const TextImage& img, int from, int to) {
  int first = -1, last = -1;
  for (int y = std::max(0, from); y < std::min(img.height, to); ++y)
    for (int x = 0; x < img.width; ++x)
      if ((img.argb[size_t(y) * img.width + x] >> 24) > 128) {
        if (first < 0) first = y;
        last = y;
        break;
      }
  return {first, last};
}
// Noto Sans CJK, which fontconfig picks for Japanese where the IPA fonts are
// missing; its line is half again as tall as its em.
std::unique_ptr<Font> OpenNoto() {
  if (ResolveFontFile("Noto Sans CJK JP", true, false).find("NotoSansCJK") == std::string::npos) return nullptr;
  return OpenFont("Noto Sans CJK JP", 16, true, false);
}
}  // namespace

// A pitch equal to the IPA face's own line changes no pixel: the game's
// text looks as it always did.
TEST(Font, LinePitchOfTheFacesOwnLineChangesNothing) {
  auto font = OpenFont(SJ("ＭＳ Ｐゴシック"), 16, true, false);
  ASSERT_TRUE(font);
  ASSERT_EQ(font->LineHeight(), 16);
  TextImage own, pitched;
  ASSERT_TRUE(font->Render("夕焼けの\n\n約束 Ag\n\n", own));
  font->SetLinePitch(16);
  ASSERT_TRUE(font->Render("夕焼けの\n\n約束 Ag\n\n", pitched));
  EXPECT_EQ(pitched.width, own.width);
  EXPECT_EQ(pitched.height, own.height);
  EXPECT_TRUE(pitched.argb == own.argb);
}

// A face with a taller line keeps the rows one em apart, its glyphs where
// the IPA face has them (within two pixels), and its last descenders.
TEST(Font, LinePitchPlacesATallerFacesRowsWhereTheIpaFacesAre) {
  auto noto = OpenNoto();
  if (!noto) GTEST_SKIP() << "Noto Sans CJK is not installed (fonts-noto-cjk)";
  auto ipa = OpenFont(SJ("ＭＳ Ｐゴシック"), 16, true, false);
  ASSERT_TRUE(ipa);
  ASSERT_GT(noto->LineHeight(), 20);
  const std::string rows = "あ\n\nい\n\nう";
  TextImage natural, pitched, reference;
  ASSERT_TRUE(noto->Render(rows, natural));
  // By its own line the third row would start 96 px down, not 64.
  EXPECT_GE(InkRows(natural, 70, natural.height).first, 90);
  noto->SetLinePitch(16);
  ipa->SetLinePitch(16);
  ASSERT_TRUE(noto->Render(rows, pitched));
  ASSERT_TRUE(ipa->Render(rows, reference));
  for (int row = 0; row < 3; ++row) {
    const auto [top, bottom] = InkRows(pitched, row * 32, row * 32 + 32);
    const auto [refTop, refBottom] = InkRows(reference, row * 32, row * 32 + 32);
    ASSERT_GE(top, 0) << "row " << row;
    EXPECT_NEAR(top, refTop, 2) << "row " << row;
    EXPECT_NEAR(bottom, refBottom, 2) << "row " << row;
  }
  // "g" below the last line's baseline is not cut off.
  TextImage descender;
  ASSERT_TRUE(noto->Render("g", descender));
  EXPECT_GT(descender.height, 16);
  EXPECT_GE(InkRows(descender, 0, descender.height).second, 16);
}

// For reports: what each face resolved to, and whether it stands in.
TEST(Font, DescribesWhatAFaceResolvedTo) {
  const ResolvedFace message = ResolveFace(SJ("ＭＳ Ｐゴシック"), true, false);
  EXPECT_EQ(message.preferred, "IPAPGothic");
  EXPECT_EQ(message.family, "IPAPGothic");
  EXPECT_EQ(DescribeFace(message), "IPAPGothic (" + message.file + ")");
  EXPECT_EQ(DescribeFace(ResolvedFace{"/f/noto.ttc", "Noto Sans CJK JP", "IPAPGothic"}),
            "Noto Sans CJK JP (/f/noto.ttc), standing in for IPAPGothic");
  EXPECT_EQ(DescribeFace(ResolvedFace{}), "none");
  EXPECT_EQ(ResolveFace("DejaVu Sans", false, false).preferred, "");
}

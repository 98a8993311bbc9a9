#include <gtest/gtest.h>

#include "platform/text/TextCodec.h"

using platform::Cp932ToUtf8;
using platform::Utf8ToCp932;

TEST(TextCodec, RoundTripsJapaneseAndBackslash) {
  std::string cp;
  ASSERT_TRUE(Utf8ToCp932("終了してもよいですか？\\ソ", cp));
  // 0x5C stays a backslash in CP932 (not the yen sign); ソ has 0x5C as trail byte.
  EXPECT_EQ(cp.back(), '\x5C');
  EXPECT_EQ(cp[cp.size() - 2], '\x83');
  EXPECT_EQ(cp[cp.size() - 3], '\x5C');
  EXPECT_EQ(Cp932ToUtf8(cp), "終了してもよいですか？\\ソ");
}

TEST(TextCodec, NecAndIbmExtensionsConvert) {
  // ① (NEC row 13) and 髙 (IBM extension) exist only in CP932, not Shift_JIS.
  std::string cp;
  ASSERT_TRUE(Utf8ToCp932("①髙", cp));
  EXPECT_EQ(Cp932ToUtf8(cp), "①髙");
}

TEST(TextCodec, InvalidAndCutBytesBecomeReplacementCharacters) {
  EXPECT_EQ(Cp932ToUtf8("A\x81"), "A\xEF\xBF\xBD");       // cut lead byte at the end
  EXPECT_EQ(Cp932ToUtf8("\xA0" "B"), "\xEF\xBF\xBD" "B");  // 0xA0 is unassigned
  EXPECT_EQ(Cp932ToUtf8(std::string("\x00", 1)), std::string("\x00", 1));
}

TEST(TextCodec, UnmappableCharacterReportsItsOffset) {
  std::string cp;
  size_t bad = 0;
  EXPECT_FALSE(Utf8ToCp932("ab\xF0\x9F\x98\x80", cp, &bad));  // emoji
  EXPECT_EQ(bad, 2u);
  EXPECT_EQ(platform::Utf8ToCp932Lossy("a\xF0\x9F\x98\x80z"), "a?z");
}

TEST(TextCodec, SjMacroGivesCp932Bytes) {
  EXPECT_EQ(SJ("ゲームを終了する"), std::string("\x83\x51\x81\x5B\x83\x80\x82\xF0\x8F\x49\x97\xB9\x82\xB7\x82\xE9"));
}

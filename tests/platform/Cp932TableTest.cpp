// The generated CP932 table converts exactly as this machine's iconv does:
// every byte and byte pair one way, every code point the other way.
#include <gtest/gtest.h>
#include <iconv.h>

#include <string>

#include "platform/text/Cp932Table.h"
#include "platform/text/TextCodec.h"

namespace {

bool IconvHasCp932() {
  iconv_t cd = iconv_open("UTF-8", "CP932");
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  iconv_close(cd);
  return true;
}

std::string Utf8(unsigned long cp) {
  std::string s;
  if (cp < 0x80) {
    s += static_cast<char>(cp);
  } else if (cp < 0x800) {
    s += static_cast<char>(0xC0 | cp >> 6);
    s += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    s += static_cast<char>(0xE0 | cp >> 12);
    s += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
    s += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    s += static_cast<char>(0xF0 | cp >> 18);
    s += static_cast<char>(0x80 | (cp >> 12 & 0x3F));
    s += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
    s += static_cast<char>(0x80 | (cp & 0x3F));
  }
  return s;
}

// Both converters on one input: same success, same bytes, same bad offset.
void ExpectSameEncoding(const std::string& utf8) {
  std::string fromIconv, fromTable;
  size_t badIconv = 0, badTable = 0;
  const bool okIconv = platform::Utf8ToCp932(utf8, fromIconv, &badIconv);
  const bool okTable = platform::cp932::FromUtf8(utf8, fromTable, &badTable);
  ASSERT_EQ(okIconv, okTable) << testing::PrintToString(utf8);
  ASSERT_EQ(fromIconv, fromTable) << testing::PrintToString(utf8);
  if (!okIconv) {
    ASSERT_EQ(badIconv, badTable) << testing::PrintToString(utf8);
  }
}

}  // namespace

TEST(Cp932Table, DecodesEveryByteAndPairAsIconvDoes) {
  if (!IconvHasCp932()) GTEST_SKIP() << "this machine's iconv has no CP932 to compare with";
  for (unsigned b = 0; b < 256; ++b) {
    const std::string alone(1, static_cast<char>(b));
    ASSERT_EQ(platform::cp932::ToUtf8(alone), platform::Cp932ToUtf8(alone)) << b;
    // Followed by an ASCII letter: how an invalid pair resynchronises.
    const std::string thenA = alone + "A";
    ASSERT_EQ(platform::cp932::ToUtf8(thenA), platform::Cp932ToUtf8(thenA)) << b;
    for (unsigned t = 0; t < 256; ++t) {
      const std::string pair{static_cast<char>(b), static_cast<char>(t)};
      ASSERT_EQ(platform::cp932::ToUtf8(pair), platform::Cp932ToUtf8(pair)) << b << ' ' << t;
    }
  }
}

TEST(Cp932Table, EncodesEveryCodePointAsIconvDoes) {
  if (!IconvHasCp932()) GTEST_SKIP() << "this machine's iconv has no CP932 to compare with";
  for (unsigned long cp = 0; cp < 0x10000; ++cp) {
    if (cp >= 0xD800 && cp <= 0xDFFF) continue;
    ExpectSameEncoding("a" + Utf8(cp) + "b");
  }
  // Beyond the BMP nothing has a CP932 form; a sample of every plane.
  for (unsigned long cp = 0x10000; cp <= 0x10FFFF; cp += 0x3F1) ExpectSameEncoding("x" + Utf8(cp));
  ExpectSameEncoding(Utf8(0x10FFFF));
  // iconv drops the language tags without a trace; so does the table.
  for (unsigned long cp : {0xE0000ul, 0xE0041ul, 0xE007Ful, 0xE0080ul}) ExpectSameEncoding("a" + Utf8(cp) + "b");
}

TEST(Cp932Table, RejectsInvalidUtf8WhereIconvDoes) {
  if (!IconvHasCp932()) GTEST_SKIP() << "this machine's iconv has no CP932 to compare with";
  for (const char* bad : {"A\xC0\x80", "A\xC1\xBF", "A\xE0\x80\x80", "A\xED\xA0\x80", "A\xF4\x90\x80\x80",
                          "A\xF5\x80\x80\x80", "A\xF8\x88\x80\x80\x80", "A\x80", "A\xBF" "B", "A\xFE", "A\xFF",
                          "\xE3\x81", "A\xE3\x81" "B", "\xE3\x81\x82\xE3", "\xC3", "A\xF0\x9F\x98"})
    ExpectSameEncoding(bad);
}

TEST(Cp932Table, TableAloneConvertsCp932OnlyCharacters) {
  // Holds on any machine: ① (NEC row 13) and 髙 (IBM extension) exist only
  // in CP932, and 0x5C stays a backslash.
  std::string cp;
  ASSERT_TRUE(platform::cp932::FromUtf8("①髙\\", cp, nullptr));
  EXPECT_EQ(cp, "\x87\x40\xFB\xFC\x5C");
  EXPECT_EQ(platform::cp932::ToUtf8(cp), "①髙\\");
  size_t bad = 0;
  EXPECT_FALSE(platform::cp932::FromUtf8("ab\xF0\x9F\x98\x80", cp, &bad));  // an emoji
  EXPECT_EQ(bad, 2u);
  EXPECT_EQ(cp, "ab");
}

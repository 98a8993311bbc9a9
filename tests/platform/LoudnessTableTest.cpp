// The table of pieces' loudness a web page carries: the content key must
// come out the same wherever it is computed (a 64-bit tool writes it, the
// 32-bit page reads it), and the reader takes only well-formed lines.
#include <gtest/gtest.h>

#include <string>

#include "platform/audio/LoudnessTable.h"
#include "platform/audio/SmfImage.h"

using namespace platform;

TEST(LoudnessTable, PieceKeyIsFnv1a64OfTheBytes) {
  // FNV-1a 64's published values, and a whole one-track MIDI file.
  EXPECT_EQ(PieceKey(""), 0xcbf29ce484222325ull);
  EXPECT_EQ(PieceKey("a"), 0xaf63dc4c8601ec8cull);
  EXPECT_EQ(PieceKey("foobar"), 0x85944171f73967e8ull);
  std::string smf("MThd\0\0\0\6\0\0\0\1\0\x60MTrk\0\0\0\4\0\xff\x2f\0", 26);
  ASSERT_TRUE(ExtractSmf(smf));  // a well-formed file comes out as it went in
  EXPECT_EQ(PieceKey(smf), 0xab99fca318e8b131ull);
  // Bytes above 0x7f count as unsigned.
  EXPECT_NE(PieceKey("\xff"), PieceKey("\x7f"));
}

TEST(LoudnessTable, LinesKeepTwoDecimalsAndTheirSign) {
  EXPECT_EQ(LoudnessLine(0xab99fca318e8b131ull, -17.2449), "ab99fca318e8b131 -17.24\n");
  EXPECT_EQ(LoudnessLine(0x1ull, -0.5), "0000000000000001 -0.50\n");
  EXPECT_EQ(LoudnessLine(0x1ull, -0.004), "0000000000000001 0.00\n");
  EXPECT_EQ(LoudnessLine(0xffffffffffffffffull, 3.1), "ffffffffffffffff 3.10\n");
  EXPECT_EQ(LoudnessLine(0x2ull, -24.805, "Music/MIDI/a.mid b.mid"),
            "0000000000000002 -24.81  # Music/MIDI/a.mid b.mid\n");
}

TEST(LoudnessTable, WrittenLinesReadBack) {
  const std::string text = "# vantorel-script loudness\n" + LoudnessLine(0xab99fca318e8b131ull, -17.24, "x.mid") +
                           LoudnessLine(0x1ull, -0.5) + LoudnessLine(0x2ull, 0.0);
  const auto table = ParseLoudnessTable(text);
  ASSERT_EQ(table.size(), 3u);
  EXPECT_DOUBLE_EQ(table.at(0xab99fca318e8b131ull), -17.24);
  EXPECT_DOUBLE_EQ(table.at(0x1ull), -0.5);
  EXPECT_DOUBLE_EQ(table.at(0x2ull), 0.0);
}

TEST(LoudnessTable, MalformedLinesArePassedOver) {
  const auto table = ParseLoudnessTable(
      "00000000000000a1 -20.5\r\n"          // a Windows line end
      "00000000000000A2\t-21   # note\n"     // capitals, a tab, no decimals, a comment
      "  00000000000000a3   -22.25  \n"     // spaces around
      "00000000000000a1 -99\n"              // a key seen before: the first holds
      "0000000000000a4 -20\n"               // 15 digits
      "000000000000000a5 -20\n"             // 17 digits
      "00000000000000g6 -20\n"              // no hex digit
      "00000000000000a7\n"                  // no loudness
      "00000000000000a8 -20 extra\n"        // a third word
      "00000000000000a9 nan\n"
      "00000000000000aa -inf\n"
      "00000000000000ab 1e3\n"
      "00000000000000ac -\n"
      "00000000000000ad -20.\n"
      "00000000000000ae .5\n"
      "00000000000000af -20,5\n"
      "00000000000000b0 -123456\n"          // no loudness is that far out
      "00000000000000b1 -1.1234567\n"
      "-20 00000000000000b2\n"              // the words swapped
      "\n#\n   \n"
      "00000000000000b3 -23");              // the last line without its end
  EXPECT_EQ(table.size(), 4u);
  EXPECT_DOUBLE_EQ(table.at(0xa1), -20.5);
  EXPECT_DOUBLE_EQ(table.at(0xa2), -21.0);
  EXPECT_DOUBLE_EQ(table.at(0xa3), -22.25);
  EXPECT_DOUBLE_EQ(table.at(0xb3), -23.0);
  EXPECT_TRUE(ParseLoudnessTable("").empty());
  EXPECT_TRUE(ParseLoudnessTable(std::string("00000000000000a1\0-20\n", 21)).empty());
}

// How file names left by archives are told apart and mended.
#include <gtest/gtest.h>

#include "platform/text/NameCodec.h"
#include "platform/text/TextCodec.h"

using platform::ClassifyName;
using platform::NameForm;

namespace {
// The UTF-8 that plain unzip makes of CP932 bytes (each byte a CP437 character).
std::string AsCp437(const std::string& utf8) {
  static const char* const kHigh[128] = {
      "Ç", "ü", "é", "â", "ä", "à", "å", "ç", "ê", "ë", "è", "ï", "î", "ì", "Ä", "Å", "É", "æ", "Æ", "ô", "ö", "ò",
      "û", "ù", "ÿ", "Ö", "Ü", "¢", "£", "¥", "₧", "ƒ", "á", "í", "ó", "ú", "ñ", "Ñ", "ª", "º", "¿", "⌐", "¬", "½",
      "¼", "¡", "«", "»", "░", "▒", "▓", "│", "┤", "╡", "╢", "╖", "╕", "╣", "║", "╗", "╝", "╜", "╛", "┐", "└", "┴",
      "┬", "├", "─", "┼", "╞", "╟", "╚", "╔", "╩", "╦", "╠", "═", "╬", "╧", "╨", "╤", "╥", "╙", "╘", "╒", "╓", "╫",
      "╪", "┘", "┌", "█", "▄", "▌", "▐", "▀", "α", "ß", "Γ", "π", "Σ", "σ", "µ", "τ", "Φ", "Θ", "Ω", "δ", "∞", "φ",
      "ε", "∩", "≡", "±", "≥", "≤", "⌠", "⌡", "÷", "≈", "°", "∙", "·", "√", "ⁿ", "²", "■", "\u00A0"};
  std::string out;
  for (unsigned char c : platform::Utf8ToCp932Lossy(utf8)) out += c < 0x80 ? std::string(1, char(c)) : kHigh[c - 0x80];
  return out;
}
}  // namespace

TEST(NameCodec, TellsTheThreeFormsApartAndMendsThem) {
  std::string proper;
  EXPECT_EQ(ClassifyName("Text", proper), NameForm::Utf8);
  EXPECT_EQ(proper, "Text");
  EXPECT_EQ(ClassifyName("本編", proper), NameForm::Utf8);
  EXPECT_EQ(ClassifyName(platform::Utf8ToCp932Lossy("本編"), proper), NameForm::Cp932Bytes);
  EXPECT_EQ(proper, "本編");
  EXPECT_EQ(ClassifyName(platform::Utf8ToCp932Lossy("ｾｰﾌﾞ"), proper), NameForm::Cp932Bytes);  // half-width kana
  EXPECT_EQ(proper, "ｾｰﾌﾞ");
  EXPECT_EQ(ClassifyName(AsCp437("オープニング1E.Dat"), proper), NameForm::Cp437Mojibake);
  EXPECT_EQ(proper, "オープニング1E.Dat");
  EXPECT_EQ(ClassifyName(AsCp437("セーブデータ"), proper), NameForm::Cp437Mojibake);
  EXPECT_EQ(proper, "セーブデータ");
}

TEST(NameCodec, RealUtf8NamesWithCp437CharactersStayAsTheyAre) {
  std::string proper;
  EXPECT_EQ(ClassifyName("Café", proper), NameForm::Utf8);    // 0x82 alone: a cut CP932 character
  EXPECT_EQ(ClassifyName("Cafés", proper), NameForm::Utf8);   // reads as "CafＴ": no kana or kanji
  EXPECT_EQ(ClassifyName("Ça va", proper), NameForm::Utf8);
  EXPECT_EQ(proper, "Ça va");
}

TEST(NameCodec, BytesThatAreNeitherAreLeftAlone) {
  std::string proper;
  EXPECT_EQ(ClassifyName("\xFF\xFE", proper), NameForm::Unknown);
  EXPECT_EQ(proper, "\xFF\xFE");
  EXPECT_EQ(ClassifyName("\x82", proper), NameForm::Unknown);  // a lead byte cut off
}

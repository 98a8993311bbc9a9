#include "script/CCipher.h"

#include <gtest/gtest.h>

#include "script/CTextFile.h"

namespace {
// Low nibbles of the key "qlymzo5170".
const unsigned kNibble[10] = {0x1, 0xC, 0x9, 0xD, 0xA, 0xF, 0x5, 0x1, 0x7, 0x0};

std::string Bytes(size_t n, unsigned char c) { return std::string(n, static_cast<char>(c)); }
unsigned char At(const std::string& s, size_t i) { return static_cast<unsigned char>(s[i]); }
}  // namespace

TEST(CCipher, OneKeyCursorRunsAcrossWordsAndWrapsAtTheEleventhByte) {
  CCipher cipher;
  WordList words = {Bytes(2, 0x80), "", Bytes(2, 0x80), Bytes(7, 0x80)};
  ASSERT_TRUE(cipher.Encrypt(words, CTextFile::kKey));
  // Every word gains one plain space; empty words take no key byte.
  EXPECT_EQ(words[1], " ");
  EXPECT_EQ(At(words[0], 0), 0x80 - kNibble[0]);
  EXPECT_EQ(At(words[0], 1), 0x80 - kNibble[1]);
  EXPECT_EQ(At(words[2], 0), 0x80 - kNibble[2]);
  EXPECT_EQ(At(words[2], 1), 0x80 - kNibble[3]);
  for (size_t i = 0; i < 6; ++i) EXPECT_EQ(At(words[3], i), 0x80 - kNibble[4 + i]) << i;
  EXPECT_EQ(At(words[3], 6), 0x80 - kNibble[0]);  // eleventh byte of the list
  for (const std::string& w : words) EXPECT_EQ(w.back(), ' ');

  // Deciphering walks the same way (the reader has dropped the spaces).
  for (std::string& w : words) w.pop_back();
  ASSERT_TRUE(cipher.Decrypt(words, CTextFile::kKey));
  EXPECT_EQ(words, (WordList{Bytes(2, 0x80), "", Bytes(2, 0x80), Bytes(7, 0x80)}));
}

TEST(CCipher, ArithmeticWrapsModulo256) {
  CCipher cipher;
  // Position 5 is 'o' (nibble 0xF), position 9 is '0' (nibble 0).
  WordList words = {std::string("\x00\x00\x00\x00\x00\x05\x00\x00\x00\xAB", 10)};
  cipher.Encrypt(words, CTextFile::kKey);
  EXPECT_EQ(At(words[0], 5), 0xF6);
  EXPECT_EQ(At(words[0], 9), 0xAB);
  EXPECT_EQ(At(words[0], 0), 0xFF);  // 0x00 - 1

  words = {std::string("\xF6\xFF", 2)};
  cipher.Decrypt(words, "o");  // a one-byte key repeats on every byte
  EXPECT_EQ(words[0], std::string("\x05\x0E", 2));
}

TEST(CCipher, EveryByteValueRoundTrips) {
  CCipher cipher;
  std::string all;
  for (int i = 0; i < 256; ++i) all += static_cast<char>(i);
  WordList words = {all, "a", all};
  const WordList original = words;
  cipher.Encrypt(words, CTextFile::kKey);
  for (std::string& w : words) w.pop_back();
  EXPECT_NE(words, original);
  cipher.Decrypt(words, CTextFile::kKey);
  EXPECT_EQ(words, original);
}

TEST(CCipher, EmptyKeyIsRefusedWithoutChangingTheList) {
  CCipher cipher;
  WordList words = {"abc"};
  EXPECT_FALSE(cipher.Encrypt(words, ""));
  EXPECT_FALSE(cipher.Decrypt(words, ""));
  EXPECT_EQ(words, WordList{"abc"});
}

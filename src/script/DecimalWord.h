#pragma once
// Numbers in script and save words: an optional sign and decimal digits,
// read as the C library's "%d" reads them (trailing bytes are ignored).
#include <cstdint>
#include <string>

// Stores the number at the start of word into value and returns true; a
// word that begins with no number leaves value as it was. Values beyond the
// 32-bit range are clamped rather than wrapped.
inline bool ParseDecimal(const std::string& word, int32_t& value) {
  size_t i = 0;
  bool negative = false;
  if (i < word.size() && (word[i] == '+' || word[i] == '-')) negative = word[i++] == '-';
  if (i >= word.size() || word[i] < '0' || word[i] > '9') return false;
  int64_t n = 0;
  for (; i < word.size() && word[i] >= '0' && word[i] <= '9'; ++i) {
    if (n <= INT64_C(0x100000000)) n = n * 10 + (word[i] - '0');
  }
  if (negative) n = -n;
  if (n > INT32_MAX) n = INT32_MAX;
  if (n < INT32_MIN) n = INT32_MIN;
  value = static_cast<int32_t>(n);
  return true;
}

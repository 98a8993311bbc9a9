// Written and read by hand rather than by printf and strtod: the decimal
// point must not follow the locale, and the table must read alike wherever
// it was written.
#include "platform/audio/LoudnessTable.h"

#include <cmath>
#include <cstdlib>

#include "platform/files/ContentHash.h"

namespace platform {

uint64_t PieceKey(std::string_view smf) { return Fnv1a64(smf); }

std::string LoudnessLine(uint64_t key, double lufs, std::string_view comment) {
  std::string line = Hex16(key) + ' ';
  const long long hundredths = std::llround(lufs * 100.0);
  if (hundredths < 0) line += '-';
  const long long magnitude = std::llabs(hundredths);
  line += std::to_string(magnitude / 100) + '.';
  line += char('0' + magnitude / 10 % 10);
  line += char('0' + magnitude % 10);
  if (!comment.empty()) {
    line += "  # ";
    line += comment;
  }
  line += '\n';
  return line;
}

namespace {
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// 16 hexadecimal digits exactly.
bool ReadKey(std::string_view word, uint64_t& key) {
  if (word.size() != 16) return false;
  key = 0;
  for (char c : word) {
    int digit;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    else return false;
    key = key << 4 | uint64_t(digit);
  }
  return true;
}

// [-]digits[.digits], a few digits each side: a loudness, not any number.
bool ReadLoudness(std::string_view word, double& lufs) {
  size_t i = 0;
  const bool negative = !word.empty() && word[0] == '-';
  if (negative) ++i;
  double value = 0;
  size_t whole = 0, fraction = 0;
  for (; i < word.size() && word[i] >= '0' && word[i] <= '9'; ++i, ++whole) value = value * 10 + (word[i] - '0');
  if (i < word.size() && word[i] == '.') {
    double scale = 0.1;
    for (++i; i < word.size() && word[i] >= '0' && word[i] <= '9'; ++i, ++fraction, scale /= 10)
      value += (word[i] - '0') * scale;
    if (fraction == 0) return false;
  }
  if (i != word.size() || whole == 0 || whole > 4 || fraction > 6) return false;
  lufs = negative ? -value : value;
  return true;
}
}  // namespace

std::map<uint64_t, double> ParseLoudnessTable(std::string_view text) {
  std::map<uint64_t, double> table;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (const size_t hash = line.find('#'); hash != std::string_view::npos) line = line.substr(0, hash);
    std::string_view words[3];
    size_t count = 0;
    for (size_t i = 0; i < line.size();) {
      while (i < line.size() && IsBlank(line[i])) ++i;
      if (i == line.size()) break;
      const size_t start = i;
      while (i < line.size() && !IsBlank(line[i])) ++i;
      if (count == 3) break;
      words[count++] = line.substr(start, i - start);
    }
    uint64_t key;
    double lufs;
    if (count == 2 && ReadKey(words[0], key) && ReadLoudness(words[1], lufs)) table.emplace(key, lufs);
  }
  return table;
}

}  // namespace platform

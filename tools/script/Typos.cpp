#include "Typos.h"

#include <algorithm>
#include <cctype>

#include "platform/text/TextCodec.h"
#include "script/Keywords.h"

namespace scripttool {

const char* const kFullWidthSpace = "\x81\x40";

namespace {
// A CP932 string as its characters (one or two bytes each), ASCII letters
// folded to lower case.
std::vector<std::string> Characters(const std::string& s) {
  std::vector<std::string> out;
  for (size_t i = 0; i < s.size();) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    const size_t n = platform::IsLeadByte(c) && i + 1 < s.size() ? 2 : 1;
    std::string ch = s.substr(i, n);
    if (n == 1) ch[0] = static_cast<char>(std::tolower(c));
    out.push_back(std::move(ch));
    i += n;
  }
  return out;
}

// Edits between a and b, a swap of two neighbours counting as one.
size_t Distance(const std::vector<std::string>& a, const std::vector<std::string>& b) {
  std::vector<std::vector<size_t>> d(a.size() + 1, std::vector<size_t>(b.size() + 1));
  for (size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
  for (size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    for (size_t j = 1; j <= b.size(); ++j) {
      const size_t cost = a[i - 1] == b[j - 1] ? 0 : 1;
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + cost});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
    }
  }
  return d[a.size()][b.size()];
}

// Edits allowed for a keyword of `length` characters: short ones are too
// close to ordinary words for more than a change of case.
size_t Allowed(size_t length) { return length <= 3 ? 0 : length <= 5 ? 1 : 2; }

// Only words of the keyword's own kind of characters are compared: ASCII
// letters with ASCII keywords, double-byte characters with キーコンフィグ.
bool SameKind(const std::string& word, const std::string& keyword) {
  const bool ascii = !keyword.empty() && static_cast<unsigned char>(keyword[0]) < 0x80;
  const std::vector<std::string> chars = Characters(word);
  return std::all_of(chars.begin(), chars.end(), [&](const std::string& c) {
    return ascii ? c.size() == 1 && std::isalpha(static_cast<unsigned char>(c[0])) : c.size() == 2;
  });
}

// Edits from word to choice, or npos when it is too far or of another kind.
size_t Closeness(const std::string& word, const std::vector<std::string>& wordChars, const std::string& choice) {
  if (choice.empty() || !SameKind(word, choice)) return std::string::npos;
  const std::vector<std::string> c = Characters(choice);
  const size_t length = std::max(c.size(), wordChars.size());
  if (length - std::min(c.size(), wordChars.size()) > 2) return std::string::npos;
  const size_t d = Distance(wordChars, c);
  return d <= Allowed(c.size()) ? d : std::string::npos;
}
}  // namespace

bool IsKeyword(const std::string& word) {
  for (const script::Keyword& row : script::Keywords()) {
    if (!row.dollarPrefix && row.Matches(word)) return true;
  }
  return false;
}

std::string NearestOf(const std::string& word, const std::vector<std::string>& choices) {
  if (std::find(choices.begin(), choices.end(), word) != choices.end()) return {};
  const std::vector<std::string> wordChars = Characters(word);
  std::string best;
  size_t bestDistance = std::string::npos;
  for (const std::string& choice : choices) {
    const size_t d = Closeness(word, wordChars, choice);
    if (d < bestDistance) {
      bestDistance = d;
      best = choice;
    }
  }
  return best;
}

Typo KeywordMeant(const std::string& word) {
  Typo typo;
  if (word.empty() || word[0] == '$' || IsKeyword(word)) return typo;
  const std::vector<std::string> wordChars = Characters(word);
  size_t bestDistance = std::string::npos;
  for (const script::Keyword& row : script::Keywords()) {
    if (row.dollarPrefix) continue;
    for (const std::string* spelling : {&row.word, &row.otherSpelling}) {
      const size_t d = Closeness(word, wordChars, *spelling);
      if (d < bestDistance) {
        bestDistance = d;
        typo.keyword = row.word;
      }
    }
  }
  if (typo.keyword.empty()) return typo;
  typo.edits = bestDistance;
  typo.sure = bestDistance == 0 || Characters(typo.keyword).size() >= 6;
  return typo;
}

size_t FindFullWidthSpace(const std::string& word) {
  for (size_t i = 0; i + 1 < word.size();) {
    if (word.compare(i, 2, kFullWidthSpace) == 0) return i;
    i += platform::IsLeadByte(static_cast<unsigned char>(word[i])) ? 2 : 1;
  }
  return std::string::npos;
}

}  // namespace scripttool

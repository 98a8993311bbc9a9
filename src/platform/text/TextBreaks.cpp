// Line and grapheme boundaries through ICU's break iterators, run straight
// over the UTF-8 bytes (UText), so that the offsets need no mapping back.
// Iterators are costly to make and are kept per thread and language.
#include "platform/text/TextBreaks.h"

#include <unicode/brkiter.h>
#include <unicode/utext.h>

#include <map>
#include <memory>
#include <string>

namespace platform {
namespace {

icu::BreakIterator* Iterator(bool line, std::string_view language) {
  thread_local std::map<std::string, std::unique_ptr<icu::BreakIterator>> cache;
  std::string key = (line ? "l:" : "g:") + std::string(language);
  auto it = cache.find(key);
  if (it != cache.end()) return it->second.get();
  UErrorCode status = U_ZERO_ERROR;
  // Strict line breaking keeps the kinsoku rules for small kana and the
  // prolonged sound mark as well as for brackets and stops.
  const std::string name = language.empty() ? std::string("root") : std::string(language);
  icu::Locale locale(line && language == "ja" ? "ja@lb=strict" : name.c_str());
  std::unique_ptr<icu::BreakIterator> made(line ? icu::BreakIterator::createLineInstance(locale, status)
                                                 : icu::BreakIterator::createCharacterInstance(locale, status));
  if (U_FAILURE(status)) made.reset();
  return cache.emplace(std::move(key), std::move(made)).first->second.get();
}

template <class Visit>
bool Walk(icu::BreakIterator* bi, std::string_view utf8, Visit visit) {
  if (!bi) return false;
  UErrorCode status = U_ZERO_ERROR;
  UText* text = utext_openUTF8(nullptr, utf8.data(), int64_t(utf8.size()), &status);
  if (U_FAILURE(status)) return false;
  bi->setText(text, status);
  if (U_SUCCESS(status)) {
    bi->first();
    for (int32_t at = bi->next(); at != icu::BreakIterator::DONE; at = bi->next()) visit(size_t(at), bi);
  }
  // The iterator keeps a pointer to the text: give it an empty one before
  // the text goes.
  static const char kNothing[] = "";
  UErrorCode ignored = U_ZERO_ERROR;
  UText* empty = utext_openUTF8(nullptr, kNothing, 0, &ignored);
  bi->setText(empty, ignored);
  utext_close(text);
  utext_close(empty);
  return U_SUCCESS(status);
}
}  // namespace

std::vector<LineBreak> LineBreaks(std::string_view utf8, std::string_view language) {
  std::vector<LineBreak> out;
  if (utf8.empty()) return out;
  const bool ok = Walk(Iterator(true, language), utf8, [&](size_t at, icu::BreakIterator* bi) {
    out.push_back({at, bi->getRuleStatus() >= UBRK_LINE_HARD && bi->getRuleStatus() < UBRK_LINE_HARD_LIMIT});
  });
  if (!ok || out.empty() || out.back().at != utf8.size()) out.push_back({utf8.size(), false});
  return out;
}

std::vector<size_t> GraphemeEnds(std::string_view utf8) {
  std::vector<size_t> out;
  if (utf8.empty()) return out;
  const bool ok = Walk(Iterator(false, {}), utf8, [&](size_t at, icu::BreakIterator*) { out.push_back(at); });
  if (!ok || out.empty() || out.back() != utf8.size()) {
    // Without ICU's iterator: every code point on its own.
    out.clear();
    for (size_t i = 1; i <= utf8.size(); ++i)
      if (i == utf8.size() || (static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80) out.push_back(i);
  }
  return out;
}

}  // namespace platform

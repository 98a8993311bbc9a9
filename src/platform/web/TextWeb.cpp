// Line and grapheme breaks and language names in the browser, asked of the
// browser's own Unicode library (ICU inside Chromium) through JavaScript's
// Intl: the browser build carries no ICU of its own (its data alone would
// be some 30 MB). Intl.Segmenter gives the grapheme clusters; line breaks
// come from Chromium's Intl.v8BreakIterator. Where the browser lacks one,
// every code point is its own cluster and only mandatory breaks are kept
// (a line then breaks where it must, as text without spaces would).
#include <emscripten.h>

#include <vector>

#include "platform/text/Languages.h"
#include "platform/text/TextBreaks.h"

namespace {

// Fills `out` with the UTF-8 byte offsets of the breaks (line: each offset
// negated when the break is mandatory) and returns their number, or -1 when
// the browser cannot say.
EM_JS(int, vantorel_breaks, (const char* text, int length, int line, const char* language, int* out), {
  const s = UTF8ToString(text, length);
  const bytes = new Int32Array(s.length + 1);
  let b = 0;
  for (let i = 0; i < s.length; i++) {
    bytes[i] = b;
    const c = s.codePointAt(i);
    b += c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
    if (c > 0xFFFF) { i++; bytes[i] = b; }
  }
  bytes[s.length] = b;
  if (b !== length) return -1;
  const cache = Module.vantorelBreakers || (Module.vantorelBreakers = {});
  const lang = UTF8ToString(language);
  let n = 0;
  if (line) {
    if (typeof Intl.v8BreakIterator !== "function") return -1;
    const key = "l:" + lang;
    let it = cache[key];
    if (!it) {
      it = new Intl.v8BreakIterator([lang === "ja" ? "ja-u-lb-strict" : (lang || "und")], {type: "line"});
      cache[key] = it;
    }
    it.adoptText(s);
    it.first();
    for (let p = it.next(); p !== -1 && p !== undefined; p = it.next()) {
      const before = s.charCodeAt(p - 1);
      const hard = before === 10 || before === 11 || before === 12 || before === 0x85 || before === 0x2028 ||
                   before === 0x2029 || (before === 13 && s.charCodeAt(p) !== 10);
      HEAP32[(out >> 2) + n] = hard ? -bytes[p] : bytes[p];
      n++;
    }
    it.adoptText("");
  } else {
    if (typeof Intl.Segmenter !== "function") return -1;
    let seg = cache.g;
    if (!seg) seg = cache.g = new Intl.Segmenter("und", {granularity: "grapheme"});
    for (const g of seg.segment(s)) {
      HEAP32[(out >> 2) + n] = bytes[g.index + g.segment.length];
      n++;
    }
  }
  return n;
});

// The language's own name for itself, first letter capitalised; 0 when
// the browser has none.
EM_JS(int, vantorel_language_name, (const char* code, char* out, int size), {
  const c = UTF8ToString(code);
  try {
    let name = new Intl.DisplayNames([c], {type: "language"}).of(c);
    if (!name || name === c) return 0;
    const first = String.fromCodePoint(name.codePointAt(0));
    name = first.toLocaleUpperCase(c) + name.slice(first.length);
    stringToUTF8(name, out, size);
    return 1;
  } catch (e) {
    return 0;
  }
});

bool Continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

std::vector<int> Breaks(std::string_view utf8, bool line, std::string_view language, bool& ok) {
  std::vector<int> out(utf8.size() + 1);
  const std::string lang(language);
  const int n = vantorel_breaks(utf8.data(), int(utf8.size()), line ? 1 : 0, lang.c_str(), out.data());
  ok = n >= 0;
  out.resize(ok ? size_t(n) : 0);
  return out;
}
}  // namespace

namespace platform {

std::vector<LineBreak> LineBreaks(std::string_view utf8, std::string_view language) {
  std::vector<LineBreak> out;
  if (utf8.empty()) return out;
  bool ok = false;
  for (int at : Breaks(utf8, true, language, ok)) out.push_back({size_t(at < 0 ? -at : at), at < 0});
  if (!ok) {
    // Mandatory breaks only: after a line feed (a CR LF pair counts once).
    for (size_t i = 0; i < utf8.size(); ++i)
      if (utf8[i] == '\n' || (utf8[i] == '\r' && (i + 1 == utf8.size() || utf8[i + 1] != '\n'))) out.push_back({i + 1, true});
  }
  if (out.empty() || out.back().at != utf8.size()) out.push_back({utf8.size(), false});
  return out;
}

std::vector<size_t> GraphemeEnds(std::string_view utf8) {
  std::vector<size_t> out;
  if (utf8.empty()) return out;
  bool ok = false;
  for (int at : Breaks(utf8, false, {}, ok)) out.push_back(size_t(at));
  if (!ok || out.empty() || out.back() != utf8.size()) {
    out.clear();
    for (size_t i = 1; i <= utf8.size(); ++i)
      if (i == utf8.size() || !Continuation(utf8[i])) out.push_back(i);
  }
  return out;
}

std::string LanguageName(std::string_view code) {
  const std::string c(code);
  char name[256] = {};
  return vantorel_language_name(c.c_str(), name, int(sizeof name)) ? std::string(name) : c;
}

}  // namespace platform

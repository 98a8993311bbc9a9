// A quick reader for the PO files translators' tools write: libgettextpo
// takes about 20 µs an entry (it checks and converts everything), which on
// a first start with a game's whole translation is a visible wait. This
// reader takes the common form only, a line at a time, and gives up (false)
// at anything it is not sure libgettextpo reads the same way: the library
// then reads the file and names any error. It never reports an error itself.
//
// What it takes: a header entry first, with charset UTF-8; valid UTF-8
// throughout; comments ("# ", "#.", "#:" with file:line references, one
// "#," line with fuzzy, c-format, no-c-format), previous strings ("#|"),
// msgctxt, msgid, msgid_plural, msgstr and msgstr[N], continuation strings,
// obsolete entries ("#~", "#~|"), the escapes \n \t \r \a \b \f \v \\ \",
// CRLF line ends and a missing final line feed. Everything else (octal or
// hex escapes, a byte order mark, a duplicate entry, text after a string,
// lines that begin with blanks, ...) is left to the library.
#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

#include "platform/text/MessageCatalog.h"

namespace platform {
namespace {

// Strict UTF-8: no overlong forms, no surrogates, nothing past U+10FFFF.
bool ValidUtf8(std::string_view s) {
  const auto* p = reinterpret_cast<const unsigned char*>(s.data());
  const auto* end = p + s.size();
  while (p < end) {
    const unsigned c = *p;
    if (c < 0x80) {
      ++p;
      continue;
    }
    size_t n;
    unsigned lo = 0x80, hi = 0xBF;
    if (c >= 0xC2 && c <= 0xDF) n = 1;
    else if (c >= 0xE0 && c <= 0xEF) {
      n = 2;
      if (c == 0xE0) lo = 0xA0;
      if (c == 0xED) hi = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      n = 3;
      if (c == 0xF0) lo = 0x90;
      if (c == 0xF4) hi = 0x8F;
    } else {
      return false;
    }
    if (size_t(end - p) <= n) return false;
    if (p[1] < lo || p[1] > hi) return false;
    for (size_t i = 2; i <= n; ++i)
      if (p[i] < 0x80 || p[i] > 0xBF) return false;
    p += n + 1;
  }
  return true;
}

bool Blank(char c) { return c == ' ' || c == '\t'; }

// A control character the library might treat otherwise than as text.
bool Control(char c) { return (static_cast<unsigned char>(c) < 0x20 && c != '\t') || c == 0x7F; }

// Where continuation strings go.
enum class Target { kNone, kPrevContext, kPrevId, kPrevPlural, kContext, kId, kPlural, kStr, kStrPlural };

class Reader {
 public:
  Reader(Catalog& out, bool comments) : out_(out), comments_(comments) {}

  bool Read(std::string_view bytes) {
    if (!ValidUtf8(bytes)) return false;
    // Room for every entry at once: moving 10,000 entries as the list grows
    // costs more than counting them.
    size_t count = 0;
    for (size_t at = 0; (at = bytes.find("msgid \"", at)) != std::string_view::npos; at += 7) ++count;
    out_.entries.reserve(count);
    size_t at = 0;
    while (at < bytes.size()) {
      size_t end = bytes.find('\n', at);
      if (end == std::string_view::npos) end = bytes.size();
      if (!Line(bytes.substr(at, end - at))) return false;
      at = end + 1;
    }
    // A file that ends inside an entry, or with comments belonging to none.
    if (!Finish() || HasComments() || !headerSeen_) return false;
    return NoDuplicates();
  }

 private:
  bool HasComments() const {
    return flagsLines_ > 0 || !e_.translator.empty() || !e_.extracted.empty() || !e_.references.empty() ||
           commentLines_ > 0;
  }

  // The line without its line feed.
  bool Line(std::string_view line) {
    // A backslash before the line feed joins the lines in the library.
    if (!line.empty() && line.back() == '\\') return false;
    if (line.empty()) return true;
    if (line[0] != '#') {
      if (Blank(line[0]) || line[0] == '\r') return Only(line, 0);
      return Tokens(line, false, false);
    }
    if (line.size() >= 2 && line[1] == '~') {
      if (line.size() >= 3 && line[2] == '|') return Tokens(Rest(line, 3), true, true);
      return Tokens(Rest(line, 2), true, false);
    }
    if (line.size() >= 2 && line[1] == '|') return Tokens(Rest(line, 2), false, true);
    return Comment(line.substr(1));
  }

  // The rest of an "#~" or "#|" line after at least one blank; a line that
  // has none is left to the library.
  static std::string_view Rest(std::string_view line, size_t from) {
    if (from >= line.size() || !Blank(line[from])) return {};
    return line.substr(from);
  }

  // Nothing but blanks (and a CR before the line feed) from `at` on.
  static bool Only(std::string_view line, size_t at) {
    for (; at < line.size(); ++at)
      if (!Blank(line[at]) && !(line[at] == '\r' && at + 1 == line.size())) return false;
    return true;
  }

  // Comments come before an entry's keywords and previous strings.
  bool Comment(std::string_view text) {
    if (target_ == Target::kStr || target_ == Target::kStrPlural) {
      if (!Finish()) return false;
    } else if (target_ != Target::kNone) {
      return false;
    }
    for (size_t i = 0; i < text.size(); ++i)
      if (Control(text[i]) && !(text[i] == '\r' && i + 1 == text.size())) return false;
    ++commentLines_;
    // Without comments only the flags matter: the rest never decides
    // whether the library reads the file, nor what an entry says.
    if (!comments_ && (text.empty() || text[0] != ',')) return true;
    if (text.empty()) return Append(e_.translator, text);
    switch (text[0]) {
      case '.':
        text.remove_prefix(1);
        if (!text.empty() && text[0] == ' ') text.remove_prefix(1);
        return Append(e_.extracted, text);
      case ':':
        return References(text.substr(1));
      case ',':
        return Flags(text.substr(1));
      case '!':
      case '~':
      case '|':
        return false;
      default:
        // The library reads "# File: x, line: n" as a reference (Solaris form).
        for (size_t i = 0; i + 5 <= text.size(); ++i)
          if ((text[i] | 0x20) == 'f' && (text[i + 1] | 0x20) == 'i' && (text[i + 2] | 0x20) == 'l' &&
              (text[i + 3] | 0x20) == 'e' && text[i + 4] == ':')
            return false;
        if (text[0] == ' ') text.remove_prefix(1);
        return Append(e_.translator, text);
    }
  }

  bool Append(std::string& to, std::string_view text) {
    // Lines of one kind are kept together, each ending with a line feed
    // that the last loses.
    if (&to == &e_.translator ? translatorLines_++ : extractedLines_++) to += '\n';
    to.append(text);
    return true;
  }

  // "file:line" words; the library takes the last word of a CRLF line,
  // carriage return and all, for a file name without a line.
  bool References(std::string_view text) {
    size_t at = 0;
    while (at < text.size()) {
      while (at < text.size() && Blank(text[at])) ++at;
      if (at == text.size()) break;
      size_t end = at;
      while (end < text.size() && !Blank(text[end])) ++end;
      std::string_view word = text.substr(at, end - at);
      const bool cr = word.back() == '\r';
      if (cr && end != text.size()) return false;
      std::string_view plain = cr ? word.substr(0, word.size() - 1) : word;
      const size_t colon = plain.find(':');
      if (colon == 0 || colon == std::string_view::npos || colon + 1 == plain.size() || plain.size() - colon > 10)
        return false;
      size_t line = 0;
      for (size_t i = colon + 1; i < plain.size(); ++i) {
        if (plain[i] < '0' || plain[i] > '9') return false;
        line = line * 10 + size_t(plain[i] - '0');
      }
      // U+2068/U+2069 mark names with blanks in newer gettext versions.
      if (plain.find("\xE2\x81\xA8") != std::string_view::npos || plain.find("\xE2\x81\xA9") != std::string_view::npos)
        return false;
      std::pair<std::string, size_t> ref = cr ? std::pair<std::string, size_t>(std::string(word), size_t(-1))
                                              : std::pair<std::string, size_t>(std::string(plain.substr(0, colon)), line);
      // The library keeps one of equal references; leave that to it.
      for (const auto& have : e_.references)
        if (have == ref) return false;
      e_.references.push_back(std::move(ref));
      at = end;
    }
    return true;
  }

  // Only one flags line: the library keeps the last one alone.
  bool Flags(std::string_view text) {
    if (flagsLines_++) return false;
    bool yes = false, no = false;
    size_t at = 0;
    while (at < text.size()) {
      auto separator = [](char c) { return c == ' ' || c == '\t' || c == ',' || c == '\r'; };
      while (at < text.size() && separator(text[at])) ++at;
      size_t end = at;
      while (end < text.size() && !separator(text[end])) ++end;
      const std::string_view word = text.substr(at, end - at);
      if (word == "fuzzy") e_.fuzzy = true;
      else if (word == "c-format") yes = true;
      else if (word == "no-c-format") no = true;
      else if (!word.empty()) return false;
      at = end;
    }
    e_.cFormat = yes;
    return !(yes && no);
  }

  // A line of keywords and strings (an "#~" or "#|" line without its mark).
  bool Tokens(std::string_view line, bool obsolete, bool previous) {
    size_t at = 0;
    while (at < line.size() && Blank(line[at])) ++at;
    if (at == line.size()) return false;
    if (line[at] != '"') {
      size_t end = at;
      while (end < line.size() && line[end] != ' ' && line[end] != '\t' && line[end] != '"') ++end;
      if (end == line.size() || !Blank(line[end])) return false;
      if (!Keyword(line.substr(at, end - at), obsolete, previous)) return false;
      at = end;
      while (at < line.size() && Blank(line[at])) ++at;
      if (at == line.size() || line[at] != '"') return false;
    } else {
      if (target_ == Target::kNone || obsolete != obsolete_ ||
          previous != (target_ == Target::kPrevContext || target_ == Target::kPrevId || target_ == Target::kPrevPlural))
        return false;
    }
    std::string& to = Destination();
    while (at < line.size() && line[at] == '"') {
      if (!String(line, at, to)) return false;
      while (at < line.size() && Blank(line[at])) ++at;
    }
    return Only(line, at);
  }

  bool Keyword(std::string_view word, bool obsolete, bool previous) {
    const bool after = target_ == Target::kStr || target_ == Target::kStrPlural;
    if (previous) {
      if (word == "msgctxt" || (word == "msgid" && target_ != Target::kPrevContext)) {
        if (after && !Finish()) return false;
        if (target_ != Target::kNone) return false;
        obsolete_ = obsolete;
        e_.previous = word == "msgid";
        target_ = word == "msgid" ? Target::kPrevId : Target::kPrevContext;
        return true;
      }
      if (obsolete != obsolete_) return false;
      if (word == "msgid" && target_ == Target::kPrevContext) {
        e_.previous = true;
        target_ = Target::kPrevId;
        return true;
      }
      if (word == "msgid_plural" && target_ == Target::kPrevId) {
        target_ = Target::kPrevPlural;
        return true;
      }
      return false;
    }
    if (word == "msgctxt" || word == "msgid") {
      if (after && !Finish()) return false;
      const bool fromPrevious = target_ == Target::kPrevId || target_ == Target::kPrevPlural;
      if (fromPrevious) {
        if (obsolete != obsolete_) return false;
      } else if (target_ == Target::kContext && word == "msgid") {
        if (obsolete != obsolete_) return false;
      } else if (target_ != Target::kNone) {
        return false;
      }
      obsolete_ = obsolete;
      if (word == "msgctxt") {
        if (target_ == Target::kContext) return false;
        hasContext_ = true;
        target_ = Target::kContext;
      } else {
        target_ = Target::kId;
      }
      return true;
    }
    if (obsolete != obsolete_) return false;
    if (word == "msgid_plural" && target_ == Target::kId) {
      target_ = Target::kPlural;
      return true;
    }
    if (word == "msgstr" && target_ == Target::kId) {
      target_ = Target::kStr;
      return true;
    }
    // msgstr[N] in order from 0, after msgid_plural.
    if (word.size() > 8 && word.substr(0, 7) == "msgstr[" && word.back() == ']' && word.size() <= 12) {
      size_t n = 0;
      for (char c : word.substr(7, word.size() - 8)) {
        if (c < '0' || c > '9') return false;
        n = n * 10 + size_t(c - '0');
      }
      if (word[7] == '0' && word.size() != 9) return false;
      if ((target_ == Target::kPlural && n == 0) || (target_ == Target::kStrPlural && n == forms_)) {
        ++forms_;
        target_ = Target::kStrPlural;
        return true;
      }
    }
    return false;
  }

  std::string& Destination() {
    switch (target_) {
      case Target::kPrevContext:
        return comments_ ? e_.previousContext : scratch_;
      case Target::kPrevId:
        return comments_ ? e_.previousMsgid : scratch_;
      case Target::kContext:
        return e_.context;
      case Target::kId:
        return e_.msgid;
      case Target::kStr:
        return e_.msgstr;
      case Target::kStrPlural:
        // The first form is the entry's translation; the others are read and dropped.
        return forms_ == 1 ? e_.msgstr : scratch_;
      default:
        return scratch_;
    }
  }

  // One quoted string from `at` (its opening quote), unescaped onto `to`.
  static bool String(std::string_view line, size_t& at, std::string& to) {
    ++at;
    size_t run = at;
    while (at < line.size()) {
      const char c = line[at];
      if (c == '"') {
        to.append(line.substr(run, at - run));
        ++at;
        return true;
      }
      if (Control(c)) return false;
      if (c != '\\') {
        ++at;
        continue;
      }
      to.append(line.substr(run, at - run));
      if (++at == line.size()) return false;
      switch (line[at]) {
        case 'n': to += '\n'; break;
        case 't': to += '\t'; break;
        case 'r': to += '\r'; break;
        case 'a': to += '\a'; break;
        case 'b': to += '\b'; break;
        case 'f': to += '\f'; break;
        case 'v': to += '\v'; break;
        case '\\': to += '\\'; break;
        case '"': to += '"'; break;
        default: return false;
      }
      run = ++at;
    }
    return false;
  }

  // Closes the entry read so far (nothing when none is open).
  bool Finish() {
    if (target_ == Target::kNone) return true;
    if (target_ != Target::kStr && target_ != Target::kStrPlural) return false;
    if (!headerSeen_) {
      // The header comes first: it names the character set.
      if (hasContext_ || !e_.msgid.empty() || obsolete_ || forms_ > 0 || !CharsetIsUtf8(e_.msgstr)) return false;
      out_.header = std::move(e_.msgstr);
      headerSeen_ = true;
    } else {
      e_.obsolete = obsolete_;
      e_.previous = e_.previous && comments_;
      // An obsolete header stays out of the entries in the library's reading.
      if (!hasContext_ && e_.msgid.empty()) return false;
      out_.entries.push_back(std::move(e_));
    }
    e_ = CatalogEntry{};
    scratch_.clear();
    target_ = Target::kNone;
    obsolete_ = hasContext_ = false;
    forms_ = flagsLines_ = commentLines_ = translatorLines_ = extractedLines_ = 0;
    return true;
  }

  // The library reads the rest of the file in the header's character set.
  static bool CharsetIsUtf8(std::string_view header) {
    const size_t at = header.find("charset=");
    if (at == std::string_view::npos) return false;
    size_t end = at + 8;
    while (end < header.size() && header[end] != ' ' && header[end] != '\t' && header[end] != '\n') ++end;
    const std::string_view name = header.substr(at + 8, end - at - 8);
    static constexpr std::string_view kUtf8 = "utf-8";
    if (name.size() != kUtf8.size()) return false;
    for (size_t i = 0; i < name.size(); ++i)
      if ((name[i] >= 'A' && name[i] <= 'Z' ? char(name[i] | 0x20) : name[i]) != kUtf8[i]) return false;
    return true;
  }

  // Two entries of one context and msgid are an error the library reports.
  // (No context and an empty one count as one here, as in a catalogue.)
  // Hashes sorted, then only entries of equal hashes compared: no
  // allocation per entry.
  bool NoDuplicates() const {
    const auto& entries = out_.entries;
    std::vector<std::pair<size_t, size_t>> hashes;  // hash, index
    hashes.reserve(entries.size());
    for (size_t i = 0; i < entries.size(); ++i)
      hashes.emplace_back(std::hash<std::string_view>()(entries[i].context) * 31 +
                              std::hash<std::string_view>()(entries[i].msgid),
                          i);
    std::sort(hashes.begin(), hashes.end());
    for (size_t i = 0; i < hashes.size(); ++i)
      for (size_t k = i + 1; k < hashes.size() && hashes[k].first == hashes[i].first; ++k) {
        const CatalogEntry &a = entries[hashes[i].second], &b = entries[hashes[k].second];
        if (a.context == b.context && a.msgid == b.msgid) return false;
      }
    return true;
  }

  Catalog& out_;
  const bool comments_;
  CatalogEntry e_;
  std::string scratch_;
  Target target_ = Target::kNone;
  bool obsolete_ = false, hasContext_ = false, headerSeen_ = false;
  size_t forms_ = 0, flagsLines_ = 0, commentLines_ = 0, translatorLines_ = 0, extractedLines_ = 0;
};
}  // namespace

bool ReadPoQuickly(std::string_view bytes, Catalog& out, bool comments) {
  out = Catalog{};
  if (Reader(out, comments).Read(bytes)) return true;
  out = Catalog{};
  return false;
}

}  // namespace platform

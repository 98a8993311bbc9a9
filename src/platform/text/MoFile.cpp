// gettext's compiled catalogues (MO files), as msgfmt writes them: a header
// of 32-bit words in the writer's byte order, then two tables of (length,
// offset) pairs for the originals and the translations. Every length and
// offset is checked against the file before it is used.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "platform/text/MessageCatalog.h"

namespace platform {
namespace {
constexpr uint32_t kMagic = 0x950412DEu;
constexpr uint32_t kSwappedMagic = 0xDE120495u;

uint32_t Swap(uint32_t v) {
  return (v >> 24) | ((v >> 8) & 0xFF00u) | ((v << 8) & 0xFF0000u) | (v << 24);
}

class Reader {
 public:
  explicit Reader(std::string_view bytes) : bytes_(bytes) {}
  bool Start(std::string& error) {
    if (bytes_.size() < 28) {
      error = "too short for a compiled catalogue";
      return false;
    }
    uint32_t magic = Raw(0);
    if (magic == kSwappedMagic) swapped_ = true;
    else if (magic != kMagic) {
      error = "not a compiled catalogue (no MO magic number)";
      return false;
    }
    // Major revisions 0 and 1 share this layout; 1 only adds system-dependent
    // strings, which a catalogue without C format macros does not use.
    if ((Word(4) >> 16) > 1) {
      error = "an MO revision this reader does not know";
      return false;
    }
    return true;
  }
  uint32_t Word(size_t at) const { return swapped_ ? Swap(Raw(at)) : Raw(at); }
  // The string of table entry `index` of the table at `table`.
  bool String(uint32_t table, uint32_t index, std::string_view& out, std::string& error) const {
    const uint64_t at = uint64_t(table) + uint64_t(index) * 8;
    if (at + 8 > bytes_.size()) {
      error = "a string table reaches past the end";
      return false;
    }
    const uint32_t length = Word(size_t(at)), offset = Word(size_t(at) + 4);
    // The string is followed by its terminating NUL, which must be inside too.
    if (uint64_t(offset) + length + 1 > bytes_.size()) {
      error = "a string reaches past the end";
      return false;
    }
    out = bytes_.substr(offset, length);
    return true;
  }

 private:
  uint32_t Raw(size_t at) const {
    uint32_t v;
    std::memcpy(&v, bytes_.data() + at, 4);
    return v;
  }
  std::string_view bytes_;
  bool swapped_ = false;
};
}  // namespace

bool VisitMo(std::string_view bytes, const std::function<void(std::string_view key, std::string_view msgstr)>& visit,
             std::string& error) {
  Reader r(bytes);
  if (!r.Start(error)) return false;
  const uint32_t count = r.Word(8), originals = r.Word(12), translations = r.Word(16);
  // Each entry takes 16 bytes of tables at least: a count beyond that is a lie.
  if (uint64_t(count) * 16 > bytes.size()) {
    error = "more strings than the file can hold";
    return false;
  }
  for (uint32_t i = 0; i < count; ++i) {
    std::string_view original, translation;
    if (!r.String(originals, i, original, error) || !r.String(translations, i, translation, error)) return false;
    // Plural forms follow the singular after a NUL: the singular serves.
    visit(original.substr(0, original.find('\0')), translation.substr(0, translation.find('\0')));
  }
  return true;
}

bool ParseMo(std::string_view bytes, Catalog& out, std::string& error) {
  out = Catalog{};
  return VisitMo(
      bytes,
      [&out](std::string_view original, std::string_view translation) {
        if (original.empty()) {
          out.header.assign(translation);
          return;
        }
        CatalogEntry e;
        const size_t eot = original.find('\x04');
        if (eot != std::string_view::npos) {
          e.context.assign(original.substr(0, eot));
          e.msgid.assign(original.substr(eot + 1));
        } else {
          e.msgid.assign(original);
        }
        e.msgstr.assign(translation);
        out.entries.push_back(std::move(e));
      },
      error);
}

std::string FormatMo(const Catalog& catalog) {
  std::vector<std::pair<std::string, std::string_view>> strings;
  strings.reserve(catalog.entries.size() + 1);
  strings.emplace_back(std::string(), catalog.header);
  for (const CatalogEntry& e : catalog.entries) {
    if (e.fuzzy || e.obsolete || e.msgstr.empty() || e.msgid.empty()) continue;
    strings.emplace_back(CatalogKey(e.context, e.msgid), e.msgstr);
  }
  // gettext finds an original by binary search over the bytes; a key given
  // twice keeps its first translation, as the lookup would.
  std::stable_sort(strings.begin(), strings.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  strings.erase(std::unique(strings.begin(), strings.end(), [](const auto& a, const auto& b) { return a.first == b.first; }),
                strings.end());
  const uint32_t count = uint32_t(strings.size());
  const uint32_t originals = 28, translations = originals + 8 * count;
  std::string out(size_t(translations) + 8 * count, '\0');
  auto put = [&](size_t at, uint32_t v) { std::memcpy(out.data() + at, &v, 4); };
  put(0, kMagic);
  put(4, 0);  // revision
  put(8, count);
  put(12, originals);
  put(16, translations);
  put(20, 0);  // no hash table
  put(24, translations + 8 * count);
  auto append = [&](size_t table, uint32_t index, std::string_view s) {
    put(table + 8 * size_t(index), uint32_t(s.size()));
    put(table + 8 * size_t(index) + 4, uint32_t(out.size()));
    out.append(s);
    out += '\0';
  };
  for (uint32_t i = 0; i < count; ++i) append(originals, i, strings[i].first);
  for (uint32_t i = 0; i < count; ++i) append(translations, i, strings[i].second);
  return out;
}

std::string HeaderField(std::string_view header, std::string_view field) {
  size_t at = 0;
  while (at < header.size()) {
    size_t end = header.find('\n', at);
    if (end == std::string_view::npos) end = header.size();
    std::string_view line = header.substr(at, end - at);
    if (line.size() > field.size() && line.substr(0, field.size()) == field && line[field.size()] == ':') {
      std::string_view value = line.substr(field.size() + 1);
      while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.remove_prefix(1);
      while (!value.empty() && (value.back() == ' ' || value.back() == '\r')) value.remove_suffix(1);
      return std::string(value);
    }
    at = end + 1;
  }
  return {};
}

}  // namespace platform

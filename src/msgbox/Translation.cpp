#include "msgbox/Translation.h"

#include "platform/text/MessageCatalog.h"
#include "platform/text/TextCodec.h"

namespace msgbox {

std::string TextContext(const std::string& scriptCp932, size_t word) {
  std::string name = platform::Cp932ToUtf8(scriptCp932);
  for (char& c : name)
    if (c == '\\') c = '/';
  return name + ":" + std::to_string(word);
}

Translation::Translation(std::string language, const platform::Catalog& catalog) : language_(std::move(language)) {
  texts_.reserve(catalog.entries.size());
  for (const platform::CatalogEntry& e : catalog.entries) {
    if (e.fuzzy || e.obsolete || e.msgstr.empty()) continue;
    texts_.emplace(platform::CatalogKey(e.context, e.msgid), e.msgstr);
  }
}

Translation::Translation(std::string language, platform::Catalog&& catalog) : language_(std::move(language)) {
  texts_.reserve(catalog.entries.size());
  for (platform::CatalogEntry& e : catalog.entries) {
    if (e.fuzzy || e.obsolete || e.msgstr.empty()) continue;
    texts_.emplace(platform::CatalogKey(e.context, e.msgid), std::move(e.msgstr));
  }
}

std::shared_ptr<const Translation> Translation::FromMo(std::string language, std::string_view mo, std::string& header,
                                                       std::string& error) {
  auto t = std::shared_ptr<Translation>(new Translation(std::move(language), platform::Catalog{}));
  header.clear();
  const bool ok = platform::VisitMo(
      mo,
      [&](std::string_view key, std::string_view msgstr) {
        if (key.empty()) header.assign(msgstr);
        else if (!msgstr.empty()) t->texts_.emplace(key, msgstr);
      },
      error);
  return ok ? t : nullptr;
}

const std::string* Translation::Find(const std::string& context, const std::string& msgidUtf8) const {
  auto it = texts_.find(platform::CatalogKey(context, msgidUtf8));
  return it == texts_.end() ? nullptr : &it->second;
}

const std::string* Translation::Text(const std::string& scriptCp932, size_t word,
                                     const std::string& originalCp932) const {
  if (texts_.empty() || originalCp932.empty()) return nullptr;
  return Find(TextContext(scriptCp932, word), platform::Cp932ToUtf8(originalCp932));
}

namespace {
// Fills a translator's format: only %d, %s (with an optional N$ and, for
// %d, a width with an optional 0) and %%; anything else fails, so that no
// translated text ever reaches printf.
bool Fill(const std::string& format, const std::vector<std::string>& args, std::string& out) {
  out.clear();
  size_t next = 0;
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] != '%') {
      out += format[i];
      continue;
    }
    if (++i >= format.size()) return false;
    if (format[i] == '%') {
      out += '%';
      continue;
    }
    size_t index = next;
    size_t j = i, number = 0;
    while (j < format.size() && format[j] >= '0' && format[j] <= '9' && number < 1000)
      number = number * 10 + size_t(format[j++] - '0');
    if (j < format.size() && format[j] == '$' && j > i) {
      if (number == 0) return false;
      index = number - 1;
      i = j + 1;
    } else {
      ++next;
    }
    bool zero = false;
    size_t width = 0;
    if (i < format.size() && format[i] == '0') {
      zero = true;
      ++i;
    }
    while (i < format.size() && format[i] >= '0' && format[i] <= '9' && width < 100)
      width = width * 10 + size_t(format[i++] - '0');
    if (i >= format.size() || (format[i] != 'd' && format[i] != 's') || index >= args.size()) return false;
    std::string value = args[index];
    if (format[i] == 'd' && value.size() < width) {
      const bool negative = !value.empty() && value[0] == '-';
      const size_t pad = width - value.size();
      if (zero) value.insert(negative ? 1 : 0, pad, '0');
      else value.insert(0, pad, ' ');
    }
    out += value;
  }
  return true;
}
}  // namespace

std::string ScreenText(const Translation& translation, const char* context, const char* msgid,
                       const std::vector<std::string>& args, const std::string& fallback) {
  const std::string* format = translation.Find(context, msgid);
  std::string out;
  if (!format || !Fill(*format, args, out)) return fallback;
  return out;
}

}  // namespace msgbox

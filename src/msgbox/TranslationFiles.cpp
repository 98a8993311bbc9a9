#include "msgbox/TranslationFiles.h"

#include <filesystem>
#include <map>

#include "framework/GameDataPaths.h"
#include "platform/diagnostics/Debug.h"
#include "platform/files/Files.h"
#include "platform/files/RegularFile.h"
#include "platform/text/Languages.h"
#include "platform/text/MessageCatalog.h"
#include "platform/text/TextCodec.h"

namespace msgbox {
namespace fs = std::filesystem;

std::vector<TranslationFile> FindTranslations() {
  std::map<std::string, TranslationFile> found;
  std::map<std::string, fs::file_time_type> times;
  const std::string dir = platform::ResolvePath(gamedata::kTranslationsDir);
  std::error_code ec;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code fileEc;
    if (!it->is_regular_file(fileEc)) continue;
    const fs::path& path = it->path();
    const std::string ext = path.extension().string();
    const std::string language = path.stem().string();
    if ((ext != ".po" && ext != ".mo") || !platform::IsLanguageCode(language)) continue;
    const fs::file_time_type time = fs::last_write_time(path, fileEc);
    auto have = found.find(language);
    // The newer file is the one the translator worked on last; an MO as
    // new as its PO was compiled from it and reads quicker.
    if (have != found.end()) {
      const bool compiled = ext == ".mo";
      if (time < times[language] || (time == times[language] && !compiled)) continue;
    }
    found[language] = TranslationFile{language, path.string(), ext == ".mo"};
    times[language] = time;
  }
  std::vector<TranslationFile> out;
  for (auto& [language, file] : found) out.push_back(std::move(file));
  return out;
}

namespace {
// What a cached MO file was compiled from: the PO file's absolute path, its
// size and its time of change (as finely as the file system keeps it).
std::string SourceStamp(const std::string& hostPath) {
  std::error_code ec;
  const auto size = fs::file_size(hostPath, ec);
  if (ec) return {};
  const auto time = fs::last_write_time(hostPath, ec);
  if (ec) return {};
  std::string path = fs::absolute(hostPath, ec).string();
  if (ec) return {};
  for (char& c : path)
    if (c == '\n' || c == '\r') c = '?';  // one header line
  // As a 64-bit count: the browser build's C++ library keeps file times in
  // 128 bits, which to_string does not take (the values agree until 2262).
  const long long ticks = static_cast<long long>(time.time_since_epoch().count());
  return std::to_string(size) + " " + std::to_string(ticks) + " " + path;
}

std::string CachePath(const std::string& cacheDir, const TranslationFile& file) {
  return cacheDir + "/" + file.language + ".mo";
}

// The cached translation when it was compiled from the PO file as it is now.
std::shared_ptr<const Translation> ReadCache(const std::string& cacheDir, const TranslationFile& file,
                                             const std::string& stamp) {
  std::string bytes;
  if (platform::ReadRegularFile(CachePath(cacheDir, file), bytes, kMaxTranslationBytes) != platform::FileRead::kRead)
    return nullptr;
  std::string header, why;
  auto t = Translation::FromMo(file.language, bytes, header, why);
  return t && platform::HeaderField(header, kCacheSourceField) == stamp ? t : nullptr;
}

void WriteCache(const std::string& cacheDir, const TranslationFile& file, const std::string& stamp,
                platform::Catalog& catalog) {
  const std::string path = CachePath(cacheDir, file);
  std::error_code ec;
  const fs::file_status there = fs::symlink_status(path, ec);
  if (fs::exists(there) && !fs::is_regular_file(there) && !fs::is_symlink(there)) {
    // Not ours to replace, and not worth a report: the cache is only for speed.
    platform::OutputDebugString(platform::Utf8ToCp932Lossy("translation cache not written: " + path));
    return;
  }
  if (!catalog.header.empty() && catalog.header.back() != '\n') catalog.header += '\n';
  catalog.header += std::string(kCacheSourceField) + ": " + stamp + "\n";
  if (!platform::MakeHostDirs(cacheDir) || !platform::WriteHostFileAtomic(path, platform::FormatMo(catalog), false)) {
    (void)platform::TakeWriteFailureReason();
    // Only the next start's time is lost: the debugger output, no report.
    platform::OutputDebugString(platform::Utf8ToCp932Lossy("translation cache not written: " + path));
  }
}
}  // namespace

std::shared_ptr<const Translation> LoadTranslation(const TranslationFile& file, std::string& error,
                                                   const std::string& cacheDir) {
  std::error_code ec;
  if (!fs::is_regular_file(file.hostPath, ec)) {
    error = file.hostPath + ": not a regular file";
    return nullptr;
  }
  if (fs::file_size(file.hostPath, ec) > kMaxTranslationBytes) {
    error = file.hostPath + ": larger than a translation can be";
    return nullptr;
  }
  // Stamped before reading: a file changed while it is read is compiled again next time.
  const std::string stamp = !file.compiled && !cacheDir.empty() ? SourceStamp(file.hostPath) : std::string();
  if (!stamp.empty())
    if (auto cached = ReadCache(cacheDir, file, stamp)) return cached;
  // Read once into one string: a first start's time is mostly copying.
  std::string bytes;
  if (platform::ReadRegularFile(file.hostPath, bytes, kMaxTranslationBytes) != platform::FileRead::kRead) {
    error = file.hostPath + ": cannot be read";
    return nullptr;
  }
  std::string why;
  if (file.compiled) {
    std::string header;
    auto t = Translation::FromMo(file.language, bytes, header, why);
    if (!t) error = file.hostPath + ": " + why;
    return t;
  }
  // The game needs no comments: the quick reader leaves them out, and any
  // file it does not take goes to libgettextpo, which names its errors.
  platform::Catalog catalog;
  if (!platform::ReadPoQuickly(bytes, catalog, false) &&
      !platform::ParsePoWithGettext(bytes, file.hostPath, catalog, why)) {
    error = why;
    return nullptr;
  }
  if (!stamp.empty()) WriteCache(cacheDir, file, stamp, catalog);
  return std::make_shared<const Translation>(file.language, std::move(catalog));
}

}  // namespace msgbox

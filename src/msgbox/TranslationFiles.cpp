#include "msgbox/TranslationFiles.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "framework/GameDataPaths.h"
#include "platform/files/Files.h"
#include "platform/text/Languages.h"
#include "platform/text/MessageCatalog.h"

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

std::shared_ptr<const Translation> LoadTranslation(const TranslationFile& file, std::string& error) {
  std::error_code ec;
  if (!fs::is_regular_file(file.hostPath, ec)) {
    error = file.hostPath + ": not a regular file";
    return nullptr;
  }
  if (fs::file_size(file.hostPath, ec) > kMaxTranslationBytes) {
    error = file.hostPath + ": larger than a translation can be";
    return nullptr;
  }
  std::ifstream in(file.hostPath, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  if (!in) {
    error = file.hostPath + ": cannot be read";
    return nullptr;
  }
  platform::Catalog catalog;
  std::string why;
  const bool ok = file.compiled ? platform::ParseMo(bytes.str(), catalog, why)
                                : platform::ParsePo(bytes.str(), file.hostPath, catalog, why);
  if (!ok) {
    error = file.compiled ? file.hostPath + ": " + why : why;
    return nullptr;
  }
  return std::make_shared<const Translation>(file.language, catalog);
}

}  // namespace msgbox

#include "platform/text/UiText.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <sstream>
#include <unordered_map>

#include "platform/text/MessageCatalog.h"

namespace platform {
namespace {
namespace fs = std::filesystem;
constexpr char kDomain[] = "vantorel";
constexpr size_t kMaxCatalogueBytes = 16u << 20;

struct Table {
  std::unordered_map<std::string, std::string> texts;  // CatalogKey -> msgstr
};

std::mutex g_mu;
std::map<std::string, std::unique_ptr<Table>>& Loaded() {
  static auto* loaded = new std::map<std::string, std::unique_ptr<Table>>;  // kept for the process: Tr's pointers stay valid
  return *loaded;
}
const Table* g_current = nullptr;
std::string g_language = "ja";  // the msgids' own language: no catalogue
uint64_t g_generation = 0;

const std::string& Directory() {
  static const std::string dir = UiCatalogueDirectory();
  return dir;
}

std::string CataloguePath(const std::string& language) {
  const std::string& dir = Directory();
  if (dir.empty()) return {};
  return dir + "/" + language + "/LC_MESSAGES/" + kDomain + ".mo";
}

// Null when the language has no catalogue (or it cannot be read).
const Table* Load(const std::string& language) {
  auto& loaded = Loaded();
  if (auto it = loaded.find(language); it != loaded.end()) return it->second.get();
  std::unique_ptr<Table> table;
  const std::string path = CataloguePath(language);
  std::error_code ec;
  if (!path.empty() && fs::is_regular_file(path, ec) && fs::file_size(path, ec) <= kMaxCatalogueBytes) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    Catalog catalog;
    std::string error;
    if (in && ParseMo(bytes.str(), catalog, error)) {
      table = std::make_unique<Table>();
      for (CatalogEntry& e : catalog.entries)
        if (!e.msgstr.empty()) table->texts.emplace(CatalogKey(e.context, e.msgid), std::move(e.msgstr));
    }
  }
  return loaded.emplace(language, std::move(table)).first->second.get();
}

void Choose(const std::string& w) {
  const Table* table = nullptr;
  std::string chosen = "ja";
  if (!w.empty() && w != "ja" && w.rfind("ja_", 0) != 0) {
    for (const std::string& candidate : {w, w.substr(0, w.find_first_of("_-@")), std::string("en")}) {
      if ((table = Load(candidate))) {
        chosen = candidate;
        break;
      }
    }
  }
  if (table != g_current || chosen != g_language) ++g_generation;
  g_current = table;
  g_language = chosen;
}

const char* Look(const char* context, const char* msgid) {
  std::lock_guard<std::mutex> lock(g_mu);
  if (!g_current || !msgid) return msgid;
  auto it = g_current->texts.find(CatalogKey(context ? context : "", msgid));
  return it == g_current->texts.end() ? msgid : it->second.c_str();
}
}  // namespace

const char* Tr(const char* msgid) { return Look(nullptr, msgid); }
const char* Tr(const char* context, const char* msgid) { return Look(context, msgid); }

void SetUiLanguage(std::string_view wanted) {
  std::lock_guard<std::mutex> lock(g_mu);
  Choose(std::string(wanted));
}

std::string UiLanguage() {
  std::lock_guard<std::mutex> lock(g_mu);
  return g_language;
}

uint64_t UiGeneration() {
  std::lock_guard<std::mutex> lock(g_mu);
  return g_generation;
}

std::string UiCatalogueDirectory() {
  if (const char* env = std::getenv("VANTOREL_LOCALE_DIR"); env && *env) return env;
  std::error_code ec;
  const fs::path self = fs::read_symlink("/proc/self/exe", ec);
  if (ec) return {};
  // The build tree keeps programs in build/ and tests one folder below it.
  for (const fs::path& dir : {self.parent_path() / "locale", self.parent_path().parent_path() / "locale",
                              self.parent_path().parent_path() / "share" / "locale"}) {
    if (fs::is_regular_file(dir / "en" / "LC_MESSAGES" / (std::string(kDomain) + ".mo"), ec)) return dir.string();
  }
  return {};
}

bool HasUiCatalogue(std::string_view language) {
  const std::string path = CataloguePath(std::string(language));
  std::error_code ec;
  return !path.empty() && fs::is_regular_file(path, ec);
}

}  // namespace platform

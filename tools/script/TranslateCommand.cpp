// translate extract|update|check: the translator's files (gettext PO) for a
// game's texts, made from its scripts, kept up to date with them, and
// checked against the window the game shows them in.
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "Diagnostics.h"
#include "ScriptTool.h"
#include "TranslationFit.h"
#include "TranslationTexts.h"
#include "framework/GameDataPaths.h"
#include "msgbox/TranslationFiles.h"
#include "platform/diagnostics/Trace.h"
#include "platform/files/Files.h"
#include "platform/text/Languages.h"
#include "platform/text/MessageCatalog.h"
#include "platform/text/TextCodec.h"

namespace scripttool {
namespace {
namespace fs = std::filesystem;

constexpr char kUsageText[] =
    "usage: vantorel-script translate extract [--source SRCDIR] [--cp932] [-o FILE] GAMEDIR LANG\n"
    "       vantorel-script translate update [--source SRCDIR] [--cp932] GAMEDIR FILE\n"
    "       vantorel-script translate check [--source SRCDIR] [--cp932] [--format text|json] GAMEDIR FILE";

struct TranslateOptions {
  std::string sourceDir;
  bool cp932 = false;
  bool json = false;
  std::string output;
  std::vector<std::string> positional;
};

bool ParseLine(const std::vector<std::string>& args, TranslateOptions& o, std::string& error) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::string& into) {
      if (i + 1 >= args.size()) {
        error = a + " needs a value";
        return false;
      }
      into = args[++i];
      return true;
    };
    if (a == "--cp932") {
      o.cp932 = true;
    } else if (a == "--source") {
      if (!value(o.sourceDir)) return false;
    } else if (a == "-o") {
      if (!value(o.output)) return false;
    } else if (a == "--format") {
      std::string f;
      if (!value(f)) return false;
      if (f != "text" && f != "json") {
        error = "--format takes text or json";
        return false;
      }
      o.json = f == "json";
    } else if (!a.empty() && a[0] == '-') {
      error = "unknown option \"" + a + "\"";
      return false;
    } else {
      o.positional.push_back(a);
    }
  }
  return true;
}

// The game's scripts, from the sources where given; the working directory
// becomes the game's. Host paths given are made absolute first.
bool ReadInputs(const std::string& gameDir, TranslateOptions& o, std::vector<ScriptInput>& inputs) {
  std::error_code ec;
  std::string sourceAbs;
  if (!o.sourceDir.empty()) {
    if (!fs::is_directory(o.sourceDir, ec)) {
      PrintError(o.sourceDir + ": no such directory (--source names the plain scripts' directory)");
      return false;
    }
    sourceAbs = fs::absolute(o.sourceDir, ec).string();
  }
  if (!o.output.empty() && o.output != "-") o.output = fs::absolute(o.output, ec).string();
  fs::current_path(gameDir, ec);
  if (ec) {
    PrintError(gameDir + ": " + ec.message());
    return false;
  }
  std::vector<Diagnostic> problems;
  std::string error;
  if (!sourceAbs.empty() && !LoadSourceInputs(sourceAbs, o.sourceDir, o.cp932, inputs, problems, error)) {
    PrintError(error);
    return false;
  }
  if (!AddBuiltInputs(inputs, error) && sourceAbs.empty()) {
    PrintError(gameDir + ": " + error);
    return false;
  }
  for (const Diagnostic& d : problems) PrintError(d.file + ": " + d.message);
  return true;
}

bool ReadCatalog(const std::string& path, platform::Catalog& catalog) {
  std::string bytes, error;
  if (!ReadHostFile(path, bytes, error)) {
    PrintError(error);
    return false;
  }
  if (!platform::ParsePo(bytes, path, catalog, error)) {
    PrintError(error);
    return false;
  }
  return true;
}

bool WriteCatalog(const std::string& path, const platform::Catalog& catalog) {
  std::string bytes, error;
  if (!platform::FormatPo(catalog, bytes, error) || !WriteHostFile(path, bytes, error)) {
    PrintError(path + ": " + error);
    return false;
  }
  return true;
}

std::string Counts(const TextCounts& n) {
  return std::to_string(n.translated) + " translated, " + std::to_string(n.fuzzy) + " fuzzy, " +
         std::to_string(n.untranslated) + " untranslated, " + std::to_string(n.obsolete) + " obsolete";
}

// The catalogue's language: its header's, else the file's name.
std::string LanguageOf(const platform::Catalog& catalog, const std::string& path) {
  std::string language = platform::HeaderField(catalog.header, "Language");
  if (!platform::IsLanguageCode(language)) language = fs::path(path).stem().string();
  return platform::IsLanguageCode(language) ? language : std::string();
}

int Extract(TranslateOptions& o) {
  if (o.positional.size() != 3) {
    PrintError(std::string("translate extract: expected GAMEDIR and LANG\n") + kUsageText);
    return kUsage;
  }
  const std::string language = o.positional[2];
  if (!platform::IsLanguageCode(language)) {
    PrintError("translate extract: \"" + language + "\" is no language code (fr, pt_BR, ...)");
    return kUsage;
  }
  std::vector<ScriptInput> inputs;
  if (!ReadInputs(o.positional[1], o, inputs)) return kFailed;
  std::string out = o.output;
  std::error_code ec;
  if (out.empty()) {
    // GameData/Translations/LANG.po; an existing one is brought up to date instead.
    out = fs::absolute(fs::path(platform::ResolvePath(gamedata::kTranslationsDir)) / (language + ".po"), ec).string();
    if (fs::exists(out, ec)) {
      PrintError(out + " exists: bring it up to date with translate update, or name another file with -o");
      return kFailed;
    }
  }
  const platform::Catalog catalog = ExtractTexts(inputs, language);
  if (out != "-") {
    fs::create_directories(fs::path(out).parent_path(), ec);
    if (!WriteCatalog(out, catalog)) return kFailed;
  } else {
    std::string bytes, error;
    if (!platform::FormatPo(catalog, bytes, error)) {
      PrintError(error);
      return kFailed;
    }
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    return kOk;
  }
  std::printf("%s: %zu texts to translate\n", out.c_str(), catalog.entries.size());
  return kOk;
}

int Update(TranslateOptions& o) {
  if (o.positional.size() != 3 || !o.output.empty()) {
    PrintError(std::string("translate update: expected GAMEDIR and FILE\n") + kUsageText);
    return kUsage;
  }
  std::error_code ec;
  const std::string path = fs::absolute(o.positional[2], ec).string();
  std::vector<ScriptInput> inputs;
  if (!ReadInputs(o.positional[1], o, inputs)) return kFailed;
  platform::Catalog old;
  if (!ReadCatalog(path, old)) return kFailed;
  const platform::Catalog merged = MergeTexts(old, ExtractTexts(inputs, LanguageOf(old, path)));
  if (!WriteCatalog(path, merged)) return kFailed;
  std::printf("%s: %s\n", o.positional[2].c_str(), Counts(CountTexts(merged)).c_str());
  return kOk;
}

int Check(TranslateOptions& o) {
  if (o.positional.size() != 3 || !o.output.empty()) {
    PrintError(std::string("translate check: expected GAMEDIR and FILE\n") + kUsageText);
    return kUsage;
  }
  std::error_code ec;
  const std::string path = fs::absolute(o.positional[2], ec).string();
  std::vector<ScriptInput> inputs;
  if (!ReadInputs(o.positional[1], o, inputs)) return kFailed;
  platform::Catalog catalog;
  if (!ReadCatalog(path, catalog)) return kFailed;
  const std::string language = LanguageOf(catalog, path);
  const msgbox::Translation translation(language, catalog);
  const std::vector<Overflow> overflows = FindOverflows(inputs, translation);
  // Entries whose place the scripts no longer have are passed over by the game.
  std::vector<const platform::CatalogEntry*> open;
  for (const platform::CatalogEntry& e : catalog.entries)
    if (!e.obsolete && (e.msgstr.empty() || e.fuzzy)) open.push_back(&e);
  const TextCounts n = CountTexts(catalog);
  if (o.json) {
    std::string out = "{\"language\":" + platform::JsonString(language) + ",\"overflows\":[";
    for (size_t i = 0; i < overflows.size(); ++i) {
      const Overflow& v = overflows[i];
      out += std::string(i ? "," : "") + "\n{\"context\":" + platform::JsonString(v.context) +
             ",\"what\":" + platform::JsonString(v.what) + ",\"text\":" + platform::JsonString(v.shown) +
             ",\"why\":" + platform::JsonString(v.why) + "}";
    }
    out += "],\n\"open\":[";
    for (size_t i = 0; i < open.size(); ++i)
      out += std::string(i ? "," : "") + "\n{\"context\":" + platform::JsonString(open[i]->context) +
             ",\"msgid\":" + platform::JsonString(open[i]->msgid) + ",\"fuzzy\":" +
             (open[i]->fuzzy && !open[i]->msgstr.empty() ? "true" : "false") + "}";
    out += "],\n\"translated\":" + std::to_string(n.translated) + ",\"fuzzy\":" + std::to_string(n.fuzzy) +
           ",\"untranslated\":" + std::to_string(n.untranslated) + ",\"obsolete\":" + std::to_string(n.obsolete) +
           "}\n";
    std::fputs(out.c_str(), stdout);
  } else {
    for (const platform::CatalogEntry* e : open)
      std::printf("%s: %s: %s\n", e->context.c_str(), e->fuzzy && !e->msgstr.empty() ? "fuzzy" : "untranslated",
                  e->msgid.c_str());
    for (const Overflow& v : overflows)
      std::printf("%s: does not fit: %s: %s (%s)\n", v.context.c_str(), v.what.c_str(), v.shown.c_str(),
                  v.why.c_str());
    std::printf("%s: %s; %zu not fitting\n", o.positional[2].c_str(), Counts(n).c_str(), overflows.size());
  }
  return overflows.empty() ? kOk : kFailed;
}
}  // namespace

int RunTranslate(const std::vector<std::string>& args) {
  TranslateOptions o;
  std::string error;
  if (!ParseLine(args, o, error)) {
    PrintError("translate: " + error + "\n" + kUsageText);
    return kUsage;
  }
  const std::string what = o.positional.empty() ? std::string() : o.positional[0];
  if (what == "extract") return Extract(o);
  if (what == "update") return Update(o);
  if (what == "check") return Check(o);
  PrintError("translate: expected extract, update or check\n" + std::string(kUsageText));
  return kUsage;
}

}  // namespace scripttool

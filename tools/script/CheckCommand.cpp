// check [--source SRCDIR] [--cp932] [--language LANG] [--format text|json]
// GAMEDIR: reads every script of a game as the engine reads it and reports
// what would go wrong when it runs; with --language, also the texts of that
// translation that do not fit where the game shows them.
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "BuildRecord.h"
#include "Diagnostics.h"
#include "GlyphCheck.h"
#include "ScriptTool.h"
#include "TranslationFit.h"
#include "platform/diagnostics/Trace.h"
#include "platform/text/Languages.h"
#include "platform/text/TextCodec.h"

namespace scripttool {
namespace {
namespace fs = std::filesystem;

struct CheckOptions {
  std::string gameDir;
  std::string sourceDir;  // as given, for messages; empty: no sources
  bool cp932 = false;
  bool json = false;  // --format json
  std::string language;  // --language: empty for none
};

bool ParseCheckLine(const std::vector<std::string>& args, CheckOptions& options, std::string& error) {
  std::vector<std::string> positional;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--cp932") {
      options.cp932 = true;
    } else if (args[i] == "--source") {
      if (i + 1 >= args.size()) {
        error = "--source needs a directory";
        return false;
      }
      options.sourceDir = args[++i];
    } else if (args[i] == "--language") {
      if (i + 1 >= args.size() || !platform::IsLanguageCode(args[i + 1])) {
        error = "--language needs a language code (en, fr, pt_BR)";
        return false;
      }
      options.language = args[++i];
    } else if (args[i] == "--format") {
      if (i + 1 >= args.size() || (args[i + 1] != "text" && args[i + 1] != "json")) {
        error = "--format takes text or json";
        return false;
      }
      options.json = args[++i] == "json";
    } else if (!args[i].empty() && args[i][0] == '-') {
      error = "unknown option \"" + args[i] + "\"";
      return false;
    } else {
      positional.push_back(args[i]);
    }
  }
  if (positional.size() != 1) {
    error = "expected 1 argument, got " + std::to_string(positional.size());
    return false;
  }
  options.gameDir = positional[0];
  return true;
}

// "PLACE: error: MESSAGE", the place a source line, else a word of the
// game's script, else the game.
std::string Text(const Diagnostic& d, const std::string& gameDir) {
  std::string where = gameDir;
  if (d.line) {
    where = d.file + ":" + std::to_string(d.line) + ":" + std::to_string(d.column);
  } else if (!d.file.empty()) {
    where = d.file;
  } else if (!d.script.empty()) {
    where = platform::Cp932ToUtf8(d.script);
    if (d.word) where += ": word " + std::to_string(d.word) + " " + Quote(d.wordText);
  }
  return where + ": " + (d.severity == Severity::Error ? "error" : "warning") + ": " + d.message;
}

// One JSON object; source, line and column only where a plain source places it.
std::string Json(const Diagnostic& d) {
  std::string out = "{\"severity\":";
  out += d.severity == Severity::Error ? "\"error\"" : "\"warning\"";
  out += ",\"script\":" + (d.script.empty() ? std::string("null") : platform::JsonCp932(d.script));
  if (!d.file.empty()) out += ",\"source\":" + platform::JsonString(d.file);
  if (d.line) out += ",\"line\":" + std::to_string(d.line) + ",\"column\":" + std::to_string(d.column);
  out += ",\"word\":" + (d.word ? std::to_string(d.word) : std::string("null"));
  if (d.word) out += ",\"wordText\":" + platform::JsonCp932(d.wordText);
  out += ",\"message\":" + platform::JsonString(d.message);
  if (!d.suggestion.empty()) out += ",\"suggestion\":" + platform::JsonString(d.suggestion);
  return out + "}";
}

// Without --source: the sources the game was last built from, where one of
// them changed since (the game checked is not what they say).
void StaleSources(const std::string& gameDir, std::vector<Diagnostic>& out) {
  std::string srcDir;
  if (!ReadBuildRecord(".", srcDir)) return;
  for (const StaleSource& s : FindStaleSources(srcDir, ".")) {
    Diagnostic d;
    d.severity = Severity::Warning;
    const std::string shown = (fs::path(gameDir) / s.source).lexically_normal().generic_string();
    d.file = shown;
    d.message = s.neverBuilt ? "this script has not been built into the game: the game does not have it yet (run "
                               "build, or check --source to check the sources)"
                             : "changed since the game was built: what is checked here is the last build, not "
                               "this edit (run build, or check --source to check the sources)";
    out.push_back(std::move(d));
  }
}
}  // namespace

int RunCheck(const std::vector<std::string>& args) {
  CheckOptions options;
  std::string error;
  if (!ParseCheckLine(args, options, error)) {
    PrintError("check: " + error +
               " (usage: vantorel-script check [--source SRCDIR] [--cp932] [--language LANG] [--format text|json] "
               "GAMEDIR)");
    return kUsage;
  }
  std::error_code ec;
  std::string sourceAbs;
  if (!options.sourceDir.empty()) {
    if (!fs::is_directory(options.sourceDir, ec)) {
      PrintError(options.sourceDir + ": no such directory (--source names the plain scripts' directory)");
      return kFailed;
    }
    sourceAbs = fs::absolute(options.sourceDir, ec).string();
  }
  // Files are found the way the engine finds them: from the game directory.
  fs::current_path(options.gameDir, ec);
  if (ec) {
    PrintError(options.gameDir + ": " + ec.message());
    return kFailed;
  }
  std::vector<ScriptInput> inputs;
  std::vector<Diagnostic> diagnostics;
  if (!sourceAbs.empty() &&
      !LoadSourceInputs(sourceAbs, options.sourceDir, options.cp932, inputs, diagnostics, error)) {
    PrintError(error);
    return kFailed;
  }
  if (!AddBuiltInputs(inputs, error)) {
    // Sources alone are enough to check; a game without them and without
    // GameData/Text has nothing to check.
    if (sourceAbs.empty()) {
      PrintError(options.gameDir + ": " + error);
      return kFailed;
    }
  }
  if (sourceAbs.empty()) StaleSources(options.gameDir, diagnostics);
  GameCheck check;
  for (Diagnostic& d : check.Run(inputs)) diagnostics.push_back(std::move(d));
  if (!options.language.empty()) {
    // The measure translate check takes: the translation's texts laid out
    // as the game lays them out, with the fonts it would draw them with.
    const auto translation = LoadGameTranslation(options.language, error);
    if (!translation) {
      PrintError(options.gameDir + ": " + error);
      return kFailed;
    }
    std::vector<Finding> overflows = OverflowFindings(FindOverflows(inputs, *translation), options.language);
    for (Diagnostic& d : PlaceFindings(inputs, overflows)) diagnostics.push_back(std::move(d));
  }
  SortDiagnostics(diagnostics);

  size_t errors = 0;
  for (const Diagnostic& d : diagnostics) errors += d.severity == Severity::Error ? 1 : 0;
  const size_t warnings = diagnostics.size() - errors;
  const std::vector<WindowFace> faces = ResolveWindowFaces();
  if (options.json) {
    std::string out = "{\"findings\":[";
    for (size_t i = 0; i < diagnostics.size(); ++i) out += (i ? ",\n" : "\n") + Json(diagnostics[i]);
    out += "],\n\"fonts\":[";
    for (size_t i = 0; i < faces.size(); ++i) {
      const platform::ResolvedFace& r = faces[i].resolved;
      out += std::string(i ? "," : "") + "{\"role\":" + platform::JsonString(faces[i].role) +
             ",\"face\":" + platform::JsonString(faces[i].face) + ",\"family\":" + platform::JsonString(r.family) +
             ",\"file\":" + platform::JsonString(r.file) +
             ",\"standIn\":" + (!r.preferred.empty() && r.family != r.preferred ? "true" : "false") + "}";
    }
    out += "],\n\"language\":" + (options.language.empty() ? std::string("null") : platform::JsonString(options.language));
    out += ",\"scripts\":" + std::to_string(inputs.size()) + ",\"errors\":" + std::to_string(errors) +
           ",\"warnings\":" + std::to_string(warnings) + "}\n";
    std::fputs(out.c_str(), stdout);
  } else {
    for (const Diagnostic& d : diagnostics) std::printf("%s\n", Text(d, options.gameDir).c_str());
    // Which fonts the glyphs were checked against (and the window draws with here).
    for (const WindowFace& f : faces)
      std::printf("%s font %s: %s\n", f.role.c_str(), f.face.c_str(), platform::DescribeFace(f.resolved).c_str());
    std::printf("%zu script%s checked: %zu error%s, %zu warning%s\n", inputs.size(), inputs.size() == 1 ? "" : "s",
                errors, errors == 1 ? "" : "s", warnings, warnings == 1 ? "" : "s");
  }
  return errors > 0 ? kFailed : kOk;
}

}  // namespace scripttool

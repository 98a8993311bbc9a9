// check [--source SRCDIR] [--cp932] GAMEDIR: reads every script of a game as
// the engine reads it and reports what would go wrong when it runs.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <map>
#include <system_error>

#include "GameScripts.h"
#include "GlyphCheck.h"
#include "ScriptCheck.h"
#include "ScriptTool.h"
#include "framework/GameDataPaths.h"
#include "platform/text/TextCodec.h"
#include "platform/diagnostics/Trace.h"
#include "script/CTextFile.h"

namespace scripttool {
namespace {
namespace fs = std::filesystem;

struct CheckOptions {
  std::string gameDir;
  std::string sourceDir;     // as given, for messages; empty: no sources
  std::string sourceDirAbs;  // the same, valid after the move into the game directory
  bool cp932 = false;
  bool json = false;  // --format json
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

// Byte offsets of the source words that survive comment removal, or
// nothing when the source is not what the game's script was built from.
std::vector<size_t> SourceOffsets(const SourceScript& source, const WordList& engineWords) {
  WordList kept;
  std::vector<size_t> offsets;
  for (size_t i = 0; i < source.words.size(); ++i) {
    if (source.words[i] == "/*") {
      while (i < source.words.size() && source.words[i] != "*/") ++i;
      continue;
    }
    kept.push_back(source.words[i]);
    offsets.push_back(source.offsets[i]);
  }
  if (kept != engineWords) return {};
  return offsets;
}

class Reporter {
 public:
  Reporter(const CheckOptions& options, const std::vector<WalkedScript>& scripts) : options_(options) {
    for (const WalkedScript& s : scripts) scripts_[s.name] = &s;
  }

  // One line: "PLACE: error: MESSAGE".
  std::string Text(const Finding& f) {
    const Place p = PlaceOf(f);
    std::string where = options_.gameDir;
    if (p.line) {
      where = p.file + ":" + std::to_string(p.line) + ":" + std::to_string(p.column);
    } else if (p.known) {
      where = platform::Cp932ToUtf8(f.script);
      if (p.word) where += ": word " + std::to_string(p.word) + " " + Quote(p.wordText);
    }
    return where + ": " + (f.severity == Severity::Error ? "error" : "warning") + ": " + f.message;
  }

  // One JSON object; line and column only where a plain source places it.
  std::string Json(const Finding& f) {
    const Place p = PlaceOf(f);
    std::string out = "{\"severity\":";
    out += f.severity == Severity::Error ? "\"error\"" : "\"warning\"";
    out += ",\"script\":" + (f.script.empty() ? std::string("null") : platform::JsonCp932(f.script));
    if (p.line) {
      out += ",\"source\":" + platform::JsonString(p.file) + ",\"line\":" + std::to_string(p.line) +
             ",\"column\":" + std::to_string(p.column);
    }
    out += ",\"word\":" + (p.word ? std::to_string(p.word) : std::string("null"));
    if (p.word) out += ",\"wordText\":" + platform::JsonCp932(p.wordText);
    out += ",\"message\":" + platform::JsonString(f.message) + "}";
    return out;
  }

 private:
  struct Source {
    SourceScript script;
    std::vector<size_t> offsets;  // empty: no usable source
  };

  // Where a finding is: a source line when there is one, and its word
  // (1-based; 0: none) in the game's script.
  struct Place {
    bool known = false;  // the finding names one of the game's scripts
    std::string file;
    size_t line = 0, column = 0;
    size_t word = 0;
    std::string wordText;  // CP932
  };

  Place PlaceOf(const Finding& f) {
    Place p;
    auto it = scripts_.find(f.script);
    if (it == scripts_.end()) return p;
    const WalkedScript& script = *it->second;
    p.known = true;
    if (f.word < script.words.size()) {
      p.word = f.word + 1;
      p.wordText = script.words[f.word];
    }
    const Source& source = SourceFor(script);
    if (f.word < source.offsets.size()) {
      SourcePosition pos = PositionInCp932(source.script.text, source.offsets[f.word]);
      p.file = source.script.hostPath;
      p.line = pos.line;
      p.column = pos.column;
    }
    return p;
  }

  const Source& SourceFor(const WalkedScript& script) {
    auto found = sources_.find(script.name);
    if (found != sources_.end()) return found->second;
    Source& source = sources_[script.name];
    if (options_.sourceDir.empty()) return source;
    std::string rel = platform::Cp932ToUtf8(script.name);
    std::replace(rel.begin(), rel.end(), '\\', '/');
    rel = fs::path(rel).replace_extension(".txt").generic_string();
    const std::string path = (fs::path(options_.sourceDirAbs) / rel).string();
    std::string error;
    std::error_code ec;
    if (!fs::exists(path, ec) || !LoadSource(path, options_.cp932, source.script, error)) return source;
    source.script.hostPath = (fs::path(options_.sourceDir) / rel).string();
    source.offsets = SourceOffsets(source.script, script.words);
    if (source.offsets.empty() && !script.words.empty()) {
      PrintError("note: " + source.script.hostPath + " is not the source of the game's " +
                 platform::Cp932ToUtf8(script.name) + " (rebuild the game?); its words are counted instead of lines");
    }
    return source;
  }

  const CheckOptions& options_;
  std::map<std::string, const WalkedScript*> scripts_;
  std::map<std::string, Source> sources_;
};
}  // namespace

int RunCheck(const std::vector<std::string>& args) {
  CheckOptions options;
  std::string error;
  if (!ParseCheckLine(args, options, error)) {
    PrintError("check: " + error +
               " (usage: vantorel-script check [--source SRCDIR] [--cp932] [--format text|json] GAMEDIR)");
    return kUsage;
  }
  std::error_code ec;
  if (!options.sourceDir.empty()) options.sourceDirAbs = fs::absolute(options.sourceDir, ec).string();
  // Files are found the way the engine finds them: from the game directory.
  fs::current_path(options.gameDir, ec);
  if (ec) {
    PrintError(options.gameDir + ": " + ec.message());
    return kFailed;
  }
  std::vector<WalkedScript> scripts;
  if (!ReadScripts(scripts, error)) {
    PrintError(options.gameDir + ": " + error);
    return kFailed;
  }
  std::vector<Finding> findings;
  for (WalkedScript& script : scripts) WalkScript(script, findings);
  CheckGame(scripts, findings);
  CheckGlyphs(scripts, findings);

  std::stable_sort(findings.begin(), findings.end(), [](const Finding& a, const Finding& b) {
    return a.script != b.script ? a.script < b.script : a.word < b.word;
  });
  Reporter reporter(options, scripts);
  size_t errors = 0;
  for (const Finding& f : findings) errors += f.severity == Severity::Error ? 1 : 0;
  const size_t warnings = findings.size() - errors;
  const std::vector<WindowFace> faces = ResolveWindowFaces();
  if (options.json) {
    std::string out = "{\"findings\":[";
    for (size_t i = 0; i < findings.size(); ++i) out += (i ? ",\n" : "\n") + reporter.Json(findings[i]);
    out += "],\n\"fonts\":[";
    for (size_t i = 0; i < faces.size(); ++i) {
      const platform::ResolvedFace& r = faces[i].resolved;
      out += std::string(i ? "," : "") + "{\"role\":" + platform::JsonString(faces[i].role) +
             ",\"face\":" + platform::JsonString(faces[i].face) + ",\"family\":" + platform::JsonString(r.family) +
             ",\"file\":" + platform::JsonString(r.file) +
             ",\"standIn\":" + (!r.preferred.empty() && r.family != r.preferred ? "true" : "false") + "}";
    }
    out += "],\n\"scripts\":" + std::to_string(scripts.size()) + ",\"errors\":" + std::to_string(errors) +
           ",\"warnings\":" + std::to_string(warnings) + "}\n";
    std::fputs(out.c_str(), stdout);
  } else {
    for (const Finding& f : findings) std::printf("%s\n", reporter.Text(f).c_str());
    // Which fonts the glyphs were checked against (and the window draws with here).
    for (const WindowFace& f : faces)
      std::printf("%s font %s: %s\n", f.role.c_str(), f.face.c_str(), platform::DescribeFace(f.resolved).c_str());
    std::printf("%zu script%s checked: %zu error%s, %zu warning%s\n", scripts.size(), scripts.size() == 1 ? "" : "s",
                errors, errors == 1 ? "" : "s", warnings, warnings == 1 ? "" : "s");
  }
  return errors > 0 ? kFailed : kOk;
}

}  // namespace scripttool

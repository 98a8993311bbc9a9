#include "Diagnostics.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <system_error>

#include "BuildRecord.h"
#include "GameScripts.h"
#include "GlyphCheck.h"
#include "ScriptCheck.h"
#include "platform/text/TextCodec.h"

namespace scripttool {
namespace fs = std::filesystem;

namespace {
size_t CharacterCount(const std::string& cp932) {
  size_t n = 0;
  for (size_t i = 0; i < cp932.size(); ++n) i += platform::IsLeadByte(static_cast<unsigned char>(cp932[i])) ? 2 : 1;
  return n;
}
}  // namespace

bool ScriptNameOfSource(const std::string& srcDir, const std::string& sourcePath, std::string& name) {
  std::string rel = fs::path(sourcePath).lexically_relative(srcDir).replace_extension(".Dat").generic_string();
  std::replace(rel.begin(), rel.end(), '/', '\\');
  return platform::Utf8ToCp932(rel, name);
}

ScriptInput InputFromSource(const std::string& name, const std::string& displayPath, std::string_view bytes,
                            bool cp932, std::vector<Diagnostic>& problems) {
  ScriptInput input;
  input.name = name;
  input.fromSource = true;
  SourceProblem problem;
  if (!SourceFromBytes(displayPath, bytes, cp932, input.source, problem)) {
    input.readable = false;
    input.source = SourceScript{};
    input.source.hostPath = displayPath;
    Diagnostic d;
    d.file = displayPath;
    d.script = name;
    d.line = problem.placed ? problem.at.line : 0;
    d.column = problem.placed ? problem.at.column : 0;
    d.length = problem.placed ? 1 : 0;
    d.message = problem.message + ": the script cannot be built";
    problems.push_back(std::move(d));
  }
  return input;
}

bool LoadSourceInputs(const std::string& srcDir, const std::string& displayDir, bool cp932,
                      std::vector<ScriptInput>& inputs, std::vector<Diagnostic>& problems, std::string& error) {
  std::vector<std::string> sources;
  if (!ListScriptSources(srcDir, sources, error)) return false;
  for (const std::string& path : sources) {
    const std::string rel = fs::path(path).lexically_relative(srcDir).generic_string();
    const std::string display = (fs::path(displayDir) / rel).generic_string();
    std::string name;
    std::string bytes;
    std::string readError;
    if (!ScriptNameOfSource(srcDir, path, name)) {
      Diagnostic d;
      d.file = display;
      d.message = "the file name has characters the game cannot name (no CP932 form): the script cannot be built";
      problems.push_back(std::move(d));
      continue;
    }
    if (!ReadHostFile(path, bytes, readError)) {
      Diagnostic d;
      d.file = display;
      d.script = name;
      d.message = "cannot read the file";
      problems.push_back(std::move(d));
      continue;
    }
    inputs.push_back(InputFromSource(name, display, bytes, cp932, problems));
  }
  return true;
}

bool AddBuiltInputs(std::vector<ScriptInput>& inputs, std::string& error) {
  std::vector<WalkedScript> built;
  if (!ReadScripts(built, error)) return false;
  std::set<std::string> have;
  for (const ScriptInput& in : inputs) have.insert(in.name);
  for (WalkedScript& script : built) {
    if (have.count(script.name)) continue;
    ScriptInput input;
    input.name = std::move(script.name);
    input.words = std::move(script.words);
    inputs.push_back(std::move(input));
  }
  return true;
}

struct GameCheck::Fonts {
  GlyphChecker glyphs;
};

GameCheck::GameCheck() = default;
GameCheck::~GameCheck() = default;

std::vector<Diagnostic> GameCheck::Run(const std::vector<ScriptInput>& inputs, bool glyphs) {
  return RunFiltered(inputs, glyphs, {});
}

std::vector<Diagnostic> GameCheck::Run(const std::vector<ScriptInput>& inputs,
                                       const std::set<std::string>& glyphScripts) {
  return RunFiltered(inputs, false, glyphScripts);
}

std::vector<Diagnostic> GameCheck::RunFiltered(const std::vector<ScriptInput>& inputs, bool allGlyphs,
                                               const std::set<std::string>& glyphScripts) {
  // Walks of scripts whose words have not changed since the last run are
  // kept in place (no copy: the game may have a thousand scripts).
  std::map<std::string, size_t> last;
  for (size_t i = 0; i < scripts_.size(); ++i) last[scripts_[i].name] = i;
  std::vector<WalkedScript> scripts(inputs.size());
  std::vector<std::vector<Finding>> walkFindings(inputs.size());
  std::map<std::string, const ScriptInput*> byName;
  for (size_t i = 0; i < inputs.size(); ++i) {
    const ScriptInput& in = inputs[i];
    byName[in.name] = &in;
    auto it = last.find(in.name);
    if (it != last.end() && scripts_[it->second].words == in.Words()) {
      scripts[i] = std::move(scripts_[it->second]);
      walkFindings[i] = std::move(walkFindings_[it->second]);
      last.erase(it);  // a name given twice is walked twice
    } else {
      scripts[i].name = in.name;
      scripts[i].words = in.Words();
      WalkScript(scripts[i], walkFindings[i]);
    }
  }
  std::vector<Finding> findings;
  for (const std::vector<Finding>& f : walkFindings) findings.insert(findings.end(), f.begin(), f.end());
  CheckGame(scripts, findings);
  if (allGlyphs || !glyphScripts.empty()) {
    if (!fonts_) fonts_ = std::make_unique<Fonts>();
    if (allGlyphs) {
      fonts_->glyphs.Check(scripts, findings);
    } else {
      std::vector<WalkedScript> some;
      for (const WalkedScript& s : scripts)
        if (glyphScripts.count(s.name)) some.push_back(s);
      fonts_->glyphs.Check(some, findings);
    }
  }
  scripts_ = std::move(scripts);
  walkFindings_ = std::move(walkFindings);

  return PlaceFindings(byName, findings);
}

std::vector<Diagnostic> PlaceFindings(const std::map<std::string, const ScriptInput*>& byName,
                                      std::vector<Finding>& findings) {
  std::vector<Diagnostic> out;
  out.reserve(findings.size());
  for (Finding& f : findings) {
    Diagnostic d;
    d.severity = f.severity;
    d.script = f.script;
    d.message = std::move(f.message);
    d.suggestion = std::move(f.suggestion);
    auto it = byName.find(f.script);
    if (it != byName.end()) {
      const ScriptInput& in = *it->second;
      const WordList& words = in.Words();
      if (f.word < words.size()) {
        d.word = f.word + 1;
        d.wordText = words[f.word];
        d.length = CharacterCount(d.wordText);
      }
      if (in.fromSource) {
        d.file = in.source.hostPath;
        if (f.word < in.source.offsets.size()) {
          const SourcePosition pos = PositionInCp932(in.source.text, in.source.offsets[f.word]);
          d.line = pos.line;
          d.column = pos.column;
        }
      }
    }
    out.push_back(std::move(d));
  }
  return out;
}

std::vector<Diagnostic> PlaceFindings(const std::vector<ScriptInput>& inputs, std::vector<Finding>& findings) {
  std::map<std::string, const ScriptInput*> byName;
  for (const ScriptInput& in : inputs) byName[in.name] = &in;
  return PlaceFindings(byName, findings);
}

void SortDiagnostics(std::vector<Diagnostic>& diagnostics) {
  std::stable_sort(diagnostics.begin(), diagnostics.end(), [](const Diagnostic& a, const Diagnostic& b) {
    if (a.script != b.script) return a.script < b.script;
    if (a.word != b.word) return a.word < b.word;
    return a.line < b.line;
  });
}

}  // namespace scripttool

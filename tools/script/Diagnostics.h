#pragma once
// The checks of `vantorel-script check` as a library: a game's scripts, from
// their plain sources (on disk, or an editor's buffer in memory) or from the
// built game, in; diagnostics with a file, line, column, severity, message
// and the word meant, out. The command line prints them; an editor's
// language server can run the same checks on the text being typed.
//
// Pictures, sounds, music and built scripts are looked up as the engine
// looks them up: relative to the working directory, which must be the game
// directory (the one holding GameData).
#include <cstddef>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "ScriptTool.h"
#include "ScriptWalk.h"

namespace scripttool {

struct Diagnostic {
  Severity severity = Severity::Error;
  std::string file;             // the plain source (host path, UTF-8); empty: none
  std::string script;           // the game's script (engine name, CP932); empty: the game as a whole
  size_t line = 0, column = 0;  // 1-based, columns in characters; 0: no place in a source
  size_t length = 0;            // characters of the word marked; 0: none
  size_t word = 0;              // 1-based word of the engine's list; 0: none
  std::string wordText;         // CP932
  std::string message;          // UTF-8
  std::string suggestion;       // UTF-8: the word meant; empty: none
};

// One script of the game as the checks read it.
struct ScriptInput {
  std::string name;          // engine name below GameData/Text (CP932): "本編\学校.Dat"
  bool fromSource = false;   // the words are a plain source's (source holds them)
  bool readable = true;      // false: a source that could not be read (its problem is reported)
  SourceScript source;       // fromSource: the text, the words and where each stands
  WordList words;            // !fromSource: the built file's words
  const WordList& Words() const { return fromSource ? source.words : words; }
};

// The engine name of the script a source below srcDir builds into:
// "本編/学校.txt" is "本編\学校.Dat". False when it has no CP932 form.
bool ScriptNameOfSource(const std::string& srcDir, const std::string& sourcePath, std::string& name);

// A script from a source's bytes (a file's, or an editor's buffer): a source
// that cannot be read as a script gives an unreadable input and a diagnostic
// at the character at fault. displayPath is the file name diagnostics carry.
ScriptInput InputFromSource(const std::string& name, const std::string& displayPath, std::string_view bytes,
                            bool cp932, std::vector<Diagnostic>& problems);

// Every .txt below srcDir (its file names in diagnostics are displayDir
// joined with the path below srcDir). False when srcDir cannot be listed.
bool LoadSourceInputs(const std::string& srcDir, const std::string& displayDir, bool cp932,
                      std::vector<ScriptInput>& inputs, std::vector<Diagnostic>& problems, std::string& error);

// Adds the built scripts of the game (below GameData/Text of the working
// directory, saves left out) whose names no input has yet. False when the
// game has no GameData/Text.
bool AddBuiltInputs(std::vector<ScriptInput>& inputs, std::string& error);

// Runs every check over the inputs. Keeps what is costly to open (the
// window's fonts) from one run to the next, for a caller that checks again
// and again.
class GameCheck {
 public:
  GameCheck();
  ~GameCheck();
  // glyphs: check each message against the window's fonts.
  std::vector<Diagnostic> Run(const std::vector<ScriptInput>& inputs, bool glyphs = true);
  // The same, with the glyph check only for the scripts named (an editor's
  // open documents: the check is the costliest, and the others have not
  // changed). A script whose words are as in the last run is not walked
  // again.
  std::vector<Diagnostic> Run(const std::vector<ScriptInput>& inputs, const std::set<std::string>& glyphScripts);

 private:
  std::vector<Diagnostic> RunFiltered(const std::vector<ScriptInput>& inputs, bool allGlyphs,
                                      const std::set<std::string>& glyphScripts);
  struct Fonts;
  std::unique_ptr<Fonts> fonts_;
  // The last run's walks, in its inputs' order, and each one's findings.
  std::vector<WalkedScript> scripts_;
  std::vector<std::vector<Finding>> walkFindings_;
};

// Findings as diagnostics: the word's text and, for a script read from a
// plain source, its file, line and column. The findings' texts are moved.
std::vector<Diagnostic> PlaceFindings(const std::vector<ScriptInput>& inputs, std::vector<Finding>& findings);
std::vector<Diagnostic> PlaceFindings(const std::map<std::string, const ScriptInput*>& byName,
                                      std::vector<Finding>& findings);

// Diagnostics sorted as the command prints them: the game's own first, then
// by script and word.
void SortDiagnostics(std::vector<Diagnostic>& diagnostics);

}  // namespace scripttool

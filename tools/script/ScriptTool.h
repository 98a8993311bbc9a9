#pragma once
// Shared pieces of the vantorel-script subcommands. Paths given on the command
// line are host paths (UTF-8); they reach the files through the engine's own
// path resolver and crash-safe writer.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "script/WordList.h"

namespace scripttool {

// Exit statuses.
constexpr int kOk = 0;
constexpr int kFailed = 1;  // bad input or a file that could not be read or written
constexpr int kUsage = 2;   // bad command line
constexpr int kIncomplete = 3;  // explore: the exploration stopped short of the whole game, no failure found

// One subcommand: its name, a one-line summary for --help, and its runner,
// which gets the arguments after the subcommand's name.
struct Command {
  const char* name;
  const char* usage;
  const char* summary;
  int (*run)(const std::vector<std::string>& args);
};
// The table main() dispatches on; a new subcommand is one more entry.
const std::vector<Command>& Commands();

int RunEncode(const std::vector<std::string>& args);
int RunDecode(const std::vector<std::string>& args);
int RunBuild(const std::vector<std::string>& args);
int RunCheck(const std::vector<std::string>& args);
int RunNames(const std::vector<std::string>& args);
int RunExplore(const std::vector<std::string>& args);
int RunTranslate(const std::vector<std::string>& args);
int RunHelp(const std::vector<std::string>& args);
int RunNew(const std::vector<std::string>& args);
int RunLsp(const std::vector<std::string>& args);
int RunPackage(const std::vector<std::string>& args);
int RunLoudness(const std::vector<std::string>& args);

// The options the subcommands share, and the positional arguments.
struct CommandLine {
  bool cp932 = false;      // --cp932
  std::string output;      // -o OUT
  std::vector<std::string> positional;
};
// Fails on an unknown option, on -o where the command takes none, and when
// the number of positional arguments is not `count`.
bool ParseCommandLine(const std::vector<std::string>& args, bool takesOutput, size_t count, CommandLine& line,
                      std::string& error);

// Messages go to stderr as "vantorel-script: ...".
void PrintError(const std::string& message);

// A plain script source converted to CP932 and split into the words the
// engine will count: comment blocks are not among them.
struct SourceScript {
  std::string hostPath;
  std::string text;             // CP932
  WordList words;
  std::vector<size_t> offsets;  // byte offset in text of each word
};

// 1-based line and column; columns count characters, not bytes.
struct SourcePosition {
  size_t line = 1;
  size_t column = 1;
};
SourcePosition PositionInUtf8(std::string_view text, size_t offset);
SourcePosition PositionInCp932(std::string_view text, size_t offset);

// Why a source could not be read as a script: where, when a character is at
// fault, and what.
struct SourceProblem {
  bool placed = false;
  SourcePosition at;
  std::string message;  // without the place
};

// Reads a source script (UTF-8, or CP932 when cp932Input). A character
// without a CP932 form fails with an error naming its line and column.
bool LoadSource(const std::string& hostPath, bool cp932Input, SourceScript& source, std::string& error);
// The same for a source's bytes already in memory (an editor's buffer).
bool SourceFromBytes(const std::string& hostPath, std::string_view raw, bool cp932Input, SourceScript& source,
                     SourceProblem& problem);

// The enciphered file bytes for a source: its words without comments, laid
// out (ScriptLayout.h) so that every word reads back. Fails, naming the
// word's place, only for a word that no arrangement can write.
bool EncipherSource(const SourceScript& source, std::string& fileBytes, std::string& error);

// Reads, lays out, enciphers and writes one source to target (already
// "E"-named), printing "SOURCE -> TARGET (N words)"; words gets N.
bool EncodeScriptFile(const std::string& sourcePath, bool cp932, const std::string& target, std::string& error,
                      size_t* words = nullptr);

// Builds every plain script below srcDir into gameDir (which holds
// GameData) and notes where they came from; report: print each script
// built. built gets the sources. False when any failed (each is reported).
bool BuildScripts(const std::string& srcDir, const std::string& gameDir, bool cp932, bool report,
                  std::vector<std::string>* built = nullptr);

// The engine path (CP932) for a host path.
bool ToEnginePath(const std::string& hostPath, std::string& enginePath, std::string& error);
// Inserts the enciphered form's "E" before the first "." of the file name.
bool MarkFileName(std::string& hostPath);

bool ReadHostFile(const std::string& hostPath, std::string& bytes, std::string& error);
// Creates missing parent directories, then writes crash-safe.
bool WriteHostFile(const std::string& hostPath, std::string_view bytes, std::string& error);

}  // namespace scripttool

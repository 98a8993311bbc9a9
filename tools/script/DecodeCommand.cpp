// decode FILE: the deciphered words, as the engine reads them.
#include <cstdio>

#include "ScriptTool.h"
#include "platform/files/Files.h"
#include "platform/text/TextCodec.h"
#include "script/CTextFile.h"

namespace scripttool {
namespace {
// FILE may be given by its plain name, like the engine's callers do.
std::string ExistingFile(const std::string& path) {
  std::string engine;
  std::string error;
  if (!ToEnginePath(path, engine, error) || platform::FileExists(engine)) return path;
  std::string marked = path;
  if (MarkFileName(marked) && ToEnginePath(marked, engine, error) && platform::FileExists(engine)) return marked;
  return path;
}
}  // namespace

int RunDecode(const std::vector<std::string>& args) {
  CommandLine line;
  std::string error;
  if (!ParseCommandLine(args, true, 1, line, error)) {
    PrintError("decode: " + error + " (usage: vantorel-script decode [-o OUT] [--cp932] FILE)");
    return kUsage;
  }
  const std::string file = ExistingFile(line.positional[0]);
  std::string bytes;
  if (!ReadHostFile(file, bytes, error)) {
    PrintError(error);
    return kFailed;
  }
  WordList words;
  CTextFile(true).DecodeBytes(bytes, words);

  std::string utf8;
  size_t notCp932 = 0;
  for (const std::string& w : words) {
    std::string word = platform::Cp932ToUtf8(w);
    std::string back;
    if (!platform::Utf8ToCp932(word, back) || back != w) ++notCp932;
    utf8 += word;
    utf8 += '\n';
  }
  if (notCp932 > 0)
    PrintError("warning: " + file + ": " + std::to_string(notCp932) +
               " words are not valid CP932 after deciphering (is the file enciphered?)");

  if (line.output.empty()) {
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
    return kOk;
  }
  // A CP932 plain script is exactly the engine's plain file form.
  if (!WriteHostFile(line.output, line.cp932 ? JoinWords(words) : utf8, error)) {
    PrintError(error);
    return kFailed;
  }
  return kOk;
}
}  // namespace scripttool

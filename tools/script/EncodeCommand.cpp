// encode SOURCE TARGET: one plain script into the game's word file.
#include <cstdio>

#include "ScriptTool.h"

namespace scripttool {

bool EncodeScriptFile(const std::string& sourcePath, bool cp932, const std::string& target, std::string& error,
                      size_t* words) {
  SourceScript source;
  std::string bytes;
  if (!LoadSource(sourcePath, cp932, source, error)) return false;
  if (!EncipherSource(source, bytes, error)) return false;
  if (!WriteHostFile(target, bytes, error)) return false;
  if (words) *words = source.words.size();
  std::printf("%s -> %s (%zu words)\n", sourcePath.c_str(), target.c_str(), source.words.size());
  return true;
}

int RunEncode(const std::vector<std::string>& args) {
  CommandLine line;
  std::string error;
  if (!ParseCommandLine(args, false, 2, line, error)) {
    PrintError("encode: " + error + " (usage: vantorel-script encode [--cp932] SOURCE TARGET)");
    return kUsage;
  }
  std::string target = line.positional[1];
  if (!MarkFileName(target)) {
    PrintError(target + ": the file name needs a \".\" (an extension) to carry the \"E\" of the enciphered form");
    return kFailed;
  }
  if (!EncodeScriptFile(line.positional[0], line.cp932, target, error)) {
    PrintError(error);
    return kFailed;
  }
  return kOk;
}

}  // namespace scripttool

#include "ScriptTool.h"

#include <cstdint>
#include <cstdio>

#include "ScriptLayout.h"
#include "platform/files/Files.h"
#include "platform/text/TextCodec.h"
#include "script/CTextFile.h"

namespace scripttool {
namespace {
size_t Utf8Length(unsigned char c) {
  if (c < 0x80) return 1;
  if ((c & 0xE0) == 0xC0) return 2;
  if ((c & 0xF0) == 0xE0) return 3;
  if ((c & 0xF8) == 0xF0) return 4;
  return 1;
}

template <class Step>
SourcePosition PositionIn(std::string_view text, size_t offset, Step charLength) {
  SourcePosition pos;
  size_t i = 0;
  while (i < offset && i < text.size()) {
    if (text[i] == '\n') {
      ++pos.line;
      pos.column = 1;
      ++i;
      continue;
    }
    i += charLength(static_cast<unsigned char>(text[i]));
    ++pos.column;
  }
  return pos;
}

std::string Where(const std::string& path, SourcePosition pos) {
  return path + ":" + std::to_string(pos.line) + ":" + std::to_string(pos.column);
}

// "U+1F600" for the character at offset, or the raw byte when it is not UTF-8.
std::string DescribeUtf8At(std::string_view text, size_t offset) {
  unsigned char c = static_cast<unsigned char>(text[offset]);
  size_t len = Utf8Length(c);
  char buf[32];
  if (len == 1 || offset + len > text.size()) {
    std::snprintf(buf, sizeof buf, "byte 0x%02X", c);
    return std::string(buf) + (c < 0x80 ? "" : " (not UTF-8)");
  }
  uint32_t cp = c & (0x7F >> len);
  for (size_t k = 1; k < len; ++k) {
    unsigned char t = static_cast<unsigned char>(text[offset + k]);
    if ((t & 0xC0) != 0x80) {
      std::snprintf(buf, sizeof buf, "byte 0x%02X (not UTF-8)", c);
      return buf;
    }
    cp = (cp << 6) | (t & 0x3F);
  }
  std::snprintf(buf, sizeof buf, "U+%04X", static_cast<unsigned>(cp));
  return std::string("character ") + buf + " \"" + std::string(text.substr(offset, len)) + "\"";
}
}  // namespace

bool ParseCommandLine(const std::vector<std::string>& args, bool takesOutput, size_t count, CommandLine& line,
                      std::string& error) {
  line = CommandLine{};
  bool optionsEnded = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (optionsEnded || a.empty() || a[0] != '-' || a == "-") {
      line.positional.push_back(a);
    } else if (a == "--") {
      optionsEnded = true;
    } else if (a == "--cp932") {
      line.cp932 = true;
    } else if (a == "-o" && takesOutput) {
      if (i + 1 >= args.size()) {
        error = "-o needs a file name";
        return false;
      }
      line.output = args[++i];
    } else {
      error = "unknown option \"" + a + "\"";
      return false;
    }
  }
  if (line.positional.size() != count) {
    error = "expected " + std::to_string(count) + " argument" + (count == 1 ? "" : "s") + ", got " +
            std::to_string(line.positional.size());
    return false;
  }
  return true;
}

void PrintError(const std::string& message) { std::fprintf(stderr, "vantorel-script: %s\n", message.c_str()); }

SourcePosition PositionInUtf8(std::string_view text, size_t offset) { return PositionIn(text, offset, Utf8Length); }

SourcePosition PositionInCp932(std::string_view text, size_t offset) {
  return PositionIn(text, offset, [](unsigned char c) -> size_t { return platform::IsLeadByte(c) ? 2 : 1; });
}

bool ToEnginePath(const std::string& hostPath, std::string& enginePath, std::string& error) {
  if (!platform::Utf8ToCp932(hostPath, enginePath)) {
    error = hostPath + ": the path has characters the game cannot name (no CP932 form)";
    return false;
  }
  return true;
}

bool MarkFileName(std::string& hostPath) {
  size_t slash = hostPath.rfind('/');
  std::string name = hostPath.substr(slash == std::string::npos ? 0 : slash + 1);
  if (!CTextFile::MarkEnciphered(name)) return false;
  hostPath = hostPath.substr(0, slash == std::string::npos ? 0 : slash + 1) + name;
  return true;
}

bool ReadHostFile(const std::string& hostPath, std::string& bytes, std::string& error) {
  std::string engine;
  if (!ToEnginePath(hostPath, engine, error)) return false;
  if (!platform::ReadWholeFile(engine, bytes, platform::file_caps::kScript)) {
    error = hostPath + ": cannot read the file";
    return false;
  }
  return true;
}

bool WriteHostFile(const std::string& hostPath, std::string_view bytes, std::string& error) {
  std::string engine;
  if (!ToEnginePath(hostPath, engine, error)) return false;
  size_t slash = hostPath.rfind('/');
  if (slash != std::string::npos && slash > 0 && !platform::MakeHostDirs(hostPath.substr(0, slash))) {
    error = hostPath + ": cannot create its directory";
    return false;
  }
  if (!platform::WriteFileAtomic(engine, bytes)) {
    error = hostPath + ": cannot write the file (nothing was changed)";
    return false;
  }
  return true;
}

bool SourceFromBytes(const std::string& hostPath, std::string_view raw, bool cp932Input, SourceScript& source,
                     SourceProblem& problem) {
  source = SourceScript{};
  source.hostPath = hostPath;
  problem = SourceProblem{};
  if (cp932Input) {
    source.text = std::string(raw);
  } else {
    // Editors on Windows like to start UTF-8 files with a byte-order mark.
    std::string_view utf8 = raw;
    if (utf8.substr(0, 3) == "\xEF\xBB\xBF") utf8.remove_prefix(3);
    size_t bad = 0;
    if (!platform::Utf8ToCp932(utf8, source.text, &bad)) {
      problem.placed = true;
      problem.at = PositionInUtf8(utf8, bad);
      problem.message = DescribeUtf8At(utf8, bad) + " has no CP932 form";
      return false;
    }
  }
  WordList words;
  std::vector<size_t> offsets;
  SplitWords(source.text, words, &offsets);
  // The reader's comment removal, keeping each remaining word's place.
  for (size_t i = 0; i < words.size(); ++i) {
    if (words[i] == "/*") {
      while (i < words.size() && words[i] != "*/") ++i;
      continue;
    }
    source.words.push_back(std::move(words[i]));
    source.offsets.push_back(offsets[i]);
  }
  return true;
}

bool LoadSource(const std::string& hostPath, bool cp932Input, SourceScript& source, std::string& error) {
  std::string raw;
  if (!ReadHostFile(hostPath, raw, error)) return false;
  SourceProblem problem;
  if (SourceFromBytes(hostPath, raw, cp932Input, source, problem)) return true;
  error = (problem.placed ? Where(hostPath, problem.at) : hostPath) + ": " + problem.message;
  return false;
}

bool EncipherSource(const SourceScript& source, std::string& fileBytes, std::string& error) {
  ScriptLayout layout = LayOutScript(source.words);
  if (layout.unplaceable == ScriptLayout{}.unplaceable) {
    fileBytes = CTextFile(true).EncodeWords(layout.fileWords);
    return true;
  }
  const size_t w = layout.unplaceable;
  error = Where(source.hostPath, PositionInCp932(source.text, source.offsets[w])) + ": the word \"" +
          platform::Cp932ToUtf8(source.words[w]) + "\" cannot be enciphered " +
          (layout.readsNowhere ? "at any place in a file" : "after the words before it") +
          ": the cipher turns one of its characters (! % ' ) * , - /) into whitespace wherever it stands, and "
          "the game would read it back wrongly. Break it up with a space, or write that character full-width";
  return false;
}

}  // namespace scripttool

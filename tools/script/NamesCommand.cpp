// names [--dry-run] DIR: renames a game tree unpacked with CP932 names (raw
// bytes, or read as code page 437 by plain unzip) to proper UTF-8 names.
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "ScriptTool.h"
#include "platform/text/NameCodec.h"

namespace scripttool {
namespace {
namespace fs = std::filesystem;

// A name for the terminal: bytes that are not UTF-8 as \xNN.
std::string Printable(const std::string& name) {
  std::string proper;
  if (platform::ClassifyName(name, proper) != platform::NameForm::Cp932Bytes &&
      platform::ClassifyName(name, proper) != platform::NameForm::Unknown) {
    return name;
  }
  std::string out;
  for (unsigned char c : name) {
    if (c < 0x80) {
      out += char(c);
    } else {
      char hex[5];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    }
  }
  return out;
}

struct Counts {
  size_t renamed = 0, failed = 0, unknown = 0;
};

// Children first, so that the paths still to be renamed stay valid.
void RenameTree(const fs::path& dir, bool dryRun, Counts& counts) {
  std::error_code ec;
  std::vector<fs::path> entries;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) entries.push_back(it->path());
  if (ec) {
    PrintError(dir.string() + ": cannot list: " + ec.message());
    ++counts.failed;
    return;
  }
  for (const fs::path& entry : entries) {
    if (fs::is_directory(fs::symlink_status(entry, ec))) RenameTree(entry, dryRun, counts);
    const std::string name = entry.filename().string();
    std::string proper;
    const platform::NameForm form = platform::ClassifyName(name, proper);
    if (form == platform::NameForm::Unknown) {
      PrintError((entry.parent_path() / Printable(name)).string() + ": neither UTF-8 nor CP932; left as it is");
      ++counts.unknown;
      continue;
    }
    if (form == platform::NameForm::Utf8) continue;
    const fs::path target = entry.parent_path() / proper;
    const char* how = form == platform::NameForm::Cp932Bytes ? "CP932 bytes" : "read as CP437";
    if (fs::exists(fs::symlink_status(target, ec))) {
      PrintError(target.string() + " already exists; " + (entry.parent_path() / Printable(name)).string() +
                 " left as it is");
      ++counts.failed;
      continue;
    }
    std::printf("%s %s -> %s (%s)\n", dryRun ? "would rename" : "renamed",
                (entry.parent_path() / Printable(name)).string().c_str(), target.string().c_str(), how);
    if (!dryRun) {
      fs::rename(entry, target, ec);
      if (ec) {
        PrintError(target.string() + ": " + ec.message());
        ++counts.failed;
        continue;
      }
    }
    ++counts.renamed;
  }
}
}  // namespace

int RunNames(const std::vector<std::string>& args) {
  bool dryRun = false;
  std::vector<std::string> rest;
  for (const std::string& a : args) {
    if (a == "--dry-run")
      dryRun = true;
    else
      rest.push_back(a);
  }
  CommandLine line;
  std::string error;
  if (!ParseCommandLine(rest, false, 1, line, error) || line.cp932) {
    PrintError("names: " + (error.empty() ? std::string("--cp932 does not apply") : error) +
               " (usage: vantorel-script names [--dry-run] DIR)");
    return kUsage;
  }
  std::error_code ec;
  if (!fs::is_directory(line.positional[0], ec)) {
    PrintError(line.positional[0] + ": not a directory");
    return kFailed;
  }
  Counts counts;
  RenameTree(line.positional[0], dryRun, counts);
  std::printf("%zu name%s %s%s\n", counts.renamed, counts.renamed == 1 ? "" : "s",
              dryRun ? "to rename" : "renamed",
              counts.failed + counts.unknown ? (", " + std::to_string(counts.failed + counts.unknown) + " left").c_str()
                                             : "");
  return counts.failed + counts.unknown > 0 ? kFailed : kOk;
}

}  // namespace scripttool

#include "app/RunOptions.h"

#include "platform/text/Languages.h"

#include <unistd.h>

#include <cstdlib>

#include "platform/files/Files.h"

namespace {
std::string Absolute(const std::string& p) {
  if (p.empty() || p[0] == '/') return p;
  char buf[4096];
  if (!::getcwd(buf, sizeof buf)) return p;
  return std::string(buf) + "/" + p;
}

bool ParseCount(const std::string& s, uint64_t& out) {
  if (s.empty() || s.size() > 18) return false;
  for (char c : s)
    if (c < '0' || c > '9') return false;
  out = std::stoull(s);
  return true;
}
}  // namespace

bool ParseCommandLine(int argc, char** argv, RunOptions& o, std::string& gameDir, std::string& error) {
  gameDir = ".";
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= argc) {
        error = a + " needs a value";
        return false;
      }
      out = argv[++i];
      return true;
    };
    std::string v;
    if (a == "--game-dir") {
      if (!value(gameDir)) return false;
      o.gameDirGiven = true;
    } else if (a == "--headless") {
      o.headless = true;
    } else if (a == "--frames") {
      if (!value(v)) return false;
      if (!ParseCount(v, o.maxFrames) || o.maxFrames == 0) {
        error = "--frames needs a positive number, got '" + v + "'";
        return false;
      }
    } else if (a == "--screenshot") {
      if (!value(v)) return false;
      size_t colon = v.find(':');
      uint64_t frame = 0;
      if (colon == std::string::npos || !ParseCount(v.substr(0, colon), frame) || colon + 1 >= v.size()) {
        error = "--screenshot needs N:FILE.png, got '" + v + "'";
        return false;
      }
      std::string file = Absolute(v.substr(colon + 1));
      // A directory that cannot take the file is known now, not after the run.
      std::string dir = file.substr(0, file.rfind('/') + 1);
      if (dir.empty()) dir = ".";
      if (::access(dir.c_str(), W_OK) != 0) {
        error = "--screenshot: cannot write into directory '" + dir + "'";
        return false;
      }
      o.screenshots[frame].push_back(file);
    } else if (a == "--input") {
      if (!value(v)) return false;
      std::string text;
      switch (platform::ReadRegularFile(v, text, platform::file_caps::kInput)) {
        case platform::FileRead::kRead:
          break;
        case platform::FileRead::kNotRegular:
          error = "input file '" + v + "' is not a regular file";
          return false;
        case platform::FileRead::kTooLarge:
          error = "input file '" + v + "' is larger than " + std::to_string(platform::file_caps::kInput >> 20) + " MiB";
          return false;
        default:
          error = "cannot read input file '" + v + "'";
          return false;
      }
      std::string why;
      if (!platform::ParseScriptedInput(text, o.input, why)) {
        error = v + ": " + why;
        return false;
      }
    } else if (a == "--answer") {
      if (!value(v)) return false;
      if (v != "yes" && v != "no") {
        error = "--answer takes yes or no, got '" + v + "'";
        return false;
      }
      o.answerYes = v == "yes";
    } else if (a == "--trace") {
      if (!value(v)) return false;
      o.tracePath = Absolute(v);
    } else if (a == "--watch") {
      o.watch = true;
    } else if (a == "--continue") {
      o.continueGame = true;
    } else if (a == "--settings") {
      if (!value(v)) return false;
      o.settingsFile = Absolute(v);
    } else if (a == "--language") {
      if (!value(v)) return false;
      if (!platform::IsLanguageCode(v)) {
        error = "--language takes a language code (en, fr, pt_BR; ja: the original), not \"" + v + "\"";
        return false;
      }
      o.language = v;
    } else if (a == "--save-dir") {
      if (!value(v)) return false;
      o.saveDir = Absolute(v);
      // A place that cannot take a save is known now, not at the first save.
      std::string why;
      if (!platform::CheckWritableDirectory(o.saveDir, why)) {
        error = "--save-dir '" + v + "': " + why;
        return false;
      }
    } else if (a == "--rewrite-at") {
      FileRewrite r;
      if (!value(v) || !value(r.from) || !value(r.to)) {
        error = "--rewrite-at needs N FROM TO";
        return false;
      }
      if (!ParseCount(v, r.pass)) {
        error = "--rewrite-at needs a pass number, got '" + v + "'";
        return false;
      }
      r.from = Absolute(r.from);
      r.to = Absolute(r.to);
      o.rewrites.push_back(std::move(r));
    } else if (a == "--help" || a == "-h") {
      o.showHelp = true;
    } else if (a == "--version") {
      o.showVersion = true;
    } else if (a == "--info") {
      o.showInfo = true;
    } else {
      error = "unknown option '" + a + "'";
      return false;
    }
  }
  if (!o.headless && (o.maxFrames || !o.screenshots.empty() || !o.input.empty() || !o.rewrites.empty())) {
    error = "--frames, --screenshot, --input and --rewrite-at need --headless";
    return false;
  }
  return true;
}

// explore GAMEDIR: plays every branch of a game headless and reports what
// it reached. This process reads the command line, makes the work directory
// and the shared state, lets the coordinator (ExploreCoordinator.h) run the
// branches (Explorer.h), and prints the report.
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <thread>

#include "ExploreCoordinator.h"
#include "ExploreLink.h"
#include "ExploreReport.h"
#include "ExploreShared.h"
#include "GameScripts.h"
#include "ScriptTool.h"
#include "TranslationFit.h"
#include "platform/text/Languages.h"
#include "platform/text/TextCodec.h"

namespace scripttool {
namespace {
namespace fs = std::filesystem;

constexpr uint64_t kDefaultBudget = 200000;  // passes: 53 minutes of game time per branch
// States: the shared table takes 32 to 64 bytes for each one allowed.
constexpr uint64_t kDefaultMaxStates = 100000;
constexpr uint64_t kMostStates = 10000000;

struct ExploreOptions {
  std::string gameDir;
  bool json = false;
  int jobs = 0;
  uint64_t budget = kDefaultBudget;
  uint64_t maxStates = kDefaultMaxStates;
  std::string language;  // --language: empty for none
};

bool ParsePositive(const std::string& text, uint64_t& value) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos || text.size() > 12) return false;
  value = std::strtoull(text.c_str(), nullptr, 10);
  return value > 0;
}

bool ParseExploreLine(const std::vector<std::string>& args, ExploreOptions& options, std::string& error) {
  std::vector<std::string> positional;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool hasValue = i + 1 < args.size();
    uint64_t n = 0;
    if (a == "--format") {
      if (!hasValue || (args[i + 1] != "text" && args[i + 1] != "json")) {
        error = "--format takes text or json";
        return false;
      }
      options.json = args[++i] == "json";
    } else if (a == "-j" || a == "--jobs" || (a.size() > 2 && a.rfind("-j", 0) == 0 && a[2] != '-')) {
      // "-j N" and make's "-jN".
      const bool joined = a.size() > 2 && a[1] == 'j';
      if ((!joined && !hasValue) || !ParsePositive(joined ? a.substr(2) : args[i + 1], n) || n > 1024) {
        error = (joined ? std::string("-j") : a) + " takes a number of parallel branches from 1 to 1024";
        return false;
      }
      options.jobs = static_cast<int>(n);
      if (!joined) ++i;
    } else if (a == "--budget") {
      if (!hasValue || !ParsePositive(args[i + 1], n)) {
        error = "--budget takes a positive number of steps";
        return false;
      }
      options.budget = n;
      ++i;
    } else if (a == "--max-states") {
      if (!hasValue || !ParsePositive(args[i + 1], n) || n > kMostStates) {
        error = "--max-states takes a number of states from 1 to " + std::to_string(kMostStates);
        return false;
      }
      options.maxStates = n;
      ++i;
    } else if (a == "--language") {
      if (!hasValue || !platform::IsLanguageCode(args[i + 1])) {
        error = "--language needs a language code (en, fr, pt_BR)";
        return false;
      }
      options.language = args[++i];
    } else if (!a.empty() && a[0] == '-') {
      error = "unknown option \"" + a + "\"";
      return false;
    } else {
      positional.push_back(a);
    }
  }
  if (positional.size() != 1) {
    error = "expected 1 argument, got " + std::to_string(positional.size());
    return false;
  }
  options.gameDir = positional[0];
  if (options.jobs == 0) options.jobs = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  return true;
}

}  // namespace

int RunExplore(const std::vector<std::string>& args) {
  ExploreOptions options;
  std::string error;
  if (!ParseExploreLine(args, options, error)) {
    PrintError(error);
    return kUsage;
  }
  std::error_code ec;
  fs::current_path(options.gameDir, ec);
  if (ec) {  // as check: a game that cannot be read is no bad command line
    PrintError(options.gameDir + ": " + ec.message());
    return kFailed;
  }
  std::vector<WalkedScript> scripts;
  if (!ReadScripts(scripts, error)) {
    PrintError(error);
    return kFailed;
  }
  // The translation's messages that do not fit, measured as translate check
  // measures them; a branch reports those it reaches.
  TranslatedOverflows overflows;
  if (!options.language.empty()) {
    const auto translation = LoadGameTranslation(options.language, error);
    if (!translation) {
      PrintError(options.gameDir + ": " + error);
      return kFailed;
    }
    std::vector<ScriptInput> inputs;
    if (!AddBuiltInputs(inputs, error)) {
      PrintError(options.gameDir + ": " + error);
      return kFailed;
    }
    for (Overflow& o : FindOverflows(inputs, *translation))
      if (o.what == "message") overflows[{o.script, o.word}] = std::move(o);
  }
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/vantorel-explore-XXXXXX";
  if (!::mkdtemp(pattern.data())) {
    const int error = errno;
    if (IsFullError(error)) {
      PrintError("exploration incomplete: the work directory cannot be made in " + pattern.substr(0, pattern.rfind('/')) +
                 ": it is full (" + std::strerror(error) + ")");
      return kIncomplete;
    }
    PrintError("cannot make a work directory in " + pattern + ": " + std::strerror(error));
    return kFailed;
  }
  const std::string work = pattern;
  ExploreShared* shared = ExploreShared::Create(options.jobs, options.maxStates);
  if (!shared) {
    PrintError("cannot map the shared state set");
    fs::remove_all(work, ec);
    return kFailed;
  }
  // The player's configuration (key bindings) of every branch stays in the
  // work directory too.
  ::setenv("XDG_CONFIG_HOME", (work + "/config").c_str(), 1);
  // No branch decides anything by the music, and synthesising it was three
  // quarters of the time: without a soundfont the player still plays, ends
  // and loops on the clock, silently.
  ::setenv("VANTOREL_SOUNDFONT", "/dev/null", 1);

  const bool keep = std::getenv("VANTOREL_EXPLORE_KEEP") != nullptr;
  ExploreReport report;
  int signal = 0;
  {
    ExploreCoordinator coordinator(work, options.budget, keep, *shared, report);
    if (!options.language.empty()) coordinator.UseLanguage(options.language, &overflows);
    signal = coordinator.Run();
  }
  if (signal) {
    // Every branch has ended and the work directory is gone: end as the signal would.
    ::signal(signal, SIG_DFL);
    ::raise(signal);
    return 128 + signal;
  }
  std::vector<std::string> names;
  for (const WalkedScript& s : scripts) names.push_back(platform::Cp932ToUtf8(s.name));
  SetGameScripts(report, names);
  report.states = shared->States();
  report.language = options.language;
  const std::string out = options.json ? ReportJson(report) : ReportText(report);
  std::fwrite(out.data(), 1, out.size(), stdout);
  if (!keep) fs::remove_all(work, ec);
  else std::fprintf(stderr, "vantorel-script: kept %s\n", work.c_str());
  for (const std::string& why : report.incomplete) PrintError("exploration incomplete: " + why);
  if (!report.failures.empty()) return kFailed;
  return report.incomplete.empty() ? kOk : kIncomplete;
}

}  // namespace scripttool

// explore GAMEDIR: plays every branch of a game headless and reports what
// it reached. This process is the coordinator: it forks the first branch,
// which forks the others at the menus (Explorer.h); every branch process
// becomes its child (a subreaper), so it waits for all of them, then reads
// their records and prints the report.
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cerrno>
#include <filesystem>
#include <map>
#include <thread>

#include "ExploreReport.h"
#include "ExploreShared.h"
#include "Explorer.h"
#include "GameScripts.h"
#include "ScriptTool.h"
#include "platform/text/TextCodec.h"

namespace scripttool {
namespace {
namespace fs = std::filesystem;

constexpr uint64_t kDefaultBudget = 200000;  // passes: 53 minutes of game time per branch
constexpr size_t kStateCapacity = size_t{1} << 20;

struct ExploreOptions {
  std::string gameDir;
  bool json = false;
  int jobs = 0;
  uint64_t budget = kDefaultBudget;
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

std::string DeathText(int status) {
  if (WIFSIGNALED(status)) return std::string("the engine stopped on signal ") + strsignal(WTERMSIG(status));
  return "the branch ended early with status " + std::to_string(WEXITSTATUS(status));
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
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/vantorel-explore-XXXXXX";
  if (!::mkdtemp(pattern.data())) {
    PrintError("cannot make a work directory in " + pattern);
    return kFailed;
  }
  const std::string work = pattern;
  ExploreShared* shared = ExploreShared::Create(options.jobs, kStateCapacity);
  if (!shared) {
    PrintError("cannot map the shared state set");
    return kFailed;
  }
  // The player's configuration (key bindings) of every branch stays in the
  // work directory too.
  ::setenv("XDG_CONFIG_HOME", (work + "/config").c_str(), 1);
  // No branch decides anything by the music, and synthesising it was three
  // quarters of the time: without a soundfont the player still plays, ends
  // and loops on the clock, silently.
  ::setenv("VANTOREL_SOUNDFONT", "/dev/null", 1);
  ::prctl(PR_SET_CHILD_SUBREAPER, 1);
  std::fflush(nullptr);
  const pid_t first = ::fork();
  if (first < 0) {
    PrintError("cannot start the first branch");
    return kFailed;
  }
  if (first == 0) RunFirstBranch({work, options.budget}, *shared);

  // Every branch, however deep, is a child of this process now.
  std::map<pid_t, std::string> deaths;
  for (;;) {
    int status = 0;
    const pid_t pid = ::waitpid(-1, &status, 0);
    if (pid < 0) {
      if (errno == EINTR) continue;
      break;  // ECHILD: all ended
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      deaths[pid] = DeathText(status);
      // It died holding its job slot, or the branches still waiting for one
      // would wait for ever.
      shared->Release();
    }
  }

  ExploreReport report;
  std::vector<std::string> files;
  for (fs::directory_iterator it(work, ec), end; !ec && it != end; it.increment(ec))
    if (it->path().extension() == ".rec") files.push_back(it->path().string());
  for (const std::string& f : files) {
    std::vector<Record> records = ReadRecords(f);
    std::string death;
    if (!records.empty() && records[0].kind == record::kBranch && records[0].fields.size() > 2) {
      auto d = deaths.find(static_cast<pid_t>(std::atoi(records[0].fields[2].c_str())));
      if (d != deaths.end()) death = d->second;
    }
    AddBranch(report, records, death);
  }
  std::vector<std::string> names;
  for (const WalkedScript& s : scripts) names.push_back(platform::Cp932ToUtf8(s.name));
  SetGameScripts(report, names);
  report.states = shared->States();
  report.statesFull = shared->Full();
  const std::string out = options.json ? ReportJson(report) : ReportText(report);
  std::fwrite(out.data(), 1, out.size(), stdout);
  if (!std::getenv("VANTOREL_EXPLORE_KEEP")) fs::remove_all(work, ec);
  else std::fprintf(stderr, "vantorel-script: kept %s\n", work.c_str());
  return report.failures.empty() ? kOk : kFailed;
}

}  // namespace scripttool

#include "support/ScratchDir.h"

#include <stdlib.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <system_error>

namespace testsupport {

namespace fs = std::filesystem;

#ifdef VANTOREL_TEST_PLAYER_DATA
namespace {
// Before any test runs: what the engine keeps for the player stays in the
// build tree. Tests that need their own place set it themselves.
const bool kPlayerDataInBuild = [] { return ::setenv("XDG_DATA_HOME", VANTOREL_TEST_PLAYER_DATA, 1) == 0; }();
}  // namespace
#endif

ScratchDir::ScratchDir(Mode mode, const char* tag) {
  std::string templ = "/tmp/vantorel-" + std::string(tag) + "-XXXXXX";
  // A test without its directory can only give wrong results: stop at once.
  if (::mkdtemp(templ.data()) == nullptr) std::abort();
  path_ = templ;
  if (mode == kEnter) {
    old_ = fs::current_path();
    fs::current_path(path_);
    entered_ = true;
  }
}

ScratchDir::~ScratchDir() {
  std::error_code ignored;
  if (entered_) fs::current_path(old_, ignored);
  fs::remove_all(path_, ignored);
}

void ScratchDir::Write(const std::string& relative, const std::string& bytes) const {
  fs::path p = fs::path(path_) / fs::u8path(relative);
  if (p.has_parent_path()) fs::create_directories(p.parent_path());
  std::ofstream(p, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

std::string ScratchDir::Read(const std::string& relative) const {
  return ReadHostFile(fs::path(path_) / fs::u8path(relative));
}

std::string ReadHostFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace testsupport

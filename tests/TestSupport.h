#pragma once
// Helpers shared by the tests: a scratch game directory that the test runs in.
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/Files.h"

class ScratchDir {
 public:
  ScratchDir() {
    char templ[] = "/tmp/vantorel-test-XXXXXX";
    path_ = ::mkdtemp(templ);
    old_ = platform::CurrentDirectory();
    if (::chdir(path_.c_str()) != 0) std::abort();
  }
  ~ScratchDir() {
    if (::chdir(old_.c_str()) != 0) std::abort();
    std::string cmd = "rm -rf '" + path_ + "'";
    if (std::system(cmd.c_str()) != 0) {
    }
  }
  const std::string& Path() const { return path_; }
  // Writes a file below the directory (host path with '/'), making parents.
  void Write(const std::string& relative, const std::string& bytes) const {
    size_t slash = relative.rfind('/');
    if (slash != std::string::npos) platform::MakeHostDirs(path_ + "/" + relative.substr(0, slash));
    std::ofstream(path_ + "/" + relative, std::ios::binary) << bytes;
  }

 private:
  std::string path_, old_;
};

#pragma once
// A fresh temporary directory for one test, removed with everything in it
// when the object goes. `Enter` also makes it the working directory for the
// object's lifetime, so engine paths are relative like a game's own.
#include <filesystem>
#include <string>

namespace testsupport {

class ScratchDir {
 public:
  enum Mode { kStay, kEnter };
  explicit ScratchDir(Mode mode = kEnter, const char* tag = "test");
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::string& Path() const { return path_; }
  // Writes a file below the directory (host path with '/', UTF-8), making parents.
  void Write(const std::string& relative, const std::string& bytes) const;
  // The whole file below the directory; empty when it cannot be read.
  std::string Read(const std::string& relative) const;

 private:
  std::string path_;
  std::filesystem::path old_;
  bool entered_ = false;
};

// Reads a whole host file; empty when it cannot be read.
std::string ReadHostFile(const std::filesystem::path& path);

}  // namespace testsupport

using testsupport::ScratchDir;

#pragma once
// Which files below a directory a writer has finished with: closed after
// writing, or renamed into place (Linux inotify). `build --watch` builds a
// changed script only once its writer let go of it, so a save written in
// parts, however slowly, is never built half. Where inotify cannot be had,
// Available() is false and the caller goes by time alone.
#include <map>
#include <set>
#include <string>

namespace scripttool {

class ClosedFiles {
 public:
  explicit ClosedFiles(const std::string& dir);
  ~ClosedFiles();
  ClosedFiles(const ClosedFiles&) = delete;
  ClosedFiles& operator=(const ClosedFiles&) = delete;

  bool Available() const { return fd_ >= 0; }
  // Watches every directory below the root not yet watched (new ones too),
  // then takes in what happened since the last call.
  void Update();
  // Whether the file (a path as the directory listing gives it) was closed
  // after writing or renamed into place since the last Take of it; clears it.
  bool Take(const std::string& path);
  // Whether the file's directory is watched (else only time tells).
  bool Covers(const std::string& path) const;

 private:
  void Watch(const std::string& dir);

  std::string root_;
  int fd_ = -1;
  std::map<int, std::string> dirs_;  // watch descriptor -> directory
  std::set<std::string> watched_;
  std::set<std::string> closed_;
};

}  // namespace scripttool

#pragma once
// The settings' file: read tolerantly, written back changing only the values
// that changed, kept beside itself before it is replaced for a fault.
#include <string>

#include "comfort/Settings.h"
#include "comfort/SettingsText.h"

namespace comfort {

class SettingsFile {
 public:
  explicit SettingsFile(std::string hostPath) : path_(std::move(hostPath)) {}
  // The file's settings; defaults when it is missing. A value it cannot
  // take keeps its default, is reported once, and the file is written again
  // at once with the values in force (the old file kept beside it as
  // "<name>.bak" first), comments and unknown keys kept. A file that is no
  // regular file is reported and never replaced; one too large to read is
  // reported and replaced on the first change, kept as "<name>.bak".
  Settings Load();
  // Crash-safe, through a symbolic link to the file it names; only the
  // lines whose values changed change. False when it could not be written,
  // which is said once (a read-only directory: the changes hold for this run).
  bool Save(const Settings& s);
  const std::string& Path() const { return path_; }
  std::string BackupPath() const;

 private:
  static std::string Leaf(const std::string& path);
  bool KeepBackup();
  void SayUnsaved(const std::string& reasonCp932);

  std::string path_;
  SettingsText text_;     // the file as last read or written
  std::string original_;  // its bytes as read
  bool keepOut_ = false;  // not a regular file: never replaced
  bool backupDue_ = false;
  bool saidUnsaved_ = false;
};

}  // namespace comfort

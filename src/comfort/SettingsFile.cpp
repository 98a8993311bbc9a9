#include "comfort/SettingsFile.h"

#include <unistd.h>

#include <vector>

#include "platform/diagnostics/Report.h"
#include "platform/files/Files.h"
#include "platform/text/TextCodec.h"

namespace comfort {

namespace {
std::string Cp932(const std::string& utf8) { return platform::Utf8ToCp932Lossy(utf8); }
}  // namespace

Settings SettingsFile::Load() {
  Settings s;
  text_ = SettingsText();
  original_.clear();
  keepOut_ = backupDue_ = false;
  if (path_.empty()) return s;
  const platform::FileRead read = platform::ReadRegularFile(path_, original_, platform::file_caps::kSettings);
  if (read == platform::FileRead::kMissing) return s;  // none yet: the defaults, written on the first change
  if (read != platform::FileRead::kRead) {
    // A FIFO, a device or a directory is not ours to replace; a file too
    // large to read is kept as settings.bak when it is. The defaults
    // meanwhile, said once.
    platform::ReportRefusedFile(Cp932(path_), read, platform::file_caps::kSettings);
    keepOut_ = read != platform::FileRead::kTooLarge;
    backupDue_ = read == platform::FileRead::kTooLarge;
    return s;
  }
  std::vector<std::string> problems;
  text_.Parse(original_, s, problems);
  if (problems.empty()) return s;
  std::string what = problems.front();
  if (problems.size() > 1) what += " (+" + std::to_string(problems.size() - 1) + ")";
  platform::DXTraceA("Settings", __LINE__, E_FAIL,
                     Cp932("設定ファイルの使えない値は初期設定のままにします（元の内容は " + Leaf(BackupPath()) +
                           " に残します）: " + path_ + " (" + what + ")"),
                     false);
  // Written again at once (the old file kept beside it first), so that it
  // is reported only this once.
  backupDue_ = true;
  Save(s);
  return s;
}

std::string SettingsFile::BackupPath() const { return path_ + ".bak"; }

std::string SettingsFile::Leaf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool SettingsFile::KeepBackup() {
  // The file as it is, beside it: a second name for it where that can be
  // made (instant, whatever its size), else a copy of what was read.
  std::string target;
  if (!platform::ReplaceableTarget(path_, true, target)) return false;
  const std::string temp = BackupPath() + ".new";
  ::unlink(temp.c_str());
  if (::link(target.c_str(), temp.c_str()) == 0) {
    if (::rename(temp.c_str(), BackupPath().c_str()) == 0) return true;
    ::unlink(temp.c_str());
  }
  return !original_.empty() && platform::WriteHostFileAtomic(BackupPath(), original_, false);
}

bool SettingsFile::Save(const Settings& s) {
  if (path_.empty() || keepOut_) return false;
  const size_t slash = path_.rfind('/');
  if (slash != std::string::npos && slash > 0) platform::MakeHostDirs(path_.substr(0, slash));
  if (backupDue_ && !KeepBackup()) {
    SayUnsaved(SJ("元の設定ファイルを ") + Cp932(Leaf(BackupPath())) + SJ(" として残せません。"));
    return false;
  }
  backupDue_ = false;
  const std::string text = text_.Write(s);
  if (!platform::WriteHostFileAtomic(path_, text)) {
    SayUnsaved(platform::TakeWriteFailureReason());
    return false;
  }
  Settings written;
  std::vector<std::string> problems;
  text_.Parse(text, written, problems);  // what the file holds now
  return true;
}

void SettingsFile::SayUnsaved(const std::string& reasonCp932) {
  if (saidUnsaved_) return;
  saidUnsaved_ = true;
  platform::DXTraceA("Settings", __LINE__, E_FAIL,
                     SJ("設定を保存できません。変更はこの実行の間だけ有効です。") + reasonCp932, false,
                     Cp932(path_));
}

}  // namespace comfort

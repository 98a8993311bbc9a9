#include "platform/files/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <mutex>
#include <set>
#include <utility>

#include "platform/diagnostics/Report.h"
#include "platform/files/Files.h"
#include "platform/text/TextCodec.h"
#include "platform/window/Host.h"

namespace platform {
namespace {
FileRead CheckStat(const struct stat& st, size_t maxBytes) {
  if (!S_ISREG(st.st_mode)) return FileRead::kNotRegular;
  if (st.st_size < 0 || static_cast<unsigned long long>(st.st_size) > maxBytes) return FileRead::kTooLarge;
  return FileRead::kRead;
}

std::string ParentOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
}
}  // namespace

FileRead ReadRegularFile(const std::string& hostPath, std::string& bytes, size_t maxBytes) {
  bytes.clear();
  FetchDeferredFile(hostPath.c_str());  // in a page: its bytes, if only its name is there yet
  // Looked at before it is opened: opening some devices does something.
  struct stat st;
  if (::stat(hostPath.c_str(), &st) != 0)
    return errno == ENOENT || errno == ENOTDIR ? FileRead::kMissing : FileRead::kFailed;
  if (FileRead why = CheckStat(st, maxBytes); why != FileRead::kRead) return why;
  // Without blocking: what was looked at may have been swapped for a FIFO.
  const int fd = ::open(hostPath.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT ? FileRead::kMissing : FileRead::kFailed;
  FileRead result = ::fstat(fd, &st) == 0 ? CheckStat(st, maxBytes) : FileRead::kFailed;
  if (result == FileRead::kRead) {
    bytes.reserve(static_cast<size_t>(st.st_size));
    char buffer[65536];
    for (;;) {
      const ssize_t n = ::read(fd, buffer, sizeof buffer);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) {
        result = FileRead::kFailed;
        break;
      }
      if (n == 0) break;
      bytes.append(buffer, static_cast<size_t>(n));
      if (bytes.size() > maxBytes) {  // it grew while being read
        result = FileRead::kTooLarge;
        break;
      }
    }
  }
  ::close(fd);
  if (result != FileRead::kRead) bytes.clear();
  return result;
}

bool ReplaceableTarget(const std::string& hostPath, bool followLink, std::string& target) {
  target = hostPath;
  // A link leads on to its target, and a link there on again (as the kernel
  // allows, at most 40 of them).
  for (int links = 0;; ++links) {
    struct stat st;
    // Nothing there, or no way to look: the write itself finds out.
    if (::lstat(target.c_str(), &st) != 0) return true;
    if (S_ISREG(st.st_mode)) return true;
    if (!S_ISLNK(st.st_mode)) return false;
    if (!followLink) return true;  // the link itself is replaced
    if (links == 40) return false;
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink(target.c_str(), buffer, sizeof buffer);
    if (n <= 0 || static_cast<size_t>(n) >= sizeof buffer) return false;
    std::string next(buffer, static_cast<size_t>(n));
    target = next[0] == '/' ? next : ParentOf(target) + "/" + next;
  }
}

namespace {
bool WriteAll(int fd, std::string_view bytes) {
  for (size_t done = 0; done < bytes.size();) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}
}  // namespace

bool OverwriteRegularFile(const std::string& hostPath, std::string_view bytes) {
  std::string target;
  if (!ReplaceableTarget(hostPath, true, target)) return false;
  const int fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  struct stat st;
  const bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::ftruncate(fd, 0) == 0 && WriteAll(fd, bytes);
  return ::close(fd) == 0 && ok;
}

bool WriteOutputFile(const std::string& hostPath, std::string_view bytes) {
  struct stat st;
  if (::stat(hostPath.c_str(), &st) != 0 || S_ISREG(st.st_mode)) return WriteHostFileAtomic(hostPath, bytes);
  if (S_ISDIR(st.st_mode)) return false;
  const int fd = ::open(hostPath.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool ok = WriteAll(fd, bytes);
  return ::close(fd) == 0 && ok;
}

std::string RefusalReason(FileRead why, size_t maxBytes) {
  switch (why) {
    case FileRead::kNotRegular:
      return SJ("通常のファイルではありません（フォルダ、名前付きパイプ、装置など）。");
    case FileRead::kTooLarge:
      return SJ("ファイルが大きすぎます（上限 ") + std::to_string(maxBytes >= file_caps::kMiB ? maxBytes / file_caps::kMiB : maxBytes / 1024) +
             (maxBytes >= file_caps::kMiB ? " MiB" : " KiB") + SJ("）。");
    case FileRead::kFailed:
      return SJ("読み込めません。");
    default:
      return std::string();
  }
}

void ReportRefusedFile(std::string_view nameCp932, FileRead why, size_t maxBytes, bool writing) {
  static std::mutex mutex;
  static std::set<std::pair<std::string, bool>> reported;
  std::lock_guard<std::mutex> lock(mutex);
  // A relative name is the same file only from the same directory.
  char here[PATH_MAX];
  std::string key = ::getcwd(here, sizeof here) ? here : "";
  key.append(1, '\0').append(nameCp932);
  if (!reported.insert({key, writing}).second) return;
  const std::string what = writing ? SJ("このファイルには書き込みません: ") : SJ("このファイルは読み込みません: ");
  DXTRACE("Files", E_FAIL, what + RefusalReason(why, maxBytes), false, nameCp932);
}

}  // namespace platform

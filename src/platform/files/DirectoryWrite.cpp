#include "platform/files/DirectoryWrite.h"

#include <dirent.h>
#include <fcntl.h>
#if __has_include(<linux/openat2.h>)  // not in the browser build
#include <linux/openat2.h>
#endif
#include <sys/random.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <vector>

#include "platform/text/TextCodec.h"

namespace platform::directory_write {
namespace {
std::vector<std::string> Components(const std::string& relative) {
  std::vector<std::string> parts;
  std::string current;
  for (size_t i = 0; i <= relative.size(); ++i) {
    if (i == relative.size() || relative[i] == '/') {
      if (!current.empty() && current != ".") parts.push_back(current);
      current.clear();
    } else {
      current += relative[i];
    }
  }
  return parts;
}

// The directory `path` below base, links followed only while they stay
// below it (the kernel checks every step, and fails when a rename races
// the walk). -1 with errno; ENOSYS where the kernel or a sandbox lacks it.
int OpenBeneath(int baseFd, const std::string& path) {
#if defined(SYS_openat2) && defined(RESOLVE_BENEATH)
  open_how how{};
  how.flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
  how.resolve = RESOLVE_BENEATH | RESOLVE_NO_MAGICLINKS;
  for (;;) {
    const long fd = ::syscall(SYS_openat2, baseFd, path.c_str(), &how, sizeof how);
    if (fd >= 0 || errno != EAGAIN) return static_cast<int>(fd);
  }
#else
  (void)baseFd;
  (void)path;
  errno = ENOSYS;
  return -1;
#endif
}

std::string TempName(const std::string& name) {
  static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  unsigned char random[6];
#ifdef __EMSCRIPTEN__  // the browser's C library has getentropy only (the page's crypto)
  if (::getentropy(random, sizeof random) != 0)
#else
  if (::getrandom(random, sizeof random, 0) != static_cast<ssize_t>(sizeof random))
#endif
    for (unsigned char& c : random) c = static_cast<unsigned char>(std::rand());
  std::string out = name + ".tmp-";
  for (unsigned char c : random) out += kLetters[c % (sizeof kLetters - 1)];
  return out;
}

// A writer killed between making its temporary file and the rename leaves
// "<name>.tmp-XXXXXX" behind; fresh ones may belong to a writer in another
// process still at work, so only those untouched for a minute go.
void RemoveStaleTemps(int dirFd, const std::string& name) {
  const int fd = ::dup(dirFd);
  if (fd < 0) return;
  DIR* dir = ::fdopendir(fd);
  if (!dir) {
    ::close(fd);
    return;
  }
  ::rewinddir(dir);
  const std::string prefix = name + ".tmp-";
  const time_t now = ::time(nullptr);
  while (dirent* e = ::readdir(dir)) {
    std::string_view entry(e->d_name);
    if (entry.size() != prefix.size() + 6 || entry.substr(0, prefix.size()) != prefix) continue;
    struct stat st;
    if (::fstatat(dirFd, e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode)) continue;
    if (now - st.st_mtime >= 60) ::unlinkat(dirFd, e->d_name, 0);
  }
  ::closedir(dir);
}

Failure System(int error) { return Failure{Failure::kSystem, error}; }
}  // namespace

Directory::~Directory() {
  if (fd_ >= 0) ::close(fd_);
}

Directory& Directory::operator=(Directory&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = other.fd_;
    other.fd_ = -1;
  }
  return *this;
}

Directory OpenBelow(int baseFd, const std::string& relative, bool make, Failure& failure) {
  failure = Failure{};
  Directory current(::fcntl(baseFd, F_DUPFD_CLOEXEC, 0));
  if (current.Fd() < 0) {
    failure = System(errno);
    return Directory();
  }
  std::string walked;
  bool beneath = true;  // the kernel's checked walk, while it has one
  for (const std::string& part : Components(relative)) {
    walked += (walked.empty() ? "" : "/") + part;
    for (int attempt = 0; attempt < 2; ++attempt) {
      int fd = -1;
      if (beneath) {
        fd = OpenBeneath(baseFd, walked);
        if (fd < 0 && (errno == ENOSYS || errno == EPERM)) beneath = false;
      }
      // Without it: one step at a time from the directory already open,
      // never through a link.
      if (!beneath) fd = ::openat(current.Fd(), part.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
      if (fd >= 0) {
        current = Directory(fd);
        break;
      }
      const int error = errno;
      if (error == ENOENT && make && attempt == 0) {
        if (::mkdirat(current.Fd(), part.c_str(), 0755) == 0 || errno == EEXIST) continue;  // EEXIST: made meanwhile
        failure = System(errno);
        return Directory();
      }
      // EXDEV: a link leads out of base; where links are not followed, any
      // link in the way.
      struct stat st;
      const bool link = ::fstatat(current.Fd(), part.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode);
      failure = error == EXDEV || error == ELOOP || (link && !beneath) ? Failure{Failure::kLeadsOut, error}
                                                                       : System(error);
      return Directory();
    }
  }
  return current;
}

Failure WriteIn(int dirFd, const std::string& name, std::string_view bytes) {
  struct stat st;
  if (::fstatat(dirFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && !S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode))
    return Failure{Failure::kNotRegular, 0};
  std::string temp;
  int fd = -1;
  for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
    temp = TempName(name);
    fd = ::openat(dirFd, temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0 && errno != EEXIST) return System(errno);
  }
  if (fd < 0) return System(EEXIST);
  int error = 0;
  for (size_t done = 0; !error && done < bytes.size();) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) error = n < 0 ? errno : EIO;
    else done += static_cast<size_t>(n);
  }
  // The file's mode is the game's own, whatever the umask made of it.
  if (!error && ::fchmod(fd, 0644) != 0) error = errno;
  if (!error && ::fsync(fd) != 0) error = errno;
  if (::close(fd) != 0 && !error) error = errno;
  if (!error && ::renameat(dirFd, temp.c_str(), dirFd, name.c_str()) != 0) error = errno;
  if (error) {
    ::unlinkat(dirFd, temp.c_str(), 0);
    return System(error);
  }
  ::fsync(dirFd);
  RemoveStaleTemps(dirFd, name);
  return Failure{};
}

std::string Reason(const Failure& failure) {
  switch (failure.kind) {
    case Failure::kNone:
      return std::string();
    case Failure::kLeadsOut:
      return SJ("保存先のフォルダがリンクでその場所の外を指しています。");
    case Failure::kNotRegular:
      return SJ("保存先に通常のファイルではないもの（フォルダ、名前付きパイプ、装置など）があります。");
    case Failure::kSystem:
      break;
  }
  switch (failure.error) {
    case ENOSPC:
    case EDQUOT:
      return SJ("ディスクに空きがありません。");
    case EROFS:
      return SJ("保存先は読み込み専用です。");
    case EACCES:
    case EPERM:
      return SJ("保存先に書き込む権限がありません。");
    case ENOENT:
    case ENOTDIR:
      return SJ("保存先のフォルダがありません。");
    default:
      return SJ("書き込めません（") + Utf8ToCp932Lossy(std::strerror(failure.error)) + SJ("）。");
  }
}

}  // namespace platform::directory_write

#include "platform/files/Files.h"

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <ctime>
#include <string_view>
#include <vector>

#include "platform/text/NameCodec.h"
#include "platform/text/TextCodec.h"

namespace platform {
namespace {
bool Exists(const std::string& p) {
  struct stat st;
  return ::stat(p.c_str(), &st) == 0;
}

std::string Slashes(std::string s) {
  for (char& c : s)
    if (c == '\\') c = '/';
  return s;
}

// Calls f with each component of an engine path (CP932) in turn. Replacing
// backslashes before splitting would be wrong: 0x5C can be the second byte
// of a CP932 character, so only single-byte separators split.
template <typename F>
void ForEachComponent(std::string_view engine, F f) {
  std::string segment;
  for (size_t i = 0; i < engine.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(engine[i]);
    if (IsLeadByte(c) && i + 1 < engine.size()) {
      segment += engine[i];
      segment += engine[++i];
    } else if (c == '\\' || c == '/') {
      f(segment);
      segment.clear();
    } else {
      segment += static_cast<char>(c);
    }
  }
  f(segment);
}

// Convert an engine path to UTF-8 with '/'.
std::string ConvertPath(std::string_view engine) {
  std::string out;
  bool first = true;
  ForEachComponent(engine, [&](const std::string& segment) {
    if (!first) out += '/';
    out += Cp932ToUtf8(segment);
    first = false;
  });
  return out;
}

std::vector<std::string> SplitComponents(const std::string& p) {
  std::vector<std::string> parts;
  std::string cur;
  for (char c : p) {
    if (c == '/') {
      parts.push_back(cur);
      cur.clear();
    } else {
      cur += c;
    }
  }
  parts.push_back(cur);
  return parts;
}

// Whether a directory entry is the component the engine asks for: the same
// name without regard to case, in whichever form an unpacker left it (UTF-8,
// raw CP932 bytes, or CP932 read as code page 437).
bool SameName(const char* entry, const std::string& wantUtf8) {
  if (::strcasecmp(entry, wantUtf8.c_str()) == 0) return true;
  std::string proper;
  if (ClassifyName(entry, proper) == NameForm::Utf8) return false;
  return ::strcasecmp(proper.c_str(), wantUtf8.c_str()) == 0;
}

// Matches the path one component at a time against what is on disk. The
// components found are spelt as on disk; from the first that is not there on
// the rest are kept as asked, so a file still to be written lands in the
// directory that was found. True when the whole path was found.
bool MatchComponents(const std::string& path, std::string& found) {
  std::vector<std::string> parts = SplitComponents(path);
  std::string base = path.size() && path[0] == '/' ? "/" : "";
  size_t start = path.size() && path[0] == '/' ? 1 : 0;
  std::string cur = base;
  bool all = true;
  for (size_t i = start; i < parts.size(); ++i) {
    const std::string& want = parts[i];
    if (want.empty() || want == ".") continue;
    std::string candidate = cur + want;
    if (all && !Exists(candidate)) {
      DIR* dir = ::opendir(cur.empty() ? "." : cur.c_str());
      bool hit = false;
      while (dir && !hit) {
        dirent* e = ::readdir(dir);
        if (!e) break;
        if (SameName(e->d_name, want)) {
          candidate = cur + e->d_name;
          hit = true;
        }
      }
      if (dir) ::closedir(dir);
      all = hit;
    }
    cur = candidate;
    if (i + 1 < parts.size()) cur += '/';
  }
  found = cur;
  return all;
}

bool FsyncDirectoryOf(const std::string& hostPath) {
  size_t slash = hostPath.rfind('/');
  std::string dir = slash == std::string::npos ? "." : (slash == 0 ? "/" : hostPath.substr(0, slash));
  int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0) return false;
  bool ok = ::fsync(fd) == 0;
  ::close(fd);
  return ok;
}
}  // namespace

namespace {
// The per-process place for the player's files (see SetWriteRoot).
struct WriteRootState {
  std::string dir;  // with a trailing '/', empty when unset
  WriteRootReads reads = WriteRootReads::kRootThenGame;
};
WriteRootState& Root() {
  static WriteRootState state;
  return state;
}

// Resolves an engine path below base ("" for the game directory, else a host
// directory ending in '/').
std::string ResolveIn(const std::string& base, std::string_view enginePath) {
  std::string converted = base + ConvertPath(enginePath);
  if (Exists(converted)) return converted;
  std::string raw = base + Slashes(std::string(enginePath));
  if (Exists(raw)) return raw;
  std::string found;
  MatchComponents(converted, found);
  return found;
}

// The file under the write root, when there is a root and the file is there.
bool InRoot(std::string_view enginePath, std::string& host) {
  if (Root().dir.empty() || !IsContainedPath(enginePath)) return false;
  host = ResolveIn(Root().dir, enginePath);
  return Exists(host);
}

std::string ParentOf(const std::string& host) {
  size_t slash = host.rfind('/');
  return slash == std::string::npos ? "." : (slash == 0 ? "/" : host.substr(0, slash));
}

// Whether dir, with every symbolic link followed, lies in base.
bool InsideReally(const std::string& dir, const std::string& base) {
  char d[PATH_MAX], b[PATH_MAX];
  if (!::realpath(dir.c_str(), d) || !::realpath(base.c_str(), b)) return false;
  std::string_view ds(d), bs(b);
  if (bs == "/") return true;
  return ds == bs || (ds.size() > bs.size() && ds.substr(0, bs.size()) == bs && ds[bs.size()] == '/');
}
}  // namespace

std::string ResolvePath(std::string_view enginePath) { return ResolveIn("", enginePath); }

void SetWriteRoot(const std::string& hostDir, WriteRootReads reads) {
  Root().dir = hostDir.empty() || hostDir.back() == '/' ? hostDir : hostDir + '/';
  Root().reads = reads;
}

void ClearWriteRoot() { Root() = WriteRootState{}; }

std::string WriteRoot() {
  const std::string& d = Root().dir;
  return d.size() > 1 ? d.substr(0, d.size() - 1) : d;
}

bool IsContainedPath(std::string_view enginePath) {
  if (enginePath.empty() || enginePath[0] == '\\' || enginePath[0] == '/') return false;
  if (enginePath.size() >= 2 && enginePath[1] == ':') return false;  // a drive letter
  bool climbs = false;
  ForEachComponent(enginePath, [&](const std::string& segment) { climbs = climbs || segment == ".."; });
  return !climbs;
}

std::string WritePath(std::string_view enginePath) {
  if (Root().dir.empty()) return ResolveIn("", enginePath);
  return ResolveIn(Root().dir, enginePath);
}

bool WriteGameFile(std::string_view enginePath, std::string_view bytes) {
  if (!IsContainedPath(enginePath)) return false;
  const std::string host = WritePath(enginePath);
  const std::string parent = ParentOf(host);
  std::string base = Root().dir.empty() ? CurrentDirectory() : WriteRoot();
  if (!Root().dir.empty() && !MakeHostDirs(parent)) return false;
  if (!InsideReally(parent, base)) return false;
  // A link in the save's own place is replaced by the save, not followed.
  return WriteHostFileAtomic(host, bytes, false);
}

namespace {
// Where a file the engine wrote is read from: the root, then (unless the
// root is the only place) the game. False when it is in neither.
bool SavedHost(std::string_view enginePath, std::string& host) {
  if (InRoot(enginePath, host)) return true;
  if (!Root().dir.empty() && Root().reads == WriteRootReads::kRootOnly) return false;
  host = ResolveIn("", enginePath);
  return Exists(host);
}

bool ReadHost(const std::string& host, std::string_view name, std::string& bytes, size_t maxBytes, bool report) {
  const FileRead why = ReadRegularFile(host, bytes, maxBytes);
  if (report && (why == FileRead::kNotRegular || why == FileRead::kTooLarge)) ReportRefusedFile(name, why, maxBytes);
  return why == FileRead::kRead;
}
}  // namespace

bool SavedFileExists(std::string_view enginePath) {
  std::string host;
  return SavedHost(enginePath, host);
}

bool ReadSavedFile(std::string_view enginePath, std::string& bytes) {
  bytes.clear();
  std::string host;
  return SavedHost(enginePath, host) && ReadHost(host, enginePath, bytes, file_caps::kSave, true);
}

bool GamePlaceWritable(std::string_view enginePath) {
  std::string dir = ParentOf(ResolveIn("", enginePath));
  while (!Exists(dir) && dir != "." && dir != "/") dir = ParentOf(dir);
  return ::access(dir.c_str(), W_OK) == 0;
}

bool FileExists(std::string_view enginePath) { return Exists(ResolvePath(enginePath)); }

bool ReadWholeFile(std::string_view enginePath, std::string& bytes, size_t maxBytes, bool report) {
  return ReadHost(ResolvePath(enginePath), enginePath, bytes, maxBytes, report);
}

namespace {
// A writer killed between creating its temporary file and the rename leaves
// "<name>.tmp-XXXXXX" behind. The next successful write of the same file
// removes such leftovers; fresh ones may belong to a writer in another
// process that is still at work, so only those untouched for a minute go.
void RemoveStaleTemps(const std::string& host) {
  size_t slash = host.rfind('/');
  std::string dirPath = slash == std::string::npos ? "." : (slash == 0 ? "/" : host.substr(0, slash));
  std::string prefix = (slash == std::string::npos ? host : host.substr(slash + 1)) + ".tmp-";
  DIR* dir = ::opendir(dirPath.c_str());
  if (!dir) return;
  time_t now = ::time(nullptr);
  while (dirent* e = ::readdir(dir)) {
    std::string_view name(e->d_name);
    if (name.size() != prefix.size() + 6 || name.substr(0, prefix.size()) != prefix) continue;
    struct stat st;
    if (::fstatat(::dirfd(dir), e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode)) continue;
    if (now - st.st_mtime >= 60) ::unlinkat(::dirfd(dir), e->d_name, 0);
  }
  ::closedir(dir);
}
}  // namespace

bool WriteHostFileAtomic(const std::string& hostPath, std::string_view bytes, bool followLink) {
  std::string host;
  if (!ReplaceableTarget(hostPath, followLink, host)) {
    ReportRefusedFile(Utf8ToCp932Lossy(hostPath), FileRead::kNotRegular, 0, true);
    return false;
  }
  std::string temp = host + ".tmp-XXXXXX";
  std::vector<char> templ(temp.begin(), temp.end());
  templ.push_back('\0');
  int fd = ::mkstemp(templ.data());
  if (fd < 0) return false;
  std::string tempPath(templ.data());
  const char* p = bytes.data();
  size_t left = bytes.size();
  bool ok = true;
  while (left > 0) {
    ssize_t w = ::write(fd, p, left);
    if (w < 0) {
      if (errno == EINTR) continue;
      ok = false;
      break;
    }
    p += w;
    left -= static_cast<size_t>(w);
  }
  if (ok) ::fchmod(fd, 0644);
  if (ok) ok = ::fsync(fd) == 0;
  if (::close(fd) != 0) ok = false;
  if (ok) ok = ::rename(tempPath.c_str(), host.c_str()) == 0;
  if (!ok) {
    ::unlink(tempPath.c_str());
    return false;
  }
  FsyncDirectoryOf(host);
  RemoveStaleTemps(host);
  return true;
}

bool WriteFileAtomic(std::string_view enginePath, std::string_view bytes) {
  return WriteHostFileAtomic(ResolvePath(enginePath), bytes);
}

bool MakeHostDirs(const std::string& hostPath) {
  std::string cur;
  for (size_t i = 0; i <= hostPath.size(); ++i) {
    if (i == hostPath.size() || hostPath[i] == '/') {
      if (!cur.empty()) ::mkdir(cur.c_str(), 0755);
    }
    if (i < hostPath.size()) cur += hostPath[i];
  }
  struct stat st;
  return ::stat(hostPath.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string CurrentDirectory() {
  char buf[PATH_MAX];
  if (!::getcwd(buf, sizeof buf)) return std::string();
  return buf;
}
}  // namespace platform

#include "platform/files/Files.h"

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/files/DirectoryWrite.h"
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

// The write root, opened once when first written to (and made then): a
// swap of its path afterwards cannot move the saves.
directory_write::Directory& RootDirectory() {
  static directory_write::Directory root;
  return root;
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

}  // namespace

std::string ResolvePath(std::string_view enginePath) { return ResolveIn("", enginePath); }

void SetWriteRoot(const std::string& hostDir, WriteRootReads reads) {
  RootDirectory() = directory_write::Directory();
  Root().dir = hostDir.empty() || hostDir.back() == '/' ? hostDir : hostDir + '/';
  Root().reads = reads;
}

void ClearWriteRoot() {
  Root() = WriteRootState{};
  RootDirectory() = directory_write::Directory();
}

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

namespace {
std::string& LastFailure() {
  thread_local std::string reason;
  return reason;
}

}  // namespace

bool WriteGameFile(std::string_view enginePath, std::string_view bytes) {
  using namespace directory_write;
  LastFailure().clear();
  if (!IsContainedPath(enginePath)) {
    LastFailure() = SJ("保存先がゲームの外を指しています。");
    return false;
  }
  // The path as found on disk (names matched as for reading), relative to
  // the place saves are written below.
  std::string relative = WritePath(enginePath);
  const bool rooted = !Root().dir.empty();
  if (rooted) relative.erase(0, Root().dir.size());
  const size_t slash = relative.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : relative.substr(0, slash);
  const std::string name = relative.substr(slash == std::string::npos ? 0 : slash + 1);
  Failure failure;
  Directory game;
  int base = -1;
  if (rooted) {
    if (RootDirectory().Fd() < 0 && MakeHostDirs(WriteRoot()))
      RootDirectory() = Directory(::open(WriteRoot().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    base = RootDirectory().Fd();
  } else {
    game = Directory(::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));  // the game directory itself
    base = game.Fd();
  }
  if (base < 0) {
    failure = Failure{Failure::kSystem, errno};
  } else {
    // Folders are made under a root of the player's; a game keeps its own.
    Directory place = OpenBelow(base, folder, rooted, failure);
    if (!failure) failure = WriteIn(place.Fd(), name, bytes);
  }
  if (failure) LastFailure() = Reason(failure);
  return !failure;
}

std::string TakeWriteFailureReason() { return std::exchange(LastFailure(), std::string()); }

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

bool WriteHostFileAtomic(const std::string& hostPath, std::string_view bytes, bool followLink) {
  using directory_write::Failure;
  LastFailure().clear();
  std::string host;
  Failure failure;
  if (!ReplaceableTarget(hostPath, followLink, host)) {
    failure = Failure{Failure::kNotRegular, 0};
  } else {
    const size_t slash = host.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : host.substr(0, slash));
    directory_write::Directory place(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    failure = place.Fd() < 0 ? Failure{Failure::kSystem, errno}
                             : directory_write::WriteIn(place.Fd(), host.substr(slash == std::string::npos ? 0 : slash + 1), bytes);
  }
  if (failure.kind == Failure::kNotRegular) ReportRefusedFile(Utf8ToCp932Lossy(hostPath), FileRead::kNotRegular, 0, true);
  if (failure) LastFailure() = directory_write::Reason(failure);
  return !failure;
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

bool CheckWritableDirectory(const std::string& hostPath, std::string& why) {
  struct stat st;
  if (::stat(hostPath.c_str(), &st) == 0 && !S_ISDIR(st.st_mode)) {
    why = "not a directory";
    return false;
  }
  if (!MakeHostDirs(hostPath)) {
    why = std::string("cannot be made (") + std::strerror(errno) + ")";
    return false;
  }
  // Permissions alone do not tell (root may write anywhere /proc allows,
  // which is nowhere; a read-only mount): a file is made there.
  directory_write::Directory place(::open(hostPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  const std::string probe = ".vantorel-probe-" + std::to_string(::getpid());
  const int fd = place.Fd() < 0 ? -1 : ::openat(place.Fd(), probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) {
    why = std::string("cannot be written (") + std::strerror(errno) + ")";
    return false;
  }
  ::close(fd);
  ::unlinkat(place.Fd(), probe.c_str(), 0);
  return true;
}

std::string CurrentDirectory() {
  char buf[PATH_MAX];
  if (!::getcwd(buf, sizeof buf)) return std::string();
  return buf;
}
}  // namespace platform

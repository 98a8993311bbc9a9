#include "ExploreLink.h"

#include <poll.h>
#include <sys/statvfs.h>

namespace scripttool {
namespace {
// Below this much room (or these many inodes) a branch's next save or
// record may not fit: what a branch writes is a few kilobytes.
constexpr unsigned long long kRoomBytes = 64 * 1024;
constexpr unsigned long long kRoomInodes = 8;
}  // namespace

void SendLink(int fd, LinkMessage::Kind kind, int id, int64_t value) {
  LinkMessage m;
  m.kind = kind;
  m.id = id;
  m.value = value;
  while (::write(fd, &m, sizeof m) < 0 && errno == EINTR) {
  }
}

bool CoordinatorGone(int lifeFd) {
  if (lifeFd < 0) return false;
  pollfd p{lifeFd, POLLIN, 0};
  return ::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLIN | POLLERR));
}

bool WorkDirFull(const std::string& dir) {
  struct statvfs s {};
  if (::statvfs(dir.c_str(), &s) != 0) return false;
  const unsigned long long room = static_cast<unsigned long long>(s.f_bavail) * s.f_frsize;
  // File systems without an inode count report 0 inodes in all.
  return room < kRoomBytes || (s.f_files != 0 && s.f_favail < kRoomInodes);
}

bool IsFullError(int error) { return error == ENOSPC || error == EDQUOT; }

}  // namespace scripttool

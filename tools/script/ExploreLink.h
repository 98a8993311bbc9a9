#pragma once
// What the branch processes of an exploration tell its coordinator, over one
// pipe: fixed-size messages, each written whole in one write(2) (far below
// PIPE_BUF, so those of many writers never interleave). And the coordinator's
// life line: a pipe only the coordinator holds open for writing, so a branch
// sees it gone (killed outright) and stops instead of playing on unwatched.
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>

namespace scripttool {

struct LinkMessage {
  enum Kind : int32_t {
    kEnded = 1,  // a branch its parent reaped: value is the wait status
    kAdopt,      // a branch left to the coordinator when its parent ends: value is its process id
    kQueued,     // the branch wrote a kQueued record: value is its offset in the branch's record file
    kWorkFull,   // the work directory has no room: value is the errno seen
  };
  int32_t kind = 0;
  int32_t id = 0;  // the branch
  int64_t value = 0;
};

struct LinkEnds {
  int messages = -1;  // write end in branches
  int life = -1;      // read end in branches
};

// Sends one message; a coordinator gone ends the branch (SIGPIPE).
void SendLink(int fd, LinkMessage::Kind kind, int id, int64_t value);
// Reads the messages waiting on a non-blocking read end (whole ones only;
// a part message stays in `partial` for the next call).
template <class Handle>
void ReadLink(int fd, std::string& partial, Handle handle) {
  char buffer[4096];
  for (;;) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    partial.append(buffer, static_cast<size_t>(n));
    size_t at = 0;
    for (; partial.size() - at >= sizeof(LinkMessage); at += sizeof(LinkMessage)) {
      LinkMessage m;
      std::memcpy(&m, partial.data() + at, sizeof m);
      handle(m);
    }
    partial.erase(0, at);
  }
}
// True once the coordinator's end of the life line is closed.
bool CoordinatorGone(int lifeFd);

// The work directory is full: too little room or no inode left for a
// branch's saves and records (statvfs); a failure the engine reports then
// is the work directory's, not the game's.
bool WorkDirFull(const std::string& dir);
// An errno that means the work directory's file system is full.
bool IsFullError(int error);

}  // namespace scripttool

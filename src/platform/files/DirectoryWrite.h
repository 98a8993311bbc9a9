#pragma once
// Crash-safe writes made relative to an open directory, so that nothing
// renamed or swapped meanwhile (a folder exchanged for a symbolic link, say)
// can send a write elsewhere: the directory is opened once, without leaving
// the place it starts from at any step, and the temporary file, the rename
// and the sync all go through that one descriptor.
#include <string>
#include <string_view>

namespace platform::directory_write {

struct Failure {
  enum Kind { kNone, kLeadsOut, kNotRegular, kSystem } kind = kNone;
  int error = 0;  // errno, for kSystem
  explicit operator bool() const { return kind != kNone; }
};

// An open directory (-1: none), closed with the object.
class Directory {
 public:
  explicit Directory(int fd = -1) : fd_(fd) {}
  ~Directory();
  Directory(Directory&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
  Directory& operator=(Directory&& other) noexcept;
  Directory(const Directory&) = delete;
  Directory& operator=(const Directory&) = delete;
  int Fd() const { return fd_; }

 private:
  int fd_;
};

// Opens the directory `relative` ('/'-separated, may be empty) below `base`
// without ever leaving base: a symbolic link is followed only where it stays
// below base (where the kernel cannot promise that, no link is followed at
// all). Missing directories are made when `make`.
Directory OpenBelow(int baseFd, const std::string& relative, bool make, Failure& failure);

// Writes `name` in the directory crash-safe: a temporary file there is
// written to its end, synced and closed, renamed over `name`, and the
// directory synced. Anything but a regular file or a symbolic link in
// name's place is left alone (kNotRegular); a failure leaves no temporary
// file. Leftover temporary files of this name older than a minute go.
Failure WriteIn(int dirFd, const std::string& name, std::string_view bytes);

// The player's words (CP932) for why a write failed.
std::string Reason(const Failure& failure);

}  // namespace platform::directory_write

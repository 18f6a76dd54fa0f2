#pragma once
// An owned POSIX file descriptor and a write that finishes what it starts.

#include <string_view>

namespace xyx {

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor();
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }
  // Closes now, reporting whether the close (where delayed write errors show) succeeded.
  bool Close();

 private:
  int fd_;
};

// Writes all of `bytes`, going on after short writes and interruptions.
bool WriteAll(int fd, std::string_view bytes);

}  // namespace xyx

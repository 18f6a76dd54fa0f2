#include "core/platform/file_descriptor.h"

#include <unistd.h>

#include <cerrno>

namespace xyx {

FileDescriptor::~FileDescriptor() {
  if (fd_ >= 0) ::close(fd_);
}

bool FileDescriptor::Close() {
  const int fd = fd_;
  fd_ = -1;
  return fd >= 0 && ::close(fd) == 0;
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

}  // namespace xyx

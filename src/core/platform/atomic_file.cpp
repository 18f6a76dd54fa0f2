#include "core/platform/atomic_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <random>
#include <string>

namespace xyx {

namespace {

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

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

}  // namespace

bool WriteFileReplacing(const std::filesystem::path& target, std::string_view bytes) {
  const std::filesystem::path dir =
      target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
  std::random_device seed;
  for (int attempt = 0; attempt < 16; ++attempt) {
    const std::filesystem::path temp =
        dir / ("." + target.filename().string() + "." + std::to_string(seed()) + ".part");
    FileDescriptor fd(::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (fd.get() < 0) {
      if (errno == EEXIST) continue;
      return false;
    }
    const bool written = WriteAll(fd.get(), bytes) && ::fsync(fd.get()) == 0;
    if (!fd.Close() || !written || ::rename(temp.c_str(), target.c_str()) != 0) {
      ::unlink(temp.c_str());
      return false;
    }
    return true;
  }
  return false;
}

}  // namespace xyx

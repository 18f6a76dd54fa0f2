#include "core/platform/atomic_file.h"

#include "core/platform/file_descriptor.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <random>
#include <string>

namespace xyx {

ReplacingFile::ReplacingFile(std::filesystem::path target) : target_(std::move(target)) {
  const std::filesystem::path dir =
      target_.has_parent_path() ? target_.parent_path() : std::filesystem::path(".");
  std::random_device seed;
  for (int attempt = 0; attempt < 16; ++attempt) {
    temp_ = dir / ("." + target_.filename().string() + "." + std::to_string(seed()) + ".part");
    fd_ = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ >= 0 || errno != EEXIST) break;
  }
  if (fd_ < 0) temp_.clear();
}

ReplacingFile::~ReplacingFile() {
  Abandon();
}

void ReplacingFile::Abandon() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!temp_.empty()) ::unlink(temp_.c_str());
  temp_.clear();
}

bool ReplacingFile::Write(std::string_view bytes) {
  if (fd_ < 0) return false;
  if (!WriteAll(fd_, bytes)) {
    Abandon();
    return false;
  }
  return true;
}

bool ReplacingFile::Commit() {
  if (fd_ < 0) return false;
  const bool synced = ::fsync(fd_) == 0;
  const bool closed = ::close(fd_) == 0;
  fd_ = -1;
  if (!synced || !closed || ::rename(temp_.c_str(), target_.c_str()) != 0) {
    Abandon();
    return false;
  }
  temp_.clear();
  return true;
}

bool WriteFileReplacing(const std::filesystem::path& target, std::string_view bytes) {
  ReplacingFile file(target);
  return file.Write(bytes) && file.Commit();
}

}  // namespace xyx

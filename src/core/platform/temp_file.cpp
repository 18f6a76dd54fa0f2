#include "core/platform/temp_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>

#include "core/platform/environment.h"
#include "core/platform/file_descriptor.h"

namespace xyx {

namespace {

// Enough names to get past any run of taken ones without looping for ever.
constexpr int kMaxAttempts = 65536;

std::uint32_t NextNumber() {
  static std::atomic<std::uint32_t> counter{0};
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                      std::chrono::steady_clock::now().time_since_epoch())
                      .count();
  return static_cast<std::uint32_t>(ms) + counter.fetch_add(1);
}

std::filesystem::path NameFor(const std::filesystem::path& dir, std::uint32_t number,
                              std::string_view suffix) {
  char hex[16];
  std::snprintf(hex, sizeof hex, "%x", static_cast<unsigned>(number));
  return dir / (std::string(hex) + ".tmp" + std::string(suffix));
}

}  // namespace

std::filesystem::path TemporaryDirectory() {
  const auto tmp = GetEnvironment("TMPDIR");
  if (tmp && !tmp->empty()) return std::filesystem::path(*tmp);
  return std::filesystem::path("/tmp");
}

TemporaryFile CreateTemporaryFile(const std::filesystem::path& dir, std::string_view suffix,
                                  std::string_view bytes) {
  TemporaryFile result;
  for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
    const std::filesystem::path name = NameFor(dir, NextNumber(), suffix);
    if (result.path.empty()) result.path = name;
    FileDescriptor fd(::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (fd.get() < 0) {
      if (errno == EEXIST) continue;
      return result;
    }
    result.path = name;
    const bool written = WriteAll(fd.get(), bytes);
    if (!fd.Close() || !written) {
      ::unlink(name.c_str());
      return result;
    }
    result.written = true;
    return result;
  }
  return result;
}

}  // namespace xyx

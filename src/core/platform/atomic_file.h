#pragma once
// Writing a whole file so that readers see either the old content or the new, never a part.

#include <filesystem>
#include <string_view>

namespace xyx {

// Writes `bytes` to a new temporary file beside `target` and renames it over `target` once
// everything is on disk. On failure the temporary file is removed and `target` is untouched.
bool WriteFileReplacing(const std::filesystem::path& target, std::string_view bytes);

// The same in pieces, for content too large to hold at once: Write appends to the temporary
// file, Commit puts it in place. Without a successful Commit the temporary file is removed
// and `target` stays as it was.
class ReplacingFile {
 public:
  explicit ReplacingFile(std::filesystem::path target);
  ~ReplacingFile();
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  // False when the temporary file could not be created or a write has failed.
  bool Good() const { return fd_ >= 0; }
  bool Write(std::string_view bytes);
  bool Commit();

 private:
  void Abandon();

  std::filesystem::path target_;
  std::filesystem::path temp_;
  int fd_ = -1;
};

}  // namespace xyx

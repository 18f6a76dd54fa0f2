#pragma once
// New files in the temporary directory under names nobody else holds.

#include <filesystem>
#include <string_view>

namespace xyx {

// $TMPDIR when set and not empty, else /tmp.
std::filesystem::path TemporaryDirectory();

struct TemporaryFile {
  std::filesystem::path path;  // the name chosen; empty only when no name could be made
  bool written = false;        // the file exists and holds all the bytes
};

// Creates "<hex>.tmp<suffix>" in `dir` and writes `bytes` to it. The hexadecimal digits come
// from a millisecond clock plus a running counter, and a name that is taken is skipped: the
// file is created exclusively, readable and writable by the owner only, and never follows or
// replaces anything that exists. When the file cannot be created or written, `written` is
// false, no partial file remains, and `path` still names the first name tried.
TemporaryFile CreateTemporaryFile(const std::filesystem::path& dir, std::string_view suffix,
                                  std::string_view bytes);

}  // namespace xyx

#pragma once
// Writing a whole file so that readers see either the old content or the new, never a part.

#include <filesystem>
#include <string_view>

namespace xyx {

// Writes `bytes` to a new temporary file beside `target` and renames it over `target` once
// everything is on disk. On failure the temporary file is removed and `target` is untouched.
bool WriteFileReplacing(const std::filesystem::path& target, std::string_view bytes);

}  // namespace xyx

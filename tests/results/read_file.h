#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace xyx::test {

// The whole content of a file, bytes as they are.
inline std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace xyx::test

#include "core/platform/registry_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/platform/environment.h"
#include "core/text/encoding.h"

namespace xyx {

namespace {

// `fileName` comes from the file (UTF-8), `localName` from a caller (local text).
bool SameName(std::string_view fileName, std::string_view localName) {
  return AsciiLower(Utf8ToLocalText(fileName)) == AsciiLower(localName);
}

std::vector<std::string> ReadLines(const std::filesystem::path& file) {
  std::vector<std::string> lines;
  std::ifstream in(file, std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// The key path of a "[...]" line, or nullopt for any other line.
std::optional<std::string_view> SectionOf(std::string_view line) {
  if (line.size() < 2 || line.front() != '[' || line.back() != ']') return std::nullopt;
  return line.substr(1, line.size() - 2);
}

bool HasLineBreak(std::string_view s) {
  return s.find_first_of("\r\n") != std::string_view::npos;
}

// Writes `content` next to `file` and renames it over `file`.
bool WriteAtomically(const std::filesystem::path& file, const std::string& content) {
  std::error_code ec;
  const std::filesystem::path dir = file.parent_path();
  if (!dir.empty()) {
    std::filesystem::create_directories(dir, ec);
    if (ec) return false;
  }
  std::string pattern = (file.string() + ".XXXXXX");
  const int fd = ::mkstemp(pattern.data());
  if (fd < 0) return false;
  bool ok = true;
  std::size_t done = 0;
  while (ok && done < content.size()) {
    const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
    if (n < 0) {
      ok = false;
    } else {
      done += static_cast<std::size_t>(n);
    }
  }
  ok = ok && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  ok = ok && ::rename(pattern.c_str(), file.c_str()) == 0;
  if (!ok) ::unlink(pattern.c_str());
  return ok;
}

}  // namespace

RegistryStore::RegistryStore(std::filesystem::path file) : file_(std::move(file)) {}

std::filesystem::path RegistryStore::DefaultPath() {
  std::filesystem::path base;
  const auto xdg = GetEnvironment("XDG_CONFIG_HOME");
  if (xdg && !xdg->empty() && xdg->front() == '/') {
    base = *xdg;
  } else {
    base = std::filesystem::path(HomeDirectory()) / ".config";
  }
  return base / "xiyingxia" / "registry.ini";
}

std::optional<Text> RegistryStore::ReadValue(std::string_view keyPath,
                                             std::string_view name) const {
  bool inKey = false;
  for (const std::string& line : ReadLines(file_)) {
    if (const auto section = SectionOf(line)) {
      inKey = SameName(*section, keyPath);
      continue;
    }
    if (!inKey) continue;
    const std::size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    if (SameName(std::string_view(line).substr(0, eq), name)) {
      return Utf8ToLocalText(std::string_view(line).substr(eq + 1));
    }
  }
  return std::nullopt;
}

bool RegistryStore::WriteValue(std::string_view keyPath, std::string_view name,
                               std::string_view value) {
  if (HasLineBreak(keyPath) || HasLineBreak(name) || HasLineBreak(value)) return false;
  // Checked in UTF-8, where these bytes can only be themselves.
  if (LocalToUtf8(keyPath).find(']') != std::string::npos ||
      LocalToUtf8(name).find('=') != std::string::npos || name.empty()) {
    return false;
  }
  const std::string entry = LocalToUtf8(name) + "=" + LocalToUtf8(value);

  std::vector<std::string> lines = ReadLines(file_);
  bool inKey = false;
  bool written = false;
  std::size_t sectionEnd = std::string::npos;  // where a new value of the key would go
  for (std::size_t i = 0; i < lines.size() && !written; ++i) {
    if (const auto section = SectionOf(lines[i])) {
      inKey = SameName(*section, keyPath);
      if (inKey) sectionEnd = i + 1;
      continue;
    }
    if (!inKey) continue;
    if (!lines[i].empty()) sectionEnd = i + 1;
    const std::size_t eq = lines[i].find('=');
    if (eq != std::string::npos && SameName(std::string_view(lines[i]).substr(0, eq), name)) {
      lines[i] = entry;
      written = true;
    }
  }
  if (!written) {
    if (sectionEnd != std::string::npos) {
      lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(sectionEnd), entry);
    } else {
      if (!lines.empty() && !lines.back().empty()) lines.emplace_back();
      lines.push_back("[" + LocalToUtf8(keyPath) + "]");
      lines.push_back(entry);
    }
  }
  std::string content;
  for (const std::string& line : lines) content += line + "\n";
  return WriteAtomically(file_, content);
}

std::pair<Text, Text> SplitValuePath(std::string_view fullPath) {
  // Char-aware: 0x5C can be the second byte of a double-byte character.
  const std::size_t slash = FindLastText(fullPath, "\\", fullPath.size());
  if (slash == std::string_view::npos) return {Text(), Text(fullPath)};
  return {Text(fullPath.substr(0, slash)), Text(fullPath.substr(slash + 1))};
}

}  // namespace xyx

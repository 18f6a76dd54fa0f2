#pragma once
// A small per-user key/value store standing in for the system registry. Values live in
// one UTF-8 text file, grouped by key path:
//
//   [HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Internet Settings]
//   ProxyServer=proxy.example:3128
//
// Key paths and value names compare ignoring ASCII letter case, as registry names do.
// Values cross this interface as local text.

#include <filesystem>
#include <optional>
#include <string_view>

#include "core/text/local_text.h"

namespace xyx {

class RegistryStore {
 public:
  explicit RegistryStore(std::filesystem::path file);

  // $XDG_CONFIG_HOME/xiyingxia/registry.ini, or ~/.config/xiyingxia/registry.ini.
  static std::filesystem::path DefaultPath();
  static RegistryStore ForCurrentUser() { return RegistryStore(DefaultPath()); }

  const std::filesystem::path& Path() const { return file_; }

  // The value `name` under `keyPath`; nullopt when the file, the key or the value is missing.
  std::optional<Text> ReadValue(std::string_view keyPath, std::string_view name) const;

  // Creates or replaces one value. The file is rewritten through a temporary file that is
  // renamed over it, so a failed write never leaves a damaged store. Returns false when the
  // value cannot be stored (a line break in any part, "]" in the key path, "=" in the name,
  // or a file-system error).
  bool WriteValue(std::string_view keyPath, std::string_view name, std::string_view value);

 private:
  std::filesystem::path file_;
};

// Splits "key\path\Name" at its last backslash into the key path and the value name.
std::pair<Text, Text> SplitValuePath(std::string_view fullPath);

}  // namespace xyx

#include "core/platform/environment.h"

#include <cstdlib>

namespace xyx {

std::optional<std::string> GetEnvironment(std::string_view name) {
  const std::string key(name);
  const char* value = std::getenv(key.c_str());
  if (value == nullptr) return std::nullopt;
  return std::string(value);
}

std::string HomeDirectory() {
  return GetEnvironment("HOME").value_or(std::string());
}

}  // namespace xyx

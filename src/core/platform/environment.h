#pragma once
// Access to the process environment, kept here so that the rest of the core stays portable.

#include <optional>
#include <string>
#include <string_view>

namespace xyx {

// The value of an environment variable; nullopt when it is not set.
std::optional<std::string> GetEnvironment(std::string_view name);

// The current user's home directory ($HOME); empty when unknown.
std::string HomeDirectory();

}  // namespace xyx

#pragma once
// The HTTP side of the reference search service.

#include <httplib.h>

#include <string>

namespace xyx::service {

inline constexpr std::size_t kMaxRequestBody = 64 * 1024;

// Answers the search call at the service path on `server`, from the catalogue at `dbPath`;
// every other request gets a SOAP fault with a 4xx status.
void InstallSearchService(httplib::Server& server, const std::string& dbPath, int limit);

}  // namespace xyx::service

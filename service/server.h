#pragma once
// The HTTP side of the reference search service.

#include <httplib.h>

#include <string>

namespace xyx::service {

inline constexpr std::size_t kMaxRequestBody = 64 * 1024;
inline constexpr std::size_t kServingThreads = 48;

// Answers the search call at the service path on `server`, from the catalogue at `dbPath`;
// every other request gets a SOAP fault with a 4xx status.
void InstallSearchService(httplib::Server& server, const std::string& dbPath, int limit);

// cpp-httplib listens with a backlog of 5, so a burst of clients connecting at once
// overflows the accept queue and some of them lose their first request. Call after binding:
// it finds the listening socket on `port` and raises its backlog (Linux applies a second
// listen() to a listening socket).
void RaiseListenBacklog(int port);

}  // namespace xyx::service

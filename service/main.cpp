// xiyingxia-service: the reference search service.
//   xiyingxia-service [--host ADDR] [--port N] [--db FILE] [--import TSV] [--limit N]
//                     [--build-only]
// Without --db the service builds a temporary catalogue from the demo catalogue (or from
// --import) and removes it on exit.

#include <httplib.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>

#include "catalogue.h"
#include "core/platform/temp_file.h"
#include "server.h"

#ifndef XIYINGXIA_DEMO_CATALOGUE
#define XIYINGXIA_DEMO_CATALOGUE "data/demo-catalogue.tsv"
#endif

namespace {

httplib::Server* g_server = nullptr;

void Stop(int) {
  if (g_server) g_server->stop();
}

int Usage() {
  std::cerr << "usage: xiyingxia-service [--host ADDR] [--port N] [--db FILE] [--import TSV] "
               "[--limit N] [--build-only]\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::string host = "127.0.0.1";
  int port = 8080;
  std::string db;
  std::string import;
  int limit = 1000;
  bool buildOnly = false;  // import into --db and exit
  for (int i = 1; i < argc; ++i) {
    const std::string opt = argv[i];
    if (opt == "--build-only") {
      buildOnly = true;
      continue;
    }
    if (i + 1 >= argc) return Usage();
    const std::string value = argv[++i];
    try {
      if (opt == "--host")
        host = value;
      else if (opt == "--port")
        port = std::stoi(value);
      else if (opt == "--db")
        db = value;
      else if (opt == "--import")
        import = value;
      else if (opt == "--limit")
        limit = std::stoi(value);
      else
        return Usage();
    } catch (const std::exception&) {
      return Usage();
    }
  }

  std::filesystem::path temporary;
  if (db.empty()) {
    temporary =
        xyx::TemporaryDirectory() / ("xiyingxia-catalogue-" + std::to_string(getpid()) + ".sqlite");
    db = temporary.string();
    if (import.empty()) import = XIYINGXIA_DEMO_CATALOGUE;
  }
  if (!import.empty()) {
    std::string error;
    const long long rows = xyx::service::ImportCatalogue(db, import, error);
    if (rows < 0) {
      std::cerr << "xiyingxia-service: " << error << "\n";
      return 1;
    }
    std::cerr << "xiyingxia-service: catalogue of " << rows << " entries in " << db << "\n";
  }
  if (buildOnly) return temporary.empty() ? 0 : Usage();

  httplib::Server server;
  xyx::service::InstallSearchService(server, db, limit);
  g_server = &server;
  std::signal(SIGINT, Stop);
  std::signal(SIGTERM, Stop);

  if (port == 0) {
    port = server.bind_to_any_port(host.c_str());
  } else if (!server.bind_to_port(host.c_str(), port)) {
    port = -1;
  }
  if (port < 0) {
    std::cerr << "xiyingxia-service: cannot listen on " << host << "\n";
    if (!temporary.empty()) std::filesystem::remove(temporary);
    return 1;
  }
  xyx::service::RaiseListenBacklog(port);
  std::cout << "xiyingxia-service listening on " << host << ":" << port << std::endl;
  server.listen_after_bind();
  if (!temporary.empty()) std::filesystem::remove(temporary);
  return 0;
}

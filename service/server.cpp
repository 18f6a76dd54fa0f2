#include "server.h"

#include <netinet/in.h>
#include <sys/socket.h>

#include <algorithm>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "catalogue.h"
#include "core/search/protocol.h"
#include "soap.h"

namespace xyx::service {

namespace {

constexpr const char* kXml = "text/xml; charset=utf-8";

// A few catalogue connections shared by all serving threads, one search at a time each. The
// pool is much smaller than the thread pool: each connection maps the database and keeps its
// own cache, so one per thread would multiply memory with every client ever served.
class CataloguePool {
 public:
  CataloguePool(std::string dbPath, std::size_t size) : dbPath_(std::move(dbPath)), size_(size) {}

  // Runs `use` with a connection (nullptr when none can be opened).
  template <typename Use>
  auto With(Use use) {
    std::unique_ptr<Catalogue> catalogue;
    {
      std::unique_lock lock(mutex_);
      ready_.wait(lock, [this] { return !idle_.empty() || opened_ < size_; });
      if (!idle_.empty()) {
        catalogue = std::move(idle_.back());
        idle_.pop_back();
      } else {
        ++opened_;
      }
    }
    if (!catalogue) {
      std::string error;
      catalogue = Catalogue::Open(dbPath_, error);
    }
    auto result = use(catalogue.get());
    {
      std::lock_guard lock(mutex_);
      if (catalogue) {
        idle_.push_back(std::move(catalogue));
      } else {
        --opened_;  // try opening again next time
      }
    }
    ready_.notify_one();
    return result;
  }

 private:
  std::string dbPath_;
  std::size_t size_;
  std::mutex mutex_;
  std::condition_variable ready_;
  std::vector<std::unique_ptr<Catalogue>> idle_;
  std::size_t opened_ = 0;
};

void Fault(httplib::Response& res, const SoapFault& fault) {
  res.status = fault.status;
  res.set_content(FaultResponse(fault), kXml);
}

}  // namespace

void InstallSearchService(httplib::Server& server, const std::string& dbPath, int limit) {
  const std::string path(kServicePath);
  server.set_payload_max_length(kMaxRequestBody);
  // Replies go out as headers then body: without TCP_NODELAY, Nagle's algorithm and the
  // client's delayed ACK hold every kept-alive reply back for tens of milliseconds.
  server.set_tcp_nodelay(true);
  server.set_keep_alive_max_count(1000);
  // A kept-alive connection holds its thread between requests, so the pool must be larger
  // than the number of clients expected at once, or the extra ones wait out their timeouts.
  server.new_task_queue = [] {
    return new httplib::ThreadPool(kServingThreads);  // the server takes ownership
  };

  const std::size_t connections =
      std::clamp<std::size_t>(std::thread::hardware_concurrency(), 2, 8);
  auto pool = std::make_shared<CataloguePool>(dbPath, connections);
  server.Post(path, [pool, limit](const httplib::Request& req, httplib::Response& res) {
    const SearchCall call = ParseSearchCall(req.body);
    if (call.fault) return Fault(res, *call.fault);
    std::optional<std::vector<CatalogueEntry>> entries =
        pool->With([&](Catalogue* catalogue) -> std::optional<std::vector<CatalogueEntry>> {
          if (!catalogue) return std::nullopt;
          return catalogue->Search(*call.keyword, limit);
        });
    if (!entries) return Fault(res, {500, "SOAP-ENV:Server", "the catalogue cannot be opened"});
    res.set_content(SearchResponse(*entries), kXml);
  });

  const auto notAllowed = [](const httplib::Request&, httplib::Response& res) {
    res.set_header("Allow", "POST");
    Fault(res, {405, "SOAP-ENV:Client", "the search call is a POST"});
  };
  server.Get(path, notAllowed);
  server.Put(path, notAllowed);
  server.Patch(path, notAllowed);
  server.Delete(path, notAllowed);
  server.Options(path, notAllowed);

  // Whatever else ends in an error status (unknown path, oversized body) still gets a fault.
  server.set_error_handler([](const httplib::Request&, httplib::Response& res) {
    if (!res.body.empty()) return;
    if (res.status == 413) {
      Fault(res, {413, "SOAP-ENV:Client", "the request body is larger than 64 KiB"});
    } else if (res.status == 404) {
      Fault(res, {404, "SOAP-ENV:Client", "no such service path"});
    } else {
      Fault(res, {res.status, res.status >= 500 ? "SOAP-ENV:Server" : "SOAP-ENV:Client",
                  "the request cannot be served"});
    }
  });
  server.set_exception_handler(
      [](const httplib::Request&, httplib::Response& res, std::exception_ptr) {
        Fault(res, {500, "SOAP-ENV:Server", "internal error"});
      });
}

void RaiseListenBacklog(int port) {
  for (int fd = 0; fd < 1024; ++fd) {
    int listening = 0;
    socklen_t length = sizeof listening;
    if (::getsockopt(fd, SOL_SOCKET, SO_ACCEPTCONN, &listening, &length) != 0 || !listening) {
      continue;
    }
    sockaddr_storage address{};
    socklen_t addressLength = sizeof address;
    if (::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &addressLength) != 0) continue;
    int boundPort = -1;
    if (address.ss_family == AF_INET) {
      boundPort = ntohs(reinterpret_cast<const sockaddr_in*>(&address)->sin_port);
    } else if (address.ss_family == AF_INET6) {
      boundPort = ntohs(reinterpret_cast<const sockaddr_in6*>(&address)->sin6_port);
    }
    if (boundPort == port) ::listen(fd, SOMAXCONN);
  }
}

}  // namespace xyx::service

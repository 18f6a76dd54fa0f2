#pragma once
// Internals of HttpRequest shared by its two source files: the libcurl handles and the state of
// one request.

#include <curl/curl.h>

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/web/http_request.h"

namespace xyx {

namespace http_detail {

using Clock = std::chrono::steady_clock;

// How often the wait loop wakes to call the wait hook and check the time limits.
constexpr std::chrono::milliseconds kWaitSlice{25};

struct EasyDeleter {
  void operator()(CURL* h) const { curl_easy_cleanup(h); }
};
struct MultiDeleter {
  void operator()(CURLM* h) const { curl_multi_cleanup(h); }
};
struct SlistDeleter {
  void operator()(curl_slist* l) const { curl_slist_free_all(l); }
};
using EasyHandle = std::unique_ptr<CURL, EasyDeleter>;
using MultiHandle = std::unique_ptr<CURLM, MultiDeleter>;
using HeaderList = std::unique_ptr<curl_slist, SlistDeleter>;

// Runs curl_global_init once per process.
void GlobalInit();

inline char Lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

inline bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

inline bool StartsNoCase(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && EqualNoCase(s.substr(0, prefix.size()), prefix);
}

inline std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() &&
         (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n')) {
    s.remove_suffix(1);
  }
  return s;
}

inline bool HasControl(std::string_view s) {
  for (char c : s) {
    if (c == '\r' || c == '\n' || c == '\0') return true;
  }
  return false;
}

enum class State { Idle, Opened, Running, Done, Failed };

}  // namespace http_detail

struct HttpRequest::Impl {
  static constexpr std::size_t kKeptBodyCapacity = std::size_t{8} << 20;
  using Clock = http_detail::Clock;
  using State = http_detail::State;
  http_detail::EasyHandle easy;
  http_detail::MultiHandle multi;
  bool inMulti = false;
  bool waiting = false;

  // Kept from one request to the next.
  int resolveMs = 0;
  int connectMs = 60000;
  int sendMs = 30000;
  int receiveMs = 30000;
  int proxySetting = kProxyDefault;
  std::string proxyServer;
  std::string proxyBypass;
  bool redirects = true;
  std::map<int, Variant> options;
  std::string clientCertificate;
  int autoLogonPolicy = 0;
  std::function<void()> waitHook;
  std::size_t maxBody = kDefaultMaxBodyBytes;

  // The request being built or sent.
  State state = State::Idle;
  std::string method;
  std::string url;  // as sent
  bool async = false;
  std::vector<std::pair<std::string, std::string>> headers;
  std::optional<std::pair<std::string, std::string>> serverCredentials;
  std::optional<std::pair<std::string, std::string>> proxyCredentials;
  std::string body;
  http_detail::HeaderList headerList;
  std::string proxyText;
  std::string noProxyText;

  // The response as it arrives.
  long status = 0;
  std::string statusText;
  std::vector<std::string> headerLines;
  std::string responseBody;
  bool failedInCallback = false;
  bool headersComplete = false;  // the blank line after the last response's headers arrived

  // No-progress limits.
  bool connected = false;
  Clock::time_point lastProgress;
  curl_off_t lastUp = 0;
  curl_off_t lastDown = 0;

  void ClearResponse() {
    status = 0;
    statusText.clear();
    headerLines.clear();
    responseBody.clear();
    // Requests of the usual size reuse the buffer (its pages are already mapped); a large one
    // gives its memory back.
    if (responseBody.capacity() > kKeptBodyCapacity) responseBody.shrink_to_fit();
    failedInCallback = false;
    headersComplete = false;
  }

  void Detach() {
    if (inMulti) {
      curl_multi_remove_handle(multi.get(), easy.get());
      inMulti = false;
    }
  }

  bool Configure();
  void Drive();
  void Finish(CURLcode code);

  static std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* self);
  static std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* self);
  static int OnProgress(void* self, curl_off_t dlTotal, curl_off_t dlNow, curl_off_t ulTotal,
                        curl_off_t ulNow);
  static int OnConnected(void* self, char*, char*, int, int);
};

}  // namespace xyx

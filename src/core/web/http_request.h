#pragma once
// An HTTP request object over libcurl: open a request, set its headers, send it (blocking, or
// started in the background and completed by WaitForResponse), then read the last response.
// Every call fails quietly: a call out of order or a failed exchange gives false or the empty
// result of its kind, and the response reads stay empty until a response is complete.
//
// Only http and https are spoken. Text crosses this interface as local text; the URL and the
// request headers go out as UTF-8.

#include <cstddef>
#include <functional>
#include <memory>
#include <string_view>

#include "core/text/local_text.h"
#include "core/web/variant.h"

namespace xyx {

class HttpRequest {
 public:
  static constexpr std::size_t kDefaultMaxBodyBytes = std::size_t{64} << 20;
  static constexpr int kMaxRedirects = 10;
  // Option number that switches automatic redirects (a boolean, on by default).
  static constexpr int kOptionEnableRedirects = 6;
  // Option number whose flags name certificate errors to ignore on https: 0x100 unknown
  // authority, 0x200 wrong usage, 0x1000 name mismatch, 0x2000 expired (13056 all of them).
  static constexpr int kOptionSslErrorIgnoreFlags = 4;
  // Proxy settings of SetProxy.
  static constexpr int kProxyDefault = 0;  // the environment's http_proxy / no_proxy
  static constexpr int kProxyDirect = 1;
  static constexpr int kProxyNamed = 2;

  HttpRequest();
  ~HttpRequest();
  HttpRequest(const HttpRequest&) = delete;
  HttpRequest& operator=(const HttpRequest&) = delete;

  // False when libcurl could not be set up; every other call then fails.
  bool Valid() const;

  // Starts a new request; headers, body and credentials of the previous one are forgotten, time
  // limits, proxy and options are kept. A transfer still running is abandoned. The URL must be
  // absolute with the scheme http or https.
  bool Open(std::string_view method, std::string_view url, bool async = false);
  // Sets (or replaces, keeping its place) one request header between Open and Send. Headers go
  // out in the order they were first set; an empty value sends the header empty.
  bool SetRequestHeader(std::string_view name, std::string_view value);
  // Sends the opened request with `body` (bytes, sent as they are). Synchronous opens return when
  // the exchange has ended, true when a response arrived; asynchronous ones start the transfer.
  bool Send(std::string_view body = {});
  // Drives an asynchronous transfer for at most `timeoutSeconds` (negative: no limit). True when
  // the response is complete; false when it failed or the time is up, in which case the transfer
  // goes on and a later wait may still complete it. The wait hook runs every few tens of
  // milliseconds while waiting.
  bool WaitForResponse(int timeoutSeconds = -1);
  // Abandons a running transfer; the response reads are then empty.
  void Abort();

  // Response reads, empty (0) until a response is complete. Headers are those of the last
  // response only, not of redirect hops.
  int Status() const;
  Text StatusText() const;
  Bytes ResponseBody() const;
  std::string_view ResponseBodyView() const;
  // The body as text, decoded by the charset of its Content-Type (UTF-8 when none is named).
  Text ResponseText() const;
  Variant ResponseStream() const;
  Text GetResponseHeader(std::string_view name) const;  // the first one, name case ignored
  Text GetAllResponseHeaders() const;                   // each line ended by CR LF

  // Milliseconds, 0 meaning no limit. Name resolution and connect together bound the time to
  // connect; send and receive bound the time without progress while sending the request and
  // while waiting for or receiving the response.
  bool SetTimeouts(int resolveMs, int connectMs, int sendMs, int receiveMs);
  // `server` is "host:port" or a per-scheme list "http=host:port;https=host:port"; `bypass`
  // lists hosts reached directly, separated by ";" or ",".
  bool SetProxy(int setting, std::string_view server = {}, std::string_view bypass = {});
  // Basic authentication, after Open: flags 0 for the server, 1 for the proxy.
  bool SetCredentials(std::string_view user, std::string_view password, int flags = 0);
  Variant Option(int option) const;
  bool SetOption(int option, const Variant& value);
  // A PEM file holding the client certificate and its key, used for https.
  bool SetClientCertificate(std::string_view certificate);
  // Accepted for compatibility; there is no automatic logon here.
  bool SetAutoLogonPolicy(int policy);

  // Called while WaitForResponse waits, so that a window can repaint.
  void SetWaitHook(std::function<void()> hook);
  // Responses larger than this fail like any other failure.
  void SetMaxBodyBytes(std::size_t limit);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace xyx

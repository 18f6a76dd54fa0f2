#pragma once
// The program's HTTP client: one request object (shared by copies), one stored cookie text,
// and the whole-request operations built on them. Every operation fails quietly with the empty
// result of its kind.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>

#include "core/text/local_text.h"
#include "core/web/http_request.h"
#include "core/web/variant.h"

namespace xyx {

class HttpSession {
 public:
  inline static constexpr std::string_view kDefaultUserAgent =
      "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; SV1)";
  inline static constexpr std::string_view kDefaultContentType =
      "application/x-www-form-urlencoded";

  HttpSession();
  ~HttpSession();
  // A copy shares the request object and copies the stored cookies and the event hook.
  HttpSession(const HttpSession& other);
  HttpSession& operator=(const HttpSession& other);

  Text GetRedirectTarget(std::string_view url);
  void RecreateRequest();
  void CreateRequest();
  // Puts "http://" in front of a URL without a scheme and writes the result back into `url`.
  // An empty method means "GET".
  void Open(std::string_view method, Text& url, bool async = false);
  void Open(std::string_view method, std::string_view url, bool async = false);
  std::shared_ptr<HttpRequest> GetRequestObject() const { return request_; }
  int GetStatus() const;
  Text GetStatusText() const;
  Text GetResponseText() const;
  Bytes GetResponseBody() const;
  Variant GetResponseStream() const;
  // Writes the first given value to the option, then reads the option back.
  Variant AccessOption(int option, std::optional<std::int32_t> intValue = std::nullopt,
                       std::optional<Text> textValue = std::nullopt,
                       std::optional<Bytes> bytesValue = std::nullopt,
                       std::optional<Variant> variantValue = std::nullopt);
  // A setting that is not given means a named proxy server (2).
  void SetProxy(std::optional<int> setting, std::string_view server, std::string_view bypass = {});
  void SetCredentials(std::string_view user, std::string_view password, int flags = 0);
  void SetRequestHeader(std::string_view name, std::string_view value);
  Text GetResponseHeader(std::string_view name) const;
  Text GetAllResponseHeaders() const;
  // Bytes win over text; a text body goes out as UTF-8; both empty send no body.
  void Send(std::string_view bodyText = {}, std::string_view bodyBytes = {});
  bool WaitForResponse(int timeoutSeconds = 0);
  void Abort();
  // Connect, send and receive limits below 1 take the resolve limit.
  void SetTimeouts(int resolveMs, int connectMs = 0, int sendMs = 0, int receiveMs = 0);
  void SetClientCertificate(std::string_view certificate);
  void SetAutoLogonPolicy(int policy);
  Text GetCookieValue(std::string_view name) const;
  Text GetSetCookieLines() const;

  // GET (or POST, when a body is given) `url` with the program's headers, cookies, proxy
  // choice and time limits, and return the body decoded by `encoding` (-2 the object's text,
  // -1 the raw bytes as text, else a TextEncodingKind). `proxy`: not given or "-1" leaves the
  // proxy alone, empty selects the defaults, "IE" the current user's proxy, anything else names
  // a server. `requestCookies` is in and out.
  Text AccessWebPage(std::string_view url, std::string_view postText = {}, int encoding = 0,
                     float timeoutSeconds = 0, const std::optional<Text>& proxy = std::nullopt,
                     bool synchronous = false, std::string_view postBytes = {},
                     std::string_view referer = {}, Text* requestCookies = nullptr,
                     bool storeCookies = false, std::string_view contentType = {},
                     std::string_view userAgent = {});
  Bytes AccessWebPageBytes(std::string_view url, std::string_view postText = {},
                           int timeoutSeconds = 0, const std::optional<Text>& proxy = std::nullopt,
                           bool synchronous = false, std::string_view postBytes = {},
                           std::string_view referer = {}, Text* requestCookies = nullptr,
                           bool storeCookies = false, std::string_view contentType = {},
                           std::string_view userAgent = {});
  void ClearCookies() { cookies_.clear(); }
  Text GetRedirectTargetTimed(std::string_view url, bool synchronous = false);
  void Reset();
  Text GetResponseCookies() const;

  const Text& cookies() const { return cookies_; }

  // "Let pending window events run": called once when a proxy is chosen and every few tens of
  // milliseconds while a request is awaited, so that the window can repaint.
  void SetProcessEventsHook(std::function<void()> hook) { processEvents_ = std::move(hook); }

 private:
  struct TimeLimits {
    bool set = false;
    int resolveMs = 0, connectMs = 0, sendMs = 0, receiveMs = 0;
    int waitSeconds = 120;
  };
  struct PageRequest {
    std::string_view url, postText, postBytes, referer, contentType, userAgent;
    const std::optional<Text>* proxy = nullptr;
    bool synchronous = false;
    Text* requestCookies = nullptr;
    bool storeCookies = false;
    TimeLimits limits;
  };
  void PerformPageRequest(const PageRequest& r);
  void SetDefaultProbeHeaders();
  void ProcessEvents() const {
    if (processEvents_) processEvents_();
  }

  std::shared_ptr<HttpRequest> request_;
  Text cookies_;
  std::function<void()> processEvents_;
};

}  // namespace xyx

// The whole-request operations of HttpSession: page access and the redirect probes.

#include <climits>
#include <cmath>

#include "core/platform/proxy_setting.h"
#include "core/web/decode_text.h"
#include "core/web/http_session.h"

namespace xyx {

namespace {

constexpr std::string_view kFullWidthSpace = "\xA1\xA1";

// Removes ASCII spaces and full-width spaces from both ends.
Text TrimUrl(std::string_view url) {
  for (;;) {
    if (!url.empty() && url.front() == ' ') {
      url.remove_prefix(1);
    } else if (url.substr(0, 2) == kFullWidthSpace) {
      url.remove_prefix(2);
    } else {
      break;
    }
  }
  for (;;) {
    if (!url.empty() && url.back() == ' ') {
      url.remove_suffix(1);
    } else if (url.size() >= 2 && url.substr(url.size() - 2) == kFullWidthSpace &&
               IsCharStart(url, 0, url.size() - 2)) {
      url.remove_suffix(2);
    } else {
      break;
    }
  }
  return Text(url);
}

int ClampToInt(double v) {
  if (!(v < static_cast<double>(INT_MAX))) return INT_MAX;
  if (v < static_cast<double>(INT_MIN)) return INT_MIN;
  return static_cast<int>(v);
}

constexpr double kTolerance = 0.0000001;

}  // namespace

void HttpSession::SetDefaultProbeHeaders() {
  SetRequestHeader("User-Agent", kDefaultUserAgent);
  SetRequestHeader("Accept-Language", "zh-cn");
  SetRequestHeader("Connection", "Keep-Alive");
  SetRequestHeader("Accept",
                   "image/gif, image/x-xbitmap, image/jpeg, imagepeg, "
                   "application/x-shockwave-flash, application/x-silverlight, */*");
}

void HttpSession::PerformPageRequest(const PageRequest& r) {
  const bool post = !r.postText.empty() || !r.postBytes.empty();
  const Text trimmed = TrimUrl(r.url);
  Text opened = trimmed;
  Open(post ? "POST" : "GET", opened, !r.synchronous);

  SetRequestHeader("Referer", r.referer.empty() ? std::string_view(trimmed) : r.referer);
  SetRequestHeader("Content-Type", r.contentType.empty() ? kDefaultContentType : r.contentType);
  SetRequestHeader("User-Agent", r.userAgent.empty() ? kDefaultUserAgent : r.userAgent);

  Text requestCookies = r.requestCookies ? *r.requestCookies : Text();
  if (!cookies_.empty() && requestCookies.empty()) requestCookies = cookies_;
  if (requestCookies == "-1") {
    SetRequestHeader("Cookie", "");
  } else if (!requestCookies.empty()) {
    SetRequestHeader("Cookie", requestCookies);
  }
  if (r.requestCookies) *r.requestCookies = requestCookies;

  if (r.limits.set) {
    SetTimeouts(r.limits.resolveMs, r.limits.connectMs, r.limits.sendMs, r.limits.receiveMs);
  }

  if (r.proxy && r.proxy->has_value() && **r.proxy != "-1") {
    const Text server = **r.proxy == "IE" ? CurrentUserProxyServer() : **r.proxy;
    ProcessEvents();
    if (!server.empty()) {
      SetProxy(HttpRequest::kProxyNamed, server, "");
    } else {
      SetProxy(HttpRequest::kProxyDefault, "", "");
    }
  }

  Send(r.postText, r.postBytes);
  if (!r.synchronous) WaitForResponse(r.limits.waitSeconds);
  if (r.storeCookies) cookies_ = GetResponseCookies();
}

Text HttpSession::AccessWebPage(std::string_view url, std::string_view postText, int encoding,
                                float timeoutSeconds, const std::optional<Text>& proxy,
                                bool synchronous, std::string_view postBytes,
                                std::string_view referer, Text* requestCookies, bool storeCookies,
                                std::string_view contentType, std::string_view userAgent) {
  TimeLimits limits;
  const double t = static_cast<double>(timeoutSeconds);
  if (std::fabs(t + 1.0) <= kTolerance) {
    // -1: the object keeps the limits it has.
  } else if (!(t - 1.0 >= -kTolerance)) {  // below 1 (and NaN)
    limits = {true, 10000, 10000, 120000, 60000, 120};
  } else {
    const int ms = ClampToInt(std::trunc(t * 1000.0));
    limits = {true, 10000, 10000, ms, ms, ClampToInt(std::trunc(t))};
  }
  PerformPageRequest({url, postText, postBytes, referer, contentType, userAgent, &proxy,
                      synchronous, requestCookies, storeCookies, limits});
  if (!request_) return Text();
  if (encoding == -2) return GetResponseText();
  const std::string_view body = request_->ResponseBodyView();
  if (encoding == -1) return BytesToText(body);
  return DecodeText(body, encoding);
}

Bytes HttpSession::AccessWebPageBytes(std::string_view url, std::string_view postText,
                                      int timeoutSeconds, const std::optional<Text>& proxy,
                                      bool synchronous, std::string_view postBytes,
                                      std::string_view referer, Text* requestCookies,
                                      bool storeCookies, std::string_view contentType,
                                      std::string_view userAgent) {
  TimeLimits limits;
  if (timeoutSeconds == -1) {
    // The object keeps the limits it has.
  } else if (timeoutSeconds < 1) {
    limits = {true, 10000, 10000, 120000, 60000, 120};
  } else {
    const int ms = ClampToInt(static_cast<double>(timeoutSeconds) * 1000.0);
    limits = {true, 10000, 10000, ms, ms, timeoutSeconds};
  }
  PerformPageRequest({url, postText, postBytes, referer, contentType, userAgent, &proxy,
                      synchronous, requestCookies, storeCookies, limits});
  return GetResponseBody();
}

Text HttpSession::GetRedirectTarget(std::string_view url) {
  const std::shared_ptr<HttpRequest> request = request_;
  if (!request) return Text();
  request->SetOption(HttpRequest::kOptionEnableRedirects, std::int32_t{0});
  request->SetTimeouts(5000, 5000, 10000, 5000);
  request->Open("GET", url, false);  // exactly as passed: no trimming, no scheme added
  SetDefaultProbeHeaders();
  request->Send();
  return request->GetResponseHeader("Location");
}

Text HttpSession::GetRedirectTargetTimed(std::string_view url, bool synchronous) {
  AccessOption(HttpRequest::kOptionEnableRedirects, std::int32_t{0});
  SetTimeouts(5000, 5000, 10000, 5000);
  Open("GET", url, !synchronous);
  SetDefaultProbeHeaders();
  Send();
  if (!synchronous) WaitForResponse(25);
  return GetResponseHeader("Location");
}

}  // namespace xyx

// The libcurl side of HttpRequest: setting up one transfer, its callbacks, and driving it.

#include <climits>
#include <mutex>

#include "core/text/encoding.h"
#include "core/web/http_request_impl.h"

namespace xyx {

using namespace http_detail;

namespace http_detail {

void GlobalInit() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

}  // namespace http_detail

namespace {

// The proxy for `url` out of "host:port" or "http=host:port;https=host:port"; empty: none.
std::string ProxyFor(std::string_view server, std::string_view url) {
  const std::string_view scheme = StartsNoCase(url, "https://") ? "https" : "http";
  std::string plain;
  while (!server.empty()) {
    const std::size_t semi = server.find(';');
    const std::string_view entry = Trim(server.substr(0, semi));
    server = semi == std::string_view::npos ? std::string_view() : server.substr(semi + 1);
    const std::size_t eq = entry.find('=');
    if (eq == std::string_view::npos) {
      if (plain.empty()) plain = std::string(entry);
    } else if (EqualNoCase(Trim(entry.substr(0, eq)), scheme)) {
      return std::string(Trim(entry.substr(eq + 1)));
    }
  }
  return plain;
}

// curl's no-proxy list: comma separated; "<local>" has no equivalent and is dropped.
std::string NoProxyList(std::string_view bypass) {
  std::string out;
  std::string item;
  auto flush = [&] {
    if (!item.empty() && item != "<local>") out += (out.empty() ? "" : ",") + item;
    item.clear();
  };
  for (char c : bypass) {
    if (c == ';' || c == ',' || c == ' ' || c == '\t') {
      flush();
    } else {
      item += c;
    }
  }
  flush();
  return out;
}
}  // namespace

std::size_t HttpRequest::Impl::OnHeader(char* data, std::size_t size, std::size_t count,
                                        void* self) {
  auto* impl = static_cast<Impl*>(self);
  const std::size_t n = size * count;
  impl->lastProgress = Clock::now();
  std::string_view line(data, n);
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
  if (StartsNoCase(line, "HTTP/")) {
    // A new response begins (after an interim 1xx or a redirect hop): only the last one counts.
    impl->headerLines.clear();
    impl->headersComplete = false;
    impl->status = 0;
    impl->statusText.clear();
    const std::size_t sp = line.find(' ');
    if (sp != std::string_view::npos) {
      std::string_view rest = line.substr(sp + 1);
      const std::size_t sp2 = rest.find(' ');
      const std::string_view code = rest.substr(0, sp2);
      long value = 0;
      for (char c : code) {
        if (c < '0' || c > '9' || value > 99999) break;
        value = value * 10 + (c - '0');
      }
      impl->status = value;
      if (sp2 != std::string_view::npos) impl->statusText = Utf8ToLocalText(rest.substr(sp2 + 1));
    }
    return n;
  }
  if (line.empty()) {
    impl->headersComplete = true;
    // End of one response's headers. Never follow a redirect from https down to http.
    if (impl->redirects && impl->status >= 300 && impl->status < 400) {
      const char* current = nullptr;
      curl_easy_getinfo(impl->easy.get(), CURLINFO_EFFECTIVE_URL, &current);
      for (const std::string& h : impl->headerLines) {
        const std::size_t colon = h.find(':');
        if (colon == std::string::npos || !EqualNoCase(Trim(h.substr(0, colon)), "Location")) {
          continue;
        }
        if (current && StartsNoCase(current, "https:") &&
            StartsNoCase(Trim(std::string_view(h).substr(colon + 1)), "http:")) {
          impl->failedInCallback = true;
          return 0;
        }
      }
    }
    return n;
  }
  impl->headerLines.push_back(Utf8ToLocalText(line));
  return n;
}

std::size_t HttpRequest::Impl::OnBody(char* data, std::size_t size, std::size_t count, void* self) {
  auto* impl = static_cast<Impl*>(self);
  const std::size_t n = size * count;
  impl->lastProgress = Clock::now();
  if (n > impl->maxBody - impl->responseBody.size()) {
    impl->failedInCallback = true;
    return 0;  // over the cap: abort the transfer
  }
  if (impl->responseBody.empty()) {
    curl_off_t length = -1;
    curl_easy_getinfo(impl->easy.get(), CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
    if (length > 0 && static_cast<std::uint64_t>(length) <= impl->maxBody) {
      impl->responseBody.reserve(static_cast<std::size_t>(length));
    }
  }
  impl->responseBody.append(data, n);
  return n;
}

int HttpRequest::Impl::OnConnected(void* self, char*, char*, int, int) {
  auto* impl = static_cast<Impl*>(self);
  impl->connected = true;
  impl->lastProgress = Clock::now();
  return CURL_PREREQFUNC_OK;
}

int HttpRequest::Impl::OnProgress(void* self, curl_off_t, curl_off_t dlNow, curl_off_t,
                                  curl_off_t ulNow) {
  auto* impl = static_cast<Impl*>(self);
  const auto now = Clock::now();
  if (dlNow != impl->lastDown || ulNow != impl->lastUp) {
    impl->lastDown = dlNow;
    impl->lastUp = ulNow;
    impl->lastProgress = now;
  }
  if (!impl->connected) return 0;  // the connect limit is curl's own
  const bool sending = ulNow < static_cast<curl_off_t>(impl->body.size());
  const int limit = sending ? impl->sendMs : impl->receiveMs;
  if (limit > 0 && now - impl->lastProgress > std::chrono::milliseconds(limit)) {
    impl->failedInCallback = true;
    return 1;  // no progress for too long
  }
  return 0;
}

bool HttpRequest::Impl::Configure() {
  CURL* h = easy.get();
  curl_easy_reset(h);
  bool ok = true;
  auto set = [&](CURLoption option, auto value) {
    ok = ok && curl_easy_setopt(h, option, value) == CURLE_OK;
  };
  set(CURLOPT_URL, url.c_str());
  set(CURLOPT_PROTOCOLS_STR, "http,https");
  set(CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  set(CURLOPT_NOSIGNAL, 1L);
  set(CURLOPT_FOLLOWLOCATION, redirects ? 1L : 0L);
  set(CURLOPT_MAXREDIRS, static_cast<long>(kMaxRedirects));
  set(CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
  set(CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(maxBody));
  // Replies run to megabytes: a larger receive buffer takes them in fewer rounds.
  set(CURLOPT_BUFFERSIZE, 256L * 1024);

  // Name resolution and connect share curl's one connect limit; 0 means none.
  const long connectLimit =
      connectMs > 0 ? static_cast<long>(connectMs) + (resolveMs > 0 ? resolveMs : 0) : LONG_MAX;
  set(CURLOPT_CONNECTTIMEOUT_MS, connectLimit);

  set(CURLOPT_HEADERFUNCTION, &Impl::OnHeader);
  set(CURLOPT_HEADERDATA, static_cast<void*>(this));
  set(CURLOPT_WRITEFUNCTION, &Impl::OnBody);
  set(CURLOPT_WRITEDATA, static_cast<void*>(this));
  set(CURLOPT_NOPROGRESS, 0L);
  set(CURLOPT_XFERINFOFUNCTION, &Impl::OnProgress);
  set(CURLOPT_XFERINFODATA, static_cast<void*>(this));
  set(CURLOPT_PREREQFUNCTION, &Impl::OnConnected);
  set(CURLOPT_PREREQDATA, static_cast<void*>(this));

  if (method == "GET" && body.empty()) {
    set(CURLOPT_HTTPGET, 1L);
  } else if (method == "HEAD" && body.empty()) {
    set(CURLOPT_NOBODY, 1L);
  } else if (method == "POST" || !body.empty()) {
    set(CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
    set(CURLOPT_POSTFIELDS, body.data());
    if (method != "POST") set(CURLOPT_CUSTOMREQUEST, method.c_str());
  } else {
    set(CURLOPT_CUSTOMREQUEST, method.c_str());
  }

  curl_slist* list = nullptr;
  auto append = [&](const std::string& line) {
    if (curl_slist* next = curl_slist_append(list, line.c_str())) {
      list = next;
    } else {
      ok = false;
    }
  };
  for (const auto& [name, value] : headers) {
    // "Name;" is curl's way of sending a header with an empty value.
    append(value.empty() ? name + ";" : name + ": " + value);
  }
  append("Expect:");  // no 100-continue round trip before a body
  headerList.reset(list);
  set(CURLOPT_HTTPHEADER, headerList.get());

  if (proxySetting == kProxyDirect) {
    set(CURLOPT_PROXY, "");
  } else if (proxySetting == kProxyNamed) {
    proxyText = ProxyFor(proxyServer, url);
    noProxyText = NoProxyList(proxyBypass);
    set(CURLOPT_PROXY, proxyText.c_str());
    set(CURLOPT_NOPROXY, noProxyText.c_str());
  }
  if (serverCredentials) {
    set(CURLOPT_HTTPAUTH, static_cast<long>(CURLAUTH_BASIC));
    set(CURLOPT_USERNAME, serverCredentials->first.c_str());
    set(CURLOPT_PASSWORD, serverCredentials->second.c_str());
  }
  if (proxyCredentials) {
    set(CURLOPT_PROXYAUTH, static_cast<long>(CURLAUTH_BASIC));
    set(CURLOPT_PROXYUSERNAME, proxyCredentials->first.c_str());
    set(CURLOPT_PROXYPASSWORD, proxyCredentials->second.c_str());
  }
  const auto ignore = options.find(kOptionSslErrorIgnoreFlags);
  const std::int32_t* ignoreFlags =
      ignore == options.end() ? nullptr : std::get_if<std::int32_t>(&ignore->second);
  if (ignoreFlags && (*ignoreFlags & (0x100 | 0x200 | 0x2000))) {
    set(CURLOPT_SSL_VERIFYPEER, 0L);
  }
  if (ignoreFlags && (*ignoreFlags & 0x1000)) set(CURLOPT_SSL_VERIFYHOST, 0L);
  if (!clientCertificate.empty()) {
    set(CURLOPT_SSLCERT, clientCertificate.c_str());
    set(CURLOPT_SSLKEY, clientCertificate.c_str());
  }
  return ok;
}

void HttpRequest::Impl::Finish(CURLcode code) {
  Detach();
  headerList.reset();
  // A reply cut off inside its headers is no response, even when curl accepts it.
  if (code == CURLE_OK && !failedInCallback && headersComplete && status > 0) {
    state = State::Done;
  } else {
    ClearResponse();
    state = State::Failed;
  }
}

void HttpRequest::Impl::Drive() {
  int running = 0;
  curl_multi_perform(multi.get(), &running);
  int queued = 0;
  while (CURLMsg* msg = curl_multi_info_read(multi.get(), &queued)) {
    if (msg->msg == CURLMSG_DONE && msg->easy_handle == easy.get()) Finish(msg->data.result);
  }
}

}  // namespace xyx

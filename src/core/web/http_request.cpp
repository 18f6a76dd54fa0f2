#include "core/web/http_request.h"

#include <curl/curl.h>

#include <chrono>
#include <climits>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/text/encoding.h"
#include "core/text/iconv_converter.h"

namespace xyx {

namespace {

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

void GlobalInit() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

char Lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

bool StartsNoCase(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && EqualNoCase(s.substr(0, prefix.size()), prefix);
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() &&
         (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n')) {
    s.remove_suffix(1);
  }
  return s;
}

bool HasControl(std::string_view s) {
  for (char c : s) {
    if (c == '\r' || c == '\n' || c == '\0') return true;
  }
  return false;
}

// A method is an HTTP token.
bool IsToken(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s) {
    const bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                    std::string_view("!#$%&'*+-.^_`|~").find(c) != std::string_view::npos;
    if (!ok) return false;
  }
  return true;
}

// The URL in UTF-8 with spaces and bytes above 0x7F percent-encoded, as a browser sends it.
std::string WireUrl(std::string_view localUrl) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (char c : LocalToUtf8(localUrl)) {
    const auto b = static_cast<unsigned char>(c);
    if (b > 0x7F || b == ' ') {
      out += '%';
      out += kHex[b >> 4];
      out += kHex[b & 0xF];
    } else {
      out += c;
    }
  }
  return out;
}

bool IsHttpUrl(std::string_view url) {
  return StartsNoCase(url, "http://") || StartsNoCase(url, "https://");
}

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

std::optional<bool> ToBool(const Variant& v) {
  if (const auto* b = std::get_if<bool>(&v)) return *b;
  if (const auto* i = std::get_if<std::int32_t>(&v)) return *i != 0;
  if (const auto* t = std::get_if<Text>(&v)) {
    return !(t->empty() || *t == "0" || EqualNoCase(*t, "false"));
  }
  return std::nullopt;
}

enum class State { Idle, Opened, Running, Done, Failed };

}  // namespace

struct HttpRequest::Impl {
  EasyHandle easy;
  MultiHandle multi;
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
  HeaderList headerList;
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
    responseBody.shrink_to_fit();
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

HttpRequest::HttpRequest() : impl_(std::make_unique<Impl>()) {
  GlobalInit();
  impl_->easy.reset(curl_easy_init());
  impl_->multi.reset(curl_multi_init());
}

HttpRequest::~HttpRequest() {
  impl_->Detach();
}

bool HttpRequest::Valid() const {
  return impl_->easy && impl_->multi;
}

bool HttpRequest::Open(std::string_view method, std::string_view url, bool async) {
  Impl& d = *impl_;
  if (!Valid() || d.waiting) return false;
  d.Detach();
  d.state = State::Idle;
  d.ClearResponse();
  d.headers.clear();
  d.body.clear();
  d.serverCredentials.reset();
  d.proxyCredentials.reset();
  if (!IsToken(method) || !IsHttpUrl(url) || HasControl(url)) return false;
  d.method = std::string(method);
  d.url = WireUrl(url);
  d.async = async;
  d.state = State::Opened;
  return true;
}

bool HttpRequest::SetRequestHeader(std::string_view name, std::string_view value) {
  Impl& d = *impl_;
  if (d.state != State::Opened || !IsToken(name) || HasControl(value)) return false;
  std::string wireValue = LocalToUtf8(Trim(value));
  for (auto& [n, v] : d.headers) {
    if (EqualNoCase(n, name)) {
      v = std::move(wireValue);
      return true;
    }
  }
  d.headers.emplace_back(std::string(name), std::move(wireValue));
  return true;
}

bool HttpRequest::Send(std::string_view body) {
  Impl& d = *impl_;
  if (d.state != State::Opened || d.waiting) return false;
  d.body = std::string(body);
  d.ClearResponse();
  d.connected = false;
  d.lastUp = d.lastDown = 0;
  d.lastProgress = Clock::now();
  if (!d.Configure() || curl_multi_add_handle(d.multi.get(), d.easy.get()) != CURLM_OK) {
    d.headerList.reset();
    d.state = State::Failed;
    return false;
  }
  d.inMulti = true;
  d.state = State::Running;
  d.Drive();
  if (d.async) return d.state != State::Failed;
  // A synchronous send blocks without calling the wait hook.
  while (d.state == State::Running) {
    curl_multi_poll(d.multi.get(), nullptr, 0, static_cast<int>(kWaitSlice.count()), nullptr);
    d.Drive();
  }
  return d.state == State::Done;
}

bool HttpRequest::WaitForResponse(int timeoutSeconds) {
  Impl& d = *impl_;
  if (d.state == State::Done) return true;
  if (d.state != State::Running || d.waiting) return false;
  const auto start = Clock::now();
  const std::optional<Clock::time_point> deadline =
      timeoutSeconds < 0
          ? std::nullopt
          : std::optional<Clock::time_point>(start + std::chrono::seconds(timeoutSeconds));
  auto lastHook = start;
  d.waiting = true;
  for (;;) {
    d.Drive();
    if (d.state != State::Running) break;
    auto now = Clock::now();
    if (deadline && now >= *deadline) break;
    auto slice = kWaitSlice;
    if (deadline) {
      slice =
          std::min(slice, std::chrono::duration_cast<std::chrono::milliseconds>(*deadline - now) +
                              std::chrono::milliseconds(1));
    }
    curl_multi_poll(d.multi.get(), nullptr, 0, static_cast<int>(slice.count()), nullptr);
    now = Clock::now();
    if (d.waitHook && now - lastHook >= kWaitSlice) {
      lastHook = now;
      d.waitHook();  // may call Abort
    }
  }
  d.waiting = false;
  return d.state == State::Done;
}

void HttpRequest::Abort() {
  Impl& d = *impl_;
  if (d.state != State::Running) return;
  d.Detach();
  d.headerList.reset();
  d.ClearResponse();
  d.state = State::Failed;
}

int HttpRequest::Status() const {
  return impl_->state == State::Done ? static_cast<int>(impl_->status) : 0;
}

Text HttpRequest::StatusText() const {
  return impl_->state == State::Done ? impl_->statusText : Text();
}

Bytes HttpRequest::ResponseBody() const {
  return Bytes(ResponseBodyView());
}

std::string_view HttpRequest::ResponseBodyView() const {
  return impl_->state == State::Done ? std::string_view(impl_->responseBody) : std::string_view();
}

Text HttpRequest::ResponseText() const {
  const std::string_view body = ResponseBodyView();
  if (body.empty()) return Text();
  // The charset parameter of Content-Type, if any.
  const Text type = GetResponseHeader("Content-Type");
  std::string charset;
  const std::size_t at = AsciiLower(type).find("charset=");
  if (at != std::string::npos) {
    std::string_view value = Trim(std::string_view(type).substr(at + 8));
    value = value.substr(0, value.find(';'));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'')) {
      value = value.substr(1, value.size() - 2);
    }
    charset = std::string(Trim(value));
  }
  if (charset.empty() || EqualNoCase(charset, "utf-8") || EqualNoCase(charset, "utf8")) {
    return Utf8ToLocalText(body);
  }
  IconvConverter converter("GB18030", charset.c_str());
  if (!converter.Valid()) return Utf8ToLocalText(body);
  return converter.ConvertLenient(body, "?", 1);
}

Variant HttpRequest::ResponseStream() const {
  if (impl_->state != State::Done) return {};
  return VariantBytes{impl_->responseBody};
}

Text HttpRequest::GetResponseHeader(std::string_view name) const {
  if (impl_->state != State::Done || name.empty()) return Text();
  for (const std::string& line : impl_->headerLines) {
    const std::size_t colon = line.find(':');
    if (colon != std::string::npos && EqualNoCase(Trim(line.substr(0, colon)), name)) {
      return Text(Trim(std::string_view(line).substr(colon + 1)));
    }
  }
  return Text();
}

Text HttpRequest::GetAllResponseHeaders() const {
  if (impl_->state != State::Done) return Text();
  Text all;
  for (const std::string& line : impl_->headerLines) {
    all += line;
    all += "\r\n";
  }
  return all;
}

bool HttpRequest::SetTimeouts(int resolveMs, int connectMs, int sendMs, int receiveMs) {
  if (resolveMs < 0 || connectMs < 0 || sendMs < 0 || receiveMs < 0) return false;
  Impl& d = *impl_;
  d.resolveMs = resolveMs;
  d.connectMs = connectMs;
  d.sendMs = sendMs;
  d.receiveMs = receiveMs;
  return true;
}

bool HttpRequest::SetProxy(int setting, std::string_view server, std::string_view bypass) {
  Impl& d = *impl_;
  if (setting == kProxyNamed && (Trim(server).empty() || HasControl(server))) return false;
  if (setting != kProxyDefault && setting != kProxyDirect && setting != kProxyNamed) return false;
  d.proxySetting = setting;
  d.proxyServer = setting == kProxyNamed ? LocalToUtf8(server) : std::string();
  d.proxyBypass = setting == kProxyNamed ? LocalToUtf8(bypass) : std::string();
  return true;
}

bool HttpRequest::SetCredentials(std::string_view user, std::string_view password, int flags) {
  Impl& d = *impl_;
  if (d.state != State::Opened || (flags != 0 && flags != 1)) return false;
  auto credentials = std::make_pair(LocalToUtf8(user), LocalToUtf8(password));
  (flags == 0 ? d.serverCredentials : d.proxyCredentials) = std::move(credentials);
  return true;
}

Variant HttpRequest::Option(int option) const {
  if (option == kOptionEnableRedirects) return impl_->redirects;
  const auto it = impl_->options.find(option);
  return it == impl_->options.end() ? Variant() : it->second;
}

bool HttpRequest::SetOption(int option, const Variant& value) {
  if (option == kOptionEnableRedirects) {
    const std::optional<bool> on = ToBool(value);
    if (!on) return false;
    impl_->redirects = *on;
    return true;
  }
  if (std::holds_alternative<std::monostate>(value)) return false;
  impl_->options[option] = value;
  return true;
}

bool HttpRequest::SetClientCertificate(std::string_view certificate) {
  if (HasControl(certificate)) return false;
  impl_->clientCertificate = std::string(certificate);
  return true;
}

bool HttpRequest::SetAutoLogonPolicy(int policy) {
  if (policy < 0 || policy > 2) return false;
  impl_->autoLogonPolicy = policy;
  return true;
}

void HttpRequest::SetWaitHook(std::function<void()> hook) {
  impl_->waitHook = std::move(hook);
}

void HttpRequest::SetMaxBodyBytes(std::size_t limit) {
  impl_->maxBody = limit;
}

}  // namespace xyx

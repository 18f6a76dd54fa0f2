#include "core/web/http_request.h"

#include "core/text/encoding.h"
#include "core/text/iconv_converter.h"
#include "core/web/http_request_impl.h"

namespace xyx {

using namespace http_detail;

namespace {

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

std::optional<bool> ToBool(const Variant& v) {
  if (const auto* b = std::get_if<bool>(&v)) return *b;
  if (const auto* i = std::get_if<std::int32_t>(&v)) return *i != 0;
  if (const auto* t = std::get_if<Text>(&v)) {
    return !(t->empty() || *t == "0" || EqualNoCase(*t, "false"));
  }
  return std::nullopt;
}

}  // namespace

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

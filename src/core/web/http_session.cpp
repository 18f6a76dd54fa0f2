#include "core/web/http_session.h"

#include "core/text/encoding.h"

namespace xyx {

namespace {

// "scheme://" at the start, the scheme being a letter followed by letters, digits, "+", "-", ".".
bool HasScheme(std::string_view url) {
  const std::size_t sep = url.find("://");
  if (sep == std::string_view::npos || sep == 0) return false;
  for (std::size_t i = 0; i < sep; ++i) {
    const char c = url[i];
    const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    const bool other = (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
    if (!(letter || (i > 0 && other))) return false;
  }
  return true;
}

constexpr std::string_view kSetCookie = "Set-Cookie:";

}  // namespace

HttpSession::HttpSession() {
  CreateRequest();
}

HttpSession::~HttpSession() = default;

HttpSession::HttpSession(const HttpSession& other) = default;

HttpSession& HttpSession::operator=(const HttpSession& other) = default;

void HttpSession::RecreateRequest() {
  request_.reset();
  CreateRequest();
}

void HttpSession::CreateRequest() {
  auto request = std::make_shared<HttpRequest>();
  if (request->Valid()) request_ = std::move(request);
}

void HttpSession::Open(std::string_view method, Text& url, bool async) {
  // Only a URL without any scheme gets "http://"; "https://..." stays as it is.
  if (!HasScheme(url)) url.insert(0, "http://");
  if (request_) request_->Open(method.empty() ? std::string_view("GET") : method, url, async);
}

void HttpSession::Open(std::string_view method, std::string_view url, bool async) {
  Text copy(url);
  Open(method, copy, async);
}

int HttpSession::GetStatus() const {
  return request_ ? request_->Status() : 0;
}

Text HttpSession::GetStatusText() const {
  return request_ ? request_->StatusText() : Text();
}

Text HttpSession::GetResponseText() const {
  return request_ ? BytesToText(request_->ResponseText()) : Text();
}

Bytes HttpSession::GetResponseBody() const {
  return request_ ? request_->ResponseBody() : Bytes();
}

Variant HttpSession::GetResponseStream() const {
  return request_ ? request_->ResponseStream() : Variant();
}

Variant HttpSession::AccessOption(int option, std::optional<std::int32_t> intValue,
                                  std::optional<Text> textValue, std::optional<Bytes> bytesValue,
                                  std::optional<Variant> variantValue) {
  if (!request_) return {};
  if (intValue) {
    request_->SetOption(option, *intValue);
  } else if (textValue) {
    request_->SetOption(option, *textValue);
  } else if (bytesValue) {
    request_->SetOption(option, VariantBytes{*bytesValue});
  } else if (variantValue) {
    request_->SetOption(option, *variantValue);
  }
  return request_->Option(option);
}

void HttpSession::SetProxy(std::optional<int> setting, std::string_view server,
                           std::string_view bypass) {
  if (request_) request_->SetProxy(setting.value_or(HttpRequest::kProxyNamed), server, bypass);
}

void HttpSession::SetCredentials(std::string_view user, std::string_view password, int flags) {
  if (request_) request_->SetCredentials(user, password, flags);
}

void HttpSession::SetRequestHeader(std::string_view name, std::string_view value) {
  if (request_) request_->SetRequestHeader(name, value);
}

Text HttpSession::GetResponseHeader(std::string_view name) const {
  return request_ ? request_->GetResponseHeader(name) : Text();
}

Text HttpSession::GetAllResponseHeaders() const {
  return request_ ? request_->GetAllResponseHeaders() : Text();
}

void HttpSession::Send(std::string_view bodyText, std::string_view bodyBytes) {
  if (!request_) return;
  if (!bodyBytes.empty()) {
    request_->Send(bodyBytes);
  } else if (!bodyText.empty()) {
    request_->Send(LocalToUtf8(bodyText));
  } else {
    request_->Send();
  }
}

bool HttpSession::WaitForResponse(int timeoutSeconds) {
  // Hold a reference: the hook may run code that replaces this session's request object.
  const std::shared_ptr<HttpRequest> request = request_;
  if (!request) return false;
  request->SetWaitHook(processEvents_);
  const bool done = request->WaitForResponse(timeoutSeconds);
  request->SetWaitHook(nullptr);
  return done;
}

void HttpSession::Abort() {
  if (request_) request_->Abort();
}

void HttpSession::SetTimeouts(int resolveMs, int connectMs, int sendMs, int receiveMs) {
  if (connectMs < 1) connectMs = resolveMs;
  if (sendMs < 1) sendMs = resolveMs;
  if (receiveMs < 1) receiveMs = resolveMs;
  if (request_) request_->SetTimeouts(resolveMs, connectMs, sendMs, receiveMs);
}

void HttpSession::SetClientCertificate(std::string_view certificate) {
  if (request_) request_->SetClientCertificate(certificate);
}

void HttpSession::SetAutoLogonPolicy(int policy) {
  if (request_) request_->SetAutoLogonPolicy(policy);
}

Text HttpSession::GetCookieValue(std::string_view name) const {
  const Text all = GetAllResponseHeaders();
  for (const std::string_view separator : {": ", ":"}) {
    const Text key = Text("Set-Cookie") + Text(separator) + Text(name) + "=";
    const std::size_t at = FindText(all, key);
    if (at == npos) continue;
    const std::size_t start = at + key.size();
    // The value ends at ";" or at the end of its own header line.
    std::size_t end = all.find_first_of(";\r\n", start);
    if (end == npos) end = all.size();
    Text value = all.substr(start, end - start);
    if (!value.empty()) return value;
  }
  return Text();
}

Text HttpSession::GetSetCookieLines() const {
  Text lines;
  for (const Text& line : SplitText(GetAllResponseHeaders(), "\r\n")) {
    if (line.compare(0, kSetCookie.size(), kSetCookie) == 0) {
      lines += line;
      lines += "\r\n";
    }
  }
  return lines;
}

Text HttpSession::GetResponseCookies() const {
  return ReplaceAll(ReplaceAll(GetSetCookieLines(), "Set-Cookie: ", ""), "\r\n", "; ");
}

void HttpSession::Reset() {
  RecreateRequest();
  ClearCookies();
}

}  // namespace xyx

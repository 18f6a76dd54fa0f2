#include "core/search/protocol.h"

#include <cstdlib>

#include "core/text/encoding.h"
#include "core/text/xml_escape.h"

namespace xyx {

const std::string_view SearchEnvelope =
    "<?xml version=\"1.0\"?>\r\n"
    "<SOAP-ENV:Envelope"
    " xmlns:SOAP-ENV=\"http://schemas.xmlsoap.org/soap/envelope/\""
    " xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\""
    " xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\""
    " xmlns:SOAP-ENC=\"http://schemas.xmlsoap.org/soap/encoding/\">"
    "<SOAP-ENV:Body"
    " xmlns:NS1=\"urn:yxServiceIntf-IyxService\""
    " SOAP-ENV:encodingStyle=\"http://schemas.xmlsoap.org/soap/encoding/\">"
    "<NS1:search>"
    "<SKeyWord xsi:type=\"xsd:string\">*</SKeyWord>"
    "<uName xsi:type=\"xsd:string\"></uName>"
    "<uPass xsi:type=\"xsd:string\"></uPass>"
    "</NS1:search></SOAP-ENV:Body></SOAP-ENV:Envelope>";

namespace {

// The start marker is held with two-apostrophe pairs standing for double quotes.
constexpr std::string_view kResultHeadHeld = "<return xsi:type=''xsd:string''>";
constexpr std::string_view kResultTail = "</return>";

}  // namespace

Text ServiceAddress(std::string_view host) {
  Text address = "http://";
  address.append(host);
  // A host without a port (an IPv6 literal in brackets included) gets the service's port.
  const std::size_t colon = host.rfind(':');
  const std::size_t bracket = host.rfind(']');
  if (colon == npos || (bracket != npos && colon < bracket)) address += ":8080";
  address.append(kServicePath);
  return address;
}

Text ServiceHostFromEnvironment() {
  const char* host = std::getenv("XIYINGXIA_SERVICE_HOST");
  return host && *host ? Text(host) : Text("127.0.0.1:8080");
}

Bytes AnsiToUtf16Bytes(std::string_view text) {
  const std::u16string units = LocalToUtf16(BytesToText(text));
  Bytes out;
  out.reserve(units.size() * 2 + 2);
  for (char16_t u : units) {
    out.push_back(static_cast<char>(u & 0xFF));
    out.push_back(static_cast<char>(u >> 8));
  }
  out.append(2, '\0');
  return out;
}

Bytes ToUtf8Bytes(std::string_view text) {
  const Bytes utf16 = AnsiToUtf16Bytes(text);
  std::u16string units;
  units.reserve(utf16.size() / 2);
  for (std::size_t i = 0; i + 1 < utf16.size(); i += 2) {
    units.push_back(static_cast<char16_t>(static_cast<unsigned char>(utf16[i]) |
                                          (static_cast<unsigned char>(utf16[i + 1]) << 8)));
  }
  return BytesToText(Utf16ToUtf8(units));
}

Bytes BuildSearchRequest(std::string_view keyword) {
  const Text value = XmlEscapeUtf8(BytesToText(ToUtf8Bytes(keyword)), false);
  // The template holds exactly one "*"; the keyword is put in once and not scanned again.
  const std::size_t star = SearchEnvelope.find('*');
  Bytes body;
  body.reserve(SearchEnvelope.size() + value.size());
  body.append(SearchEnvelope.substr(0, star));
  body.append(value);
  body.append(SearchEnvelope.substr(star + 1));
  return body;
}

Text CutBetween(std::string_view text, std::string_view head, std::string_view tail,
                int skipAfterHead, int trimBeforeTail, long long& position) {
  // Positions are 1-based; the search itself steps over double-byte characters from the start.
  std::size_t from = 0;
  if (position > 1) {
    if (static_cast<unsigned long long>(position - 1) > text.size()) return {};
    from = static_cast<std::size_t>(position - 1);
  }
  const std::size_t h = FindText(text, head, from);
  if (h == npos) return {};
  const std::size_t afterHead = h + head.size();
  const std::size_t t = FindText(text, tail, afterHead);
  if (t == npos) return {};
  position = static_cast<long long>(t + tail.size()) + 1;
  const long long start = static_cast<long long>(afterHead) + skipAfterHead;
  const long long length = static_cast<long long>(t) - start - trimBeforeTail;
  if (start < 0 || length <= 0 || static_cast<unsigned long long>(start) >= text.size()) return {};
  return Text(text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(length)));
}

Text ExtractResultText(std::string_view reply) {
  static const Text head = ReplaceAll(kResultHeadHeld, "''", "\"");
  long long position = 0;
  return CutBetween(reply, head, kResultTail, 0, 0, position);
}

}  // namespace xyx

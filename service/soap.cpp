#include "soap.h"

#include "core/text/xml_escape.h"

#include <cstdint>

namespace xyx::service {

namespace {

constexpr std::string_view kEnvelopeOpen =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
    "<SOAP-ENV:Envelope xmlns:SOAP-ENV=\"http://schemas.xmlsoap.org/soap/envelope/\" "
    "xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\" "
    "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
    "xmlns:SOAP-ENC=\"http://schemas.xmlsoap.org/soap/encoding/\">"
    "<SOAP-ENV:Body>";
constexpr std::string_view kEnvelopeClose = "</SOAP-ENV:Body></SOAP-ENV:Envelope>";

void AppendUtf8(std::string& out, std::uint32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

bool IsNameChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ':' ||
         c == '_' || c == '-' || c == '.' || static_cast<unsigned char>(c) >= 0x80;
}

std::string_view LocalName(std::string_view qname) {
  const std::size_t colon = qname.find(':');
  return colon == std::string_view::npos ? qname : qname.substr(colon + 1);
}

// A small, strict reader of the call's XML: balanced tags, quoted attributes, valid
// references. It keeps the text of the first SKeyWord inside Envelope/Body/search.
class CallReader {
 public:
  explicit CallReader(std::string_view xml) : xml_(xml) {}

  bool Read() {
    while (pos_ < xml_.size()) {
      const std::size_t lt = xml_.find('<', pos_);
      if (!Text(xml_.substr(pos_, (lt == std::string_view::npos ? xml_.size() : lt) - pos_))) {
        return false;
      }
      if (lt == std::string_view::npos) break;
      pos_ = lt;
      if (!Markup()) return false;
    }
    return stack_.empty() && sawRoot_;
  }

  bool sawEnvelope = false;
  std::optional<std::string> keyword;

 private:
  bool Text(std::string_view text) {
    if (stack_.empty()) {
      for (char c : text) {
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n') return false;
      }
      return true;
    }
    const auto resolved = ResolveXmlText(text);
    if (!resolved) return false;
    if (inKeyword_) keywordText_ += *resolved;
    return true;
  }

  bool Markup() {
    if (xml_.substr(pos_, 4) == "<!--") {
      const std::size_t end = xml_.find("-->", pos_ + 4);
      if (end == std::string_view::npos) return false;
      pos_ = end + 3;
      return true;
    }
    if (xml_.substr(pos_, 2) == "<?") {
      const std::size_t end = xml_.find("?>", pos_ + 2);
      if (end == std::string_view::npos) return false;
      pos_ = end + 2;
      return true;
    }
    if (xml_.substr(pos_, 9) == "<![CDATA[") {
      const std::size_t end = xml_.find("]]>", pos_ + 9);
      if (end == std::string_view::npos || stack_.empty()) return false;
      if (inKeyword_) keywordText_.append(xml_.substr(pos_ + 9, end - pos_ - 9));
      pos_ = end + 3;
      return true;
    }
    if (xml_.substr(pos_, 2) == "<!") return false;  // no DOCTYPE: nothing to expand
    const bool closing = xml_.substr(pos_, 2) == "</";
    std::size_t i = pos_ + (closing ? 2 : 1);
    const std::size_t nameStart = i;
    while (i < xml_.size() && IsNameChar(xml_[i])) ++i;
    const std::string_view name = xml_.substr(nameStart, i - nameStart);
    if (name.empty()) return false;
    bool selfClosing = false;
    // Attributes: name="value" or name='value', separated by blanks.
    for (;;) {
      while (i < xml_.size() &&
             (xml_[i] == ' ' || xml_[i] == '\t' || xml_[i] == '\r' || xml_[i] == '\n')) {
        ++i;
      }
      if (i >= xml_.size()) return false;
      if (xml_[i] == '>') {
        ++i;
        break;
      }
      if (!closing && xml_[i] == '/' && i + 1 < xml_.size() && xml_[i + 1] == '>') {
        selfClosing = true;
        i += 2;
        break;
      }
      if (closing) return false;
      const std::size_t attrStart = i;
      while (i < xml_.size() && IsNameChar(xml_[i])) ++i;
      if (i == attrStart || i >= xml_.size() || xml_[i] != '=') return false;
      ++i;
      if (i >= xml_.size() || (xml_[i] != '"' && xml_[i] != '\'')) return false;
      const char quote = xml_[i++];
      const std::size_t end = xml_.find(quote, i);
      if (end == std::string_view::npos) return false;
      const std::string_view value = xml_.substr(i, end - i);
      if (value.find('<') != std::string_view::npos || !ResolveXmlText(value)) return false;
      i = end + 1;
    }
    pos_ = i;
    if (closing) {
      if (stack_.empty() || stack_.back() != name) return false;
      if (inKeyword_ && stack_.size() == keywordDepth_) {
        inKeyword_ = false;
        if (!keyword) keyword = keywordText_;
      }
      stack_.pop_back();
      return true;
    }
    if (stack_.empty()) {
      if (sawRoot_) return false;  // one root element only
      sawRoot_ = true;
      sawEnvelope = LocalName(name) == "Envelope";
    }
    const std::size_t depth = stack_.size();
    const bool keywordPlace = LocalName(name) == "SKeyWord" && depth == 3 &&
                              LocalName(stack_[0]) == "Envelope" &&
                              LocalName(stack_[1]) == "Body" && LocalName(stack_[2]) == "search";
    if (selfClosing) {
      if (keywordPlace && !keyword) keyword = std::string();
      return true;
    }
    stack_.push_back(name);
    if (keywordPlace && !keyword && !inKeyword_) {
      inKeyword_ = true;
      keywordDepth_ = stack_.size();
      keywordText_.clear();
    } else if (inKeyword_) {
      return false;  // the keyword is a plain string
    }
    return true;
  }

  std::string_view xml_;
  std::size_t pos_ = 0;
  std::vector<std::string_view> stack_;
  bool sawRoot_ = false;
  bool inKeyword_ = false;
  std::size_t keywordDepth_ = 0;
  std::string keywordText_;
};

}  // namespace

std::optional<std::string> ResolveXmlText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '&') {
      out.push_back(text[i]);
      continue;
    }
    const std::size_t semi = text.find(';', i + 1);
    if (semi == std::string_view::npos || semi - i > 12) return std::nullopt;
    const std::string_view ref = text.substr(i + 1, semi - i - 1);
    if (ref == "amp") {
      out.push_back('&');
    } else if (ref == "lt") {
      out.push_back('<');
    } else if (ref == "gt") {
      out.push_back('>');
    } else if (ref == "quot") {
      out.push_back('"');
    } else if (ref == "apos") {
      out.push_back('\'');
    } else if (ref.size() >= 2 && ref[0] == '#') {
      const bool hex = ref[1] == 'x';
      std::string_view digits = ref.substr(hex ? 2 : 1);
      if (digits.empty()) return std::nullopt;
      std::uint32_t cp = 0;
      for (char c : digits) {
        int d;
        if (c >= '0' && c <= '9') {
          d = c - '0';
        } else if (hex && c >= 'a' && c <= 'f') {
          d = c - 'a' + 10;
        } else if (hex && c >= 'A' && c <= 'F') {
          d = c - 'A' + 10;
        } else {
          return std::nullopt;
        }
        cp = cp * (hex ? 16 : 10) + static_cast<std::uint32_t>(d);
        if (cp > 0x10FFFF) return std::nullopt;
      }
      if (cp == 0 || (cp >= 0xD800 && cp <= 0xDFFF)) return std::nullopt;
      AppendUtf8(out, cp);
    } else {
      return std::nullopt;
    }
    i = semi;
  }
  return out;
}

SearchCall ParseSearchCall(std::string_view body) {
  SearchCall call;
  if (body.find('<') == std::string_view::npos) {
    call.fault = SoapFault{400, "SOAP-ENV:Client", "no SOAP envelope in the request"};
    return call;
  }
  CallReader reader(body);
  if (!reader.Read()) {
    call.fault = SoapFault{400, "SOAP-ENV:Client", "the request is not well-formed XML"};
  } else if (!reader.sawEnvelope) {
    call.fault = SoapFault{400, "SOAP-ENV:Client", "no SOAP envelope in the request"};
  } else if (!reader.keyword) {
    call.fault = SoapFault{400, "SOAP-ENV:Client", "the search call has no SKeyWord"};
  } else {
    call.keyword = std::move(reader.keyword);
  }
  return call;
}

std::string EscapeField(std::string_view text) {
  std::string out = XmlEscapeUtf8(text, false);
  // "|" and line ends would split the record or its line.
  const std::size_t special = out.find_first_of("|\n\r");
  if (special == std::string::npos) return out;
  std::string fenced;
  fenced.reserve(out.size() + 8);
  for (const char c : out) {
    if (c == '|') {
      fenced += "&#124;";
    } else if (c == '\n') {
      fenced += "&#10;";
    } else if (c == '\r') {
      fenced += "&#13;";
    } else {
      fenced += c;
    }
  }
  return fenced;
}

std::string SearchResponse(const std::vector<CatalogueEntry>& entries) {
  std::string out(kEnvelopeOpen);
  out +=
      "<NS1:searchResponse xmlns:NS1=\"urn:yxServiceIntf-IyxService\" "
      "SOAP-ENV:encodingStyle=\"http://schemas.xmlsoap.org/soap/encoding/\">"
      "<return xsi:type=\"xsd:string\">";
  for (const auto& e : entries) {
    out += std::to_string(e.size);
    out += '|';
    out += EscapeField(e.hash);
    out += '|';
    out += EscapeField(e.actor);
    out += '|';
    out += EscapeField(e.extra);
    out += '|';
    out += EscapeField(e.name);
    out += '\n';
  }
  out += "</return></NS1:searchResponse>";
  out += kEnvelopeClose;
  return out;
}

std::string FaultResponse(const SoapFault& fault) {
  std::string out(kEnvelopeOpen);
  out += "<SOAP-ENV:Fault><faultcode>" + XmlEscapeUtf8(fault.code, true) +
         "</faultcode><faultstring>" + XmlEscapeUtf8(fault.reason, true) +
         "</faultstring></SOAP-ENV:Fault>";
  out += kEnvelopeClose;
  return out;
}

}  // namespace xyx::service

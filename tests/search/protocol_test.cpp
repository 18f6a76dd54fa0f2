#include "core/search/protocol.h"

#include <gtest/gtest.h>

namespace xyx {
namespace {

const std::string kExpectedEnvelope =
    "<?xml version=\"1.0\"?>\r\n<SOAP-ENV:Envelope "
    "xmlns:SOAP-ENV=\"http://schemas.xmlsoap.org/soap/envelope/\" "
    "xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\" "
    "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
    "xmlns:SOAP-ENC=\"http://schemas.xmlsoap.org/soap/encoding/\"><SOAP-ENV:Body "
    "xmlns:NS1=\"urn:yxServiceIntf-IyxService\" "
    "SOAP-ENV:encodingStyle=\"http://schemas.xmlsoap.org/soap/encoding/\"><NS1:search>"
    "<SKeyWord xsi:type=\"xsd:string\">*</SKeyWord><uName xsi:type=\"xsd:string\"></uName>"
    "<uPass xsi:type=\"xsd:string\"></uPass></NS1:search></SOAP-ENV:Body></SOAP-ENV:Envelope>";

std::string WithKeyword(const std::string& value) {
  std::string s = kExpectedEnvelope;
  s.replace(s.find('*'), 1, value);
  return s;
}

TEST(Protocol, EnvelopeIsExactly561Bytes) {
  EXPECT_EQ(SearchEnvelope.size(), 561u);
  EXPECT_EQ(SearchEnvelope, kExpectedEnvelope);
}

TEST(Protocol, BuildSearchRequestPutsUtf8KeywordInPlace) {
  struct Row {
    std::string keyword, inserted;
  };
  const Row rows[] = {
      {"", ""},
      {"matrix", "matrix"},
      {"\xD6\xD0\xCE\xC4", "\xE4\xB8\xAD\xE6\x96\x87"},  // 中文 as UTF-8
      {"a*b", "a*b"},                                    // not scanned again
      {"x&y<z>", "x&amp;y&lt;z&gt;"},                    // cannot break the envelope
      {"\"'", "\"'"},
      {std::string("ab\0cd", 5), "ab"},  // text ends at a zero byte
  };
  for (const auto& r : rows) EXPECT_EQ(BuildSearchRequest(r.keyword), WithKeyword(r.inserted));
}

TEST(Protocol, Utf16AndUtf8Bytes) {
  EXPECT_EQ(AnsiToUtf16Bytes(""), std::string(2, '\0'));
  EXPECT_EQ(AnsiToUtf16Bytes("A\xD6\xD0"), std::string("A\0\x2D\x4E\0\0", 6));
  EXPECT_EQ(ToUtf8Bytes(""), "");
  EXPECT_EQ(ToUtf8Bytes("A\xD6\xD0"), "A\xE4\xB8\xAD");
}

TEST(Protocol, CutBetweenMovesPosition) {
  struct Row {
    std::string text, head, tail;
    int skip, trim;
    long long posIn;
    std::string want;
    long long posOut;
  };
  const Row rows[] = {
      {"<a>x</a><a>y</a>", "<a>", "</a>", 0, 0, 0, "x", 9},
      {"<a>x</a><a>y</a>", "<a>", "</a>", 0, 0, 9, "y", 17},
      {"<a>x</a><a>y</a>", "<a>", "</a>", 0, 0, 17, "", 17},
      {"<a></a>", "<a>", "</a>", 0, 0, 0, "", 8},  // touching: empty, position still moves
      {"<a>xyz</a>", "<a>", "</a>", 1, 1, -5, "y", 11},
      {"<a>xyz</a>", "<a>", "</a>", 3, 1, 0, "", 11},
      {"<a>xyz", "<a>", "</a>", 0, 0, 0, "", 0},
      {"<A>x</A>", "<a>", "</a>", 0, 0, 0, "", 0},      // case-sensitive
      {"\x81<a>b</a>", "<a>", "</a>", 0, 0, 0, "", 0},  // "<" is a second byte here
  };
  for (const auto& r : rows) {
    long long pos = r.posIn;
    EXPECT_EQ(CutBetween(r.text, r.head, r.tail, r.skip, r.trim, pos), r.want) << r.text;
    EXPECT_EQ(pos, r.posOut) << r.text;
  }
}

TEST(Protocol, ExtractResultTextTakesFirstReturnElement) {
  const std::string head = "<return xsi:type=\"xsd:string\">";
  EXPECT_EQ(ExtractResultText("<x>" + head + "one</return>" + head + "two</return>"), "one");
  EXPECT_EQ(ExtractResultText("<return>one</return>"), "");
  EXPECT_EQ(ExtractResultText(head + "no tail"), "");
  EXPECT_EQ(ExtractResultText(""), "");
}

TEST(Protocol, ServiceAddress) {
  EXPECT_EQ(ServiceAddress("127.0.0.1:8080"),
            "http://127.0.0.1:8080/qvodabmservice.dll/soap/IyxService");
  EXPECT_EQ(ServiceAddress("example.org"),
            "http://example.org:8080/qvodabmservice.dll/soap/IyxService");
  EXPECT_EQ(ServiceAddress("[::1]"), "http://[::1]:8080/qvodabmservice.dll/soap/IyxService");
  EXPECT_EQ(ServiceAddress("[::1]:9"), "http://[::1]:9/qvodabmservice.dll/soap/IyxService");
}

}  // namespace
}  // namespace xyx

#include "soap.h"

#include <gtest/gtest.h>

#include "core/search/protocol.h"
#include "core/search/result_text.h"
#include "core/text/encoding.h"

namespace xyx::service {
namespace {

TEST(Soap, ReadsTheKeywordOfTheClientsEnvelope) {
  const std::pair<std::string, std::string> rows[] = {
      {"", ""},
      {"Metropolis", "Metropolis"},
      {"\xD6\xD0\xCE\xC4", "中文"},  // local text in, UTF-8 out
      {"A&B <x>", "A&B <x>"},        // escaped by the client, resolved here
      {"a*b", "a*b"},
  };
  for (const auto& [local, want] : rows) {
    const SearchCall call = ParseSearchCall(BuildSearchRequest(local));
    ASSERT_TRUE(call.keyword) << local << ": " << (call.fault ? call.fault->reason : "");
    EXPECT_EQ(*call.keyword, want);
  }
}

TEST(Soap, BadCallsGiveClientFaults) {
  const std::string body = std::string(BuildSearchRequest("x"));
  const std::string rows[] = {
      "",
      "plain text",
      "<notsoap/>",
      body.substr(0, body.size() - 5),                                // cut short
      "<Envelope><Body><search><uName/></search></Body></Envelope>",  // no SKeyWord
      "<Envelope><Body><search><SKeyWord>a<b</SKeyWord></search></Body></Envelope>",
      "<Envelope><Body><search><SKeyWord>&bogus;</SKeyWord></search></Body></Envelope>",
      "<Envelope><Body><search><SKeyWord>x</SKeyWord></search></Body></Envelope><x/>",
      "<!DOCTYPE x [<!ENTITY a 'b'>]><Envelope/>",
      "<Envelope><Body></search></Body></Envelope>",
  };
  for (const auto& bad : rows) {
    const SearchCall call = ParseSearchCall(bad);
    ASSERT_TRUE(call.fault) << bad;
    EXPECT_EQ(call.fault->status, 400);
    EXPECT_FALSE(call.keyword);
  }
}

TEST(Soap, ResponseRoundTripsThroughTheClientsReading) {
  std::vector<CatalogueEntry> entries = {
      {4700000000, "HASH1", "演员 A", "0", "名字 | with bar & <tags>"},
      {0, "HASH2", "", "1", "line\nbreak"},
  };
  const std::string reply = Utf8ToLocalText(SearchResponse(entries));
  const auto records = ParseResultText(ExtractResultText(reply));
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].name, Utf8ToLocalText("名字 | with bar & <tags>"));
  EXPECT_EQ(records[0].SizeValue(), 4700000000);
  EXPECT_EQ(records[0].actor, Utf8ToLocalText("演员 A"));
  EXPECT_EQ(records[1].name, "line\nbreak");
  EXPECT_NE(FaultResponse({400, "SOAP-ENV:Client", "a<b"}).find("a&lt;b"), std::string::npos);
}

}  // namespace
}  // namespace xyx::service

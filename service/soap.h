#pragma once
// The SOAP side of the reference search service: reading the search call, writing the
// response and fault envelopes.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace xyx::service {

struct CatalogueEntry {
  long long size = 0;
  std::string hash;
  std::string actor;
  std::string extra;
  std::string name;
};

struct SoapFault {
  int status;        // HTTP status to answer with
  std::string code;  // "SOAP-ENV:Client" or "SOAP-ENV:Server"
  std::string reason;
};

// The SKeyWord of a search call (UTF-8, references resolved), or the fault to answer.
struct SearchCall {
  std::optional<std::string> keyword;
  std::optional<SoapFault> fault;
};
SearchCall ParseSearchCall(std::string_view body);

// Resolves the five predefined entities and character references; nothing for a
// malformed or unknown reference.
std::optional<std::string> ResolveXmlText(std::string_view text);

// XML-escapes a field for the result text; "|" and line ends become character references so
// that a field can never split a line or a record.
std::string EscapeField(std::string_view text);

std::string SearchResponse(const std::vector<CatalogueEntry>& entries);
std::string FaultResponse(const SoapFault& fault);

}  // namespace xyx::service

#pragma once
// The search service's request and reply: the SOAP envelope that carries the keyword and
// the cutting of the result text out of the reply.

#include <string_view>

#include "core/text/local_text.h"

namespace xyx {

// The request template; its single "*" is the keyword's place.
extern const std::string_view SearchEnvelope;

// The path of the search call on the service's host.
inline constexpr std::string_view kServicePath = "/qvodabmservice.dll/soap/IyxService";

// The service address for a host given as "host" (port 8080) or "host:port".
Text ServiceAddress(std::string_view host);

// The host of the search service: XIYINGXIA_SERVICE_HOST when set, else "127.0.0.1:8080".
Text ServiceHostFromEnvironment();

// The request body for a keyword (local text). The keyword goes in as UTF-8, with "&", "<"
// and ">" escaped so that no keyword can break or rewrite the envelope.
Bytes BuildSearchRequest(std::string_view keyword);

// UTF-16 little-endian units of a local text, ending in one zero unit.
Bytes AnsiToUtf16Bytes(std::string_view text);

// The UTF-8 form of a local text.
Bytes ToUtf8Bytes(std::string_view text);

// The text between the first `head` at or after the 1-based `position` and the first `tail`
// after it; `position` moves past the tail. Nothing found gives the empty text and leaves
// `position` as it was.
Text CutBetween(std::string_view text, std::string_view head, std::string_view tail,
                int skipAfterHead, int trimBeforeTail, long long& position);

// The content of the reply's first return element.
Text ExtractResultText(std::string_view reply);

}  // namespace xyx

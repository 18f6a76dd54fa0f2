#pragma once

#include "core/text/local_text.h"

namespace xyx {

// The current user's proxy server: the "ProxyServer" value of the user's Internet Settings in
// the registry store, or, when the store has no such value, the http_proxy environment
// variable. Empty when neither is set.
Text CurrentUserProxyServer();

}  // namespace xyx

#include "core/platform/proxy_setting.h"

#include "core/platform/environment.h"
#include "core/platform/registry_store.h"
#include "core/text/encoding.h"

namespace xyx {

Text CurrentUserProxyServer() {
  const auto [key, name] = SplitValuePath(
      "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet "
      "Settings\\ProxyServer");
  if (auto stored = RegistryStore::ForCurrentUser().ReadValue(key, name)) return *stored;
  return Utf8ToLocalText(GetEnvironment("http_proxy").value_or(std::string()));
}

}  // namespace xyx

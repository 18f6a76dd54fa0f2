#include "core/platform/registry_store.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "core/platform/proxy_setting.h"

namespace xyx {
namespace {

class RegistryStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/xyx-registry-XXXXXX";
    dir_ = ::mkdtemp(pattern);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::filesystem::path dir_;
};

TEST_F(RegistryStoreTest, WritesReadsAndReplacesValuesIgnoringCase) {
  RegistryStore store(dir_ / "sub" / "registry.ini");
  EXPECT_FALSE(store.ReadValue("HKLM\\A", "Path"));
  ASSERT_TRUE(store.WriteValue("HKLM\\A", "Path", "C:\\x=y"));
  ASSERT_TRUE(store.WriteValue("HKLM\\B", "Path", "other"));
  ASSERT_TRUE(store.WriteValue("hklm\\a", "PATH", "C:\\new"));
  ASSERT_TRUE(store.WriteValue("HKLM\\A", "Second", ""));
  EXPECT_EQ(store.ReadValue("HKLM\\a", "path"), "C:\\new");
  EXPECT_EQ(store.ReadValue("HKLM\\B", "Path"), "other");
  EXPECT_EQ(store.ReadValue("HKLM\\A", "Second"), "");
  EXPECT_FALSE(store.ReadValue("HKLM\\A", "Missing"));
  // Nothing but the store itself is left in its directory.
  int files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir_ / "sub")) {
    ++files;
  }
  EXPECT_EQ(files, 1);
}

TEST_F(RegistryStoreTest, LocalTextRoundTripsThroughTheUtf8File) {
  RegistryStore store(dir_ / "registry.ini");
  const std::string gbk = "D:\\\xB2\xA5\xB7\xC5\xC6\xF7\\QvodPlayer.exe";  // 播放器
  ASSERT_TRUE(store.WriteValue("HKLM\\Uninstall", "DisplayIcon", gbk));
  EXPECT_EQ(store.ReadValue("HKLM\\Uninstall", "DisplayIcon"), gbk);
  std::ifstream in(dir_ / "registry.ini");
  const std::string content((std::istreambuf_iterator<char>(in)), {});
  EXPECT_NE(content.find("\xE6\x92\xAD\xE6\x94\xBE\xE5\x99\xA8"), std::string::npos);
}

TEST_F(RegistryStoreTest, RefusesValuesThatWouldBreakTheFile) {
  RegistryStore store(dir_ / "registry.ini");
  EXPECT_FALSE(store.WriteValue("K", "N", "a\nb"));
  EXPECT_FALSE(store.WriteValue("K]", "N", "v"));
  EXPECT_FALSE(store.WriteValue("K", "N=", "v"));
  EXPECT_FALSE(store.WriteValue("K", "", "v"));
  EXPECT_FALSE(std::filesystem::exists(dir_ / "registry.ini"));
}

TEST_F(RegistryStoreTest, ProxyComesFromTheStoreThenFromTheEnvironment) {
  ::setenv("XDG_CONFIG_HOME", dir_.c_str(), 1);
  ::setenv("http_proxy", "http://envproxy:3128", 1);
  EXPECT_EQ(RegistryStore::DefaultPath(), dir_ / "xiyingxia" / "registry.ini");
  EXPECT_EQ(CurrentUserProxyServer(), "http://envproxy:3128");
  const auto [key, name] = SplitValuePath(
      "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet "
      "Settings\\ProxyServer");
  EXPECT_EQ(name, "ProxyServer");
  ASSERT_TRUE(RegistryStore::ForCurrentUser().WriteValue(key, name, "storeproxy:8080"));
  EXPECT_EQ(CurrentUserProxyServer(), "storeproxy:8080");
  ::unsetenv("http_proxy");
  ::unsetenv("XDG_CONFIG_HOME");
}

TEST(SplitValuePath, SplitsAtTheLastBackslashOfWholeCharacters) {
  EXPECT_EQ(SplitValuePath("A\\B\\Name"), (std::pair<Text, Text>{"A\\B", "Name"}));
  EXPECT_EQ(SplitValuePath("Name"), (std::pair<Text, Text>{"", "Name"}));
  // 0x5C as the second byte of a double-byte character is not a separator.
  EXPECT_EQ(SplitValuePath("K\\\x81\x5C"), (std::pair<Text, Text>{"K", "\x81\x5C"}));
}

}  // namespace
}  // namespace xyx

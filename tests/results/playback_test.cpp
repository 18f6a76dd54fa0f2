#include "core/results/playback.h"
#include "read_file.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/platform/temp_file.h"
#include "core/text/encoding.h"

namespace xyx {
namespace {

using test::ReadAll;

// "<hex digits>.tmp.qsed"
bool IsPlaylistName(const std::string& name) {
  const std::string suffix = ".tmp.qsed";
  if (name.size() <= suffix.size() ||
      name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0) {
    return false;
  }
  return name.find_first_not_of("0123456789abcdef") == name.size() - suffix.size();
}

TEST(PlaybackTest, PlaylistCarriesTheAddressInEscapedUtf8) {
  const std::string head =
      "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<qsed version=\"5.0.81.0\">";
  EXPECT_EQ(PlaylistContent("qvod://123|ABC|a.rmvb|"),
            head + "<entry><ref href=\"qvod://123|ABC|a.rmvb|\"/></entry></qsed>");
  EXPECT_EQ(PlaylistContent(Utf8ToLocalText("qvod://1|H|功夫 & \"<x>\"*.rm|")),
            head +
                "<entry><ref href=\"qvod://1|H|功夫 &amp; &quot;&lt;x&gt;&quot;*.rm|\"/>"
                "</entry></qsed>");
  EXPECT_EQ(PlaylistContent(""), head + "<entry><ref href=\"\"/></entry></qsed>");
}

TEST(PlaybackTest, NoticeFlagsAddTheInformationIconOnlyWithoutAnotherIcon) {
  struct Case {
    int flags;
    int shown;
  } cases[] = {{0, 4160},    {1, 4161},    {0x10, 4112}, {0x20, 4128},
               {0x30, 4144}, {0x40, 4160}, {0x44, 4164}};
  for (const Case& c : cases) EXPECT_EQ(NoticeFlags(c.flags), c.shown) << c.flags;
  EXPECT_EQ(NoticeCaption(""), Utf8ToLocalText("垣禾："));
  EXPECT_EQ(NoticeCaption("x"), "x");
}

TEST(PlaybackTest, WindowsProgramsStartThroughWineWhenThereIsOne) {
  const ProgramCommand viaWine =
      PlayerCommand("/p/QvodPlayer.EXE", "/tmp/1.tmp.qsed", "/usr/bin/wine");
  EXPECT_EQ(viaWine.program, "/usr/bin/wine");
  EXPECT_EQ(viaWine.arguments, (std::vector<std::string>{"/p/QvodPlayer.EXE", "/tmp/1.tmp.qsed"}));
  const ProgramCommand direct = PlayerCommand("/p/QvodPlayer.exe", "/tmp/a b.qsed", "");
  EXPECT_EQ(direct.program, "/p/QvodPlayer.exe");
  EXPECT_EQ(direct.arguments, (std::vector<std::string>{"/tmp/a b.qsed"}));
  const ProgramCommand native = PlayerCommand("/usr/bin/player", "x", "/usr/bin/wine");
  EXPECT_EQ(native.program, "/usr/bin/player");
  EXPECT_EQ(native.arguments, (std::vector<std::string>{"x"}));
}

class PlaybackFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/xyx-playback-XXXXXX";
    dir_ = ::mkdtemp(pattern);
  }
  void TearDown() override {
    std::filesystem::permissions(dir_, std::filesystem::perms::owner_all);
    std::filesystem::remove_all(dir_);
  }
  std::filesystem::path dir_;
};

TEST_F(PlaybackFilesTest, PlayerValueRoundTripsThroughTheStore) {
  RegistryStore store(dir_ / "registry.ini");
  EXPECT_EQ(ReadPlayerValue(store), "");
  const Text path = Utf8ToLocalText("/opt/快播/QvodPlayer.exe");
  ASSERT_TRUE(WritePlayerValue(store, path));
  EXPECT_EQ(ReadPlayerValue(RegistryStore(dir_ / "registry.ini")), path);
  EXPECT_NE(ReadAll(dir_ / "registry.ini").find("DisplayIcon="), std::string::npos);
  EXPECT_TRUE(PathExists(LocalToUtf8(dir_.string())));  // a directory counts
  EXPECT_FALSE(PathExists((dir_ / "none").string()));
  EXPECT_FALSE(PathExists(""));
}

TEST_F(PlaybackFilesTest, TemporaryFilesAreNewOwnerOnlyAndNamedInHex) {
  const TemporaryFile first = CreateTemporaryFile(dir_, ".qsed", "one");
  const TemporaryFile second = CreateTemporaryFile(dir_, ".qsed", "two");
  ASSERT_TRUE(first.written);
  ASSERT_TRUE(second.written);
  EXPECT_NE(first.path, second.path);
  EXPECT_EQ(first.path.parent_path(), dir_);
  EXPECT_TRUE(IsPlaylistName(first.path.filename().string())) << first.path;
  EXPECT_FALSE(IsPlaylistName("0a.tmp")) << "the check itself";
  EXPECT_EQ(ReadAll(first.path), "one");
  EXPECT_EQ(ReadAll(second.path), "two");
  struct stat info {};
  ASSERT_EQ(::stat(first.path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  EXPECT_FALSE(std::filesystem::exists(first.path.parent_path() /
                                       first.path.stem()));  // no bare ".tmp" file
}

TEST_F(PlaybackFilesTest, TemporaryFileInAMissingDirectoryReportsNotWritten) {
  const TemporaryFile file = CreateTemporaryFile(dir_ / "missing", ".qsed", "x");
  EXPECT_FALSE(file.written);
  EXPECT_FALSE(file.path.empty());
  EXPECT_FALSE(std::filesystem::exists(file.path));
}

TEST(TemporaryDirectoryTest, FollowsTmpdir) {
  const char* old = ::getenv("TMPDIR");
  const std::string saved = old ? old : "";
  ::setenv("TMPDIR", "/var/tmp/x", 1);
  EXPECT_EQ(TemporaryDirectory(), "/var/tmp/x");
  ::setenv("TMPDIR", "", 1);
  EXPECT_EQ(TemporaryDirectory(), "/tmp");
  if (old) {
    ::setenv("TMPDIR", saved.c_str(), 1);
  } else {
    ::unsetenv("TMPDIR");
  }
}

}  // namespace
}  // namespace xyx

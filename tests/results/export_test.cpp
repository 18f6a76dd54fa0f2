#include "core/results/export.h"
#include "read_file.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/platform/atomic_file.h"

namespace xyx {
namespace {

using test::ReadAll;

int FileCount(const std::filesystem::path& dir) {
  int n = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir)) ++n;
  return n;
}

TEST(ExportTest, LinesEndInCrLfAndAppendingGivesTheSameBytes) {
  const std::vector<Text> addresses = {"qvod://a", "", "qvod://\xb9\xa6|"};
  EXPECT_EQ(AddressListBytes(addresses), "qvod://a\r\n\r\nqvod://\xb9\xa6|\r\n");
  Bytes built;
  for (const Text& a : addresses) AppendAddressLine(built, a);
  EXPECT_EQ(built, AddressListBytes(addresses));
  EXPECT_EQ(AddressListBytes({}), "");
}

class ReplacingFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/xyx-export-XXXXXX";
    dir_ = ::mkdtemp(pattern);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::filesystem::path dir_;
};

TEST_F(ReplacingFileTest, PiecesReplaceTheTargetOnlyOnCommit) {
  const auto target = dir_ / "list.txt";
  ASSERT_TRUE(WriteFileReplacing(target, "old"));
  {
    ReplacingFile file(target);
    ASSERT_TRUE(file.Good());
    ASSERT_TRUE(file.Write("new "));
    ASSERT_TRUE(file.Write("content"));
    EXPECT_EQ(ReadAll(target), "old");
    EXPECT_EQ(FileCount(dir_), 2);
  }  // not committed: abandoned
  EXPECT_EQ(ReadAll(target), "old");
  EXPECT_EQ(FileCount(dir_), 1);

  ReplacingFile file(target);
  ASSERT_TRUE(file.Write("new "));
  ASSERT_TRUE(file.Write("content"));
  ASSERT_TRUE(file.Commit());
  EXPECT_FALSE(file.Good());
  EXPECT_FALSE(file.Commit());
  EXPECT_EQ(ReadAll(target), "new content");
  EXPECT_EQ(FileCount(dir_), 1);
}

TEST_F(ReplacingFileTest, ATargetThatCannotBeCreatedFailsWithoutLeavingFiles) {
  // Under a regular file even root cannot create anything.
  ASSERT_TRUE(WriteFileReplacing(dir_ / "plain", ""));
  ReplacingFile file(dir_ / "plain" / "list.txt");
  EXPECT_FALSE(file.Good());
  EXPECT_FALSE(file.Write("x"));
  EXPECT_FALSE(file.Commit());
  EXPECT_FALSE(WriteFileReplacing(dir_ / "missing" / "list.txt", "x"));
  EXPECT_EQ(FileCount(dir_), 1);
}

}  // namespace
}  // namespace xyx

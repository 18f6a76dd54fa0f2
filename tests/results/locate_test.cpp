#include "core/results/locate.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "core/text/encoding.h"

namespace xyx {
namespace {

// Rows of name, size text, actor and address, in UTF-8 for readability.
class FakeRows : public LocateRows {
 public:
  FakeRows(std::vector<std::array<const char*, 4>> rows, int current)
      : rows_(std::move(rows)), current_(current) {}

  int CurrentRow() override { return current_; }
  int RowCount() override {
    ++countReads;
    return static_cast<int>(rows_.size());
  }
  Text CellText(int row, int column) override {
    read.push_back({row, column});
    if (row < 0 || row >= static_cast<int>(rows_.size())) return {};
    return Utf8ToLocalText(rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)]);
  }
  void RowMissed() override { ++missed; }

  std::vector<std::pair<int, int>> read;
  int countReads = 0;
  int missed = 0;

 private:
  std::vector<std::array<const char*, 4>> rows_;
  int current_;
};

const std::vector<std::array<const char*, 4>> kRows = {
    {"Sea Story", "1 GB", "Anna", "qvod://1|A|sea.rmvb|"},          // 0
    {"功夫 第3集", "700 MB", "周星驰", "qvod://2|B|kungfu.rmvb|"},  // 1
    {"abc.def", "2 GB", "nobody", "qvod://3|C|sky.rmvb|"},          // 2
    {"Blue SKY", "5 GB", "Bob", "qvod://4|D|x.rmvb|"},              // 3
    {"a-b", "ac", "abbc", "qvod://5|E|abc.rmvb|"},                  // 4
};

struct Case {
  const char* name;
  const char* text;
  int current;
  int found;
};

class LocateTest : public ::testing::TestWithParam<Case> {};

TEST_P(LocateTest, FindsTheNextRowByNameOrActor) {
  const Case& c = GetParam();
  FakeRows rows(kRows, c.current);
  EXPECT_EQ(LocateNextRow(Utf8ToLocalText(c.text), rows), c.found);
  EXPECT_EQ(rows.countReads, 1);
  for (const auto& [row, column] : rows.read) {
    EXPECT_TRUE(column == 0 || column == 2) << column;
    EXPECT_NE(row, c.current) << "the current row is never tested";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LocateTest,
    ::testing::Values(
        Case{"NoSelectionStartsAtTheTop", "sky", -1, 3}, Case{"NextBelowTheCurrentRow", "s", 0, 3},
        Case{"WrapsToTheTop", "sea|sky", 3, 0},
        Case{"FromTheLastRowTheSecondPassCoversTheRest", "b", 4, 2},
        Case{"OnlyTheCurrentRowMatches", "kungfu", 1, -1},
        Case{"OnlyTheCurrentRowMatchesByName", "功夫", 1, -1}, Case{"ActorOnly", "周星驰", -1, 1},
        Case{"SizeAndAddressAreNotTested", "700 MB", -1, -1},
        Case{"AddressNotTested", "qvod", -1, -1}, Case{"CaseIgnored", "BLUE sky", -1, 3},
        Case{"StarSpansCharacters", "S*y", -1, 0}, Case{"LeadingStar", "*KY", 0, 3},
        Case{"QuestionMarkMatchesOne", "a?c", -1, 2},
        Case{"QuestionMarkIsAtMostOneCharacter", "a?c", 2, -1}, Case{"DotIsItself", "c.d", -1, 2},
        Case{"DotIsOnlyItself", "a.b", -1, -1}, Case{"ParenthesisIsItself", "(", -1, -1},
        Case{"EmptyAlternativeMatchesAll", "nothing|", 2, 3},
        Case{"EmptyTextMatchesTheNextRow", "", 1, 2},
        Case{"EmptyTextFromTheLastRowWraps", "", 4, 0},
        Case{"HintTextIsSearchedLikeAnyText", "这里输入电影或演员名称", -1, -1}),
    [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

TEST(LocateScanTest, EmptyListFindsNothing) {
  FakeRows rows({}, -1);
  EXPECT_EQ(LocateNextRow("", rows), -1);
  EXPECT_TRUE(rows.read.empty());
}

TEST(LocateScanTest, EveryRowThatDoesNotPassLetsEventsRunAndTheActorIsReadOnlyAfterAMiss) {
  FakeRows rows(kRows, -1);
  EXPECT_EQ(LocateNextRow("Bob", rows), 3);
  EXPECT_EQ(rows.missed, 3);
  const std::vector<std::pair<int, int>> expected = {{0, 0}, {0, 2}, {1, 0}, {1, 2},
                                                     {2, 0}, {2, 2}, {3, 0}, {3, 2}};
  EXPECT_EQ(rows.read, expected);
  FakeRows byName(kRows, -1);
  EXPECT_EQ(LocateNextRow("Sea", byName), 0);
  EXPECT_EQ(byName.read, (std::vector<std::pair<int, int>>{{0, 0}}));
}

}  // namespace
}  // namespace xyx

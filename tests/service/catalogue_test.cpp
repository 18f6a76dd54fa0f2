#include "catalogue.h"

#include "service_fixture.h"

namespace xyx::service {
namespace {

using CatalogueTest = CatalogueFixture;

TEST_F(CatalogueTest, FindsSubstringsOfNamesAndActors) {
  std::string error;
  auto catalogue = Catalogue::Open(db_, error);
  ASSERT_TRUE(catalogue) << error;
  struct Row {
    std::string keyword;
    std::vector<std::string> hashes;
  };
  const Row rows[] = {
      {"metropolis", {"BBBB"}},                         // ASCII case ignored, through the index
      {"METRO", {"BBBB"}},       {"斯费拉", {"AAAA"}},  // Chinese substring, three characters
      {"都会", {"BBBB"}},                               // two characters: the scan
      {"卓别林", {"CCCC"}},                             // actor
      {"max schreck", {"AAAA"}}, {"e", {"AAAA", "BBBB", "CCCC", "DDDD"}},
      {"100%", {"DDDD"}},        {"_n", {"DDDD"}},  // "_" is not a wildcard
      {"\"quoted\"", {"DDDD"}},                     // quotes cannot break the match expression
      {"nothing here", {}},
  };
  for (const auto& r : rows) {
    std::vector<std::string> got;
    for (const auto& e : catalogue->Search(r.keyword, 1000)) got.push_back(e.hash);
    EXPECT_EQ(got, r.hashes) << r.keyword;
  }
}

TEST_F(CatalogueTest, EmptyKeywordAndLimit) {
  std::string error;
  auto catalogue = Catalogue::Open(db_, error);
  ASSERT_TRUE(catalogue);
  EXPECT_EQ(catalogue->Search("", 1000).size(), 4u);
  const auto two = catalogue->Search("", 2);
  ASSERT_EQ(two.size(), 2u);
  EXPECT_EQ(two[1].size, 4700000000);
  EXPECT_EQ(catalogue->Search("e", 1).size(), 1u);
}

TEST_F(CatalogueTest, OpenRejectsWhatIsNotACatalogue) {
  std::string error;
  EXPECT_FALSE(Catalogue::Open((dir_ / "missing.sqlite").string(), error));
  EXPECT_FALSE(Catalogue::Open((dir_ / "catalogue.tsv").string(), error));
  EXPECT_EQ(ImportCatalogue(db_, (dir_ / "missing.tsv").string(), error), -1);
}

}  // namespace
}  // namespace xyx::service

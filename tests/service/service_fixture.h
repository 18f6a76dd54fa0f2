#pragma once
// A small catalogue in a temporary database, shared by the service tests.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "catalogue.h"

namespace xyx::service {

class CatalogueFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("xyx-service-test-" + std::to_string(getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
    const auto tsv = dir_ / "catalogue.tsv";
    std::ofstream(tsv) << "# size\thash\tactor\tname\textra\n"
                          "734003200\tAAAA\t马克斯·施雷克 Max Schreck\t诺斯费拉图 Nosferatu HD\t0\n"
                          "4700000000\tBBBB\tBrigitte Helm\t大都会 Metropolis (1927)\t1\n"
                          "1024\tCCCC\t卓别林\tThe Kid | 寻子遇仙记 & <friends>\t2\n"
                          "2048\tDDDD\tSomeone\t100% pure_name \"quoted\"\t3\n";
    db_ = (dir_ / "catalogue.sqlite").string();
    std::string error;
    ASSERT_EQ(ImportCatalogue(db_, tsv.string(), error), 4) << error;
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::filesystem::path dir_;
  std::string db_;
};

}  // namespace xyx::service

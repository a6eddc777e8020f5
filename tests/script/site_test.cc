// The default site's icons as the component's pages refer to them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace qv::testing {
namespace {

const std::filesystem::path kSite = QV_SITE_DIR;

TEST(SiteImages, EveryIconOfTheComponentIsARealGif) {
  for (const char* name :
       {"mark_current", "mark_page", "mark_pageopened", "mark_book", "mark_bookopened",
        "mark_unfinished1", "mark_unfinished2", "mark_expired", "mark_thumbnail", "CheckBoxOn",
        "CheckBoxOff", "CheckBoxOn1", "CheckBoxOff1", "RadioButtonOn", "RadioButtonOff",
        "RadioButtonOn1", "RadioButtonOff1"}) {
    std::ifstream in(kSite / "images" / (std::string(name) + ".gif"), std::ios::binary);
    char magic[6] = {};
    in.read(magic, 6);
    EXPECT_EQ(std::string(magic, 6), "GIF89a") << name;
  }
}

}  // namespace
}  // namespace qv::testing

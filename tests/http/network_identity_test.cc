#include "http/network_identity.h"

#include <gtest/gtest.h>

namespace qv::http {
namespace {

TEST(Base64, DecodesPaddingAndRejectsOtherBytes) {
  std::string out;
  EXPECT_TRUE(DecodeBase64("YQ==", out));
  EXPECT_EQ(out, "a");
  EXPECT_FALSE(DecodeBase64("Y*Q=", out));
}

}  // namespace
}  // namespace qv::http

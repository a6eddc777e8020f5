#include "host/context.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

namespace qv {
namespace {

struct Part {
  int count = 7;
  std::string text = "new";
};

TEST(RequestStateTest, PartsReadAsNewAfterBeginRequestStateAndBelongToOneThread) {
  RequestPart<Part>().count = 3;
  RequestPart<Part>().text = "kept within the request";
  EXPECT_EQ(RequestPart<Part>().count, 3);

  int other_thread_count = 0;
  std::thread([&] { other_thread_count = RequestPart<Part>().count; }).join();
  EXPECT_EQ(other_thread_count, 7);
  EXPECT_EQ(RequestPart<Part>().text, "kept within the request");

  BeginRequestState();
  EXPECT_EQ(RequestPart<Part>().count, 7);
  EXPECT_EQ(RequestPart<Part>().text, "new");
}

TEST(RequestStateTest, HostObjectsAreMissingUntilTaken) {
  BeginRequestState();
  EXPECT_THROW(TheRequest(), HostError);
  EXPECT_THROW(ResponseWrite("x"), HostError);
}

}  // namespace
}  // namespace qv

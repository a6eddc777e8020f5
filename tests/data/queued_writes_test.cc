#include "data/queued_writes.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "core/convert.h"
#include "data/test_source.h"

namespace qv {
namespace {

class QueuedWritesTest : public ::testing::Test {
 protected:
  QueuedWritesTest() {
    db.Exec(
        "CREATE TABLE qvAuthLog (ID counter, dbUserID text(50), dbRecordID long, dbDate datetime)");
  }
  ~QueuedWritesTest() override {
    StopQueuedWriters();
    SetQueuedWriteLimits(QueuedWriteLimits{});
  }

  static RowWrite Row(const std::string& user, int n) {
    return {std::nullopt, {{"dbUserID", user}, {"dbRecordID", n}}};
  }
  // The record numbers of user's rows in the order they were stored.
  std::vector<int64_t> Stored(const std::string& user) {
    std::vector<int64_t> numbers;
    for (const auto& row :
         db.Exec("SELECT dbRecordID FROM qvAuthLog WHERE dbUserID = '" + user + "' ORDER BY ID")
             .rows) {
      numbers.push_back(ToInteger(row[0]));
    }
    return numbers;
  }

  const QueuedWriteTarget target{"qvtest", "", ""};
  testing::TestSource db;
};

std::vector<int64_t> Sequence(int n) {
  std::vector<int64_t> numbers;
  for (int i = 0; i < n; ++i) numbers.push_back(i);
  return numbers;
}

TEST_F(QueuedWritesTest, RowsKeepTheirOrderAndValuesAndAreAllThereAfterAFlush) {
  const Date taken = Now();
  QueueRowWrite(target, "qvAuthLog",
                {std::nullopt, {{"dbUserID", "dated"}, {"dbRecordID", 1}, {"dbDate", taken}}});
  for (int i = 0; i < 1200; ++i) QueueRowWrite(target, "qvAuthLog", Row("alice", i));
  FlushQueuedWrites();
  EXPECT_EQ(Stored("alice"), Sequence(1200));
  // The date is the one the row was queued with, not the time of writing.
  const Variant stored =
      db.Exec("SELECT dbDate FROM qvAuthLog WHERE dbUserID = 'dated'").rows[0][0];
  EXPECT_EQ(DateSerialText(ToDate(stored)), DateSerialText(taken));
}

TEST_F(QueuedWritesTest, AFullQueueMakesWritersWaitAndLosesNothing) {
  SetQueuedWriteLimits({.queue_rows = 2, .batch_rows = 1, .window = std::chrono::milliseconds(1)});
  std::vector<std::thread> threads;
  for (const char* user : {"t1", "t2", "t3", "t4"}) {
    threads.emplace_back([this, user] {
      for (int i = 0; i < 150; ++i) QueueRowWrite(target, "qvAuthLog", Row(user, i));
    });
  }
  for (std::thread& t : threads) t.join();
  StopQueuedWriters();  // a clean stop writes what is queued
  for (const char* user : {"t1", "t2", "t3", "t4"}) EXPECT_EQ(Stored(user), Sequence(150)) << user;
}

TEST_F(QueuedWritesTest, ARefusedRowIsDroppedAloneAndTheWriterGoesOn) {
  QueueRowWrite(target, "qvAuthLog", Row("bob", 0));
  QueueRowWrite(target, "qvAuthLog", {std::nullopt, {{"noSuchField", 1}}});
  QueueRowWrite(target, "qvAuthLog", Row("bob", 1));
  FlushQueuedWrites();
  EXPECT_EQ(Stored("bob"), Sequence(2));
  QueueRowWrite(target, "qvAuthLog", Row("bob", 2));
  FlushQueuedWrites();
  EXPECT_EQ(Stored("bob"), Sequence(3));
}

}  // namespace
}  // namespace qv

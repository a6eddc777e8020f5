#include <gtest/gtest.h>

#include <sqlite3.h>

#include "core/convert.h"
#include "data/aspproc.h"
#include "data/settings.h"
#include "data/test_source.h"
#include "engine/sqlite_database.h"
#include "engine/sqlite_handle.h"
#include "host/context.h"
#include "host/memory_host.h"
#include "session/messages.h"
#include "session/sysvar.h"

namespace qv {
namespace {

std::shared_ptr<Array> Fields(const std::vector<std::pair<std::string, Variant>>& pairs) {
  auto fields = MakeArray2D(2, pairs.size());
  for (size_t i = 0; i < pairs.size(); ++i) {
    fields->at(0, i) = pairs[i].first;
    fields->at(1, i) = pairs[i].second;
  }
  return fields;
}

class WriteBackTest : public ::testing::Test {
 protected:
  WriteBackTest() {
    ResetRequestState();
    db.CreateMessages({{"ErrorHasBeenChanged", "Changed meanwhile by ", "Gewijzigd door "}});
    db.Exec(
        "CREATE TABLE qvbook (ID counter, dbTitle_e text(255), dbTitle_n text(255), "
        "dbOwnerID text(20), dbGroup int, dbDate datetime, dbContent_e memo, "
        "Stamp text(50))");
    db.Exec("INSERT INTO qvbook (dbTitle_e, dbTitle_n, dbGroup) VALUES ('One', 'Een', 10)");
    db.Exec("INSERT INTO qvbook (dbTitle_e, dbTitle_n, dbGroup) VALUES ('Two', 'Twee', 10)");
    db.Exec(
        "CREATE TABLE qvAuthUser (ID counter, dbUserID text(20), dbPositionTitle_e text(50), "
        "dbFullName_e text(50))");
    db.Exec(
        "INSERT INTO qvAuthUser (dbUserID, dbPositionTitle_e, dbFullName_e) "
        "VALUES ('alice', 'Dr.', 'Alice <A>')");
    host.session.SetValue("AuthUserID1", "alice");
    SysVar sv;
    sv.Init("qvtest");
    sv.SetTableName("qvbook");
    host.response.Clear();
  }

  Variant Cell(const std::string& field, int id) {
    return db.Exec("SELECT " + field + " FROM qvbook WHERE ID=" + std::to_string(id)).rows[0][0];
  }

  // Generates the edit form of a row in the current session: binding saves
  // the row's stamp there.
  void OpenForm(int id) {
    ap.dbOpen("qvbook", "*", "WHERE ID=" + std::to_string(id));
    ap.dbLinkTextBox("dbTitle_e");
    ap.dbClose();
    Tables().strLinkedFields = "";
  }

  testing::TestSource db;
  MemoryHost host;
  AspProc ap;
};

TEST_F(WriteBackTest, PostedFieldsAreWrittenToEveryMatchingRowWithAStamp) {
  host.request.AddForm("qvFLD_List", "dbTitle_e");
  host.request.AddForm("qvFLD_List", " dbTitle_n ");
  host.request.AddForm("dbTitle_e", "New");
  host.request.AddForm("dbTitle_n", "Nieuw");
  EXPECT_EQ(ap.dbUpdate("qvbook", "WHERE dbGroup=10"), 0);
  for (int id : {1, 2}) {
    EXPECT_EQ(Cell("dbTitle_e", id), Variant("New"));
    EXPECT_EQ(Cell("dbTitle_n", id), Variant("Nieuw"));
    EXPECT_TRUE(ToStr(Cell("Stamp", id)).starts_with("alice,4"));
  }
  // Without the form only the caller's fields (and the stamp) are written.
  EXPECT_EQ(ap.dbUpdate("qvbook", "WHERE ID=1", Fields({{"dbOwnerID", "u1"}}), false, false), 0);
  EXPECT_EQ(Cell("dbOwnerID", 1), Variant("u1"));
  EXPECT_EQ(Cell("dbTitle_e", 1), Variant("New"));
  EXPECT_EQ(ap.dbUpdate("qvbook", "WHERE ID=1", Variant(), false, false), 0);  // nothing to write
}

TEST_F(WriteBackTest, EmptyValuesTruncationAndTypes) {
  const std::string long_text(300, 'x');
  std::string accented;
  for (int i = 0; i < 300; ++i) accented += "\xC3\xA9";  // e acute, two bytes
  host.request.AddForm("dbTitle_n", accented);
  ap.dbUpdate("qvbook", "WHERE ID=1",
              Fields({{"dbTitle_e", long_text},
                      {"dbTitle_n", ""},
                      {"dbOwnerID", " "},
                      {"dbGroup", " "},
                      {"dbDate", "2024-03-05 10:20:00"},
                      {"dbContent_e", long_text}}));
  EXPECT_EQ(Cell("dbTitle_e", 1), Variant(std::string(255, 'x')));
  EXPECT_EQ(ToStr(Cell("dbTitle_n", 1)).size(), 510u);  // 255 characters, none cut in half
  EXPECT_TRUE(Cell("dbOwnerID", 1).IsNull());
  EXPECT_EQ(Cell("dbGroup", 1), Variant(0));
  EXPECT_EQ(ToStr(Cell("dbDate", 1)), "2024-03-05 10:20:00");
  EXPECT_EQ(Cell("dbContent_e", 1), Variant(long_text));
}

TEST_F(WriteBackTest, DebugTraceShowsEachValueAsTextBeforeItIsStored) {
  TheSettings().IsDebug = true;
  ap.dbUpdate("qvbook", "WHERE ID=1",
              Fields({{"dbGroup", " "}, {"dbDate", "2024-03-05 10:20:00"}, {"dbOwnerID", "u1"}}),
              false, false);
  const std::string trace = host.response.Text();
  EXPECT_NE(trace.find("<br>  Array(0)= [ ]<br>  Array(1)= [2024-03-05 10:20:00]"),
            std::string::npos);
  EXPECT_NE(trace.find("<br>begin to update or create= []"), std::string::npos);
  EXPECT_NE(trace.find("<br> for field(0)= [dbGroup]<br> to value(0)= []"
                       "<br> for field(1)= [dbDate]<br> to value(1)= [2024-03-05 10:20:00]"
                       "<br> for field(2)= [dbOwnerID]<br> to value(2)= [u1]"),
            std::string::npos)
      << trace;
  EXPECT_EQ(Cell("dbGroup", 1), Variant(0));
}

TEST_F(WriteBackTest, NoMatchingRowAddsOnlyWhenAllowed) {
  auto fields = Fields({{"dbTitle_e", "Three"}});
  EXPECT_EQ(ap.dbUpdate("qvbook", "WHERE ID=-1", fields), -1);
  EXPECT_EQ(ap.dbUpdate("qvbook", "WHERE ID=-1", fields, true), 3);
  EXPECT_EQ(ap.dbAppend("qvbook", Fields({{"dbTitle_e", "Four"}})), 4);
  EXPECT_EQ(Cell("dbTitle_e", 4), Variant("Four"));
}

TEST_F(WriteBackTest, UnknownFieldsAndBadValuesWriteNothing) {
  host.request.AddForm("qvFLD_List", "dbTitle_e, dbNoSuch");
  EXPECT_THROW(ap.dbUpdate("qvbook", "WHERE ID=1"), DatabaseError);
  EXPECT_THROW(ap.dbUpdate("qvbook", "WHERE ID=1", Fields({{"dbGroup", "ten"}}), false, false),
               TypeMismatch);
  EXPECT_THROW(ap.dbUpdate("qvbook", "WHERE ID=1", MakeArray({"dbGroup"}), false, false),
               TypeMismatch);
  EXPECT_EQ(Cell("dbTitle_e", 1), Variant("One"));
  // The key is never written, even when a form names it.
  ap.dbUpdate("qvbook", "WHERE ID=1", Fields({{"ID", "9"}}), false, false);
  EXPECT_EQ(db.Exec("SELECT ID FROM qvbook WHERE ID=9").rows.size(), 0u);
}

TEST_F(WriteBackTest, ValuesComeFromThePostedFormNeverTheQueryString) {
  host.request.SetQueryString("dbTitle_e=Link&dbTitle_n=Link&dbOwnerID=Link");
  host.request.AddForm("qvFLD_List", "dbTitle_e, dbTitle_n");
  host.request.AddForm("dbTitle_e", "Posted");
  ap.dbUpdate("qvbook", "WHERE ID=1", Fields({{"dbOwnerID", ""}}));
  EXPECT_EQ(Cell("dbTitle_e", 1), Variant("Posted"));
  EXPECT_TRUE(Cell("dbTitle_n", 1).IsNull());
  EXPECT_TRUE(Cell("dbOwnerID", 1).IsNull());
}

// Two users edit the same row: alice in the fixture's session, bob in his.
class StampGuardTest : public WriteBackTest {
 protected:
  StampGuardTest() { bob.session.SetValue("AuthUserID1", "bob"); }

  void As(MemoryHost& user) { Host().host = user.Objects(); }

  void PostTitle(MemoryHost& user, const std::string& title) {
    user.request.AddForm("qvFLD_List", "dbTitle_e");
    user.request.AddForm("dbTitle_e", title);
  }

  MemoryHost bob;
};

TEST_F(StampGuardTest, SecondSaveOfTheSameRowIsRefusedWithTheFirstUsersName) {
  As(host);
  OpenForm(1);  // a row that was never stamped is guarded too
  As(bob);
  OpenForm(1);
  As(host);
  PostTitle(host, "Alice's");
  EXPECT_EQ(ap.dbUpdate("qvbook", "WHERE ID=1"), 0);
  EXPECT_EQ(host.session.Value("qvtest_qvbook_1"), Variant(""));

  As(bob);
  PostTitle(bob, "Bob's");
  bob.response.Clear();
  EXPECT_EQ(ap.dbUpdate("qvbook", "WHERE ID=1"), 0);
  EXPECT_EQ(bob.response.Text(), "Changed meanwhile by Dr. Alice &lt;A&gt;");
  EXPECT_EQ(Messages().strErrorMsg, "ErrorHasBeenChanged");
  EXPECT_EQ(Cell("dbTitle_e", 1), Variant("Alice's"));
  EXPECT_TRUE(ToStr(Cell("Stamp", 1)).starts_with("alice,"));

  OpenForm(1);  // bob reloads the form and saves again
  EXPECT_EQ(ap.dbUpdate("qvbook", "WHERE ID=1"), 0);
  EXPECT_EQ(Cell("dbTitle_e", 1), Variant("Bob's"));
  As(host);
}

TEST_F(StampGuardTest, AConflictOnOneRowLeavesEveryRowUnwritten) {
  As(bob);
  OpenForm(2);
  As(host);
  ap.dbUpdate("qvbook", "WHERE ID=2", Fields({{"dbTitle_n", "Alice"}}), false, false);
  As(bob);
  OpenForm(1);
  Messages().blnShowError = false;
  bob.response.Clear();
  EXPECT_EQ(ap.dbUpdate("qvbook", "WHERE dbGroup=10", Fields({{"dbGroup", 11}}), false, false), 0);
  EXPECT_EQ(bob.response.Text(), "");
  EXPECT_EQ(Cell("dbGroup", 1), Variant(10));
  EXPECT_EQ(Cell("dbGroup", 2), Variant(10));
  // Bob's saved stamps stay, so his form is still guarded.
  EXPECT_NE(bob.session.Value("qvtest_qvbook_1"), Variant(""));
  As(host);
}

// Before it reads each row set of qvbook, tries to start a write through a
// handle of its own, as another process would, and records SQLite's answer.
class ProbingConnection : public testing::RecordingConnection {
 public:
  explicit ProbingConnection(std::vector<int>& answers)
      : RecordingConnection(std::make_unique<SqliteConnection>()), answers_(answers) {}
  QueryResult Query(const std::string& sql, bool with_keys) override {
    if (sql.starts_with("SELECT * FROM qvbook")) {
      SqliteDb probe = OpenSqliteFile(LookupDataSource("qvtest").path);  // no busy wait
      answers_.push_back(sqlite3_exec(probe.get(), "BEGIN IMMEDIATE", nullptr, nullptr, nullptr));
    }  // closing the probe ends any transaction it began
    return RecordingConnection::Query(sql, with_keys);
  }

 private:
  std::vector<int>& answers_;
};

TEST_F(StampGuardTest, TheSaveHoldsTheWriteLockBeforeItReadsTheStamps) {
  QV_SKIP_ON_POSTGRES("probes SQLite's file lock");
  std::vector<int> answers;
  SetConnectionFactory([&answers] { return std::make_unique<ProbingConnection>(answers); });
  As(host);
  PostTitle(host, "Alice's");
  ap.dbUpdate("qvbook", "WHERE ID=1");
  ASSERT_EQ(answers.size(), 1u);
  EXPECT_EQ(answers[0] & 0xFF, SQLITE_BUSY);
  EXPECT_EQ(Cell("dbTitle_e", 1), Variant("Alice's"));
}

// Another writer holds the write lock with a change of the row; the save
// waits, and the other writer commits while it does.
TEST_F(StampGuardTest, ASaveThatWaitedForAnotherWritersCommitIsRefused) {
  QV_SKIP_ON_POSTGRES("holds SQLite's file lock through a busy handler");
  As(host);
  OpenForm(1);
  PostTitle(host, "Alice's");
  const std::string path = LookupDataSource("qvtest").path;
  SqliteDb other = OpenSqliteFile(path);
  ExecSqlite(other.get(), "BEGIN IMMEDIATE");
  ExecSqlite(other.get(), "UPDATE qvbook SET dbTitle_e = 'Carol''s', Stamp = 'carol,1' WHERE ID=1");
  struct Waiting {
    sqlite3* other;
    int waits = 0;
  } waiting{other.get()};
  // The save's handle (this thread's) commits the other writer when it
  // first finds the file locked, then tries again.
  sqlite3* own = SqliteDatabase::ForThisThread(path)->get();
  sqlite3_busy_handler(
      own,
      [](void* arg, int) {
        auto* w = static_cast<Waiting*>(arg);
        if (w->waits++ == 0) sqlite3_exec(w->other, "COMMIT", nullptr, nullptr, nullptr);
        return 1;
      },
      &waiting);
  int32_t result = -2;
  EXPECT_NO_THROW(result = ap.dbUpdate("qvbook", "WHERE ID=1"));
  sqlite3_busy_timeout(own, 10000);
  EXPECT_GE(waiting.waits, 1);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(Messages().strErrorMsg, "ErrorHasBeenChanged");
  EXPECT_EQ(Cell("dbTitle_e", 1), Variant("Carol's"));
  EXPECT_EQ(Cell("Stamp", 1), Variant("carol,1"));
}

}  // namespace
}  // namespace qv

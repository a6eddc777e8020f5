// The shipped schema and seed data, as a new database of the engine under test
// has them, read back with the statements the component runs.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "core/convert.h"
#include "engine/init_db.h"
#include "engine/sqlite_handle.h"
#include "test_database.h"

namespace qv {
namespace {

class SeededDatabase : public testing_support::TestDatabase {
 protected:
  void SetUp() override {
    contents_ = testing::Contents::kSeeded;
    TestDatabase::SetUp();
    conn_ = Connect();
  }

  std::vector<std::vector<Variant>> Rows(const std::string& sql) { return conn_->Query(sql).rows; }

  // Column 0 of every row of sql, as text, through the engine.
  std::vector<std::string> Values(const std::string& sql) {
    std::vector<std::string> values;
    for (const auto& row : Rows(sql)) values.push_back(NullToStr(row.at(0)));
    return values;
  }

  std::string Message(const std::string& key, const std::string& field = "dbMsg_e") {
    auto rows = Rows("SELECT " + field + " FROM qvSystemMsg WHERE dbName='" + key + "'");
    if (rows.size() != 1) return "<" + std::to_string(rows.size()) + " rows>";
    return NullToStr(rows[0][0]);
  }

  // Column 0 of every row of sql, as text, run on the file as it is (no
  // dialect translation): for reading SQLite's own catalogue.
  std::vector<std::string> Strings(const std::string& sql) const {
    SqliteDb db = OpenSqliteFile(DatabasePath());
    SqliteStatement stmt = PrepareSqlite(db.get(), sql);
    std::vector<std::string> values;
    while (StepSqlite(db.get(), stmt.get())) {
      const unsigned char* text = sqlite3_column_text(stmt.get(), 0);
      values.emplace_back(text ? reinterpret_cast<const char*>(text) : "<null>");
    }
    return values;
  }

  // The names of the schema's objects of a type, without SQLite's own.
  std::vector<std::string> Names(const std::string& type) const {
    return Strings("SELECT name FROM sqlite_master WHERE type = '" + type +
                   "' AND name NOT LIKE 'sqlite%' ORDER BY name");
  }

  std::shared_ptr<Connection> conn_;
};

TEST_F(SeededDatabase, UserListHasEveryUserOnceWithMajorGroup) {
  Rows("DELETE FROM qvAuthUser WHERE dbUserID <> 'admin'");  // without the demo users
  conn_->WriteRows("qvAuthUser", {{std::nullopt, {{"dbUserID", "t1"}, {"dbMajorGroup", "80"}}},
                                  {std::nullopt, {{"dbUserID", "x1"}, {"dbMajorGroup", "42"}}}});
  auto rows = Rows("SELECT dbUserID, dbGroupID, dbName_e FROM qvAuthUserList order by dbUserID");
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(ToStr(rows[0][0]), "admin");
  EXPECT_EQ(ToStr(rows[0][2]), "Administrators");
  EXPECT_EQ(ToStr(rows[1][2]), "Teachers");
  EXPECT_TRUE(rows[2][1].IsNull());  // x1: its major group does not exist

  // Group lists filter with an unquoted number, as the user list pages do.
  EXPECT_EQ(Rows("SELECT * FROM qvAuthUserList Where dbGroupID=80 order by dbMajorGroup, "
                 "dbUserID")
                .size(),
            1u);
  EXPECT_THROW(conn_->WriteRows("qvAuthGroup", {{std::nullopt, {{"dbGroupID", "80"}}}}),
               DatabaseError);
  EXPECT_EQ(Rows("SELECT * FROM qvAuthUserList").size(), 3u);
}

TEST_F(SeededDatabase, MessageKeysExistOnceWithoutRegardToCase) {
  EXPECT_EQ(Message("qvTome"), "1.10");
  EXPECT_EQ(Message("qvTome", "dbMsg_n"), "1.10");
  EXPECT_EQ(Message("MSGANONYMOUSUSERNAME"), "Anonymous");
  // A placeholder row for a key that exists is refused, not added twice.
  EXPECT_THROW(conn_->WriteRows("qvSystemMsg", {{std::nullopt, {{"dbName", "menudelete"}}}}),
               DatabaseError);
  EXPECT_TRUE(Rows("SELECT dbName FROM qvSystemMsg WHERE dbMsg_e=null or dbMsg_n=null").empty());
}

TEST_F(SeededDatabase, EveryMessageChangeMovesTheChangeCounter) {
  auto count = [&] {
    return Rows("SELECT dbCount FROM qvChangeCounter WHERE dbTable='qvsystemmsg'").at(0).at(0);
  };
  const Variant before = count();
  conn_->Query("UPDATE qvSystemMsg SET dbOrder = dbOrder WHERE dbName = 'qvTome'");
  conn_->Query("INSERT INTO qvSystemMsg (dbName) VALUES ('newkey')");
  conn_->Query("DELETE FROM qvSystemMsg WHERE dbName = 'newkey'");
  EXPECT_EQ(ToInteger(count()), ToInteger(before) + 3);
}

TEST_F(SeededDatabase, EveryCommandHasAConfirmationText) {
  // A command whose Confirm key were missing would ask with the key itself.
  for (const char* label :
       {"MenuUpdateGlossary", "menuEditCurrent", "menuAddBottom", "menuAddBefore", "menuAddBelow",
        "menuCutCurrent", "menuPasteCancel", "menuPasteBottom", "menuPasteBefore", "MenuDelete",
        "MenuPageProperty", "MenuListAssignment", "menuPostDiscussion", "menuJoinDiscussion",
        "menuReplyDiscussion", "menuCommentDiscussion"}) {
    SCOPED_TRACE(label);
    EXPECT_NE(Message(label), "");
    // The question goes into a script string inside a link.
    EXPECT_EQ(Message(std::string(label) + "Confirm").find_first_of("\"<"), std::string::npos);
  }
}

TEST_F(SeededDatabase, CodeListsReadInTheirOrder) {
  auto rows = Rows("SELECT dbName_e,dbValue FROM qvCodeDefList Where dbType='dbType'");
  ASSERT_EQ(rows.size(), 13u);
  EXPECT_EQ(ToStr(rows[0][1]) + ToStr(rows[11][1]) + ToStr(rows[12][1]), "011255");
  // Media and record types share dbType with the page types; they must not
  // turn a media page or a record into a discussion or an assignment.
  for (const auto& row : Rows("SELECT dbValue FROM qvCodeDefList Where dbType='dbMediaType' "
                              "or dbType='dbBibType'")) {
    int64_t value = ToInteger(row[0]);
    EXPECT_TRUE(value < 2 || (value > 11 && value != 255)) << value;
  }
  EXPECT_FALSE(Rows("SELECT dbValue FROM qvCodeDefList Where dbType='dbPasswordType'").empty());
}

TEST_F(SeededDatabase, NewPagesGetFlagsNotNulls) {
  for (const char* table : {"qvbook", "qvglossary", "qvmedia", "qvlibrary"}) {
    SCOPED_TRACE(table);
    auto id = conn_->WriteRows(table, {{std::nullopt, {{"dbPID", -1}, {"dbBookID", 1}}}});
    auto rows =
        Rows(std::string("SELECT dbCID, dbType, dbFinished_e, dbThumbNail, dbPageLevel FROM ") +
             table + " Where id=" + std::to_string(id.at(0)));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(ToInteger(rows[0][0]), 0);
    EXPECT_EQ(ToInteger(rows[0][1]), 0);
    EXPECT_TRUE(rows[0][2].IsBoolean());
    EXPECT_FALSE(ToBoolean(rows[0][2]));
    EXPECT_EQ(ToInteger(rows[0][3]), 0);
    EXPECT_EQ(ToInteger(rows[0][4]), 1);  // a book's first page is created without a level
  }
}

TEST_F(SeededDatabase, EveryTableHasItsKeyStampUniqueKeysAndCounters) {
  QV_SKIP_ON_POSTGRES("reads SQLite's catalogue");
  const std::vector<std::string> tables = {
      "qvAuthBook",    "qvAuthGroup", "qvAuthLog",      "qvAuthUser",  "qvChangeCounter",
      "qvCodeDefList", "qvSession",   "qvSessionValue", "qvSystemMsg", "qvbook",
      "qvbook_",       "qvglossary",  "qvglossary_",    "qvlibrary",   "qvlibrary_",
      "qvmedia",       "qvmedia_"};
  // Tables no form writes back carry no stamp.
  const std::vector<std::string> unstamped = {"qvChangeCounter", "qvSession", "qvSessionValue"};
  EXPECT_EQ(Names("table"), tables);
  EXPECT_EQ(Names("view"), (std::vector<std::string>{"qvAuthUserList", "qvglossaryBook"}));
  for (const std::string& table : tables) {
    SCOPED_TRACE(table);
    // The key is the auto-numbered ID, never reused after a delete.
    EXPECT_EQ(
        Strings("SELECT name || ' ' || type FROM pragma_table_info('" + table + "') WHERE pk > 0"),
        std::vector<std::string>{"ID INTEGER"});
    EXPECT_NE(Strings("SELECT sql FROM sqlite_master WHERE name = '" + table + "'")
                  .at(0)
                  .find("AUTOINCREMENT"),
              std::string::npos);
    if (std::find(unstamped.begin(), unstamped.end(), table) == unstamped.end()) {
      EXPECT_EQ(Strings("SELECT type FROM pragma_table_info('" + table + "') WHERE name = 'Stamp'"),
                std::vector<std::string>{"VARCHAR(50)"});
    }
  }

  // The keys that must stay unique (the other indexes only speed reads).
  EXPECT_EQ(Strings("SELECT m.tbl_name || ' ' || i.name FROM sqlite_master AS m, "
                    "pragma_index_list(m.tbl_name) AS i WHERE m.type = 'table' AND i.\"unique\" "
                    "AND i.origin = 'c' ORDER BY 1"),
            (std::vector<std::string>{
                "qvAuthGroup qvAuthGroup_GroupID", "qvAuthUser qvAuthUser_UserID",
                "qvChangeCounter qvChangeCounter_table", "qvSession qvSession_SessionID",
                "qvSessionValue qvSessionValue_Name", "qvSystemMsg qvSystemMsg_Name"}));

  // Three counting triggers for each cached table.
  std::vector<std::string> triggers;
  for (const char* table : {"qvAuthBook", "qvAuthGroup", "qvAuthUser", "qvCodeDefList",
                            "qvSystemMsg", "qvbook", "qvglossary", "qvlibrary", "qvmedia"}) {
    for (const char* event : {"delete", "insert", "update"}) {
      triggers.push_back(std::string(table) + "_counted_" + event);
    }
  }
  EXPECT_EQ(Names("trigger"), triggers);
}

TEST_F(SeededDatabase, BookAndSubmissionTablesShareTheirColumns) {
  QV_SKIP_ON_POSTGRES("reads SQLite's catalogue");
  auto columns = [&](const std::string& table) {
    return Strings(
        "SELECT name || ' ' || type || ' ' || ifnull(dflt_value, '-') FROM "
        "pragma_table_info('" +
        table + "') ORDER BY cid");
  };
  // Every page form field list works in every book table.
  std::vector<std::string> book = columns("qvbook");
  std::vector<std::string> submission = columns("qvbook_");
  for (std::string table : {"qvglossary", "qvmedia", "qvlibrary"}) {
    SCOPED_TRACE(table);
    EXPECT_EQ(columns(table), book);
    EXPECT_EQ(columns(table + "_"), submission);
  }
  // The flags pages test have defaults; the catalogue fields the record
  // pages read are there.
  for (const char* column :
       {"dbCID SMALLINT 0", "dbPageLevel SMALLINT 1", "dbFinished_e BOOLEAN 0",
        "dbThumbNail SMALLINT 0", "dbISBN_ISSN VARCHAR(50) -", "dbYear SMALLINT -"}) {
    EXPECT_NE(std::find(book.begin(), book.end(), column), book.end()) << column;
  }
  EXPECT_NE(std::find(submission.begin(), submission.end(), "dbBorrowDate DATETIME -"),
            submission.end());
}

TEST_F(SeededDatabase, SeedRowsRegisterEveryBookTableWithItsPages) {
  EXPECT_EQ(Values("SELECT dbTableName || ' ' || ID FROM qvAuthBook ORDER BY ID"),
            (std::vector<std::string>{"qvglossary 1", "qvbook 2", "qvlibrary 3", "qvmedia 4",
                                      "qvbook 5"}));
  EXPECT_EQ(Values("SELECT dbGroupID FROM qvAuthGroup ORDER BY ID"),
            (std::vector<std::string>{"99", "80", "60", "lib_manager", "lib_owner", "astro1"}));
  EXPECT_EQ(Values("SELECT dbUserID || ' ' || dbMajorGroup FROM qvAuthUser ORDER BY ID"),
            (std::vector<std::string>{"admin 99", "teacher 80", "student 60"}));
  EXPECT_EQ(Values("SELECT dbTable FROM qvChangeCounter ORDER BY dbTable"),
            (std::vector<std::string>{"qvauthbook", "qvauthgroup", "qvauthuser", "qvbook",
                                      "qvcodedeflist", "qvglossary", "qvlibrary", "qvmedia",
                                      "qvsystemmsg"}));
  // The page queries of the component read the seeded rows: the top pages
  // of the help book, and a submission with its writer's name.
  EXPECT_EQ(Rows("Select * From qvglossary Where dbPID=-1 and dbFinished_e and (dbExpiredDate=null "
                 "or dbExpiredDate > Date() + Time()) order by dbOrder,id")
                .size(),
            1u);
  auto notes = Rows(
      "SELECT qvbook_.*, qvAuthUserList.dbFullName_e FROM qvbook_ INNER JOIN qvAuthUserList ON "
      "qvbook_.dbUserID = qvAuthUserList.dbUserID  Where dbQID=1 Order by dbSubmitDate");
  ASSERT_EQ(notes.size(), 1u);
  EXPECT_EQ(ToStr(notes[0].back()), "Sam Student");
}

TEST_F(SeededDatabase, GlossaryBookChoicesAreTitleThenBookID) {
  Rows("DELETE FROM qvAuthBook");  // without the demo books
  std::vector<int64_t> ids = conn_->WriteRows(
      "qvAuthBook", {{std::nullopt, {{"dbTableName", "qvbook"}, {"dbTitle_e", "Course"}}},
                     {std::nullopt, {{"dbTableName", "qvglossary"}, {"dbTitle_e", "Terms"}}}});
  auto rows = Rows("SELECT * FROM qvglossaryBook ");
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(ToStr(rows[0][0]), "Terms");
  EXPECT_EQ(ToInteger(rows[0][1]), ids.at(1));
}

}  // namespace
}  // namespace qv

// The shipped schema and seed data, built by CreateDatabaseIfMissing and read
// back through the SQLite engine with the statements the component runs.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/convert.h"
#include "engine/init_db.h"
#include "test_database.h"

namespace qv {
namespace {

class SeededDatabase : public testing_support::TestDatabase {
 protected:
  void SetUp() override {
    TestDatabase::SetUp();
    ASSERT_TRUE(CreateDatabaseIfMissing(DatabasePath(), /*force=*/true));
    conn_ = Connect();
  }

  std::vector<std::vector<Variant>> Rows(const std::string& sql) { return conn_->Query(sql).rows; }

  std::string Message(const std::string& key, const std::string& field = "dbMsg_e") {
    auto rows = Rows("SELECT " + field + " FROM qvSystemMsg WHERE dbName='" + key + "'");
    if (rows.size() != 1) return "<" + std::to_string(rows.size()) + " rows>";
    return NullToStr(rows[0][0]);
  }

  std::shared_ptr<SqliteConnection> conn_;
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

TEST_F(SeededDatabase, BookAndSubmissionTablesAnswerThePageQueries) {
  for (std::string table : {"qvbook", "qvglossary", "qvmedia", "qvlibrary"}) {
    SCOPED_TRACE(table);
    Rows("Select * From " + table +
         " Where dbPID=-1 and dbFinished_e and (dbExpiredDate=null or dbExpiredDate > Date() + "
         "Time()) order by dbOrder,id");
    Rows(
        "SELECT dbISBN_ISSN, dbAuthor_n, dbSource_e, dbPages, dbYear, dbAbstract_n, "
        "dbLanguage, dbAffiliationAddress, dbKeyword_e, dbEventDate, dbURLLink FROM " +
        table);
    std::string sub = table + "_";
    Rows("SELECT " + sub + ".*, qvAuthUserList.dbFullName_e FROM " + sub +
         " INNER JOIN qvAuthUserList ON " + sub +
         ".dbUserID = qvAuthUserList.dbUserID  Where dbQID=1 Order by dbSubmitDate");
    Rows("SELECT dbBID, dbOwnerID, dbCallNo, dbBorrowerID, dbBorrowDate, dbNotes, Stamp FROM " +
         sub);
  }
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

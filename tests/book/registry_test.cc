// The book registry pages: the lists of tables and books, the form of one
// book in its sections, its save, a new book with its first page, and the
// deletion of a book with its pages. Each request runs as the site's book
// administration page runs it: Init, then ListTables, ListBooks or EditBook.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "book/book.h"
#include "book/book_fixture.h"
#include "book/book_state.h"
#include "data/settings.h"
#include "engine/datasources.h"
#include "engine/sqlite_handle.h"
#include "session/messages.h"

namespace qv::testing {
namespace {

using Form = std::vector<std::pair<std::string, std::string>>;

// Registry: 2 "Course" owned by teacher, authored by the group "authors";
// 3 "Other" owned by someone else; 4 a glossary. Pages 10-12 belong to book
// 2, page 20 to book 3.
class RegistryTest : public BookTest {
 protected:
  RegistryTest() {
    AddBook({.id = 2, .owner = "teacher", .title = "Course"});
    Exec("UPDATE qvAuthBook SET dbAuthorGroupID='authors', dbFormatRead_e='R' WHERE ID=2");
    AddBook({.id = 3, .owner = "other", .title = "Other", .order = 2});
    AddBook({.id = 4, .table = "qvglossary", .owner = "other", .title = "Terms"});
    AddPage({.id = 10, .pid = -2, .book = 2, .children = 1, .title = "Top"});
    AddPage({.id = 11, .pid = 10, .book = 2, .level = 2, .title = "Child"});
    AddPage({.id = 12, .pid = -2, .book = 2, .order = 2, .title = "Second"});
    AddPage({.id = 20, .pid = -3, .book = 3, .title = "Other top"});
  }

  // One request to the administration page: the query, the posted form
  // (a POST when given) and the caller.
  std::string Run(const std::string& user, const std::string& major, const std::string& query,
                  const Form& form = {}, const std::string& minor = "") {
    host.request = MemoryRequest();
    host.request.SetQueryString(query);
    host.request.SetServerVariable("SCRIPT_NAME", script_);
    for (const auto& [name, value] : form) host.request.AddForm(name, value);
    LogIn(user, major, minor);
    SysVar().Init("qvtest");
    host.response.Clear();
    Statements().clear();
    Book book;
    book.EditBook();
    edited_ = book.EditBookID();
    errors_ = book.GetErrorMsg();
    return Output();
  }
  std::string AsAdmin(const std::string& query, const Form& form = {}) {
    return Run("admin", "99", query, form);
  }
  std::string AsTeacher(const std::string& query, const Form& form = {}) {
    return Run("teacher", "80", query, form);
  }

  std::string Lists(const std::string& user, const std::string& major, const std::string& query,
                    bool books) {
    host.request = MemoryRequest();
    host.request.SetQueryString(query);
    host.request.SetServerVariable("SCRIPT_NAME", script_);
    LogIn(user, major);
    SysVar().Init("qvtest");
    host.response.Clear();
    Book book;
    if (books) {
      book.ListBooks("* ");
    } else {
      book.ListTables("* ");
    }
    return Output();
  }

  std::string Value(const std::string& sql) {
    const QueryResult result = Exec(sql);
    return result.rows.empty() ? "<none>" : NullToStr(result.rows[0][0]);
  }
  // Every registry row and page, to compare before and after a refusal.
  std::string Snapshot() {
    std::string text;
    for (const char* sql :
         {"SELECT * FROM qvAuthBook ORDER BY ID", "SELECT * FROM qvbook ORDER BY ID",
          "SELECT * FROM qvglossary ORDER BY ID"}) {
      for (const auto& row : Exec(sql).rows) {
        for (const Variant& v : row) text += NullToStr(v) + "|";
        text += "\n";
      }
    }
    return text;
  }

  static Form With(Form form, const Form& more) {
    form.insert(form.end(), more.begin(), more.end());
    return form;
  }
  static Form BasicForm(const std::string& code) {
    return {{"submitbook", "Save"},   {"dbTitle_e", "New title"}, {"dbBookCode", code},
            {"dbGroup", "60"},        {"dbIndent", "1"},          {"dbPageLevelMin", "1"},
            {"dbPageLevelMax", "3"},  {"dbOrder", "5"},           {"dbFinished_e", "-1"},
            {"dbGlossaryBooks", "4"}, {"dbBookURL", ""},          {"dbDescription_e", "D"},
            {"dbRemark_e", "R"}};
  }

  std::string script_ = "/site/bookadmin.lp";
  std::string edited_, errors_;
};

TEST_F(RegistryTest, ABookCodeWithACommaOrABlankIsRefusedAndNothingIsSaved) {
  const std::string before = Snapshot();
  for (const char* code : {"A,B", "A B", "A\tB"}) {
    AsAdmin("id=2", BasicForm(code));
    EXPECT_EQ(errors_, "ErrorBookCode") << code;
    EXPECT_TRUE(Shows(GetMsg("ErrorBookCode", 1)));
    AsAdmin("id=-1", With(BasicForm(code), {{"dbTableName", "qvbook"}}));
    EXPECT_EQ(errors_, "ErrorBookCode") << code;
  }
  EXPECT_EQ(Snapshot(), before);
  AsAdmin("id=2", BasicForm("GOOD-1"));
  EXPECT_EQ(errors_, "");
  EXPECT_EQ(Value("SELECT dbBookCode || dbTitle_e || dbGroup FROM qvAuthBook WHERE ID=2"),
            "GOOD-1New title60");
  EXPECT_EQ(Value("SELECT count(*) FROM qvAuthLog WHERE dbAction=14"), "1");
}

TEST_F(RegistryTest, DeletingABookRemovesExactlyItsPagesThenItsRow) {
  // A link only asks: the confirmation posts.
  const std::string asked = AsAdmin("id=2&qvAction=delete");
  EXPECT_NE(
      asked.find("<form method=\"POST\" action=\"/site/bookadmin.lp?id=2&amp;qvAction=delete\">"),
      std::string::npos)
      << asked;
  EXPECT_EQ(Value("SELECT count(*) FROM qvbook WHERE dbBookID=2"), "3");

  const std::string done = AsAdmin("id=2&qvAction=delete", {{"qvDeleteBook", "y"}});
  EXPECT_NE(done.find(GetMsg("msgBookDeleted", 1)), std::string::npos);
  EXPECT_EQ(Value("SELECT count(*) FROM qvbook WHERE dbBookID=2"), "0");
  EXPECT_EQ(Value("SELECT count(*) FROM qvAuthBook WHERE ID=2"), "0");
  EXPECT_EQ(Value("SELECT count(*) FROM qvbook WHERE dbBookID=3"), "1");
  EXPECT_EQ(Value("SELECT count(*) FROM qvAuthBook"), "2");
  // The pages go first, then the row.
  const auto& sql = Statements();
  const auto pages = std::find_if(sql.begin(), sql.end(), [](const std::string& s) {
    return s.find("qvbook") != s.npos && s.find("DELETE") != s.npos;
  });
  const auto row = std::find_if(sql.begin(), sql.end(), [](const std::string& s) {
    return s.find("qvAuthBook") != s.npos && s.find("DELETE") != s.npos;
  });
  ASSERT_NE(pages, sql.end());
  ASSERT_NE(row, sql.end());
  EXPECT_LT(pages - sql.begin(), row - sql.begin());
}

TEST_F(RegistryTest, ADeletionThatFailsHalfwayKeepsThePagesToo) {
  // The row refuses to go after the pages went.
  const std::string trigger =
      testing::OnPostgres()
          ? "CREATE FUNCTION keep_book() RETURNS trigger LANGUAGE plpgsql AS "
            "$$BEGIN RAISE EXCEPTION 'kept'; END$$; CREATE TRIGGER keep_book BEFORE DELETE ON "
            "qvAuthBook FOR EACH ROW EXECUTE FUNCTION keep_book()"
          : "CREATE TRIGGER keep_book BEFORE DELETE ON qvAuthBook BEGIN SELECT RAISE(ABORT, "
            "'kept'); END";
  ASSERT_EQ(testing::RunElsewhere("qvtest", trigger), "");
  const std::string before = Snapshot();
  EXPECT_ANY_THROW(AsAdmin("id=2&qvAction=delete", {{"qvDeleteBook", "y"}}));
  EXPECT_EQ(Snapshot(), before);
}

TEST_F(RegistryTest, AUserNeitherAdministratorOwnerNorAuthorGetsNoFormAndSavesNothing) {
  const std::string before = Snapshot();
  const std::string form = Run("student", "60", "id=2");
  EXPECT_EQ(errors_, "ErrorAuthNoRead");
  EXPECT_EQ(form.find("<form"), std::string::npos);
  Run("student", "60", "id=2", BasicForm("X"));
  EXPECT_EQ(errors_, "ErrorAuthNoRead");
  Run("student", "60", "id=2&qvAction=delete", {{"qvDeleteBook", "y"}});
  EXPECT_EQ(errors_, "ErrorAuthNoRead");
  // An id that is no whole number names no book the owner may edit.
  Run("teacher", "80", "id=2 or 1=1", BasicForm("X"));
  EXPECT_EQ(errors_, "ErrorAuthNoRead");
  // A new book is the administrators'.
  Run("teacher", "80", "id=-1", With(BasicForm("X"), {{"dbTableName", "qvbook"}}));
  EXPECT_EQ(errors_, "ErrorAuthNoRead");
  EXPECT_EQ(Snapshot(), before);

  // The owner and a listed author (by a minor group) get the form.
  EXPECT_NE(AsTeacher("id=2").find("name=\"submitbook\""), std::string::npos);
  EXPECT_NE(Run("student", "60", "id=2", {}, "x, authors").find("name=\"submitbook\""),
            std::string::npos);
  EXPECT_EQ(errors_, "");
}

TEST_F(RegistryTest, TheOwnerWritesOnlyTheFieldsOfTheSectionShown) {
  // A posted field list naming the owner and the author lists is not
  // trusted: the format section writes its three formats only.
  AsTeacher("id=2&qvAction=format",
            {{"submitbook", "Save"},
             {"qvFLD_List", "dbFormatRead_e, dbOwnerID, dbAuthorUserID, dbTitle_e"},
             {"dbFormatRead_e", "<b>new</b>"},
             {"dbOwnerID", "student"},
             {"dbAuthorUserID", "student"},
             {"dbTitle_e", "Taken"}});
  EXPECT_EQ(errors_, "");
  EXPECT_EQ(Value("SELECT dbFormatRead_e || '|' || dbOwnerID || '|' || dbTitle_e || '|' || "
                  "COALESCE(dbAuthorUserID, 'null') FROM qvAuthBook WHERE ID=2"),
            "<b>new</b>|teacher|Course|null");
  // The basic section: the owner is shown as text and stays.
  const std::string form = AsTeacher("id=2");
  EXPECT_EQ(form.find("name=\"dbOwnerID\""), std::string::npos);
  EXPECT_NE(form.find("[teacher]"), std::string::npos);
  AsTeacher("id=2", With(BasicForm("C2"), {{"dbOwnerID", "student"}}));
  EXPECT_EQ(Value("SELECT dbBookCode || dbOwnerID FROM qvAuthBook WHERE ID=2"), "C2teacher");
  // An administrator moves the book to another owner.
  EXPECT_NE(AsAdmin("id=2").find("<select name=\"dbOwnerID\""), std::string::npos);
  AsAdmin("id=2", With(BasicForm("C2"), {{"dbOwnerID", "student"}}));
  EXPECT_EQ(Value("SELECT dbOwnerID FROM qvAuthBook WHERE ID=2"), "student");
}

TEST_F(RegistryTest, AChoiceTheFormDoesNotOfferIsRefused) {
  // An author who posts the "admin" right, or a user or group the lists do
  // not hold, saves nothing.
  const std::string before = Snapshot();
  const Form refused[] = {
      {{"dbAuthType", "add, admin"}},
      {{"dbAuthType", "add"}, {"dbAuthorUserID", "teacher, nobody"}},
      {{"dbAuthType", "add"}, {"dbAuthorGroupID", "99, sneaky"}},
  };
  for (const Form& form : refused) {
    Run("student", "60", "id=2&qvAction=author",
        With({{"submitbook", "Save"}, {"dbFormatAuth", "dbtitle"}}, form), "authors");
    EXPECT_EQ(errors_, "ErrorInvalidValue");
  }
  AsTeacher("id=2", With(BasicForm("C"), {{"dbGroup", "50"}}));
  EXPECT_EQ(errors_, "ErrorInvalidValue");
  EXPECT_EQ(Snapshot(), before);
  Run("student", "60", "id=2&qvAction=author",
      {{"submitbook", "Save"}, {"dbAuthType", "add, update"}, {"dbAuthorGroupID", "authors"}},
      "authors");
  EXPECT_EQ(errors_, "ErrorInvalidValue");  // "authors" is no group of the code list
  Exec("INSERT INTO qvCodeDefList (dbType, dbValue, dbName_e) VALUES ('dbGroup', 'authors', 'A')");
  Run("student", "60", "id=2&qvAction=author",
      {{"submitbook", "Save"}, {"dbAuthType", "add, update"}, {"dbAuthorGroupID", "authors"}},
      "authors");
  EXPECT_EQ(errors_, "");
  EXPECT_EQ(Value("SELECT dbAuthType || '|' || dbAuthorGroupID FROM qvAuthBook WHERE ID=2"),
            "add, update|authors");
}

TEST_F(RegistryTest, ANewBookGetsItsRowAndATopPageInTheChosenTable) {
  AsAdmin("id=-1",
          With(BasicForm("NEW"), {{"dbTableName", "QvGlossary"}, {"dbOwnerID", "teacher"}}));
  EXPECT_EQ(errors_, "");
  EXPECT_TRUE(Shows(GetMsg("msgAppended", 1)));
  const std::string id = Value("SELECT ID FROM qvAuthBook WHERE dbBookCode='NEW'");
  EXPECT_EQ(edited_, id);
  EXPECT_EQ(Value("SELECT dbTableName || dbOwnerID || dbTitle_e FROM qvAuthBook WHERE ID=" + id),
            "qvglossaryteacherNew title");
  EXPECT_EQ(Value("SELECT dbPID || '|' || dbOrder || '|' || dbGroup || '|' || dbOwnerID || '|' || "
                  "dbTitle_e || '|' || dbPageLevel FROM qvglossary WHERE dbBookID=" +
                  id),
            "-" + id + "|1|60|teacher|New title|1");
  EXPECT_EQ(Value("SELECT count(*) FROM qvglossary WHERE dbBookID=" + id), "1");
  // The form now shows the new book, with its section menu.
  EXPECT_TRUE(Shows("<form method=\"POST\" action=\"/site/bookadmin.lp?id=" + id + "\">"));
  EXPECT_TRUE(Shows("qvConfirmDeleteBook"));
}

TEST_F(RegistryTest, ATableThatIsNoBookTableIsRefusedWithNothingWritten) {
  const std::string before = Snapshot();
  const std::string users = Value("SELECT count(*) FROM qvAuthUser");
  for (const char* table :
       {"qvAuthUser", "qvbook; DROP TABLE qvbook", "qvbook'--", "", "nosuchtable"}) {
    AsAdmin("id=-1", With(BasicForm("NEW"), {{"dbTableName", table}}));
    EXPECT_EQ(errors_, "ErrorBookTable") << table;
  }
  EXPECT_EQ(Snapshot(), before);
  EXPECT_EQ(Value("SELECT count(*) FROM qvAuthUser"), users);
  EXPECT_EQ(Value("SELECT count(*) FROM qvAuthLog"), "0");
}

TEST_F(RegistryTest, ListBooksEncodesWhatItEchoesAndNamesAnUntitledBook) {
  Exec("UPDATE qvAuthBook SET dbTitle_e=Null, dbFinished_e=false, dbOwnerID='<o>' WHERE ID=3");
  EXPECT_EQ(Lists("admin", "99", "tablename=qvbook", true),
            "* <a href=\"/site/bookadmin.lp?id=2\">B2</a> [<b>Course</b>] by teacher [0]<br>"
            "* <a href=\"/site/bookadmin.lp?id=3\">B3</a><img src=\"mark_unfinished1.gif\" alt=\"" +
                GetMsg("msgPageNotFinished", 1) + "\"> [<b>[Unkown]</b>] by &lt;o&gt; [0]<br>");
  // Others see the books they own.
  EXPECT_EQ(Lists("teacher", "80", "tablename=qvbook", true),
            "* <a href=\"/site/bookadmin.lp?id=2\">B2</a> [<b>Course</b>] by teacher [0]<br>");
  EXPECT_EQ(Lists("teacher", "80", "tablename=qvbook' or '1'='1", true), "");
  EXPECT_EQ(Lists("", "", "tablename=qvbook", true), "");
}

TEST_F(RegistryTest, ListTablesShowsAdministratorsAllAndOthersTheirOwn) {
  Exec("UPDATE qvAuthBook SET dbTableName='a&b' WHERE ID=4");
  EXPECT_EQ(Lists("admin", "99", "", false),
            "* <a href=\"/site/bookadmin.lp?tablename=a%26b\">a&amp;b</a><br>"
            "* <a href=\"/site/bookadmin.lp?tablename=qvbook\">qvbook</a><br>");
  EXPECT_EQ(Lists("teacher", "80", "", false),
            "* <a href=\"/site/bookadmin.lp?tablename=qvbook\">qvbook</a><br>");
  EXPECT_EQ(Lists("", "", "", false), "");
}

TEST_F(RegistryTest, TheSectionMenuAndTheDeleteScriptEscapeTheirAddresses) {
  script_ = "/site/book\"admin</script>.lp";
  const std::string form = AsAdmin("id=2&qvAction=reader");
  EXPECT_NE(form.find("qvPostDeleteBook(\"/site/book\\\"admin\\x3c/script\\x3e.lp?id=2\\x26"
                      "qvAction=delete\")"),
            std::string::npos)
      << form;
  EXPECT_EQ(form.find("</script>.lp"), std::string::npos);
  EXPECT_NE(form.find("name=\"dbReaderGroupID\""), std::string::npos);
  EXPECT_EQ(form.find("name=\"dbTitle_e\""), std::string::npos);
  EXPECT_NE(form.find("&amp;qvAction=format\">" + GetMsg("menuBookFormat", 1)), std::string::npos);
  EXPECT_EQ(form.find("&amp;qvAction=reader\">" + GetMsg("menuBookReader", 1)), std::string::npos);
  EXPECT_EQ(CurrentBook().strHelpCode, "bookadmin");
}

TEST_F(RegistryTest, ScriptsReachTheRegistryMembers) {
  LogIn("admin", "99");
  host.request.SetQueryString("tablename=qvbook&id=3");
  const std::string out = RunScript(
      "local b = qvTome.Book()\n"
      "b:ListTables()\n"
      "b:ListBooks('- ')\n"
      "b:EditBook()\n"
      "Response.Write('[' .. b.EditBookID .. ']')\n");
  EXPECT_NE(out.find("?tablename=qvglossary"), std::string::npos);
  EXPECT_NE(out.find("- <a href="), std::string::npos);
  EXPECT_NE(out.find("name=\"submitbook\""), std::string::npos);
  EXPECT_NE(out.find("[3]"), std::string::npos);
}

}  // namespace
}  // namespace qv::testing

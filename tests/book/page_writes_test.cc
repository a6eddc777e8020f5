// Page writes: save, add and reply, cut and paste, renumbering, delete.
// Each request runs as the default site runs it: Init, OpenPage, OpenBook,
// UpdatePage, ShowPage.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "book/book.h"
#include "book/book_state.h"
#include "book/course_tree.h"
#include "core/encode.h"
#include "data/aspproc.h"
#include "data/settings.h"
#include "session/identity.h"
#include "session/messages.h"

namespace qv::testing {
namespace {

using Form = std::vector<std::pair<std::string, std::string>>;

class PageWritesTest : public CourseTreeTest {
 protected:
  struct Result {
    std::string redirect;  // "" when the request was not redirected
    std::string output;
    std::string errors;
  };

  // One request of user to the page script with the query and, when given,
  // the posted form.
  Result Run(const std::string& user, const std::string& query, const Form& form = {},
             const std::string& minor = "") {
    host.request = MemoryRequest();
    host.request.SetQueryString(query);
    host.request.SetServerVariable("SCRIPT_NAME", "/site/book.lp");
    for (const auto& [name, value] : form) host.request.AddForm(name, value);
    host.response.Clear();
    LogIn(user, "", minor);
    SysVar().Init("qvtest");
    host.response.Clear();
    page = std::make_unique<Book>();
    Result result;
    try {
      page->OpenPage(table_);
      page->OpenBook();
      page->UpdatePage();
      page->ShowPage();
    } catch (const ResponseEnded&) {
      result.redirect = host.response.RedirectUrl();
    }
    result.output = Output();
    result.errors = page->GetErrorMsg();
    return result;
  }
  Result AsTeacher(const std::string& query, const Form& form = {}) {
    return Run("teacher", query, form);
  }
  Result AsReader(const std::string& query, const Form& form = {}) {
    return Run("student", query, form, "readers");
  }

  // Every row of a table, every field, in id order.
  std::string Dump(const std::string& table = "qvbook") {
    QueryResult rows = Exec("SELECT * FROM " + table + " ORDER BY ID");
    std::string out;
    for (const auto& row : rows.rows) {
      for (const Variant& v : row) out += (v.IsNull() ? "<null>" : ToStr(v)) + "|";
      out += "\n";
    }
    return out;
  }
  std::string Field(const std::string& sql) {
    QueryResult rows = Exec(sql);
    return rows.rows.empty() ? "<none>" : NullToStr(rows.rows[0][0]);
  }
  // "id:order" of the children of parent, in their order.
  std::string Children(int parent) {
    QueryResult rows = Exec("SELECT ID, dbOrder FROM qvbook WHERE dbPID=" + std::to_string(parent) +
                            " ORDER BY dbOrder, ID");
    std::string out;
    for (const auto& row : rows.rows) {
      out += (out.empty() ? "" : " ") + ToStr(row[0]) + ":" + ToStr(row[1]);
    }
    return out;
  }
  std::string LoggedActions() {
    QueryResult rows = Exec("SELECT dbAction, dbRecordID FROM qvAuthLog ORDER BY ID");
    std::string out;
    for (const auto& row : rows.rows) {
      out += (out.empty() ? "" : " ") + ToStr(row[0]) + "@" + ToStr(row[1]);
    }
    return out;
  }
  // The page and id of a redirect to the new page's renumbering.
  static std::string NewIdOf(const std::string& redirect) {
    const std::string head = "/site/book.lp?id=";
    const std::string tail = "&qvAction=rearrange";
    if (redirect.rfind(head, 0) != 0 || redirect.find(tail) == std::string::npos) return "";
    return redirect.substr(head.size(), redirect.find(tail) - head.size());
  }
  // A discussion 40 with a reply 41 and a reply to that, 42, at level 3
  // (PageLevelMin + ReplyLevel: no replies below it).
  void Discussion() {
    Add(40, -1, 1, 4, "Topic", 2, 1);
    Add(41, 40, 2, 1, "Answer", 3, 1, "student");
    Add(42, 41, 3, 1, "Deeper", 3, 0, "student");
    Exec("UPDATE qvbook SET dbContent_e='Topic text' WHERE ID=40");
  }

  std::unique_ptr<Book> page;
  std::string table_ = "qvbook";
};

// Refusals --------------------------------------------------------------------

TEST_F(PageWritesTest, EveryRefusalReportsItsKeyAndLeavesTheTablesUnchanged) {
  Discussion();
  Exec("UPDATE qvAuthBook SET dbEditorUserID='ed', dbEditType='append' WHERE ID=1");
  AddBook({.id = 2, .table = "qvother", .owner = "teacher"});
  const Form title = {{"Submit", "Save"}, {"qvFLD_List", "dbTitle_e"}, {"dbTitle_e", "X"}};
  auto with = [&](Form form, std::initializer_list<std::pair<std::string, std::string>> more) {
    form.insert(form.end(), more);
    return form;
  };
  struct Case {
    std::string user, minor, query;
    Form form;
    std::string error;
  };
  const std::vector<Case> cases = {
      {"student", "readers", "id=11", with(title, {{"qvAction", "edit"}}), "ErrorAuthNoUpdate"},
      {"", "", "id=11", with(title, {{"qvAction", "edit"}}), "ErrorAuthNoUpdate"},
      {"student", "readers", "id=11", with(title, {{"qvAction", "add"}, {"add", "bottom"}}),
       "ErrorAuthNoAdd"},
      // An editor with "append" may add at the bottom only.
      {"ed", "", "id=11", with(title, {{"qvAction", "add"}, {"add", "before"}}), "ErrorAuthNoAdd"},
      // Level 3 is PageLevelMax.
      {"teacher", "", "id=16", with(title, {{"qvAction", "add"}, {"add", "below"}}),
       "ErrorAuthNoAdd"},
      // Replies only where the discussion commands are offered.
      {"student", "readers", "id=11",
       with(title, {{"qvAction", "add"}, {"add", "bottom"}, {"reply", "y"}}), "ErrorAuthNoAdd"},
      {"", "", "id=40", with(title, {{"qvAction", "add"}, {"add", "bottom"}, {"reply", "y"}}),
       "ErrorAuthNoAdd"},  // replies need a login
      {"student", "readers", "id=42",
       with(title, {{"qvAction", "add"}, {"add", "below"}, {"reply", "y"}}), "ErrorAuthNoAdd"},
      {"teacher", "", "id=11", with(title, {{"qvAction", "add"}, {"add", "aside"}}),
       "ErrorInvalidValue"},
      {"teacher",
       "",
       "id=11",
       {{"qvAction", "edit"},
        {"submit", "1"},
        {"qvFLD_List", "dbURLLink"},
        {"dbURLLink", "u"},
        {"dbExpiredDate", "soon"}},
       "ErrorInvalidValue"},
      {"teacher",
       "",
       "id=11",
       {{"qvAction", "edit"},
        {"submit", "1"},
        {"qvFLD_List", "dbURLLink"},
        {"dbURLLink", "u"},
        {"dbExpiredDate", "1.5"}},
       "ErrorInvalidValue"},
      // Values their columns cannot take, in fields the forms show.
      {"teacher",
       "",
       "id=11",
       {{"qvAction", "edit"},
        {"submit", "1"},
        {"qvFLD_List", "dbFinished_e"},
        {"dbFinished_e", "1 OR 1=1"}},
       "ErrorInvalidValue"},
      {"teacher", "", "id=11",
       with(title, {{"qvAction", "add"},
                    {"add", "bottom"},
                    {"qvFLD_List", "dbFinished_e"},
                    {"dbFinished_e", "'"}}),
       "ErrorInvalidValue"},
      // A book of another table, or none.
      {"teacher",
       "",
       "id=11",
       {{"qvAction", "edit"}, {"submit", "1"}, {"qvFLD_List", "dbBookID"}, {"dbBookID", "2"}},
       "ErrorInvalidValue"},
      {"teacher",
       "",
       "id=11",
       {{"qvAction", "edit"}, {"submit", "1"}, {"qvFLD_List", "dbBookID"}, {"dbBookID", "1 or 1"}},
       "ErrorInvalidValue"},
      {"student", "readers", "id=11&qvAction=cut&cut=current", {}, "ErrorAuthNoCut"},
      {"student", "readers", "id=14&qvAction=paste&paste=before", {}, "ErrorAuthNoPaste"},
      {"student", "readers", "id=14&qvAction=delete", {}, "ErrorAuthNoDelete"},
      {"ed", "", "id=14&qvAction=delete", {}, "ErrorAuthNoDelete"},
      {"teacher", "", "id=13&qvAction=delete", {}, "ErrorCanNotDelete"},
  };
  const std::string pages = Dump();
  const std::string logged = LoggedActions();
  for (const Case& c : cases) {
    const Result result = Run(c.user, c.query, c.form, c.minor);
    EXPECT_EQ(result.errors, c.error) << c.query << " " << c.user;
    EXPECT_NE(result.output.find(GetMsg(c.error, 1)), std::string::npos) << c.query;
    EXPECT_EQ(result.redirect, "") << c.query;
    EXPECT_EQ(Dump(), pages) << c.query << " " << c.user;
  }
  // A child row counts even when the section's mark says none.
  Exec("UPDATE qvbook SET dbCID=0 WHERE ID=13");
  const std::string unmarked = Dump();
  EXPECT_EQ(AsTeacher("id=13&qvAction=delete").errors, "ErrorCanNotDelete");
  EXPECT_EQ(Dump(), unmarked);
  EXPECT_EQ(LoggedActions(), logged);
}

// Delete ------------------------------------------------------------------------

TEST_F(PageWritesTest, TheOnlyTopPageOfABookIsKept) {
  AddBook({.id = 2, .owner = "teacher"});
  AddPage({.id = 50, .pid = -2, .book = 2, .title = "Alone"});
  const std::string pages = Dump();
  const Result result = AsTeacher("id=50&qvAction=delete");
  EXPECT_EQ(result.output.find("<br>" + GetMsg("msgRootPageCannotCutDelete", 1) + "<br>"), 0u);
  EXPECT_EQ(Dump(), pages);
  // One of several top pages goes.
  AddPage({.id = 51, .pid = -2, .book = 2, .order = 2, .title = "Second"});
  AsTeacher("id=50&qvAction=delete");
  EXPECT_EQ(Field("SELECT count(*) FROM qvbook WHERE ID=50"), "0");
}

TEST_F(PageWritesTest, DeletingTheLastChildClearsTheParentMarkSoTheParentMayGoNext) {
  const Result result = AsTeacher("id=16&qvAction=delete");
  EXPECT_EQ(result.output,
            "<a href=\"/site/book.lp?id=13\"><br>" + GetMsg("msgPageDeleted", 1) + "<br></a>");
  EXPECT_EQ(result.errors, "msgPageDeleted");
  EXPECT_EQ(Field("SELECT count(*) FROM qvbook WHERE ID=16"), "0");
  EXPECT_EQ(Field("SELECT dbCID FROM qvbook WHERE ID=13"), "0");
  EXPECT_EQ(LoggedActions(), "12@16");
  AsTeacher("id=13&qvAction=delete");
  EXPECT_EQ(Field("SELECT count(*) FROM qvbook WHERE ID=13"), "0");
  // A page with siblings leaves its parent's mark alone.
  EXPECT_EQ(Field("SELECT dbCID FROM qvbook WHERE ID=10"), "5");
  // The author right of the discussion commands deletes too.
  Exec("UPDATE qvAuthBook SET dbAuthType='author' WHERE ID=1");
  Exec("UPDATE qvAuthBook SET dbOwnerID='other', dbAuthorUserID='teacher' WHERE ID=1");
  AsTeacher("id=14&qvAction=delete");
  EXPECT_EQ(Field("SELECT count(*) FROM qvbook WHERE ID=14"), "0");
}

TEST_F(PageWritesTest, TreeChangesRollBackWhenAStepFails) {
  AsTeacher("id=21&qvAction=cut&cut=current");
  // The log is the last step of a delete and of a paste.
  Exec("ALTER TABLE qvAuthLog RENAME TO qvAuthLogGone");
  const std::string pages = Dump();
  EXPECT_THROW(AsTeacher("id=16&qvAction=delete"), DatabaseError);
  EXPECT_EQ(Dump(), pages);
  EXPECT_THROW(AsTeacher("id=14&qvAction=paste&paste=before"), DatabaseError);
  EXPECT_EQ(Dump(), pages);
  EXPECT_EQ(Tables().transaction, nullptr);
}

// Cut and paste -------------------------------------------------------------------

TEST_F(PageWritesTest, PasteBeforeAndAtTheBottomRenumbersTheLevel) {
  AsTeacher("id=21&qvAction=cut&cut=current");
  EXPECT_EQ(NullToStr(host.session.Value(SessionKey("Cut_PasteTitle"))), "Gamma");
  const Result pasted = AsTeacher("id=14&qvAction=paste&paste=before");
  EXPECT_EQ(pasted.errors, "");
  EXPECT_EQ(pasted.output.find("<br>" + GetMsg("msgPagePasted", 1) + "<br>"), 0u);
  EXPECT_EQ(Children(10), "11:1 12:3 13:5 21:7 14:9 15:11");
  EXPECT_EQ(Field("SELECT dbCID FROM qvbook WHERE ID=20"), "0");  // its only child left
  EXPECT_EQ(NullToStr(host.session.Value(SessionKey("Cut_PasteID"))), "");
  EXPECT_EQ(page->thePage()->Value("dbOrder"), Variant(9));  // the page as renumbered

  AsTeacher("id=11&qvAction=cut&cut=current");
  AsTeacher("id=15&qvAction=paste&paste=bottom");
  EXPECT_EQ(Children(10), "12:1 13:3 21:5 14:7 15:9 11:11");
  EXPECT_EQ(LoggedActions(), "10@21 11@14 10@11 11@15");
}

TEST_F(PageWritesTest, PasteOnlyWithinItsLevelAndBookAndOnlyToAPlace) {
  AsTeacher("id=16&qvAction=cut&cut=current");  // level 3
  const std::string pages = Dump();
  EXPECT_EQ(AsTeacher("id=14&qvAction=paste&paste=before").errors, "ErrorAuthNoPaste");
  EXPECT_EQ(Dump(), pages);
  // A clipboard of another level than its row's.
  host.session.SetValue(SessionKey("Cut_PastePLevel"), 2);
  EXPECT_EQ(AsTeacher("id=14&qvAction=paste&paste=before").errors, "ErrorAuthNoPaste");
  EXPECT_EQ(Dump(), pages);
  AsTeacher("id=21&qvAction=cut&cut=current");
  const Result sideways = AsTeacher("id=14&qvAction=paste&paste=sideways");
  EXPECT_EQ(sideways.errors, "");
  EXPECT_EQ(sideways.output.find(GetMsg("msgPagePasted", 1)), std::string::npos);
  EXPECT_EQ(Dump(), pages);
  // Cancel empties the clipboard, also on the page that was cut.
  AsTeacher("id=21&qvAction=paste&paste=cancel");
  EXPECT_EQ(NullToStr(host.session.Value(SessionKey("Cut_PasteTable"))), "");
  EXPECT_EQ(AsTeacher("id=14&qvAction=paste&paste=before").errors, "ErrorAuthNoPaste");
  EXPECT_EQ(Dump(), pages);
}

// Adding --------------------------------------------------------------------------

TEST_F(PageWritesTest, WithPageLevelMin3ANewTopSectionGetsABlankSectionAndPage) {
  Exec("UPDATE qvAuthBook SET dbPageLevelMin=3, dbPageLevelMax=4, dbGroup=7 WHERE ID=1");
  const Result added = AsTeacher("id=20", {{"qvAction", "add"},
                                           {"add", "bottom"},
                                           {"Submit", "Save"},
                                           {"qvFLD_List", "dbTitle_e"},
                                           {"qvFLD_List", "dbContent_e"},
                                           {"dbTitle_e", "Part three"},
                                           {"dbContent_e", "<p>Hi</p>"}});
  const std::string id = NewIdOf(added.redirect);
  ASSERT_NE(id, "") << added.redirect << added.output;
  EXPECT_EQ(Field("SELECT dbPID || '|' || dbOrder || '|' || dbPageLevel || '|' || dbCID || '|' || "
                  "dbGroup || '|' || dbOwnerID || '|' || dbTitle_e FROM qvbook WHERE ID=" +
                  id),
            "-1|9999|1|1|7|teacher|Part three");
  const std::string section = Field("SELECT ID FROM qvbook WHERE dbPID=" + id);
  EXPECT_EQ(
      Field("SELECT dbPageLevel || '|' || dbCID || '|' || dbTitle_e || '|' || dbTitle_n "
            "FROM qvbook WHERE ID=" +
            section),
      "2|1|" + GetMsg("msgBlankSectionTitle_e", 0) + "|" + GetMsg("msgBlankSectionTitle_n", 0));
  EXPECT_EQ(Field("SELECT dbPageLevel || '|' || dbCID || '|' || dbTitle_e FROM qvbook WHERE "
                  "dbPID=" +
                  section),
            "3|0|" + GetMsg("msgBlankPageTitle_e", 0));
  EXPECT_EQ(LoggedActions(), "7@" + id);
  // The redirect renumbers the new page's level.
  AsTeacher("id=" + id + "&qvAction=rearrange");
  EXPECT_EQ(Children(-1), "10:1 20:3 30:5 " + id + ":7");
}

TEST_F(PageWritesTest, AddingBelowMarksTheParentAndBeforeTakesTheOrderInFront) {
  const Form page = {{"Submit", "Save"}, {"qvFLD_List", "dbTitle_e"}, {"dbTitle_e", "New"}};
  auto add = [&](const std::string& id, const std::string& where) {
    Form form = page;
    form.insert(form.end(), {{"qvAction", "add"}, {"add", where}});
    return NewIdOf(AsTeacher("id=" + id, form).redirect);
  };
  const std::string below = add("11", "below");
  EXPECT_EQ(Field("SELECT dbPID || '|' || dbOrder || '|' || dbPageLevel || '|' || dbCID FROM "
                  "qvbook WHERE ID=" +
                  below),
            "11|1000|3|0");
  EXPECT_EQ(Field("SELECT dbCID FROM qvbook WHERE ID=11"), "1");
  const std::string before = add("14", "before");
  EXPECT_EQ(Field("SELECT dbOrder FROM qvbook WHERE ID=" + before), "3");
  AsTeacher("id=" + before + "&qvAction=rearrange");
  EXPECT_EQ(Children(10), "11:1 12:3 13:5 " + before + ":7 14:9 15:11");
}

TEST_F(PageWritesTest, AReplyTakesItsPlaceAndOwnerFromTheServerWhateverIsPosted) {
  Discussion();
  AddBook({.id = 2, .owner = "boss"});
  const Result replied = AsReader(
      "id=40", {{"qvAction", "add"},
                {"add", "below"},
                {"reply", "y"},
                {"Submit", "Save"},
                {"qvFLD_List", "dbTitle_e, dbContent_e, dbOwnerID"},
                {"qvFLD_List", "dbBookID, dbPID, dbOrder, dbPageLevel, dbType, dbGroup, dbCID"},
                {"dbTitle_e", "RE: Topic"},
                {"dbContent_e", "Me too"},
                {"dbOwnerID", "teacher"},
                {"dbBookID", "2"},
                {"dbPID", "11"},
                {"dbOrder", "1"},
                {"dbPageLevel", "7"},
                {"dbType", "0"},
                {"dbGroup", "99"},
                {"dbCID", "1"}});
  const std::string id = NewIdOf(replied.redirect);
  ASSERT_NE(id, "") << replied.errors << replied.output;
  EXPECT_EQ(Field("SELECT dbPID || '|' || dbBookID || '|' || dbOwnerID || '|' || dbType || '|' || "
                  "dbPageLevel || '|' || dbOrder || '|' || dbGroup || '|' || dbCID || '|' || "
                  "dbTitle_e || '|' || dbContent_e FROM qvbook WHERE ID=" +
                  id),
            "40|1|student|3|2|1000|0|0|RE: Topic|Me too");
  // A reply at the bottom of a reply joins its level with its type.
  const Result joined = AsReader("id=41", {{"qvAction", "add"},
                                           {"add", "bottom"},
                                           {"reply", "y"},
                                           {"Submit", "Save"},
                                           {"qvFLD_List", "dbTitle_e,dbOwnerID"},
                                           {"dbTitle_e", "Joined"},
                                           {"dbOwnerID", "teacher"}});
  const std::string second = NewIdOf(joined.redirect);
  EXPECT_EQ(Field("SELECT dbPID || '|' || dbOwnerID || '|' || dbType || '|' || dbOrder FROM "
                  "qvbook WHERE ID=" +
                  second),
            "40|student|3|9999");
  // The reader may renumber his own reply's level.
  AsReader("id=" + second + "&qvAction=rearrange");
  EXPECT_EQ(Children(40), "41:1 " + id + ":3 " + second + ":5");
}

TEST_F(PageWritesTest, TheAddAndReplyFormsAreShownWithoutWriting) {
  Discussion();
  const std::string pages = Dump();
  const Result form = AsReader("id=40&qvAction=add&add=below&reply=y");
  EXPECT_EQ(page->HelpCode(), "addpage");
  EXPECT_EQ(form.output.find("Topic text"), 0u);  // the page answered, above the form
  EXPECT_FALSE(CurrentBook().blnShowContents);
  EXPECT_EQ(CurrentBook().CurrentPageTitle, "Topic");
  EXPECT_TRUE(page->thePage()->IsOpen());  // loaded again after the form
  AsTeacher("id=11&qvAction=edit");
  EXPECT_EQ(page->HelpCode(), "editpage");
  EXPECT_FALSE(CurrentBook().blnShowContents);
  EXPECT_EQ(Dump(), pages);
}

// Saving --------------------------------------------------------------------------

TEST_F(PageWritesTest, AnOwnerSavesHisPageWithoutUpdateButOnlyTheFieldsOfHisForms) {
  Exec("UPDATE qvAuthBook SET dbEditorUserID='ed', dbEditType='add' WHERE ID=1");
  Exec("UPDATE qvbook SET dbType=1, dbOwnerID='ed' WHERE ID=11");
  const Result saved = Run("ed", "id=11",
                           {{"qvAction", "edit"},
                            {"submit", "Save"},
                            {"qvFLD_List", "dbTitle_e,dbContent_e,dbOwnerID,dbPID"},
                            {"dbTitle_e", "Mine"},
                            {"dbContent_e", "<p>Text</p>"},
                            {"dbOwnerID", "ed2"},
                            {"dbPID", "20"}});
  EXPECT_EQ(saved.errors, "");
  EXPECT_EQ(Field("SELECT dbTitle_e || '|' || dbContent_e || '|' || dbOwnerID || '|' || dbPID || "
                  "'|' || dbUserID FROM qvbook WHERE ID=11"),
            "Mine|<p>Text</p>|ed|10|ed");
  EXPECT_EQ(LoggedActions(), "8@11");
  // The page as saved follows.
  EXPECT_EQ(saved.output, "<p>Text</p>");
  // Another editor without "update" may not.
  Exec("UPDATE qvAuthBook SET dbEditorUserID='ed, ed3' WHERE ID=1");
  EXPECT_EQ(Run("ed3", "id=11", {{"qvAction", "edit"}, {"submit", "1"}}).errors,
            "ErrorAuthNoUpdate");
}

TEST_F(PageWritesTest, ExpiryDaysAndABookOfThisTableAreWritten) {
  AddBook({.id = 3, .owner = "teacher"});
  const Form expiry = {{"qvAction", "edit"},
                       {"submit", "1"},
                       {"qvFLD_List", "dbBookID"},
                       {"dbBookID", "3"},
                       {"dbExpiredDate", "7"}};
  EXPECT_EQ(AsTeacher("id=11", expiry).errors, "");
  EXPECT_EQ(Field("SELECT dbBookID FROM qvbook WHERE ID=11"), "3");
  const double days =
      ToDate(Exec("SELECT dbExpiredDate FROM qvbook WHERE ID=11").rows.at(0).at(0)).serial -
      Now().serial;
  EXPECT_GT(days, 6.9);
  EXPECT_LT(days, 7.1);
  AsTeacher("id=11", {{"qvAction", "edit"}, {"submit", "1"}, {"dbExpiredDate", "0"}});
  EXPECT_EQ(Field("SELECT dbExpiredDate FROM qvbook WHERE ID=11"), "");
}

TEST_F(PageWritesTest, AStampConflictKeepsThePostedTextInTheFormAndWritesNothing) {
  // The form was shown with stamp "teacher,1"; someone saved since.
  host.session.SetValue(StampKey("qvbook", "11"), "teacher,1");
  Exec("UPDATE qvbook SET Stamp='other,2' WHERE ID=11");
  const std::string pages = Dump();
  const Result result = AsTeacher("id=11", {{"qvAction", "edit"},
                                            {"submit", "Save"},
                                            {"qvFLD_List", "dbTitle_e,dbContent_e"},
                                            {"dbTitle_e", "Typed title"},
                                            {"dbContent_e", "A long text I typed"}});
  EXPECT_EQ(Dump(), pages);
  EXPECT_EQ(result.errors.find("ErrorHasBeenChanged"), 0u);
  EXPECT_TRUE(CurrentBook().blnShowFormAgain);
  EXPECT_EQ(page->thePage()->Value("dbContent_e"), Variant("A long text I typed"));
  EXPECT_EQ(page->thePage()->Value("dbTitle_e"), Variant("Typed title"));
  EXPECT_EQ(page->thePage()->Value("Stamp"), Variant("other,2"));  // the next save passes
  EXPECT_EQ(page->HelpCode(), "editpage");                         // the form, not the page
  EXPECT_NE(result.output.find(">A long text I typed</textarea>"), std::string::npos)
      << result.output;
  EXPECT_EQ(LoggedActions(), "");
  // The form shown again carries the stamp of the change: its save passes.
  AsTeacher("id=11", {{"qvAction", "edit"},
                      {"submit", "Save"},
                      {"qvFLD_List", "dbContent_e"},
                      {"dbContent_e", "A long text I typed"}});
  EXPECT_EQ(Field("SELECT dbContent_e FROM qvbook WHERE ID=11"), "A long text I typed");
}

// The library's duplicate dialogue ---------------------------------------------------

class LibraryWritesTest : public PageWritesTest {
 protected:
  LibraryWritesTest() {
    table_ = "qvlibrary";
    AddBook({.id = 3, .table = "qvlibrary", .owner = "teacher"});
    AddPage({.id = 60, .pid = -3, .book = 3, .title = "Catalogue"}, "qvlibrary");
    Exec("UPDATE qvlibrary SET dbCID=1 WHERE ID=60");
  }
  void Record(int id, const std::string& title) {
    AddPage({.id = id, .pid = 60, .book = 3, .level = 2, .order = id, .title = title}, "qvlibrary");
  }
  Result Propose(const std::string& title) {
    return AsTeacher("id=60", {{"qvAction", "add"},
                               {"add", "below"},
                               {"confirmed", "n"},
                               {"Submit", "Save"},
                               {"qvFLD_List", "dbTitle_e"},
                               {"dbTitle_e", title}});
  }
};

TEST_F(LibraryWritesTest, ASimilarTitleGivesTheDialogueWithAnEncodedEchoAndAConfirmLink) {
  Record(61, "Stars & <b>planets</b> of the northern sky");
  Exec("UPDATE qvlibrary SET dbAuthor_e='Ann', dbYear=2020, dbSource_e='Press' WHERE ID=61");
  const std::string title = "Stars & <b>planets</b> of the southern sky";
  const std::string pages = Dump("qvlibrary");
  const Result result = Propose(title);
  EXPECT_EQ(Dump("qvlibrary"), pages);
  EXPECT_EQ(result.redirect, "");
  const std::string link =
      "/site/book.lp?id=60&qvAction=add&add=below&qvNewTitle=" + UrlEncode(title);
  EXPECT_NE(result.output.find("<p>" + GetMsg("msgDuplicateTitleFound", 1) + "<p><p>" +
                               GetMsg("msgAddDuplicateTitle", 1) + "<br><a href=\"" + link + "\">" +
                               HtmlEncode(title) + "</a> </p>" +
                               GetMsg("msgListOfDuplicatePages", 1) + "<br><p>Ann (2020): " +
                               "<a href=\"/site/book.lp?id=61\">Stars & <b>planets</b> of the " +
                               "northern sky</a> Press</p>"),
            std::string::npos)
      << result.output;
  EXPECT_EQ(result.output.find(title), std::string::npos);  // never raw

  // The link opens the add form with the title confirmed, writing nothing.
  AsTeacher(link.substr(link.find('?') + 1));
  EXPECT_EQ(CurrentBook().strNewTitle, title);
  EXPECT_EQ(page->HelpCode(), "addpage");
  EXPECT_EQ(Dump("qvlibrary"), pages);
  // Its form posts without "confirmed": the record is added.
  const Result added = AsTeacher("id=60", {{"qvAction", "add"},
                                           {"add", "below"},
                                           {"Submit", "Save"},
                                           {"qvFLD_List", "dbTitle_e"},
                                           {"dbTitle_e", title}});
  EXPECT_EQ(Field("SELECT dbTitle_e FROM qvlibrary WHERE ID=" + NewIdOf(added.redirect)), title);
}

TEST_F(LibraryWritesTest, LikeMetacharactersInATitleMatchOnlyThemselves) {
  Record(61, "50x off");
  Record(62, "a-b");
  Record(63, "back\\slash");
  for (const char* fresh : {"50% off", "a_b", "bac%"}) {
    EXPECT_NE(NewIdOf(Propose(fresh).redirect), "") << fresh;  // no dialogue: saved
  }
  for (const char* similar : {"50% off", "a_b", "back\\slash"}) {
    const Result result = Propose(similar);
    EXPECT_EQ(result.redirect, "") << similar;
    EXPECT_NE(result.output.find(GetMsg("msgDuplicateTitleFound", 1)), std::string::npos)
        << similar;
  }
  // An empty title is asked for again.
  EXPECT_EQ(Propose(" ").errors, "ErrorEmptyTitle");
}

}  // namespace
}  // namespace qv::testing

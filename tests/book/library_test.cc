// The library book: catalogue record, holdings and the holdings form.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "book/book.h"
#include "book_fixture.h"
#include "data/settings.h"
#include "session/messages.h"

namespace qv::testing {
namespace {

class LibraryTest : public BookTest {
 protected:
  LibraryTest() {
    AddBook({.id = 9, .table = "qvlibrary"});
    AddPage({.id = 90, .pid = -9, .book = 9, .children = 1}, "qvlibrary");
    AddPage({.id = 91, .pid = 90, .book = 9, .level = 2, .type = 77}, "qvlibrary");
    Exec(
        "UPDATE qvlibrary SET dbAuthor_e='Hecht', dbTitle_e='Optics', dbYear=2002, "
        "dbRemark_e=Null, "
        "dbContent_e='See qvTmGoto=90' WHERE ID=91");
    Insert("qvCodeDefList", {{"dbType", "dbBibType"}, {"dbValue", "76"}, {"dbName_e", "Paper"}});
    Insert("qvCodeDefList", {{"dbType", "dbBibType"}, {"dbValue", "77"}, {"dbName_e", "Book"}});
    Insert("qvAuthUser",
           {{"dbUserID", "own1"}, {"dbFullName_e", "Olga"}, {"dbMinorGroups", "lib_owner"}});
    Insert("qvAuthUser", {{"dbUserID", "stu"}, {"dbFullName_e", "Sam"}});
    SetMsg("URLLibOwnerInfor_e", "owner.lp", true);
    SetMsg("msgLibMaintain_e", "MAINTAIN", true);
  }

  void AddHolding(const std::string& owner, const Variant& call_no, const std::string& borrower,
                  const std::string& notes = "") {
    Insert("qvlibrary_", {{"dbBID", 91},
                          {"dbOwnerID", owner},
                          {"dbCallNo", call_no},
                          {"dbBorrowerID", borrower},
                          {"dbBorrowDate", "2024-02-03"},
                          {"dbNotes", notes}});
  }

  // Shows page id (the query string "id=" id, then extra_query), first
  // posting the holdings form fields when given.
  std::string Show(int id, const std::vector<std::pair<std::string, std::string>>& form = {},
                   const std::string& extra_query = "") {
    Messages().strErrorMsg.clear();
    Query("id=" + std::to_string(id) + extra_query);
    if (!form.empty()) host.request.AddForm("BibOwner", "Save");
    for (const auto& [name, value] : form) host.request.AddForm(name, value);
    Book book;
    book.OpenPage("qvlibrary");
    book.OpenBook();
    host.response.Clear();
    book.ShowPage();
    return Output();
  }

  size_t Holdings(const std::string& where = "") {
    return Exec("SELECT ID FROM qvlibrary_ WHERE dbBID=91 " + where).rows.size();
  }

  static std::string Label(const std::string& key) { return "<br><b>" + GetMsg(key, 1) + ":</b> "; }
};

TEST_F(LibraryTest, TheRecordShowsItsFieldsTypeAndEncodedHoldings) {
  AddHolding("own1", "QC <a>", "_not_borrow_", "shelf <b>");
  AddHolding("own1", Null, "stu");
  EXPECT_EQ(Show(90), "");  // a section of the catalogue
  const std::string shown = Show(91);
  const std::string record = Label("dbauthor") + "Hecht" + Label("dbtitle") + "Optics" +
                             Label("dbyear") + "2002" + Label("dbtype") + "Book" +
                             Label("dbContent") + "See " + TheSettings().ThisURL + "?id=90<br>";
  EXPECT_EQ(shown.substr(0, record.size()), record);
  EXPECT_NE(shown.find(Label("dbOwnerID") + " Olga <a href=\"owner.lp?bid=91&callno=QC+%3Ca%3E"
                                            "&userid=own1\">"),
            std::string::npos);
  EXPECT_NE(
      shown.find(Label("dbCallNo") + "QC &lt;a&gt;" + Label("dbNotes") + "shelf &lt;b&gt;<hr"),
      std::string::npos);
  EXPECT_NE(shown.find(Label("dbCallNo") + Label("dbBorrowerID") + " Sam [stu]" +
                       Label("dbBorrowDate") + "2024-02-03" + Label("dbNotes")),
            std::string::npos);
  EXPECT_EQ(shown.find("<form"), std::string::npos);  // not library staff
}

TEST_F(LibraryTest, SecondAndOtherLanguageFieldsAreLabelledApart) {
  Exec("UPDATE qvlibrary SET dbAuthor_n='Hecht NL' WHERE ID=91");
  TheSettings().SecondLanguage = "n";
  TheSettings().strOtherLanguage = "n";
  EXPECT_NE(Show(91).find(Label("dbauthor") + "Hecht<br><b>" + GetMsg("dbauthor", 2) +
                          ":</b> Hecht NL<br><b>" + GetMsg("dbauthor", 1) + "(2):</b> Hecht NL"),
            std::string::npos);
}

TEST_F(LibraryTest, TheFormOffersOwnersTheirOwnHoldingsAndManagersAll) {
  AddHolding("own1", "C9", "_not_borrow_");
  LogIn("own1", "", "lib_owner");
  std::string shown = Show(91);
  EXPECT_NE(
      shown.find("MAINTAIN<form method=\"POST\" action=\"" + TheSettings().ThisURL + "?id=91\">"),
      std::string::npos);
  EXPECT_NE(shown.find("name=\"dbOwnerID\" value=\"own1\">"), std::string::npos);
  EXPECT_NE(shown.find("name=\"dbCallNo\" size=\"45\" value=\"C9\">"), std::string::npos);
  EXPECT_NE(shown.find("<option value=\"_not_borrow_\">" + GetMsg("msgNotBorrow", 1) + "</option>"),
            std::string::npos);

  LogIn("boss", "", "x, lib_manager");
  shown = Show(91);
  const size_t owners = shown.find("<select name=\"dbOwnerID\"");
  ASSERT_NE(owners, std::string::npos);
  const std::string choices = shown.substr(owners, shown.find("</select>", owners) - owners);
  EXPECT_NE(choices.find("<option value=\"own1\">Olga</option>"), std::string::npos);
  EXPECT_EQ(choices.find("\"stu\""), std::string::npos);

  LogIn("stu", "", "calib_x");  // not a library group
  EXPECT_EQ(Show(91).find("<form"), std::string::npos);
}

TEST_F(LibraryTest, OwnersSaveOnlyTheirOwnHoldingsManagersAnyones) {
  AddHolding("own1", Null, "_not_borrow_");
  LogIn("own1", "", "lib_owner");
  // An empty call number finds the holding without one; the posted owner is
  // not an owner's to choose.
  Show(91, {{"dbBID", "91"},
            {"dbOwnerID", "stu"},
            {"dbCallNo", ""},
            {"dbBorrowerID", "stu"},
            {"dbNotes", "lent"}});
  EXPECT_EQ(Holdings(), 1u);
  EXPECT_EQ(Holdings("AND dbOwnerID='own1' AND dbBorrowerID='stu' AND dbNotes='lent'"), 1u);
  Show(91, {{"dbBID", "91"}, {"dbCallNo", "Z' or '1'='1"}});
  EXPECT_EQ(Holdings("AND dbCallNo='Z'' or ''1''=''1' AND dbOwnerID='own1'"), 1u);
  Show(91, {{"dbBID", "91"}, {"dbCallNo", ""}, {"delete", "ON"}});
  EXPECT_EQ(Holdings(), 1u);

  LogIn("boss", "", "lib_manager");
  Show(91, {{"dbBID", "91"}, {"dbOwnerID", "stu"}, {"dbCallNo", "M1"}});
  EXPECT_EQ(Holdings("AND dbOwnerID='stu' AND dbCallNo='M1' AND dbBookID=9"), 1u);
}

TEST_F(LibraryTest, ALongCallNumberIsKeptAsItsColumnHoldsItAndFoundAgain) {
  LogIn("boss", "", "lib_manager");
  const std::string call_no = std::string(48, 'c') + "\xC3\xA9\xC3\xA9" + "tail";  // 54 characters
  const std::string kept = std::string(48, 'c') + "\xC3\xA9\xC3\xA9";
  for (const char* notes : {"first", "second"}) {
    Show(91, {{"dbBID", "91"}, {"dbOwnerID", "own1"}, {"dbCallNo", call_no}, {"dbNotes", notes}});
  }
  EXPECT_EQ(Holdings(), 1u);
  EXPECT_EQ(Holdings("AND dbCallNo='" + kept + "' AND dbNotes='second'"), 1u);
  Show(91, {{"dbBID", "91"}, {"dbOwnerID", "own1"}, {"dbCallNo", call_no}, {"delete", "ON"}});
  EXPECT_EQ(Holdings(), 0u);
}

TEST_F(LibraryTest, OnlyAPostedFormChangesHoldings) {
  AddHolding("own1", "C1", "_not_borrow_");
  LogIn("boss", "", "lib_manager");
  const std::string fields = "&dbBID=91&dbOwnerID=own1&dbCallNo=C1&delete=ON&BibOwner=Save";
  Show(91, {}, fields);                       // a link
  Show(91, {{"dbNotes", "posted"}}, fields);  // a post whose fields are in its link
  EXPECT_EQ(Holdings("AND dbCallNo='C1'"), 1u);
  EXPECT_EQ(Holdings("AND dbNotes='posted'"), 0u);
  Show(91, {{"dbBID", "91"}, {"dbOwnerID", "own1"}, {"dbCallNo", "C1"}, {"delete", "ON"}});
  EXPECT_EQ(Holdings(), 0u);
}

TEST_F(LibraryTest, HolderAndBorrowerMustBeUsers) {
  LogIn("boss", "", "lib_manager");
  const std::vector<std::pair<std::string, std::string>> refused = {
      {"nobody", "_not_borrow_"}, {"OWN1", "_not_borrow_"}, {"own1", "nobody"}, {"own1", "STU"}};
  for (const auto& [owner, borrower] : refused) {
    Show(91,
         {{"dbBID", "91"}, {"dbOwnerID", owner}, {"dbCallNo", "C"}, {"dbBorrowerID", borrower}});
    EXPECT_EQ(Messages().strErrorMsg, "ErrorHoldingNoUser") << owner << " " << borrower;
  }
  EXPECT_NE(GetMsg("ErrorHoldingNoUser", 1), "errorholdingnouser_e");  // a seeded message
  EXPECT_EQ(Exec("SELECT ID FROM qvlibrary_").rows.size(), 0u);
  for (const std::string borrower : {"_not_borrow_", "stu", ""}) {
    Show(91,
         {{"dbBID", "91"}, {"dbOwnerID", "own1"}, {"dbCallNo", "C"}, {"dbBorrowerID", borrower}});
    EXPECT_EQ(Messages().strErrorMsg, "") << borrower;
  }
  EXPECT_EQ(Holdings("AND dbOwnerID='own1' AND dbBorrowerID IS NULL"), 1u);
}

TEST_F(LibraryTest, UserNamesInTheFormAreEncoded) {
  Insert("qvAuthUser", {{"dbUserID", "mal"},
                        {"dbFullName_e", "<script>x()</script>"},
                        {"dbMinorGroups", "lib_owner"}});
  LogIn("boss", "", "lib_manager");
  const std::string shown = Show(91);
  const std::string option = "<option value=\"mal\">&lt;script&gt;x()&lt;/script&gt;</option>";
  const size_t owners = shown.find("<select name=\"dbOwnerID\"");
  const size_t borrowers = shown.find("<select name=\"dbBorrowerID\"");
  ASSERT_LT(owners, borrowers);
  ASSERT_NE(borrowers, std::string::npos);
  EXPECT_LT(shown.find(option, owners), borrowers);
  EXPECT_NE(shown.find(option, borrowers), std::string::npos);
  EXPECT_EQ(shown.find("<script>"), std::string::npos);
  // The first borrower choice is a system message, kept as HTML.
  EXPECT_NE(shown.find("<option value=\"_not_borrow_\">" + GetMsg("msgNotBorrow", 1)),
            std::string::npos);
}

TEST_F(LibraryTest, OutsidersAndBadValuesChangeNothing) {
  AddHolding("own1", "C1", "_not_borrow_");
  LogIn("stu");
  Show(91, {{"dbBID", "91"}, {"dbOwnerID", "own1"}, {"dbCallNo", "C1"}, {"delete", "ON"}});
  EXPECT_EQ(Messages().strErrorMsg, "ErrorAuthNoUpdate");
  LogIn("own1", "", "lib_owner");
  for (const auto& [bid, date] : {std::pair{"91 or 1=1", ""}, {"91", "someday"}, {"90", ""}}) {
    Show(91, {{"dbBID", bid}, {"dbCallNo", "C1"}, {"dbBorrowDate", date}});
    EXPECT_EQ(Messages().strErrorMsg, "ErrorHoldingInvalid") << bid;
  }
  EXPECT_NE(GetMsg("ErrorHoldingInvalid", 1), "errorholdinginvalid");  // a seeded message
  EXPECT_EQ(Exec("SELECT ID FROM qvlibrary_").rows.size(), 1u);
  EXPECT_EQ(Holdings("AND dbCallNo='C1' AND dbBorrowDate IS NOT NULL"), 1u);
}

}  // namespace
}  // namespace qv::testing

// Page display: the action dispatch of ShowPage and the page body.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "book/book.h"
#include "book_fixture.h"
#include "data/settings.h"
#include "session/messages.h"

namespace qv::testing {
namespace {

class DisplayTest : public BookTest {
 protected:
  DisplayTest() {
    AddBook({.id = 1, .owner = "tea"});
    Add(10, -1, 0, "<p>EN</p>", 1, 1);
    Add(12, 10, 0, "two", 2);
    Exec("UPDATE qvbook SET dbContent_n='<p>NL</p>' WHERE ID=10");
    Exec("UPDATE qvbook SET dbFinished_e=false, dbFinished_n=false, dbContent_n='' WHERE ID=12");
    Insert("qvAuthUser", {{"dbUserID", "tea"}, {"dbFullName_e", "Teacher"}});
  }

  // Opens the page of the request query with its book and shows it.
  std::string Show(const std::string& query) {
    Query(query);
    book = std::make_unique<Book>();
    book->OpenPage("qvbook");
    book->OpenBook();
    host.response.Clear();
    book->ShowPage();
    return Output();
  }

  // A page of book 1 owned by "tea", ordered by id, titled "T" & id.
  void Add(int id, int pid, int type, const std::string& content, int level = 1, int children = 0) {
    PageRow row{.id = id, .pid = pid, .book = 1, .level = level, .order = id, .type = type};
    row.children = children;
    row.owner = "tea";
    row.title = "T" + std::to_string(id);
    row.content_e = content;
    AddPage(row);
  }

  size_t LoggedReads() { return Exec("SELECT ID FROM qvAuthLog WHERE dbAction=2").rows.size(); }

  std::unique_ptr<Book> book;
};

TEST_F(DisplayTest, APlainViewIsLoggedAndShownOncePerOpenPage) {
  EXPECT_EQ(Show("id=10"), "<p>EN</p>");
  EXPECT_EQ(book->HelpCode(), "read");
  host.response.Clear();
  book->ShowPage();
  EXPECT_EQ(Output(), "");
  book->OpenPage("qvbook");
  book->ShowPage();
  EXPECT_EQ(Output(), "<p>EN</p>");
  EXPECT_EQ(LoggedReads(), 2u);

  LogIn("tea");
  Show("id=10");
  EXPECT_EQ(book->HelpCode(), "editNormal");
  Exec("UPDATE qvbook SET dbGroup=60 WHERE ID=10");
  LogIn("");
  EXPECT_EQ(Show("id=10"), GetMsg("ErrorAuthNoRead", 1));
}

TEST_F(DisplayTest, LanguagesFormatsAndUnfinishedNotes) {
  TheSettings().SecondLanguage = "n";
  TheSettings().strOtherLanguage = "n";
  EXPECT_EQ(Show("id=10"), "<p>EN</p><p></p><p>NL</p><p></p><p>NL</p>");
  EXPECT_EQ(Show("id=12"), GetMsg("msgPageNotFinished", 1) + "<br>" +
                               GetMsg("msgPageNotFinished", 2) + "<br>two<p></p><p></p>");

  TheSettings().strOtherLanguage = "";
  Exec(
      "UPDATE qvAuthBook SET dbFormatRead_e='<h1><qvTm.dbTitle></h1><qvTm.dbContent>', "
      "dbFormatRead_n='<h2><qvTm.dbTitle></h2>' WHERE ID=1");
  EXPECT_EQ(Show("id=10"), "<h1>T10</h1><p>EN</p><p></p><h2>T10 (n)</h2>");
  TheSettings().FirstLanguage = "n";  // formats follow the suffix, not the position
  TheSettings().SecondLanguage = "e";
  EXPECT_EQ(Show("id=10"), "<h2>T10 (n)</h2><p></p><h1>T10</h1><p>EN</p>");
}

TEST_F(DisplayTest, TheMediaActionAndTheBooksOwnActionsShowThePage) {
  const size_t pages = Exec("SELECT ID FROM qvbook").rows.size();
  EXPECT_EQ(Show("id=10&qvAction=addmedia"), "<p>EN</p>");
  EXPECT_EQ(book->GetErrorMsg(), "");
  EXPECT_EQ(Exec("SELECT ID FROM qvbook").rows.size(), pages);
  EXPECT_EQ(LoggedReads(), 0u);
  // Actions of the book module itself show the page.
  Messages().strErrorMsg.clear();
  EXPECT_EQ(Show("id=10&qvAction=show"), "<p>EN</p>");
  EXPECT_EQ(book->GetErrorMsg(), "");

  TheSettings().pMediaDir = "/srv/m/";
  EXPECT_EQ(Show("id=12&qvDnLd=qvTm"),
            "<qvTmStart qvType=\"0\" qvTome=\"1\" qvLevel=\"2\" qvMediaDir=\"/srv/m/\">" +
                GetMsg("msgPageNotFinished", 1) + "<br>two<qvTmEnd>");
}

TEST_F(DisplayTest, AnAssignmentPageShowsItsFormInEveryLanguageButNeverItsKey) {
  Add(40, -1, 8, "Answer: <font color=\"#FF0000\">42</font>!", 1);
  Exec("UPDATE qvbook SET dbContent_n='Antwoord: <font color=\"#FF0000\">42</font>?' WHERE ID=40");
  TheSettings().SecondLanguage = "n";
  TheSettings().strOtherLanguage = "n";
  EXPECT_EQ(Show("id=40"), "Answer: !<p></p>Antwoord: ?");
  EXPECT_EQ(book->GetErrorMsg(), "");
  // The download form keeps the markup for the book's markers only.
  EXPECT_EQ(Show("id=40&qvDnLd=qvTm").find("42"), std::string::npos);
  LogIn("tea");
  EXPECT_NE(Show("id=40&qvDnLd=qvTm").find("<font color=\"#FF0000\">42</font>!"),
            std::string::npos);
  // Other page types pass unchanged, the other language included.
  Exec("UPDATE qvbook SET dbType=0 WHERE ID=40");
  EXPECT_EQ(Show("id=40"),
            "Answer: <font color=\"#FF0000\">42</font>!<p></p>Antwoord: <font "
            "color=\"#FF0000\">42</font>?<p></p>Antwoord: <font color=\"#FF0000\">42</font>?");
}

TEST_F(DisplayTest, BulletinShowsEveryMessageWithTheBulletinOwner) {
  Add(20, -1, 4, "Board", 1, 2);
  Add(22, 20, 5, "msg2", 2);
  Add(21, 20, 5, "qvTmGoto=10", 2);
  Exec(
      "UPDATE qvbook SET dbOwnerID='x', dbFinished_e=false, dbExpiredDate='2001-01-01' "
      "WHERE dbPID=20");
  EXPECT_EQ(Show("id=20"), "Board<br>" + TheSettings().ThisURL + "?id=10<br>msg2");
  Exec("UPDATE qvAuthBook SET dbFormatReadAll_e='<b><qvTm.dbTitle></b> (<qvTm.dbFullName>)'");
  EXPECT_EQ(Show("id=20"), "Board<br><b>T21</b> ( Teacher)<br><b>T22</b> ( Teacher)");
}

TEST_F(DisplayTest, DiscussionsShowTheirRemarkAndTheCommandsOfTheReader) {
  Add(30, -1, 2, "Topic", 1, 1);
  Add(31, 30, 3, "Deep", 3);
  Exec("UPDATE qvbook SET dbRemark_e='Be kind' WHERE ID=30");
  const std::string remark = "<p><font color=\"#FF00FF\">Be kind</font></p>";
  auto command = [](const std::string& id, const std::string& action, const char* key) {
    return "<a href=\"/site/book.lp?id=" + id + "&qvAction=" + action + "\">" + GetMsg(key, 1) +
           "</a>";
  };
  // A visitor who is not logged in reads only.
  EXPECT_EQ(Show("id=30"), "Topic" + remark + "<p align=\"center\"></p>");
  LogIn("sam");
  EXPECT_EQ(Show("id=30"), "Topic" + remark + "<p align=\"center\">" +
                               command("30", "add&add=bottom&reply=y", "menuPostDiscussion") +
                               command("30", "add&add=below&reply=y", "menuReplyDiscussion") +
                               "</p>");
  EXPECT_EQ(book->HelpCode(), "readDiscussion");
  // Level 3 is PageLevelMin + ReplyLevel: no replies below it.
  EXPECT_EQ(Show("id=31"), "Deep<p><font color=\"#FF00FF\"></font></p><p align=\"center\">" +
                               command("31", "add&add=bottom&reply=y", "menuJoinDiscussion") +
                               "</p>");
  EXPECT_EQ(Show("id=30&reply=y"), "Topic" + remark);
  // Authors may comment and delete a reply without replies.
  LogIn("tea");
  const std::string shown = Show("id=31");
  EXPECT_NE(shown.find(command("31", "edit&reply=y", "menuCommentDiscussion")), std::string::npos);
  EXPECT_NE(shown.find("id=31&qvAction=delete"), std::string::npos);
  EXPECT_EQ(Show("id=30").find("qvAction=delete"), std::string::npos);
}

}  // namespace
}  // namespace qv::testing

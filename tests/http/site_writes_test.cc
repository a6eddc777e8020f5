// The default site on a real server: what a request can write. The activity
// log keeps at most a few KB of a request; holdings, system messages and
// their order change only through posted forms.
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "core/convert.h"
#include "core/encode.h"
#include "engine/sqlite_connection.h"
#include "session/identity.h"
#include "site_server.h"

namespace qv::http {
namespace {

using testing::Browser;
using testing::Reply;

class SiteWrites : public testing::SiteSuite<SiteWrites> {
 public:
  static constexpr const char* kSiteName = "qvtome_site_writes";

 protected:
  // A GET that carries a url-encoded body, as no browser sends one.
  static Reply GetWithBody(const Browser& browser, const std::string& path,
                           const std::string& body) {
    std::string request = testing::Post(path, "application/x-www-form-urlencoded", body,
                                        "Cookie: " + browser.cookie() + "\r\n");
    return testing::Fetch(site_->port(), "GET" + request.substr(4));
  }

  static std::string Holdings(const std::string& where) {
    return Query("SELECT count(*) FROM qvlibrary_ WHERE " + where);
  }
};

TEST_F(SiteWrites, AnEightMegabytePostAddsAtMostTheCapToTheLog) {
  const std::string last = Query("SELECT max(ID) FROM qvAuthLog");
  const std::string body = "big=" + std::string(8 * 1024 * 1024 - 4, 'x');
  Reply reply =
      testing::Fetch(site_->port(), testing::Post("/book.lp?" + std::string(6000, 'q'),
                                                  "application/x-www-form-urlencoded", body));
  EXPECT_EQ(reply.status, 200);
  const std::string added = " FROM qvAuthLog WHERE ID > " + (last.empty() ? "0" : last);
  EXPECT_EQ(Query("SELECT count(*)" + added), "1");
  EXPECT_LE(Query("SELECT dbFormString" + added).size(), 4096u);  // bytes
  EXPECT_LE(Query("SELECT dbQueryString" + added).size(), 4096u);
  EXPECT_TRUE(Query("SELECT dbFormString" + added).ends_with("\xE2\x80\xA6[cut]"));
}

TEST_F(SiteWrites, HoldingsAreDeletedOnlyByAPostedForm) {
  Browser teacher = Teacher();
  const std::string fields = "dbBID=3&dbOwnerID=teacher&dbCallNo=AST+523.3&delete=ON&BibOwner=Save";
  const std::string held = "dbBID=3 AND dbCallNo='AST 523.3'";
  ASSERT_EQ(Holdings(held), "1");
  EXPECT_EQ(teacher.Open("/library.lp?id=3&" + fields).status, 200);
  EXPECT_EQ(GetWithBody(teacher, "/library.lp?id=3", fields).status, 200);
  teacher.Send("/library.lp?id=3&" + fields, "x=1");  // the fields in the link of a post
  EXPECT_EQ(Holdings(held), "1");
  EXPECT_EQ(teacher.Send("/library.lp?id=3", fields).status, 200);
  EXPECT_EQ(Holdings(held), "0");
}

// That holdings name users, and that user names are encoded in the
// holdings form, is LibraryTest's: the page runs the same book calls.

TEST_F(SiteWrites, MessagesAndTheirOrderAreSavedOnlyFromPostedForms) {
  Browser admin = As("admin");
  const std::string id = Query("SELECT ID FROM qvSystemMsg WHERE dbName = 'SiteHome'");
  const std::string page = "/msgedit.lp?id=" + id;
  const std::string text = "SELECT dbMsg_e FROM qvSystemMsg WHERE ID=" + id;
  const std::string before = Query(text);
  admin.Open(page);
  GetWithBody(admin, page, "qvEditMsg=1&qvFLD_List=dbMsg_e&dbMsg_e=Got");
  EXPECT_EQ(Query(text), before);
  // A posted form takes its own values, not those of its link.
  EXPECT_TRUE(Has(
      admin.Send(page + "&dbMsg_e=Linked", "qvEditMsg=1&qvFLD_List=dbMsg_e&dbMsg_e=Posted").body,
      "have been saved"));
  EXPECT_EQ(Query(text), "Posted");

  const std::string order = "SELECT dbOrder FROM qvSystemMsg WHERE ID=" + id;
  const std::string grid = "qvID_List=" + id + "&qvFLD_List=dbOrder&ID_" + id + "_dbOrder=";
  GetWithBody(admin, "/msgorder.lp", grid + "7777");
  EXPECT_NE(Query(order), "7777");
  admin.Send("/msgorder.lp", grid + "7778");
  EXPECT_EQ(Query(order), "7778");
}

// The course's rows, without the numbers and stamps a renumbering or a
// save changes, and each level's pages in their order.
std::string CourseTree() {
  std::unique_ptr<Connection> conn = ::qv::testing::NewEngineConnection();
  conn->Open("qvtome", "", "");
  std::string out;
  for (const char* sql :
       {"SELECT ID, dbPID, dbCID, dbBookID, dbPageLevel, dbType, dbOwnerID, dbGroup, dbTitle_e, "
        "dbTitle_n, dbContent_e, dbContent_n, dbRemark_e, dbFinished_e, dbExpiredDate FROM qvbook "
        "ORDER BY ID",
        "SELECT ID FROM qvbook ORDER BY dbPID, dbOrder, ID"}) {
    for (const auto& row : conn->Query(sql).rows) {
      for (const Variant& v : row) out += (v.IsNull() ? "<null>" : ToStr(v)) + "|";
      out += "\n";
    }
  }
  return out;
}

// The hidden fields of the first form of a page, URL-encoded as a browser
// posts them.
std::string HiddenFields(const std::string& html) {
  static const std::regex hidden("<input type=\"hidden\" name=\"([^\"]*)\" value=\"([^\"]*)\">");
  const std::string form = html.substr(0, html.find("</form>"));
  std::string posted;
  for (std::sregex_iterator it(form.begin(), form.end(), hidden), last; it != last; ++it) {
    posted += UrlEncode((*it)[1].str()) + "=" + UrlEncode((*it)[2].str()) + "&";
  }
  return posted;
}

TEST_F(SiteWrites, ATeacherAddsEditsMovesAndDeletesAPageAndTheBookIsAsBefore) {
  Browser teacher = Teacher();
  const std::string before = CourseTree();
  // Below "Constellations" (26, level 2), a page of level 3, through its form.
  const std::string add_form =
      HiddenFields(teacher.Open("/book.lp?id=26&qvAction=add&add=below").body);
  EXPECT_TRUE(Has(add_form, "dbPageLevel=3")) << add_form;
  Reply added = teacher.Send("/book.lp?id=26",
                             add_form + "dbTitle_e=Meteors&dbContent_e=Shooting+stars&Submit=Save");
  ASSERT_EQ(added.status, 302) << added.body;
  const std::string location = added.Header("location");
  const std::string id = Query("SELECT ID FROM qvbook WHERE dbTitle_e = 'Meteors'");
  EXPECT_EQ(location, "/book.lp?id=" + id + "&qvAction=rearrange");
  EXPECT_EQ(
      Query("SELECT dbPID || ' ' || dbPageLevel || ' ' || dbOwnerID FROM qvbook WHERE ID=" + id),
      "26 3 teacher");
  EXPECT_EQ(Query("SELECT dbCID FROM qvbook WHERE ID=26"), "1");
  Reply shown = teacher.Open(location);
  EXPECT_EQ(shown.status, 200);
  EXPECT_TRUE(Has(shown.body, "Shooting stars")) << shown.body;

  const std::string edit_form =
      HiddenFields(teacher.Open("/book.lp?id=" + id + "&qvAction=edit").body);
  EXPECT_TRUE(Has(edit_form, "qvFLD_List=dbTitle_e")) << edit_form;
  Reply edited = teacher.Send(
      "/book.lp?id=" + id, edit_form + "dbTitle_e=Meteor+showers&dbContent_e=Perseids&submit=Save");
  EXPECT_EQ(edited.status, 200);
  EXPECT_TRUE(Has(edited.body, "Perseids"));
  EXPECT_EQ(Query("SELECT dbTitle_e FROM qvbook WHERE ID=" + id), "Meteor showers");

  // Cut, and paste before "Tides" (9, level 3 under "The Moon").
  EXPECT_EQ(teacher.Open("/book.lp?id=" + id + "&qvAction=cut&cut=current").status, 200);
  Reply pasted = teacher.Open("/book.lp?id=9&qvAction=paste&paste=before");
  EXPECT_TRUE(Has(pasted.body, "The page has been pasted.")) << pasted.body;
  EXPECT_EQ(Query("SELECT dbPID FROM qvbook WHERE ID=" + id), "7");
  EXPECT_EQ(Query("SELECT dbCID FROM qvbook WHERE ID=26"), "0");
  EXPECT_EQ(
      testing::QueryJoined("SELECT ID FROM qvbook WHERE dbPID=7 ORDER BY dbOrder, ID", "", " "),
      "8 " + id + " 9 10");

  Reply deleted = teacher.Open("/book.lp?id=" + id + "&qvAction=delete");
  EXPECT_TRUE(Has(deleted.body, "The page has been deleted.")) << deleted.body;
  EXPECT_EQ(Query("SELECT count(*) FROM qvbook WHERE ID=" + id), "0");
  EXPECT_EQ(CourseTree(), before);
  EXPECT_EQ(testing::QueryJoined("SELECT dbAction FROM qvAuthLog WHERE dbRecordID=" + id +
                                     " AND dbAction > 2 ORDER BY ID",
                                 "", " "),
            "7 8 10 12");
  EXPECT_EQ(Query("SELECT count(*) FROM qvAuthLog WHERE dbAction = 11 AND dbRecordID = 9"), "1");
}

}  // namespace
}  // namespace qv::http

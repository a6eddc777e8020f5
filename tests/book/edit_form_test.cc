// The edit, add, reply and property forms, and the page information block.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "book/book.h"
#include "book/book_internal.h"
#include "book/book_state.h"
#include "book_fixture.h"
#include "data/aspproc.h"
#include "data/settings.h"
#include "session/messages.h"

namespace qv::testing {
namespace {

using Names = std::vector<std::string>;

class EditFormTest : public BookTest {
 protected:
  EditFormTest() {
    AddBook({.id = 1, .owner = "tea", .group = 7, .editor_users = "ed", .edit_type = "update"});
    AddPage({.id = 10,
             .pid = -1,
             .book = 1,
             .level = 1,
             .order = 1,
             .children = 1,
             .owner = "tea",
             .title = "Top"});
    AddPage({.id = 12,
             .pid = 10,
             .book = 1,
             .level = 2,
             .order = 5,
             .type = 2,
             .group = 7,
             .owner = "tea",
             .title = "Talk",
             .remark_e = "note"});
    Insert("qvAuthUser", {{"dbUserID", "tea"}, {"dbFullName_e", "<b>Tea</b>"}});
    LogIn("tea");
  }

  // The form of the request query, as the page actions show it: an add
  // form starts from a closed record set with the current titles kept.
  std::string Form(const std::string& query) {
    Query(query);
    Tables().strLinkedFields.clear();  // a new request binds its fields anew
    book = std::make_unique<Book>();
    book->OpenPage("qvbook");
    book->OpenBook();
    if (book::RequestValue("qvAction") == "add") {
      CurrentBook().CurrentPageTitle = "Talk";
      CurrentBook().CurrentPageTitle2 = "Talk (n)";
      SharedAspProc().dbClose();
    }
    host.response.Clear();
    book::EditRecordForm();
    return Take();
  }

  // name=value of every hidden field but the bound-field list, in order.
  static Names Hidden(const std::string& html) {
    Names found;
    static const std::regex hidden("<input type=\"hidden\" name=\"([^\"]*)\" value=\"([^\"]*)\">");
    for (std::sregex_iterator it(html.begin(), html.end(), hidden), end; it != end; ++it) {
      if ((*it)[1] != "qvFLD_List") found.push_back((*it)[1].str() + "=" + (*it)[2].str());
    }
    return found;
  }
  // The fields the form binds (its "qvFLD_List" values), in order.
  static Names Bound(const std::string& html) {
    Names found;
    static const std::regex bound("name=\"qvFLD_List\" value=\"([^\"]*)\"");
    for (std::sregex_iterator it(html.begin(), html.end(), bound), end; it != end; ++it) {
      found.push_back((*it)[1]);
    }
    return found;
  }
  // The names of the visible controls, in order.
  static Names Controls(const std::string& html) {
    Names found;
    static const std::regex control(
        "<(?:textarea|select|input type=\"(?:text|checkbox|radio)\")"
        "[^>]*? name=\"([^\"]*)\"");
    for (std::sregex_iterator it(html.begin(), html.end(), control), end; it != end; ++it) {
      found.push_back((*it)[1]);
    }
    return found;
  }

  // The edit and author formats of book 1.
  void Formats(const std::string& edit, const std::string& auth) {
    Exec("UPDATE qvAuthBook SET dbFormatEdit=" + SqlText(edit) + ", dbFormatAuth=" + SqlText(auth) +
         " WHERE ID=1");
  }

  std::unique_ptr<Book> book;
};

TEST_F(EditFormTest, EditFormHasTitleHeadFieldsAndButtons) {
  const std::string html = Form("id=12&qvAction=edit");
  EXPECT_EQ(html.rfind(GetMsg("titleEditRecord", 1) +
                           "<form method=\"POST\" action=\"/site/book.lp?id=12\">",
                       0),
            0u);
  EXPECT_EQ(Hidden(html), (Names{"qvAction=edit", "dbFinished_e=-1"}));
  EXPECT_EQ(Controls(html), (Names{"dbTitle_e", "dbKeyWord_e", "dbContent_e", "dbRemark_e"}));
  EXPECT_NE(html.find(">Talk</textarea>"), std::string::npos);
  EXPECT_NE(html.find("<br>" + GetMsg("dbContent", 1) + "<br>"), std::string::npos);
  const std::string tail = "<center><br><input type=\"submit\" value=\"" +
                           GetMsg("ButtonSubmit", 1) +
                           "\" name=\"Submit\"> <input type=\"reset\" value=\"" +
                           GetMsg("ButtonReset", 1) + "\" name=\"reset\"></center></form><p></p>";
  EXPECT_EQ(html.substr(html.size() - tail.size()), tail);
}

TEST_F(EditFormTest, AddPlacesTheNewPageByTheAddValue) {
  const Names common{"qvAction=add", "dbFinished_e=-1", "dbBookID=1", "dbGroup=7", "dbOwnerID=tea"};
  auto with = [&](Names more) {
    Names all = common;
    all.insert(all.end(), more.begin(), more.end());
    return all;
  };
  std::string html = Form("id=12&qvAction=add&add=below");
  EXPECT_EQ(html.rfind(GetMsg("titleEditAddRecord", 1), 0), 0u);
  EXPECT_EQ(Hidden(html), with({"add=below", "dbPID=12", "dbOrder=1000", "dbPageLevel=3"}));
  EXPECT_EQ(Hidden(Form("id=12&qvAction=add&add=bottom")),
            with({"add=bottom", "dbPID=10", "dbOrder=9999", "dbPageLevel=2"}));
  EXPECT_EQ(Hidden(Form("id=12&qvAction=add&add=before")),
            with({"add=before", "dbPID=10", "dbOrder=4", "dbPageLevel=2"}));
  EXPECT_EQ(Hidden(Form("id=12&qvAction=add&add=sideways")), with({"add=sideways"}));

  // Replies: the caller owns them, and they carry their type.
  LogIn("stu");
  Exec("UPDATE qvAuthBook SET dbReaderUserID='stu' WHERE ID=1");
  html = Form("id=12&qvAction=add&add=bottom&reply=y");
  EXPECT_EQ(html.rfind(GetMsg("titleEditPostDiscussion", 1), 0), 0u);
  EXPECT_EQ(Hidden(html), (Names{"qvAction=add", "dbFinished_e=-1", "dbBookID=1", "dbGroup=7",
                                 "dbOwnerID=stu", "add=bottom", "dbPID=10", "dbOrder=9999",
                                 "dbPageLevel=2", "reply=y", "dbType=2"}));
  EXPECT_EQ(Controls(html), (Names{"dbTitle_e", "dbContent_e"}));
  html = Form("id=12&qvAction=add&add=below&reply=y");
  EXPECT_EQ(html.rfind(GetMsg("titleEditReplyDiscussion", 1), 0), 0u);
  EXPECT_NE(html.find("value=\"RE: Talk\""), std::string::npos);
  EXPECT_EQ(Hidden(html).back(), "dbType=3");
}

TEST_F(EditFormTest, TitleFieldInEachForm) {
  TheSettings().SecondLanguage = "n";
  // Joining a discussion reply (type 3) proposes its title; a post to a
  // type 2 discussion starts empty.
  Exec("UPDATE qvbook SET dbType=3 WHERE ID=12");
  std::string html = Form("id=12&qvAction=add&add=bottom&reply=y");
  EXPECT_EQ(html.rfind(GetMsg("titleEditJoinDiscussion", 1), 0), 0u);
  EXPECT_NE(html.find("name=\"dbTitle_e\" size=\"45\" value=\"Talk\""), std::string::npos);
  EXPECT_NE(html.find("name=\"dbTitle_n\" size=\"45\" value=\"\""), std::string::npos);
  html = Form("id=12&qvAction=add&add=below&reply=y");
  EXPECT_NE(html.find("name=\"dbTitle_n\" size=\"45\" value=\"RE: Talk (n)\""), std::string::npos);

  // An add takes qvTitle, else the confirmed new title.
  html = Form("id=12&qvAction=add&add=bottom&qvTitle=%3Cx%3E");
  EXPECT_NE(html.find(">&lt;x&gt;</textarea>"), std::string::npos);
  EXPECT_EQ(Controls(html), (Names{"dbTitle_e", "dbTitle_n", "dbKeyWord_e", "dbKeyWord_n",
                                   "dbContent_e", "dbContent_n", "dbRemark_e", "dbRemark_n"}));
  EXPECT_EQ(Hidden(html)[1], "dbFinished_e=-1");
  EXPECT_EQ(Hidden(html)[2], "dbFinished_n=-1");

  // The property form shows the title as text.
  html = Form("id=12&qvAction=edit&edit=property");
  EXPECT_NE(html.find("<br>" + GetMsg("dbTitle", 1) + "<br>TalkTalk (n)<br>"), std::string::npos);
  EXPECT_EQ(book->HelpCode(), "editproperty");
}

TEST_F(EditFormTest, FieldListsByRightsSettingsAndRequest) {
  // Property form: the default property list; no finished hidden fields
  // because the list shows the boxes. The owner needs "auth", which every
  // author holds.
  std::string html = Form("id=12&qvAction=edit&edit=property");
  EXPECT_EQ(Controls(html), (Names{"dbBookID", "dbOwnerID", "dbType", "dbIndent", "dbCID",
                                   "dbExpiredDate", "dbEventDate", "dbURLLink", "dbFinished_e"}));
  EXPECT_EQ(Hidden(html), (Names{"qvAction=edit"}));
  LogIn("ed");
  EXPECT_EQ(Controls(Form("id=12&qvAction=edit&edit=property"))[1], "dbType");

  // A comment on a discussion edits the remark only; a reply never shows a type.
  EXPECT_EQ(Controls(Form("id=12&qvAction=edit&reply=y")), (Names{"dbRemark_e"}));
  // Editors get FormatEdit, authors FormatAuth.
  Formats("dbtitle,dbtype,dbcontent", "");
  EXPECT_EQ(Controls(Form("id=12&qvAction=edit")), (Names{"dbTitle_e", "dbType", "dbContent_e"}));
  LogIn("tea");
  EXPECT_EQ(Controls(Form("id=12&qvAction=edit")).size(), 4u);

  // "!" fixes the list for every form; the property form shows the title
  // as text.
  Formats("", "!dbTitle, dbContent");
  EXPECT_EQ(Controls(Form("id=12&qvAction=edit&edit=property")), (Names{"dbContent_e"}));
  EXPECT_EQ(Controls(Form("id=12&qvAction=edit&reply=y")), (Names{"dbTitle_e", "dbContent_e"}));

  // Tables have their own default lists and type codes.
  AddBook({.id = 2, .table = "qvglossary", .owner = "tea"});
  AddPage({.id = 30, .pid = -2, .book = 2, .title = "Term"}, "qvglossary");
  Query("id=30&qvAction=edit");
  book = std::make_unique<Book>();
  book->OpenPage("qvglossary");
  book->OpenBook();
  host.response.Clear();
  book::EditRecordForm();
  html = Take();
  EXPECT_EQ(Controls(html),
            (Names{"dbTitle_e", "dbType", "dbKeyWord_e", "dbContent_e", "dbRemark_e"}));
}

TEST_F(EditFormTest, GenericFieldsAndOwnerChoice) {
  Formats("", "_tXMyField,_lXdbFlag,_3dbLanguage,_ddbIndent,nothing,_qXodd,");
  const std::string html = Form("id=12&qvAction=edit");
  EXPECT_EQ(Controls(html), (Names{"myfield", "dbflag", "blanguage", "bindent"}));
  EXPECT_NE(
      html.find("<br>" + GetMsg("myfield", 1) +
                "<br><input type=\"hidden\" "
                "name=\"qvFLD_List\" value=\"myfield\"><input type=\"text\" name=\"myfield\""),
      std::string::npos);

  // The owner drop-down encodes the users' names.
  TheSettings().FormatProperty = "dbownerid";
  const std::string owners = Form("id=12&qvAction=edit&edit=property");
  EXPECT_NE(owners.find("&lt;b&gt;Tea&lt;/b&gt;"), std::string::npos);
  EXPECT_EQ(owners.find("<b>Tea</b>"), std::string::npos);
}

TEST_F(EditFormTest, OtherLanguageTakesTheSecondPlaceAndIsClearedAfter) {
  Settings& s = TheSettings();
  s.SecondLanguage = "n";
  s.strOtherLanguage = "f";
  Formats("", "dbcontent");
  const std::string html = Form("id=12&qvAction=edit");
  EXPECT_EQ(Controls(html), (Names{"dbContent_e", "dbContent_f"}));
  EXPECT_EQ(Hidden(html),
            (Names{"qvAction=edit", "dbFinished_e=-1", "dbFinished_n=-1", "dbFinished_f=-1"}));
  EXPECT_EQ(s.SecondLanguage, "");
}

TEST_F(EditFormTest, LibraryAsksForTheTitleFirst) {
  TheSettings().CheckDuplicateTitle = true;
  std::string html = Form("id=12&qvAction=add&add=bottom");
  EXPECT_NE(
      html.find("<br>" + GetMsg("msgNewTitle", 1) + "<br><br>" + GetMsg("dbTitle", 1) + "<br>"),
      std::string::npos);
  EXPECT_EQ(Controls(html), (Names{"dbTitle_e"}));
  EXPECT_EQ(Hidden(html).back(), "confirmed=n");
  CurrentBook().strNewTitle = "Confirmed";
  html = Take();
  book::EditRecordForm();
  EXPECT_NE(Take().find(">Confirmed</textarea>"), std::string::npos);
}

// What a save may write is what the form binds: every variant's bound
// fields, less the placement fields the save computes, are its columns.
TEST_F(EditFormTest, SaveColumnsMatchTheBoundFields) {
  TheSettings().SecondLanguage = "n";
  const Names placement{"dbBookID", "dbGroup",     "dbOwnerID", "dbPID",
                        "dbOrder",  "dbPageLevel", "dbType"};
  for (const char* query :
       {"id=12&qvAction=edit", "id=12&qvAction=edit&edit=property", "id=12&qvAction=edit&reply=y",
        "id=12&qvAction=add&add=below", "id=12&qvAction=add&add=bottom&reply=y"}) {
    SCOPED_TRACE(query);
    Names bound = Bound(Form(query));
    const bool adding = book::RequestValue("qvAction") == "add";
    if (adding) {
      std::erase_if(bound, [&](const std::string& name) {
        return std::find(placement.begin(), placement.end(), name) != placement.end() &&
               !(name == "dbType" && !book::RequestedForm().reply);
      });
    }
    Names columns = book::EditFormColumns(book::RequestedForm());
    std::sort(bound.begin(), bound.end());
    std::sort(columns.begin(), columns.end());
    EXPECT_EQ(bound, columns);
  }
}

TEST_F(EditFormTest, PageInfoForAuthorsOnly) {
  Form("id=12");
  host.session.SetValue(SessionKey("Cut_PasteTable"), "qvbook");
  host.session.SetValue(SessionKey("Cut_PasteTitle"), "Moved");
  book->PageInfo();
  EXPECT_EQ(Take(), GetMsg("menuPasteClipboard", 1) + " = [Moved]<br>" + GetMsg("dbBookCode", 1) +
                        " = [B1]<br>" + GetMsg("dbType", 1) + " = [2]<br>" +
                        GetMsg("dbOwnerID", 1) + " = [ &lt;b&gt;Tea&lt;/b&gt;&nbsp;->&nbsp; " +
                        "&lt;b&gt;Tea&lt;/b&gt;]<br>" + GetMsg("dbGroup", 1) + " = [7]<br>" +
                        GetMsg("dbExpiredDate", 1) + " = []<p></p>");
  LogIn("stu");
  Exec("UPDATE qvAuthBook SET dbReaderUserID='stu' WHERE ID=1");
  Form("id=12");
  book->PageInfo();
  EXPECT_EQ(Take(), "");
}

}  // namespace
}  // namespace qv::testing

#include <gtest/gtest.h>

#include "book/book.h"
#include "book/book_fixture.h"
#include "book/book_internal.h"
#include "data/settings.h"
#include "session/current_page.h"
#include "session/messages.h"

namespace qv {
namespace {

using testing::BookTest;

constexpr const char* kConfirmScript =
    "\r\n<script language=\"JavaScript\"><!--\r\nfunction qvMenuConfirm(Msg, URL, Target)\r\n{\r\n"
    "    if(confirm(Msg)==true) open(URL,Target);\r\n}\r\n// --></script>\r\n";

// Page 12 of the current script "/site/book.lp", with the commands "Edit"
// (no confirmation) and "Delete" (confirmation "Sure?").
class CommandsTest : public BookTest {
 protected:
  CommandsTest() {
    TheSettings().ThisURL = "/site/book.lp";
    ThePage().ID = 12;
    SetMsg("menuEditCurrent_e", "Edit", true);
    SetMsg("menuEditCurrentConfirm_e", "", true);
    SetMsg("MenuDelete_e", "Delete", true);
    SetMsg("MenuDeleteConfirm_e", "Sure?", true);
  }

  size_t Count(const std::string& text) const {
    size_t n = 0;
    for (size_t at = Output().find(text); at != std::string::npos; at = Output().find(text, at + 1))
      ++n;
    return n;
  }

  Book book;  // clears blnConfirmScriptShown
};

// The target file is used only with a target frame.
TEST_F(CommandsTest, CommandLinksGoBackToThePageOrToTheTargetFrame) {
  TheSettings().TargetFile = "main.lp";
  book::WriteCommand("edit", "menuEditCurrent");
  EXPECT_EQ(Take(), "<a href=\"/site/book.lp?id=12&qvAction=edit\">Edit</a>");

  TheSettings().TargetFileParam = "&frame=1";
  book::WriteCommand("add&add=below", "menuEditCurrent");
  EXPECT_EQ(Take(), "<a href=\"/site/book.lp?id=12&qvAction=add&add=below&frame=1\">Edit</a>");
  TheSettings().TargetFileParam = "";

  TheSettings().TargetFrame = "body";
  book::WriteCommand("edit", "menuEditCurrent");
  EXPECT_EQ(Take(), "<a href=\"main.lp?id=12&qvAction=edit\" target=\"body\">Edit</a>");

  book::WriteCommand("delete", "MenuDelete");
  EXPECT_EQ(Output().substr(0, Output().find("\r\n")),
            "<a href=\"javascript:qvMenuConfirm(&quot;Sure?&quot;,&quot;main.lp?id=12&qvAction="
            "delete&quot;,&quot;body&quot;)\">Delete</a>");
}

TEST_F(CommandsTest, ConfirmedCommandsCarryTheScriptOncePerRequest) {
  book::WriteCommand("delete", "MenuDelete");
  EXPECT_EQ(Output(),
            std::string("<a href=\"javascript:qvMenuConfirm(&quot;Sure?&quot;,&quot;/site/"
                        "book.lp?id=12&qvAction=delete&quot;,&quot;_self&quot;)\">Delete</a>") +
                kConfirmScript);
  book::WriteCommand("edit", "menuEditCurrent");
  book::WriteCommand("delete", "MenuDelete");
  EXPECT_EQ(Count("function qvMenuConfirm"), 1u);
  EXPECT_EQ(Count("javascript:qvMenuConfirm"), 2u);

  Book next;  // a new Book object writes it again
  book::WriteCommand("delete", "MenuDelete");
  EXPECT_EQ(Count("function qvMenuConfirm"), 2u);
}

TEST_F(CommandsTest, EmptyLabelsEmptyActionsAndDownloadForm) {
  SetMsg("menuEditCurrent_e", "", true);
  book::WriteCommand("edit", "menuEditCurrent");
  EXPECT_EQ(Output(), "");
  book::WriteCommand("", "MenuDelete");
  EXPECT_EQ(Take(), "Delete");

  Query("qvDnLd=qvTm");
  book::WriteCommand("delete", "MenuDelete");
  SetMsg("URLHelp_e", "help.lp", true);
  book::WriteMsgLink("URLHelp", "MenuDelete", "?x=1");
  EXPECT_EQ(Output(), "");
}

TEST_F(CommandsTest, MessageLinksReplaceOrAppendTheParameters) {
  SetMsg("URLUploadFiles_e", "upload.lp?", true);
  SetMsg("MenuUploadFiles_e", "Files", true);
  book::WriteMsgLink("URLUploadFiles", "MenuUploadFiles", "?table=qvbook&id=12");
  const std::string with_mark = Take();
  EXPECT_EQ(with_mark, "<a href=\"upload.lp?table=qvbook&id=12\">Files</a>");

  SetMsg("URLUploadFiles_e", "upload.lp", true);
  book::WriteMsgLink("URLUploadFiles", "MenuUploadFiles", "?table=qvbook&id=12");
  EXPECT_EQ(Take(), with_mark);

  SetMsg("URLUploadFiles_e", "", true);
  book::WriteMsgLink("URLUploadFiles", "MenuUploadFiles", "?table=qvbook&id=12");
  EXPECT_EQ(Output(), "");
}

TEST_F(CommandsTest, AnUnloadedIdIsEncodedInTheLink) {
  ThePage().ID = "\"><script>";
  book::WriteCommand("edit", "menuEditCurrent");
  EXPECT_EQ(Output().find("<script>"), std::string::npos);
}

}  // namespace
}  // namespace qv

#include <gtest/gtest.h>

#include <string>

#include "book/course_tree.h"
#include "data/settings.h"
#include "session/messages.h"

namespace qv {
namespace {

using testing::Statements;

using ContentsTest = testing::CourseTreeTest;

TEST_F(ContentsTest, ReaderSeesFinishedCurrentPagesOnly) {
  OpenAsReader("11");
  book.ListContents();
  EXPECT_EQ(Output(),
            "<img src=\"img/mark_pageopened.gif\" alt=\"\">Alpha<br>"
            "Heading<br>"
            "<img src=\"img/mark_book.gif\" alt=\"\">"
            "<a href=\"/site/book.lp?id=13\" target=\"_self\">Beta</a><br>");
}

TEST_F(ContentsTest, EditorSeesUnfinishedAndExpiredPagesWithMarksAndEditLinks) {
  OpenAsTeacher("11");
  book.ListContents(0, 0, true);
  const std::string edit = GetMsg("msgEditCommand", 1);
  // A heading is written unlinked, then linked for editing and shown.
  EXPECT_TRUE(Shows("Heading<a href=\"/site/book.lp?id=12\" target=\"_self\">" + edit +
                    "</a> <a href=\"/site/book.lp?id=12&qvAction=show\">" + edit + "</a><br>"));
  // A section carries its level and the link that shows the section itself.
  EXPECT_TRUE(
      Shows("<a href=\"/site/book.lp?id=13\" target=\"_self\">Beta [2]</a> "
            "<a href=\"/site/book.lp?id=13&qvAction=show\">"));
  EXPECT_TRUE(
      Shows("<img src=\"img/mark_page.gif\" alt=\"\"><img src=\"img/mark_unfinished1.gif\""));
  EXPECT_TRUE(Shows("<img src=\"img/mark_expired.gif\""));
  EXPECT_LT(At(">Draft</a>"), At(">Old</a>"));
}

TEST_F(ContentsTest, ReadPageRightIsNoListRight) {
  Open("11", "");  // anonymous: the page is within the anonymous level
  book.ListContents();
  book.ListContentsLevel();
  EXPECT_EQ(book.GetErrorMsg(), "ErrorAuthNoList");  // the second list stops at the error
  EXPECT_EQ(Output(), GetMsg("ErrorAuthNoList", 1));
}

TEST_F(ContentsTest, LevelsChooseChildrenOrTheParentsSiblings) {
  OpenAsReader("11");
  book.ListContents(0, 1);  // a leaf has no children
  EXPECT_EQ(Output(), "");
  book.ListContents(0, -1);
  EXPECT_LT(At(">Intro</a>"), At(">Second</a>"));
  EXPECT_LT(At(">Second</a>"), At(">Board</a>"));
}

TEST_F(ContentsTest, FoldingTreeUnfoldsOnlyTheCurrentBranch) {
  OpenAsReader("11");
  book.ListContentsLevel();
  EXPECT_LT(At(">Intro</a>"), At("&nbsp;<img src=\"img/mark_pageopened.gif\" alt=\"\">Alpha<br>"));
  EXPECT_LT(At(">Beta</a>"), At(">Second</a>"));
  EXPECT_EQ(Output().find("Deep"), std::string::npos);   // sibling section stays folded
  EXPECT_EQ(Output().find("Gamma"), std::string::npos);  // other top section too
  // A reader sees a bulletin as a page, not as a section.
  EXPECT_TRUE(Shows("<img src=\"img/mark_page.gif\" alt=\"\"><a href=\"/site/book.lp?id=30\""));
}

TEST_F(ContentsTest, FoldingTreeOfADeepPageStartsOneLevelUp) {
  OpenAsReader("16");
  book.ListContentsLevel();
  EXPECT_LT(At(">Beta</a>"), At("&nbsp;<img src=\"img/mark_pageopened.gif\" alt=\"\">Deep"));
  EXPECT_EQ(Output().find("Intro"), std::string::npos);
  host.response.Clear();
  book.ListContentsLevel(0, -20);  // an explicit parent page
  EXPECT_TRUE(Shows(">Gamma</a>"));
  host.response.Clear();
  book.ListContentsLevel(0, 3);  // the page is at the limit: its own parent
  EXPECT_TRUE(Shows("<img src=\"img/mark_pageopened.gif\" alt=\"\">Deep"));
  EXPECT_EQ(Output().find("Beta"), std::string::npos);
}

TEST_F(ContentsTest, ThumbnailTableModeWritesBothColumns) {
  Exec("UPDATE qvbook SET dbThumbNail=2 WHERE ID=13");
  TheSettings().vMediaDir = "/media/";
  OpenAsReader("11");
  book.ListContents(2);
  EXPECT_EQ(Output().rfind("<table border=\"0\" width=\"100%\" cellspacing=\"0\" cellpadding=\"0\">"
                           "<tr><td width=\"1%\">",
                           0),
            0u);
  EXPECT_TRUE(
      Shows("<a href=\"/site/book.lp?id=13\" target=\"_self\"><img "
            "src=\"/media/qvbook/1/m000013_ThumbNail.jpg\" vspace=\"2\" hspace=\"2\" "
            "border=\"0\"></a></td><td width=\"99%\"><img src=\"img/mark_book.gif\" "
            "alt=\"\"><a href=\"/site/book.lp?id=13\" target=\"_self\">Beta</a></td></tr>"));
  EXPECT_TRUE(Shows("<img src=\"img/mark_thumbnail.gif\" vspace"));
  EXPECT_EQ(Output().substr(Output().size() - 8), "</table>");
}

TEST_F(ContentsTest, LinkTargetsFollowTheFrameSettings) {
  OpenAsReader("11");
  Settings& s = TheSettings();
  s.ParentFrameFile = "frames.lp";
  book.ListContents();
  EXPECT_TRUE(Shows("<a href=\"frames.lp?id=13\" target=\"_parent\">Beta</a>"));
  host.response.Clear();
  s.ThisURL = "/site/frames.lp";
  book.ListContents();
  EXPECT_TRUE(Shows("<a href=\"frames.lp?id=13\" target=\"_self\">Beta</a>"));
  host.response.Clear();
  s.ParentFrameFile.clear();
  s.TargetFile = "content.lp";
  s.TargetFrame = "main";
  s.TargetFileParam = "&x=1";
  book.ListContents();
  EXPECT_TRUE(Shows("<a href=\"content.lp?id=13&x=1\" target=\"main\">Beta</a>"));
  host.response.Clear();
  s.TargetFrame.clear();
  book.ListContents();
  EXPECT_TRUE(Shows("<a href=\"content.lp?id=13&x=1\" target=\"_self\">Beta</a>"));
}

TEST_F(ContentsTest, ExternalLinksReplaceThePlaceholders) {
  Exec("UPDATE qvbook SET dbURLLink='<qvTm.ThisURL>?f=<qvTm.TargetFrame>' WHERE ID=13");
  OpenAsTeacher("11");
  book.ListContents();
  EXPECT_TRUE(Shows("<a href=\"/site/book.lp?f=\">Beta</a> "));
  EXPECT_EQ(Output().find("?id=13"), std::string::npos);
  host.response.Clear();
  book.ListContents(0, 0, true);  // editors also get a link to the page itself
  EXPECT_TRUE(Shows("<a href=\"/site/book.lp?f=\">Beta [2]</a> <a href=\"/site/book.lp?id=13\""));
  Exec("UPDATE qvbook SET dbURLLink='' WHERE ID=13");  // an emptied field links the page
  host.response.Clear();
  book.ListContents();
  EXPECT_TRUE(Shows("<a href=\"/site/book.lp?id=13\" target=\"_self\">Beta</a>"));
}

TEST_F(ContentsTest, DownloadFormLinksCarryThePageAttributes) {
  Open("13", "student", "readers", "&qvDnLd=qvTm");
  book.ListContents();
  EXPECT_TRUE(
      Shows("<a href=\"/site/book.lp?id=11&qvType=0&qvTome=1&qvLevel=2\" "
            "target=\"_self\">Alpha</a>"));
}

TEST_F(ContentsTest, ListsReadOneParentsRowsWithoutPageBodies) {
  OpenAsReader("11");
  Statements().clear();
  book.ListContentsLevel();
  for (const std::string& sql : Statements()) {
    EXPECT_EQ(sql.find("dbContent"), std::string::npos) << sql;
    EXPECT_EQ(sql.find("Select *"), std::string::npos) << sql;
    if (sql.find("order by") != std::string::npos) {
      EXPECT_NE(sql.find("Where dbPID="), std::string::npos) << sql;
    }
  }
}

}  // namespace
}  // namespace qv

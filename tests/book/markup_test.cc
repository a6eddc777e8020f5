// Page markup: media placeholders, paths and jumps, display formats.
#include <gtest/gtest.h>

#include <string>

#include "book/book.h"
#include "book/book_internal.h"
#include "book_fixture.h"
#include "data/aspproc.h"
#include "data/read_cache.h"
#include "data/settings.h"

namespace qv::testing {
namespace {

class MarkupTest : public BookTest {
 protected:
  MarkupTest() {
    for (int id = 1; id <= 40; ++id) {
      const std::string n = std::to_string(id);
      Insert("qvmedia",
             {{"ID", id}, {"dbContent_e", "[m" + n + "]"}, {"dbContent_n", "[n" + n + "]"}});
    }
    TheSettings().vMediaDir = "/media/";
    TheSettings().vImageDir = "/img/";
  }

  static std::string Tag(int id) { return "<qvTm.Media(" + std::to_string(id) + ")>"; }
};

TEST_F(MarkupTest, MediaTagsAreLookedUpOnceAndAtMost32Times) {
  EXPECT_EQ(book::ExpandMedia("a" + Tag(5) + "b" + Tag(5) + "c", "e"), "a[m5]b[m5]c");
  EXPECT_EQ(SqlCount("qvmedia"), 1);
  EXPECT_EQ(book::ExpandMedia("<qvTm.Media( 7 )>" + Tag(8), "n"), "[n7][n8]");

  Statements().clear();
  ClearReadCache();  // every lookup reaches the table
  std::string forty;
  for (int id = 1; id <= 40; ++id) forty += Tag(id);
  const std::string expanded = book::ExpandMedia(forty, "e");
  EXPECT_EQ(expanded.find("<qvTm"), expanded.find("[m32]" + Tag(33)) + 5);
  EXPECT_EQ(SqlCount("qvmedia"), 32);
  // Media rows are read once while qvmedia stays as it is.
  Statements().clear();
  EXPECT_EQ(book::ExpandMedia(forty, "e"), expanded);
  EXPECT_EQ(SqlCount("qvmedia"), 0);
}

TEST_F(MarkupTest, BadTagsVanishOrStopTheExpansionWithoutReachingSql) {
  Statements().clear();
  EXPECT_EQ(book::ExpandMedia("x<qvTm.Media(1 or 1=1)>y<qvTm.Media(a)>z" + Tag(999), "e"), "xyz");
  EXPECT_EQ(SqlCount("qvmedia"), 1);  // only the whole number 999
  EXPECT_EQ(book::ExpandMedia(Tag(1) + "<qvTm.Media(2 " + Tag(3), "e"),
            "[m1]<qvTm.Media(2 " + Tag(3));
  EXPECT_EQ(book::ExpandMedia("<qvTm.Media(2)", "e"), "<qvTm.Media(2)");
  // Rows naming themselves or each other twice cannot blow the text up.
  Exec(
      "UPDATE qvmedia SET dbContent_e='<qvTm.Media(7)><qvTm.Media(6)>a<qvTm.Media(7)>' WHERE ID=6");
  Exec("UPDATE qvmedia SET dbContent_e='<qvTm.Media(6)>b<qvTm.Media(6)>' WHERE ID=7");
  EXPECT_LT(book::ExpandMedia(Tag(6), "e").size(), size_t{9} << 20);
}

TEST_F(MarkupTest, PathsJumpsAndFormatFields) {
  Exec("UPDATE qvmedia SET dbContent_e='<img src=\"qvTmMPath/m.png\">' WHERE ID=3");
  EXPECT_EQ(
      book::ExpandPage("<a href=\"qvTmGoto=12\">" + Tag(3) + "</a><img src=\"qvTmIPath/a\">", "e"),
      "<a href=\"" + TheSettings().ThisURL +
          "?id=12\"><img src=\"/media/m.png\"></a><img src=\"/img/a\">");
  EXPECT_EQ(book::ExpandPage(Tag(3), ""), Tag(3));  // no language: media left alone

  Insert("qvAuthUser", {{"dbUserID", "tea"}, {"dbFullName_e", "Ann <T>"}});
  AddPage({.id = 1,
           .pid = -1,
           .book = 1,
           .owner = "tea",
           .title = "Title",
           .content_e = "Body " + Tag(2),
           .content_n = Tag(4),
           .remark_e = "Note"});
  Query("id=1");
  Book page;
  page.OpenPage("qvbook");
  const Recordset& row = *Tables().objRS;
  EXPECT_EQ(book::FillFormat("<h1><qvTm.dbTitle></h1><qvTm.dbContent>|<qvTm.dbRemark>|"
                             "<qvTm.dbDate>|<qvTm.dbFullName>|<qvTm.dbTitle>",
                             row, "e"),
            "<h1>Title</h1>Body [m2]|Note|2024-05-01 10:00:00| Ann &lt;T&gt;|Title");
  // Media inside a format's fields always come in the "e" suffix.
  EXPECT_EQ(book::FillFormat("<qvTm.dbTitle>:<qvTm.dbContent>:<qvTm.dbRemark>", row, "n"),
            "Title (n):[m4]:");
}

}  // namespace
}  // namespace qv::testing

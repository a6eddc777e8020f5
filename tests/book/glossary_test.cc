// The glossary: finding and linking terms in page text, the entry window,
// the link form and its write, and help texts.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "book/book.h"
#include "book/book_internal.h"
#include "book/book_state.h"
#include "book/glossary_text.h"
#include "book_fixture.h"
#include "data/settings.h"
#include "session/messages.h"

namespace qv::testing {
namespace {

using book::FindTerm;
using book::GlossaryEntry;

TEST(GlossaryText, MatchModesAtEdgesDigitsAndNonAsciiLetters) {
  // 64: nothing word-like before; 65: nor after; 66: and the same case.
  EXPECT_EQ(FindTerm("Star light", "star", 65), 1u);
  EXPECT_EQ(FindTerm("a star", "star", 65), 3u);
  EXPECT_EQ(FindTerm("starlight", "star", 65), 0u);
  EXPECT_EQ(FindTerm("starlight", "star", 64), 1u);
  EXPECT_EQ(FindTerm("megastar", "star", 64), 0u);
  EXPECT_EQ(FindTerm("megastar", "star", 0), 5u);
  EXPECT_EQ(FindTerm("3star4", "star", 65), 2u);  // digits are no word characters
  EXPECT_EQ(FindTerm("\xc3\xa9star\xc3\xa9", "star", 65), 3u);
  EXPECT_EQ(FindTerm("<b>star</b>", "star", 65), 0u);  // "<" and ">" are
  EXPECT_EQ(FindTerm("STAR star", "star", 66), 6u);
  EXPECT_EQ(FindTerm("STAR", "star", 66), 0u);
  EXPECT_EQ(FindTerm("star", "", 0), 0u);
}

TEST(GlossaryText, TermsInsideTagsAreNotFound) {
  EXPECT_EQ(FindTerm("<img alt=\"orbit\"> an orbit", "orbit", 65), 22u);
  EXPECT_EQ(FindTerm("<a title=\"orbit\">x</a>", "orbit", 65), 0u);
  EXPECT_EQ(FindTerm("text <img alt=\"orbit\">", "orbit", 65), 0u);  // the last tag too
}

TEST(GlossaryText, LongerTermsFirstAndNoShorterInside) {
  const std::vector<GlossaryEntry> entries = {
      {1, "red giant", 65}, {2, "giant", 65}, {3, "Red", 65}, {4, "moon", 65}};
  const auto found = book::FindGlossaryTerms("A Red Giant is no giant moon.", entries);
  ASSERT_EQ(found.size(), 3u);
  EXPECT_EQ(found[0].id, 1);
  EXPECT_EQ(found[0].term, "Red Giant");  // the text's own case
  EXPECT_EQ(found[1].id, 2);
  EXPECT_EQ(found[2].id, 4);

  // Linking: the shorter term links its own occurrence, not the one inside
  // the longer term's link.
  const std::string linked =
      book::LinkGlossaryTerms("A Red Giant is no giant.", {{1, "red giant", 65}, {2, "giant", 65}});
  EXPECT_EQ(linked,
            "A <a href=\"javascript:qvTmGlossary(1)\">Red Giant</a> is no "
            "<a href=\"javascript:qvTmGlossary(2)\">giant</a>.");
  EXPECT_EQ(book::StripGlossaryLinks(linked), "A Red Giant is no giant.");
  EXPECT_EQ(book::ListGlossaryLinkIDs(linked), (std::vector<int64_t>{1, 2}));
}

TEST(GlossaryText, MalformedLinksAndLimits) {
  EXPECT_EQ(book::StripGlossaryLinks("<A HREF=\"javascript:qvTmGlossary(x)\">t</A> and "
                                     "<a href=\"javascript:qvTmGlossary(3"),
            "t and <a href=\"javascript:qvTmGlossary(3");
  EXPECT_EQ(book::ListGlossaryLinkIDs("<a href=\"javascript:qvTmGlossary(x)\">t</a>"),
            std::vector<int64_t>{});

  std::string text;
  std::vector<GlossaryEntry> entries;
  for (int i = 0; i < 250; ++i) {
    text += "w" + std::to_string(i) + "z ";
    entries.push_back({i + 1, "w" + std::to_string(i) + "z", 65});
  }
  EXPECT_EQ(book::FindGlossaryTerms(text, entries).size(), book::kMaxGlossaryLinks);
  const std::string linked = book::LinkGlossaryTerms(text, entries);
  EXPECT_EQ(book::ListGlossaryLinkIDs(linked).size(), book::kMaxGlossaryLinks);
  EXPECT_EQ(book::StripGlossaryLinks(linked), text);
}

class GlossaryTest : public BookTest {
 protected:
  GlossaryTest() {
    AddBook({.id = 1, .table = "qvglossary", .owner = "admin"});
    AddBook({.id = 2, .owner = "tea"});
    AddEntry(1, 1, "orbit", "<p>The path of a body.</p>", 65);
    AddEntry(2, 1, "red giant", "<p>A large star; see qvTmGoto=3\">giant</a>.</p>", 65);
    AddEntry(3, 3, "giant", "<p>Big. <img src=\"qvTmMPath/g.gif\"></p>", 65);
    AddEntry(4, 1, "moon", "<a href=\"qvTmGoto=1\">orbit</a>", 65);
    AddEntry(5, 1, "sun", "qvTmGoto=1\" and qvTmGoto=2\"", 65);
    AddPage({.id = 10,
             .pid = -2,
             .book = 2,
             .owner = "tea",
             .title = "Page",
             .content_e = "A red giant\r\nin <b title=\"orbit\">its</b> orbit. "
                          "<a href=\"javascript:qvTmGlossary(1)\">orbit</a>"});
    LogIn("tea");
  }

  void AddEntry(int id, int group, const std::string& title, const std::string& content, int mode) {
    Insert("qvglossary", {{"ID", id},
                          {"dbPID", -1},
                          {"dbBookID", group},
                          {"dbType", mode},
                          {"dbTitle_e", title},
                          {"dbTitle_n", title + "-n"},
                          {"dbKeyword_e", Variant(Null)},
                          {"dbContent_e", content}});
  }

  void Open(const std::string& query) {
    Query(query);
    book = std::make_unique<Book>();
    book->OpenPage("qvbook");
    book->OpenBook();
    host.response.Clear();
  }

  void Post(const std::vector<std::pair<std::string, std::string>>& fields) {
    for (const auto& [name, value] : fields) host.request.AddForm(name, value);
    host.request.SetServerVariable("REQUEST_METHOD", "POST");
  }

  std::string Content() {
    return ToStr(Exec("SELECT dbContent_e FROM qvbook WHERE ID=10").rows.at(0).at(0));
  }
  std::string Dump(const std::string& table) {
    std::string out;
    for (const auto& row : Exec("SELECT * FROM " + table + " ORDER BY ID").rows) {
      for (const Variant& cell : row) out += NullToStr(cell) + "|";
      out += "\n";
    }
    return out;
  }

  std::unique_ptr<Book> book;
};

TEST_F(GlossaryTest, WindowFollowsOneRedirectOnly) {
  TheSettings().vMediaDir = "/media/";
  Book window;
  window.OpenGlossary("2");  // one qvTmGoto: entry 3, asked for as "red giant"
  window.GlossaryTerm(1);
  window.ShowGlossary(1);
  EXPECT_EQ(Take(), "giant<p>Big. <img src=\"/media/g.gif\"></p>");
  EXPECT_EQ(window.GetGlossaryOriginalTerm(), "red giant");

  window.OpenGlossary(5);  // two: shown as it is, links made addresses
  window.ShowGlossary(1);
  EXPECT_EQ(Take(), "/site/book.lp?glossary_id=1\" and /site/book.lp?glossary_id=2\"");
  EXPECT_EQ(window.GetGlossaryOriginalTerm(), "");

  const std::string before = Dump("qvglossary");
  window.OpenGlossary("1 or 1=1");
  EXPECT_EQ(Take(), GetMsg("ErrorGlossaryNotFound", 1));
  window.GlossaryTerm(1);  // the earlier entry stays
  EXPECT_EQ(Take(), "sun");
  Book fresh;
  fresh.OpenGlossary("99");
  fresh.GlossaryTerm(1);
  EXPECT_EQ(Take(), GetMsg("ErrorGlossaryNotFound", 1));
  EXPECT_EQ(Dump("qvglossary"), before);
}

TEST_F(GlossaryTest, LinkFormOffersTermsOutsideTagsWithLinksChecked) {
  Open("id=10&qvAction=listglossary");
  book::ListGlossaryForm();
  EXPECT_EQ(Take(),
            "<form method=\"POST\" action=\"/site/book.lp?id=10\">"
            "<input type=\"hidden\" name=\"qvAction\" value=\"updateglossary\">"
            "<input type=\"checkbox\" name=\"Gred giant\" value=\"2_65\">red giant<br>"
            "<input type=\"checkbox\" name=\"Gorbit\" value=\"1_65\" checked>orbit<br>"
            "<p><center><input type=\"submit\" value=\"" +
                GetMsg("ButtonUpdateGlossary", 1) +
                "\" name=\"qvUpdateGlossary\">&nbsp;<input type=\"reset\" value=\"" +
                GetMsg("ButtonReset", 1) + "\" name=\"B2\"></p></center></form>");

  // Groups of GlossaryBook: whole numbers only.
  TheSettings().GlossaryBook = "3, x, 7";
  Statements().clear();
  book::ListGlossaryForm();
  EXPECT_EQ(SqlCount("(dbBookID=3 or dbBookID=7)  order by len(dbTitle_e) desc"), 1);
  EXPECT_NE(Take().find("name=\"Ggiant\" value=\"3_65\">giant<br><p>"), std::string::npos);
  TheSettings().GlossaryBook = "7";
  book::ListGlossaryForm();
  EXPECT_EQ(Take(), GetMsg("ErrorNoGlossaryToUpdate", 1));
}

TEST_F(GlossaryTest, UpdateLinksCheckedTermsAndDropsUnchecked) {
  Open("id=10&qvAction=updateglossary");
  Post({{"Gred giant", "2_65"}});  // orbit unchecked
  book::UpdateGlossaryLinks();
  EXPECT_EQ(Content(),
            "A <a href=\"javascript:qvTmGlossary(2)\">red giant</a> in "
            "<b title=\"orbit\">its</b> orbit. orbit");
  EXPECT_EQ(Exec("SELECT ID FROM qvAuthLog WHERE dbAction=9").rows.size(), 1u);
}

TEST_F(GlossaryTest, ForgedItemsAndMissingRightsWriteNothing) {
  const std::string before = Dump("qvbook");
  // A name that is no term, an unknown id, a mode that is no number: the
  // term comes from the entry, so only entry 1 links, under its own title.
  Open("id=10&qvAction=updateglossary");
  Post({{"G<script>", "1_65"}, {"Gx", "99_65"}, {"Gorbit", "1_x"}});
  book::UpdateGlossaryLinks();
  EXPECT_EQ(Content().find("<script>"), std::string::npos);
  EXPECT_NE(Content().find("<a href=\"javascript:qvTmGlossary(1)\">orbit</a>."), std::string::npos);

  Exec("UPDATE qvbook SET dbContent_e='orbit' WHERE ID=10");
  const std::string reset = Dump("qvbook");
  LogIn("stu");
  Exec("UPDATE qvAuthBook SET dbReaderUserID='stu' WHERE ID=2");
  Open("id=10&qvAction=updateglossary");
  Post({{"Gorbit", "1_65"}});
  book::UpdateGlossaryLinks();
  EXPECT_EQ(Take(), GetMsg("ErrorAuthNoUpdate", 1));
  EXPECT_EQ(Dump("qvbook"), reset);
  EXPECT_NE(before, reset);
}

TEST_F(GlossaryTest, HelpIsCreatedOnFirstUseForKnownActionsOnly) {
  Open("id=10");
  CurrentBook().strHelpCode = "read";
  book->Help();
  EXPECT_EQ(Take(), "New help on read_qvbook_");
  book->Help();
  EXPECT_EQ(Take(), "Help on read_qvbook_");
  const auto row = Exec(
                       "SELECT dbPID, dbBookID, dbOwnerID, dbOrder, dbTitle_e FROM qvglossary "
                       "WHERE dbKeyword_e='read_qvbook_'")
                       .rows;
  ASSERT_EQ(row.size(), 1u);
  EXPECT_EQ(ToStr(row[0][2]), "qvtome");
  EXPECT_EQ(ToStr(row[0][4]), "read_qvbook_");

  // An action the page does not know makes no entry.
  const std::string before = Dump("qvglossary");
  Open("id=10&qvAction=%3Cjunk%3E");
  CurrentBook().strHelpCode = "read";
  book->Help();
  EXPECT_EQ(Take(), "New help on read_qvbook_&lt;junk&gt;");
  EXPECT_EQ(Dump("qvglossary"), before);

  // Administrators get the edit link.
  LogIn("boss", "99");
  Open("id=10");
  book->Help("read_qvbook_");
  EXPECT_EQ(Take(), "<a href=\"help.lp?helpcode=read_qvbook_&language=e\">" +
                        GetMsg("msgEditCommand", 1) + "</a>Help on read_qvbook_");
}

}  // namespace
}  // namespace qv::testing

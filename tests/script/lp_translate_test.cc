#include "script/lp_translate.h"

#include <algorithm>

#include <gtest/gtest.h>

#include "script_fixture.h"

namespace qv::testing {
namespace {

using script::LpSyntaxError;
using script::TranslateLp;

long Lines(const std::string& text) { return std::count(text.begin(), text.end(), '\n'); }

TEST(LpTranslate, KeepsLineBreaksOneForOne) {
  const std::string lp = "<html>\n<% local x = 1\nlocal y = 2 %>\n<%= x +\n y %>\n</html>\n";
  EXPECT_EQ(Lines(TranslateLp(lp)), Lines(lp));
}

TEST(LpTranslate, UnclosedBlockNamesItsLine) {
  try {
    TranslateLp("a\nb\n<% x = 1\n");
    FAIL() << "no error";
  } catch (const LpSyntaxError& e) {
    EXPECT_STREQ(e.what(), "line 3: '<%' without a closing '%>'");
  }
}

using LpPages = ScriptTest;

TEST_F(LpPages, LiteralTextPassesByteForByte) {
  const std::string text = "\n\"quoted\" \\ back ]] ]==] \r\n<tab>\t%> end\n";
  EXPECT_EQ(Run(text, "literal.lp"), text);
}

TEST_F(LpPages, CodeAndExpressionsInterleaveWithText) {
  const std::string lp =
      "<ul><% for i = 1, 3 do %><li><%= i %></li><% end %></ul>"
      "<%= nil %>|<%= true %>|<%= 2.5 %>|<%= 10 / 2 %>";
  EXPECT_EQ(Run(lp, "loop.lp"), "<ul><li>1</li><li>2</li><li>3</li></ul>|True|2.5|5");
}

TEST_F(LpPages, TrailingCommentDoesNotSwallowTheNextText) {
  EXPECT_EQ(Run("<% local x = 1 -- note %>after<%= x -- one %>", "comment.lp"), "after1");
}

TEST_F(LpPages, ErrorsPointAtTheLpLine) {
  std::string message = ErrorOf("<p>\n</p>\n\n<% local t = nil; t.x = 1 %>\n", "broken.lp");
  EXPECT_NE(message.find("/broken.lp:4:"), std::string::npos) << message;
}

}  // namespace
}  // namespace qv::testing

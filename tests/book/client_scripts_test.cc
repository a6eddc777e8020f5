#include <gtest/gtest.h>

#include "book/book_fixture.h"
#include "book/book_internal.h"
#include "session/messages.h"

namespace qv {
namespace {

using testing::BookTest;

using ClientScriptsTest = BookTest;

// The two glossary blocks around one open line.
std::string GlossaryBlocks(const std::string& open_line) {
  std::string out;
  for (const char* name : {"qvTmGlossary", "qvGlossary"}) {
    out += std::string("\r\n<script language=\"JavaScript\"><!--\r\nfunction ") + name +
           "(id)\r\n{\r\n" + open_line + "\r\n}\r\n// --></script>\r\n";
  }
  return out;
}

// Without features of its own the message gets the default window.
TEST_F(ClientScriptsTest, GlossaryWindowFeaturesComeFromTheMessageOrTheDefault) {
  SetMsg("URLGlossary_e", "glossary.lp", true);
  book::WriteGlossaryScript();
  EXPECT_EQ(Take(), GlossaryBlocks("    open (\"glossary.lp?glossary_id=\"+id,\"_blank\", "
                                   "\"toolbar=no,location=no,directories=no,status=no,menubar=no,"
                                   "scrollbars=yes,resizeable=yes,width=500,height=200,top=100,"
                                   "left=200\");"));
  SetMsg("URLGlossary_e", "/g/list.lp?width=300,height=90", true);
  book::WriteGlossaryScript();
  EXPECT_EQ(Output(), GlossaryBlocks("    open (\"/g/list.lp?glossary_id=\"+id,\"_blank\", "
                                     "\"width=300,height=90\");"));
}

}  // namespace
}  // namespace qv

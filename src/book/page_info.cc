// The page information block for authors: clipboard, book code, type,
// owners, group and expiry of the current page.
#include <string>

#include "book/book.h"
#include "book/book_internal.h"
#include "book/book_state.h"
#include "core/convert.h"
#include "core/encode.h"
#include "data/settings.h"
#include "host/context.h"
#include "session/current_page.h"
#include "session/identity.h"
#include "session/messages.h"

namespace qv {
namespace {

void WriteInfoLine(const char* key, const std::string& value, const char* end = "]<br>") {
  ResponseWrite(GetMsg(key, 1) + " = [" + value + end);
}

}  // namespace

void Book::PageInfo() {
  if (!IsAuthor()) return;
  const Settings& s = TheSettings();
  const PageRecord& page = ThePage();
  const BookState& book_state = CurrentBook();
  Session& session = TheSession();
  if (NullToStr(session.Value(SessionKey("Cut_PasteTable"))) == s.TableName) {
    // A page title, HTML like every title.
    WriteInfoLine("menuPasteClipboard", NullToStr(session.Value(SessionKey("Cut_PasteTitle"))));
  }
  WriteInfoLine("dbBookCode", HtmlEncode(book_state.strBookCode));
  WriteInfoLine("dbType", std::to_string(page.intPageType));
  WriteInfoLine("dbOwnerID", HtmlEncode(UserID2Name(book_state.strBookOwnerID, "")) +
                                 "&nbsp;->&nbsp;" +
                                 HtmlEncode(UserID2Name(page.strPageOwnerID, "")));
  WriteInfoLine("dbGroup", std::to_string(page.intPageGroup));
  WriteInfoLine("dbExpiredDate", HtmlEncode(NullToStr(book::CurrentPageField("dbExpiredDate"))),
                "]<p></p>");
}

}  // namespace qv

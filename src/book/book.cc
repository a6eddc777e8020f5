// The Book object, its read-only members and the request helpers of the
// book module.
#include "book/book.h"

#include "book/book_internal.h"
#include "book/book_state.h"
#include "data/aspproc.h"
#include "host/context.h"
#include "session/current_page.h"
#include "session/messages.h"

namespace qv {

Book::Book() {
  BookState& book_state = CurrentBook();
  book_state.blnShowContents = true;
  book_state.blnShowBody = true;
  book_state.blnPageDeleted = false;
  book_state.blnConfirmScriptShown = false;
  book_state.strPendingMsg.clear();
}

std::string Book::GetErrorMsg() const { return Messages().strErrorMsg; }
bool Book::HasError() const { return !Messages().strErrorMsg.empty(); }
Variant Book::ID() const { return ThePage().ID; }
int32_t Book::GetBookID() const { return ThePage().lBookID; }
std::string Book::GetBookCode() const { return CurrentBook().strBookCode; }
std::string Book::GetBookOwnerID() const { return CurrentBook().strBookOwnerID; }
std::string Book::GetPageOwnerID() const { return ThePage().strPageOwnerID; }
int16_t Book::GetPageType() const { return ThePage().intPageType; }
int16_t Book::GetPageLevel() const { return ThePage().intPageLevel; }
bool Book::hasSubPage() const { return ThePage().intPageChildren != 0; }
std::shared_ptr<Recordset> Book::thePage() const { return Tables().objRS; }
std::string Book::HelpCode() const { return CurrentBook().strHelpCode; }

bool Book::IsEditor() const { return book::HasRight("editor"); }
bool Book::IsAuthor() const { return book::HasRight("author"); }
bool Book::IsAdmin() const { return book::HasRight("admin"); }
bool Book::IsReaderOnly() const { return !IsEditor() && !IsAuthor() && !IsAdmin(); }

namespace book {

std::string RequestValue(const std::string& name) { return TheRequest().Item(name); }
std::string PostedValue(const std::string& name) {
  if (!IsPostRequest()) return "";
  try {
    return TheRequest().Form(name);
  } catch (const HostError&) {
    return "";  // the body was read as an upload
  }
}
std::string QueryValue(const std::string& name) { return TheRequest().QueryString(name); }
bool IsDownloadForm() { return QueryValue("qvDnLd") == "qvTm"; }

}  // namespace book
}  // namespace qv

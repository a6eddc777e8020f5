// The Book object, its read-only members and the request helpers of the
// book module.
#include "book/book.h"

#include "book/book_internal.h"
#include "data/aspproc.h"
#include "data/shared_state.h"

namespace qv {

Book::Book() {
  SharedState& s = State();
  s.blnShowContents = true;
  s.blnShowBody = true;
  s.blnPageDeleted = false;
  s.blnConfirmScriptShown = false;
  s.strPendingMsg.clear();
}

std::string Book::GetErrorMsg() const { return State().strErrorMsg; }
bool Book::HasError() const { return !State().strErrorMsg.empty(); }
Variant Book::ID() const { return State().ID; }
int32_t Book::GetBookID() const { return State().lBookID; }
std::string Book::GetBookCode() const { return State().strBookCode; }
std::string Book::GetBookOwnerID() const { return State().strBookOwnerID; }
std::string Book::GetPageOwnerID() const { return State().strPageOwnerID; }
int16_t Book::GetPageType() const { return State().intPageType; }
int16_t Book::GetPageLevel() const { return State().intPageLevel; }
bool Book::hasSubPage() const { return State().intPageChildren != 0; }
std::shared_ptr<Recordset> Book::thePage() const { return State().objRS; }
std::string Book::HelpCode() const { return State().strHelpCode; }

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

// The edit, add, reply and property forms of a page.
#include "book/book.h"
#include "book/book_internal.h"
#include "session/messages.h"

namespace qv {
namespace book {

void EditRecordForm() { ReportError("ErrorNotAvailable", true); }
void EditFields(const std::string&) {}

}  // namespace book

void Book::EditPage() {
  if (!book::RequestValue("qvAction").empty()) ShowPage();
}

}  // namespace qv

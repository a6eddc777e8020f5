// Book members of page display.
//
// Methods (':'): ShowPage(). The body, markup and library procedures behind
// it are internal to the book module.
#include "script/bind_book.h"

namespace qv::script {

void AddBookDisplayMembers(BookMembers& members) {
  members.methods.push_back({"ShowPage", Method0<&Book::ShowPage>});
}

}  // namespace qv::script

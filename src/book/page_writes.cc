// The writes of page editing: save, add, cut, paste, renumber, delete.
#include "book/book.h"

namespace qv {

void Book::UpdatePage() {}

}  // namespace qv

// The page information block for authors.
#include "book/book.h"

namespace qv {

void Book::PageInfo() {}

}  // namespace qv

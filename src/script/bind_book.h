// Internal: the binding of qvTome.Book, gathered from one member list per
// part of the book module (bind_book_model.cc, bind_book_display.cc,
// bind_book_navigation.cc), so each part binds its own members.
#pragma once

#include <vector>

#include "book/book.h"
#include "script/bind_class.h"

namespace qv::script {

template <>
struct BoundClass<Book> {
  static constexpr const char* name = "qvTome.Book";
};

// Methods are called with ':', getters and setters are properties ('.').
struct BookMembers {
  std::vector<Member> methods, getters, setters;
};

void AddBookModelMembers(BookMembers& members);
void AddBookDisplayMembers(BookMembers& members);
void AddBookNavigationMembers(BookMembers& members);

}  // namespace qv::script

// Book members of contents, navigation and the course list.
//
// Methods (':'): ListContentsLevel(thumbnails = 0, level = 0, isEdit = false),
// ListContents(thumbnails = 0, level = 0, isEdit = false, hideSelf = true),
// ListMenu(), GoTop(title), GoUp(title), GoRefresh(title), GoNext(title),
// GoPrevious(title), PageTitle(language = 1), ParentTitle(),
// ClosePage(foot = true), ListCourses(table, editOnly = false,
// image = "mark_book.gif"), FirstBookID(table), BookTitle(), BookDescription(),
// BookRemark().
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>

#include "script/bind_book.h"

namespace qv::script {
namespace {

// An optional whole-number argument that must fit T.
template <class T>
T OptNumber(lua_State* L, int index, T fallback) {
  const int64_t value = OptInteger(L, index, fallback);
  if (value < std::numeric_limits<T>::min() || value > std::numeric_limits<T>::max()) {
    throw std::out_of_range("Overflow: " + std::to_string(value));
  }
  return static_cast<T>(value);
}

int ListContentsLevel(lua_State* L) {
  return Protect(L, [&] {
    Self<Book>(L)->ListContentsLevel(OptNumber<int16_t>(L, 2, 0), OptNumber<int32_t>(L, 3, 0),
                                     OptBoolean(L, 4, false));
    return 0;
  });
}

int ListContents(lua_State* L) {
  return Protect(L, [&] {
    Self<Book>(L)->ListContents(OptNumber<int16_t>(L, 2, 0), OptNumber<int16_t>(L, 3, 0),
                                OptBoolean(L, 4, false), OptBoolean(L, 5, true));
    return 0;
  });
}

// A navigation link writer taking the link text.
template <void (Book::*link)(const std::string&)>
int LinkMethod(lua_State* L) {
  return Protect(L, [&] {
    (Self<Book>(L).get()->*link)(ArgString(L, 2));
    return 0;
  });
}

int PageTitle(lua_State* L) {
  return Protect(L, [&] {
    Self<Book>(L)->PageTitle(OptNumber<int16_t>(L, 2, 1));
    return 0;
  });
}

int ClosePage(lua_State* L) {
  return Protect(L, [&] {
    Self<Book>(L)->ClosePage(OptBoolean(L, 2, true));
    return 0;
  });
}

int ListCourses(lua_State* L) {
  return Protect(L, [&] {
    Self<Book>(L)->ListCourses(ArgString(L, 2), OptBoolean(L, 3, false),
                               OptString(L, 4, "mark_book.gif"));
    return 0;
  });
}

int FirstBookID(lua_State* L) {
  return Protect(L, [&] {
    lua_pushinteger(L, Self<Book>(L)->FirstBookID(ArgString(L, 2)));
    return 1;
  });
}

}  // namespace

void AddBookNavigationMembers(BookMembers& members) {
  members.methods.insert(members.methods.end(),
                         {{"ListContentsLevel", ListContentsLevel},
                          {"ListContents", ListContents},
                          {"ListMenu", Method0<&Book::ListMenu>},
                          {"GoTop", LinkMethod<&Book::GoTop>},
                          {"GoUp", LinkMethod<&Book::GoUp>},
                          {"GoRefresh", LinkMethod<&Book::GoRefresh>},
                          {"GoNext", LinkMethod<&Book::GoNext>},
                          {"GoPrevious", LinkMethod<&Book::GoPrevious>},
                          {"PageTitle", PageTitle},
                          {"ParentTitle", Method0<&Book::ParentTitle>},
                          {"ClosePage", ClosePage},
                          {"ListCourses", ListCourses},
                          {"FirstBookID", FirstBookID},
                          {"BookTitle", Method0<&Book::BookTitle>},
                          {"BookDescription", Method0<&Book::BookDescription>},
                          {"BookRemark", Method0<&Book::BookRemark>}});
}

}  // namespace qv::script

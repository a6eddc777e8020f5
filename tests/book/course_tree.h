// CourseTreeTest: book 1 of qvbook, owned by "teacher", read by the minor
// group "readers", for the contents and navigation tests.
//
//   10 Intro (section)          20 Second (section)
//      11 Alpha                    21 Gamma
//      12 Heading (type 255)
//      13 Beta (section)        30 Board (bulletin)
//         16 Deep                  31 Msg one (student)  32 Msg two (other)
//      14 Draft (unfinished)       33 Msg three (student), all type 5
//      15 Old (expired)
#pragma once

#include <string>

#include "book/book.h"
#include "book/book_fixture.h"

namespace qv::testing {

class CourseTreeTest : public BookTest {
 protected:
  CourseTreeTest() {
    AddBook({.id = 1, .owner = "teacher", .reader_groups = "staff, readers"});
    AddPage({.id = 10, .pid = -1, .book = 1, .order = 1, .children = 5, .title = "Intro"});
    AddPage({.id = 11, .pid = 10, .book = 1, .level = 2, .order = 1, .title = "Alpha"});
    AddPage(
        {.id = 12, .pid = 10, .book = 1, .level = 2, .order = 2, .type = 255, .title = "Heading"});
    AddPage(
        {.id = 13, .pid = 10, .book = 1, .level = 2, .order = 3, .children = 1, .title = "Beta"});
    AddPage({.id = 16, .pid = 13, .book = 1, .level = 3, .order = 1, .title = "Deep"});
    AddPage({.id = 14,
             .pid = 10,
             .book = 1,
             .level = 2,
             .order = 4,
             .title = "Draft",
             .finished_e = false});
    AddPage({.id = 15,
             .pid = 10,
             .book = 1,
             .level = 2,
             .order = 5,
             .title = "Old",
             .expired = "2000-01-01 00:00:00"});
    AddPage({.id = 20, .pid = -1, .book = 1, .order = 2, .children = 1, .title = "Second"});
    AddPage({.id = 21, .pid = 20, .book = 1, .level = 2, .order = 1, .title = "Gamma"});
    AddPage(
        {.id = 30, .pid = -1, .book = 1, .order = 3, .type = 4, .children = 3, .title = "Board"});
    AddPage({.id = 31,
             .pid = 30,
             .book = 1,
             .level = 2,
             .order = 1,
             .type = 5,
             .owner = "student",
             .title = "Msg one"});
    AddPage({.id = 32,
             .pid = 30,
             .book = 1,
             .level = 2,
             .order = 2,
             .type = 5,
             .owner = "other",
             .title = "Msg two"});
    AddPage({.id = 33,
             .pid = 30,
             .book = 1,
             .level = 2,
             .order = 3,
             .type = 5,
             .owner = "student",
             .title = "Msg three"});
    State().vImageDir = "img/";
  }

  // Opens page id as the given user (the request's query is "id=" & id
  // followed by extra) and loads the book; the response is then empty.
  void Open(const std::string& id, const std::string& user, const std::string& minor = "",
            const std::string& extra = "") {
    Query("id=" + id + extra);
    LogIn(user, "", minor);
    book.OpenPage("qvbook");
    book.OpenBook();
    host.response.Clear();
  }
  void OpenAsReader(const std::string& id) { Open(id, "student", "readers"); }
  void OpenAsTeacher(const std::string& id) { Open(id, "teacher"); }

  Book book;
};

}  // namespace qv::testing

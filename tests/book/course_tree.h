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
#include "data/settings.h"

namespace qv::testing {

class CourseTreeTest : public BookTest {
 protected:
  CourseTreeTest() {
    AddBook({.id = 1, .owner = "teacher", .reader_groups = "staff, readers"});
    Add(10, -1, 1, 1, "Intro", 0, 5);
    Add(11, 10, 2, 1, "Alpha");
    Add(12, 10, 2, 2, "Heading", 255);
    Add(13, 10, 2, 3, "Beta", 0, 1);
    Add(16, 13, 3, 1, "Deep");
    Add(14, 10, 2, 4, "Draft");
    Add(15, 10, 2, 5, "Old");
    Add(20, -1, 1, 2, "Second", 0, 1);
    Add(21, 20, 2, 1, "Gamma");
    Add(30, -1, 1, 3, "Board", 4, 3);
    Add(31, 30, 2, 1, "Msg one", 5, 0, "student");
    Add(32, 30, 2, 2, "Msg two", 5, 0, "other");
    Add(33, 30, 2, 3, "Msg three", 5, 0, "student");
    Exec("UPDATE qvbook SET dbFinished_e=false WHERE ID=14");
    Exec("UPDATE qvbook SET dbExpiredDate='2000-01-01 00:00:00' WHERE ID=15");
    TheSettings().vImageDir = "img/";
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

  // Position of text in the output, failing the test when it is missing.
  size_t At(const std::string& text) const {
    const size_t pos = Output().find(text);
    EXPECT_NE(pos, std::string::npos) << "missing: " << text << "\nin: " << Output();
    return pos;
  }

  // A page of book 1 as drawn above.
  void Add(int id, int pid, int level, int order, const std::string& title, int type = 0,
           int children = 0, const std::string& owner = "") {
    PageRow row{.id = id, .pid = pid, .book = 1, .level = level, .order = order, .type = type};
    row.children = children;
    row.owner = owner;
    row.title = title;
    AddPage(row);
  }

  Book book;
};

}  // namespace qv::testing

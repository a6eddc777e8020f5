set(QV_BOOK_SOURCES
  book/book.cc
  book/book_model.cc
  book/client_scripts.cc
  book/commands.cc
  book/contents.cc
  book/course_list.cc
  book/display.cc
  book/library.cc
  book/markup.cc
  book/navigation.cc
)
list(TRANSFORM QV_BOOK_SOURCES PREPEND ${CMAKE_CURRENT_LIST_DIR}/../)

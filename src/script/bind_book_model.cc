// Book members of the page and book model: opening a page and its book, and
// the read-only properties of the current page.
//
// Methods (':'): OpenPage(table, DefaultID = "0"), ReOpenPage(id),
// ReOpenSubPage(), OpenBook(). Read-only properties ('.'): GetErrorMsg,
// HasError, ID, GetBookID, GetBookCode, GetBookOwnerID, GetPageOwnerID,
// GetPageType, GetPageLevel, hasSubPage, thePage, HelpCode, GetPageNo,
// GetPageNoTotal, IsEditor, IsAuthor, IsAdmin, IsReaderOnly.
#include "script/bind_book.h"

namespace qv::script {
namespace {

int OpenPage(lua_State* L) {
  return Protect(L, [&] {
    Self<Book>(L)->OpenPage(ArgString(L, 2), OptString(L, 3, "0"));
    return 0;
  });
}

int ReOpenPage(lua_State* L) {
  return Protect(L, [&] {
    Self<Book>(L)->ReOpenPage(ArgString(L, 2));
    return 0;
  });
}

}  // namespace

void AddBookModelMembers(BookMembers& members) {
  members.methods.insert(members.methods.end(), {{"OpenPage", OpenPage},
                                                 {"ReOpenPage", ReOpenPage},
                                                 {"ReOpenSubPage", Method0<&Book::ReOpenSubPage>},
                                                 {"OpenBook", Method0<&Book::OpenBook>}});
  members.getters.insert(members.getters.end(), {{"GetErrorMsg", Getter<&Book::GetErrorMsg>},
                                                 {"HasError", Getter<&Book::HasError>},
                                                 {"ID", Getter<&Book::ID>},
                                                 {"GetBookID", Getter<&Book::GetBookID>},
                                                 {"GetBookCode", Getter<&Book::GetBookCode>},
                                                 {"GetBookOwnerID", Getter<&Book::GetBookOwnerID>},
                                                 {"GetPageOwnerID", Getter<&Book::GetPageOwnerID>},
                                                 {"GetPageType", Getter<&Book::GetPageType>},
                                                 {"GetPageLevel", Getter<&Book::GetPageLevel>},
                                                 {"hasSubPage", Getter<&Book::hasSubPage>},
                                                 {"thePage", Getter<&Book::thePage>},
                                                 {"HelpCode", Getter<&Book::HelpCode>},
                                                 {"GetPageNo", Getter<&Book::GetPageNo>},
                                                 {"GetPageNoTotal", Getter<&Book::GetPageNoTotal>},
                                                 {"IsEditor", Getter<&Book::IsEditor>},
                                                 {"IsAuthor", Getter<&Book::IsAuthor>},
                                                 {"IsAdmin", Getter<&Book::IsAdmin>},
                                                 {"IsReaderOnly", Getter<&Book::IsReaderOnly>}});
}

}  // namespace qv::script

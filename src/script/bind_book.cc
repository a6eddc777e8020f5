// qvTome.Book(): the book object, its members gathered from the parts of
// the book binding.
#include "script/bind_book.h"
#include "script/bindings.h"

namespace qv::script {
namespace {

// The list with its end marker.
const Member* Terminated(std::vector<Member>& members) {
  members.push_back({nullptr, nullptr});
  return members.data();
}

}  // namespace

void RegisterBook(lua_State* L) {
  BookMembers members;
  AddBookModelMembers(members);
  AddBookDisplayMembers(members);
  AddBookNavigationMembers(members);
  // RegisterClass copies the lists into the metatable.
  RegisterClass(L, {BoundClass<Book>::name, Terminated(members.methods),
                    Terminated(members.getters), Terminated(members.setters), nullptr});
}

bool PushIfBook(lua_State* L, const std::shared_ptr<Object>& object) {
  auto book = std::dynamic_pointer_cast<Book>(object);
  if (!book) return false;
  PushObject(L, BoundClass<Book>::name, std::move(book));
  return true;
}

int NewBook(lua_State* L) {
  return Protect(L, [&] {
    PushObject(L, BoundClass<Book>::name, std::make_shared<Book>());
    return 1;
  });
}

}  // namespace qv::script

// qvTome.AspProc(): table access.
//
// Methods (':'): dbOpen, dbClose, dbMoveFirst, dbMoveNext, dbMovePrevious,
// dbMoveLast, dbRSBOF, dbRSEOF, dbGetTable, dbCreateTable, dbDeleteTable,
// dbDeleteRecord, dbEnCode. Properties ('.'): RecordSet (read-only),
// SkipLinkForm, IsDisplayOnly. dbCreateTable takes its column list as a Lua
// sequence ({"a text(50)", "b int"}) or an array.
#include <string>

#include "data/aspproc.h"
#include "script/bind_class.h"
#include "script/bindings.h"

namespace qv::script {

template <>
struct BoundClass<AspProc> {
  static constexpr const char* name = "qvTome.AspProc";
};

namespace {

int DbOpen(lua_State* L) {
  return Protect(L, [&] {
    Self<AspProc>(L)->dbOpen(ArgString(L, 2), ArgString(L, 3), ArgString(L, 4),
                             OptBoolean(L, 5, false));
    return 0;
  });
}

int DbGetTable(lua_State* L) {
  return Protect(L, [&] {
    PushValue(L, Self<AspProc>(L)->dbGetTable(ArgString(L, 2), ArgString(L, 3), ArgString(L, 4)));
    return 1;
  });
}

int DbCreateTable(lua_State* L) {
  return Protect(L, [&] {
    Self<AspProc>(L)->dbCreateTable(ArgString(L, 2), ArgVariant(L, 3), OptBoolean(L, 4, false));
    return 0;
  });
}

int DbDeleteTable(lua_State* L) {
  return Protect(L, [&] {
    Self<AspProc>(L)->dbDeleteTable(ArgString(L, 2));
    return 0;
  });
}

int DbDeleteRecord(lua_State* L) {
  return Protect(L, [&] {
    Self<AspProc>(L)->dbDeleteRecord(ArgString(L, 2), ArgString(L, 3));
    return 0;
  });
}

int DbEnCode(lua_State* L) {
  return Protect(L, [&] {
    PushValue(L, Self<AspProc>(L)->dbEnCode(ArgString(L, 2)));
    return 1;
  });
}

const Member kMethods[] = {{"dbOpen", DbOpen},
                           {"dbClose", Method0<&AspProc::dbClose>},
                           {"dbMoveFirst", Method0<&AspProc::dbMoveFirst>},
                           {"dbMoveNext", Method0<&AspProc::dbMoveNext>},
                           {"dbMovePrevious", Method0<&AspProc::dbMovePrevious>},
                           {"dbMoveLast", Method0<&AspProc::dbMoveLast>},
                           {"dbRSBOF", Method0<&AspProc::dbRSBOF>},
                           {"dbRSEOF", Method0<&AspProc::dbRSEOF>},
                           {"dbGetTable", DbGetTable},
                           {"dbCreateTable", DbCreateTable},
                           {"dbDeleteTable", DbDeleteTable},
                           {"dbDeleteRecord", DbDeleteRecord},
                           {"dbEnCode", DbEnCode},
                           {nullptr, nullptr}};

const Member kGetters[] = {{"RecordSet", Getter<&AspProc::RecordSet>},
                           {"SkipLinkForm", Getter<&AspProc::SkipLinkForm>},
                           {"IsDisplayOnly", Getter<&AspProc::IsDisplayOnly>},
                           {nullptr, nullptr}};

const Member kSetters[] = {{"SkipLinkForm", Setter<&AspProc::SetSkipLinkForm>},
                           {"IsDisplayOnly", Setter<&AspProc::SetIsDisplayOnly>},
                           {nullptr, nullptr}};

}  // namespace

void RegisterAspProc(lua_State* L) {
  RegisterClass(L, {BoundClass<AspProc>::name, kMethods, kGetters, kSetters, nullptr});
}

bool PushIfAspProc(lua_State* L, const std::shared_ptr<Object>& object) {
  auto asp_proc = std::dynamic_pointer_cast<AspProc>(object);
  if (!asp_proc) return false;
  PushObject(L, BoundClass<AspProc>::name, std::move(asp_proc));
  return true;
}

int NewAspProc(lua_State* L) {
  return Protect(L, [&] {
    PushObject(L, BoundClass<AspProc>::name, std::make_shared<AspProc>());
    return 1;
  });
}

}  // namespace qv::script

// Record sets, their field objects and connections.
//
// rs("name") reads a field of the current row, rs("name", value) writes it,
// rs(i) gives the field object i from 0 (Name, Value, Type, DefinedSize);
// the members are rs.EOF, rs.BOF, rs.RecordCount, rs.State and rs:Open,
// rs:Close, rs:Move*, rs:AddNew, rs:UpdateBatch, rs:GetRows, rs:Fields(key).
// A connection has conn:Open(dsn, user, password), conn:execute(sql) (a
// record set for a query, else nil), conn:Close() and conn.State.
#include <string>

#include "data/connection.h"
#include "data/recordset.h"
#include "script/bindings.h"
#include "script/lua_bind.h"

namespace qv::script {
namespace {

constexpr const char* kRecordset = "qvTome.Recordset";
constexpr const char* kField = "qvTome.Field";
constexpr const char* kConnection = "qvTome.Connection";

std::shared_ptr<Recordset> Self(lua_State* L) { return CheckObject<Recordset>(L, 1, kRecordset); }

std::shared_ptr<Connection> SelfConnection(lua_State* L) {
  return CheckObject<Connection>(L, 1, kConnection);
}

int PushField(lua_State* L, Field field) {
  PushObject(L, kField, std::make_shared<Field>(std::move(field)));
  return 1;
}

// The field object for an index from 0 or a name.
Field FieldFor(lua_State* L, const Recordset& rs, int index) {
  int64_t i = 0;
  if (lua_type(L, index) == LUA_TSTRING) {
    std::string name = ArgString(L, index);
    i = rs.FieldIndex(name);
    if (i < 0) throw DatabaseError("Item cannot be found in the collection: " + name);
  } else {
    i = ArgInteger(L, index);
  }
  if (i < 0 || static_cast<size_t>(i) >= rs.FieldCount()) {
    throw DatabaseError("Item cannot be found in the collection: " + std::to_string(i));
  }
  return rs.FieldAt(static_cast<size_t>(i));
}

// rs(name), rs(name, value), rs(index)
int RecordsetCall(lua_State* L) {
  return Protect(L, [&] {
    auto rs = Self(L);
    if (lua_type(L, 2) == LUA_TNUMBER) return PushField(L, FieldFor(L, *rs, 2));
    std::string name = ArgString(L, 2);
    if (lua_gettop(L) >= 3) {
      Variant value = ArgVariant(L, 3);
      rs->SetValue(name, value.IsEmpty() ? Variant(Null) : value);
      return 0;
    }
    PushVariant(L, rs->Value(name));
    return 1;
  });
}

int RecordsetFields(lua_State* L) {
  return Protect(L, [&] { return PushField(L, FieldFor(L, *Self(L), 2)); });
}

int RecordsetOpen(lua_State* L) {
  return Protect(L, [&] {
    auto rs = Self(L);
    std::string sql = ArgString(L, 2);
    auto conn = CheckObject<Connection>(L, 3, kConnection);
    rs->Open(sql, conn, static_cast<int>(OptInteger(L, 4, adOpenForwardOnly)),
             static_cast<int>(OptInteger(L, 5, adLockReadOnly)));
    return 0;
  });
}

template <void (Recordset::*action)()>
int RecordsetAction(lua_State* L) {
  return Protect(L, [&] {
    (Self(L).get()->*action)();
    return 0;
  });
}

int RecordsetGetRows(lua_State* L) {
  return Protect(L, [&] {
    PushArray(L, Self(L)->GetRows());
    return 1;
  });
}

int RecordsetEOF(lua_State* L) {
  return Protect(L, [&] {
    lua_pushboolean(L, Self(L)->EOF_());
    return 1;
  });
}

int RecordsetBOF(lua_State* L) {
  return Protect(L, [&] {
    lua_pushboolean(L, Self(L)->BOF());
    return 1;
  });
}

int RecordsetRecordCount(lua_State* L) {
  return Protect(L, [&] {
    lua_pushinteger(L, static_cast<lua_Integer>(Self(L)->RecordCount()));
    return 1;
  });
}

int RecordsetState(lua_State* L) {
  return Protect(L, [&] {
    lua_pushinteger(L, Self(L)->IsOpen() ? 1 : 0);
    return 1;
  });
}

// Field --------------------------------------------------------------------

std::shared_ptr<Field> SelfField(lua_State* L) { return CheckObject<Field>(L, 1, kField); }

int FieldName(lua_State* L) {
  return Protect(L, [&] {
    PushVariant(L, SelfField(L)->Name);
    return 1;
  });
}

int FieldValue(lua_State* L) {
  return Protect(L, [&] {
    PushVariant(L, SelfField(L)->Value);
    return 1;
  });
}

int FieldType(lua_State* L) {
  return Protect(L, [&] {
    lua_pushinteger(L, SelfField(L)->Type);
    return 1;
  });
}

int FieldDefinedSize(lua_State* L) {
  return Protect(L, [&] {
    lua_pushinteger(L, SelfField(L)->DefinedSize);
    return 1;
  });
}

// Connection ---------------------------------------------------------------

int ConnectionOpen(lua_State* L) {
  return Protect(L, [&] {
    SelfConnection(L)->Open(ArgString(L, 2), OptString(L, 3, ""), OptString(L, 4, ""));
    return 0;
  });
}

int ConnectionExecute(lua_State* L) {
  return Protect(L, [&] {
    auto conn = SelfConnection(L);
    QueryResult result = conn->Query(ArgString(L, 2));
    if (result.fields.empty()) {
      lua_pushnil(L);
      return 1;
    }
    auto rs = std::make_shared<Recordset>();
    rs->Attach(std::move(result));
    PushObject(L, kRecordset, std::move(rs));
    return 1;
  });
}

template <void (Connection::*action)()>
int ConnectionAction(lua_State* L) {
  return Protect(L, [&] {
    (SelfConnection(L).get()->*action)();
    return 0;
  });
}

int ConnectionState(lua_State* L) {
  return Protect(L, [&] {
    lua_pushinteger(L, SelfConnection(L)->IsOpen() ? 1 : 0);
    return 1;
  });
}

const Member kRecordsetMethods[] = {{"Open", RecordsetOpen},
                                    {"Close", RecordsetAction<&Recordset::Close>},
                                    {"MoveFirst", RecordsetAction<&Recordset::MoveFirst>},
                                    {"MoveNext", RecordsetAction<&Recordset::MoveNext>},
                                    {"MovePrevious", RecordsetAction<&Recordset::MovePrevious>},
                                    {"MoveLast", RecordsetAction<&Recordset::MoveLast>},
                                    {"AddNew", RecordsetAction<&Recordset::AddNew>},
                                    {"UpdateBatch", RecordsetAction<&Recordset::UpdateBatch>},
                                    {"GetRows", RecordsetGetRows},
                                    {"Fields", RecordsetFields},
                                    {nullptr, nullptr}};
const Member kRecordsetGetters[] = {{"EOF", RecordsetEOF},
                                    {"BOF", RecordsetBOF},
                                    {"RecordCount", RecordsetRecordCount},
                                    {"State", RecordsetState},
                                    {nullptr, nullptr}};
const Member kRecordsetMeta[] = {{"__call", RecordsetCall}, {nullptr, nullptr}};

const Member kFieldGetters[] = {{"Name", FieldName},
                                {"Value", FieldValue},
                                {"Type", FieldType},
                                {"DefinedSize", FieldDefinedSize},
                                {nullptr, nullptr}};

const Member kConnectionMethods[] = {
    {"Open", ConnectionOpen},
    {"execute", ConnectionExecute},
    {"Close", ConnectionAction<&Connection::Close>},
    {"BeginTrans", ConnectionAction<&Connection::BeginTransaction>},
    {"CommitTrans", ConnectionAction<&Connection::Commit>},
    {"RollbackTrans", ConnectionAction<&Connection::Rollback>},
    {nullptr, nullptr}};
const Member kConnectionGetters[] = {{"State", ConnectionState}, {nullptr, nullptr}};

}  // namespace

void RegisterDataClasses(lua_State* L) {
  RegisterClass(L, {kRecordset, kRecordsetMethods, kRecordsetGetters, nullptr, kRecordsetMeta});
  RegisterClass(L, {kField, nullptr, kFieldGetters, nullptr, nullptr});
  RegisterClass(L, {kConnection, kConnectionMethods, kConnectionGetters, nullptr, nullptr});
}

bool PushIfDataObject(lua_State* L, const std::shared_ptr<Object>& object) {
  if (auto rs = std::dynamic_pointer_cast<Recordset>(object)) {
    PushObject(L, kRecordset, std::move(rs));
    return true;
  }
  if (auto conn = std::dynamic_pointer_cast<Connection>(object)) {
    PushObject(L, kConnection, std::move(conn));
    return true;
  }
  return false;
}

}  // namespace qv::script

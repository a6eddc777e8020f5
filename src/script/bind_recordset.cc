// Record sets, their field objects and connections.
//
// rs("name") reads a field of the current row, rs("name", value) writes it,
// rs(i) gives the field object i from 0 (Name, Value, Type, DefinedSize);
// the members are rs.EOF, rs.BOF, rs.RecordCount, rs.State and rs:Open,
// rs:Close, rs:Move*, rs:AddNew, rs:UpdateBatch, rs:GetRows, rs:Fields(key).
// A connection has conn:Open(dsn, user, password), conn:execute(sql) (a
// record set for a query, else nil), conn:Close(), the transaction members
// and conn.State.
#include <string>

#include "core/convert.h"
#include "data/connection.h"
#include "data/recordset.h"
#include "script/bind_class.h"

namespace qv::script {

template <>
struct BoundClass<Recordset> {
  static constexpr const char* name = "qvTome.Recordset";
};
template <>
struct BoundClass<Field> {
  static constexpr const char* name = "qvTome.Field";
};
template <>
struct BoundClass<Connection> {
  static constexpr const char* name = "qvTome.Connection";
};

namespace {

// The field object for an index from 0 or a name.
Field FieldOf(Recordset& rs, const Variant& key) {
  int64_t i = 0;
  if (key.IsString()) {
    i = rs.FieldIndex(key.AsString());
    if (i < 0) throw DatabaseError("Item cannot be found in the collection: " + key.AsString());
  } else {
    i = ToInteger(key);
  }
  if (i < 0 || static_cast<size_t>(i) >= rs.FieldCount()) {
    throw DatabaseError("Item cannot be found in the collection: " + std::to_string(i));
  }
  return rs.FieldAt(static_cast<size_t>(i));
}

// rs(name), rs(name, value), rs(index)
int RecordsetCall(lua_State* L) {
  return Protect(L, [&] {
    auto rs = Self<Recordset>(L);
    if (lua_type(L, 2) == LUA_TNUMBER) {
      PushValue(L, FieldOf(*rs, ArgVariant(L, 2)));
      return 1;
    }
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

int RecordsetState(const Recordset& rs) { return rs.IsOpen() ? 1 : 0; }

// A record set for a query, nullptr for a statement that returns no rows.
std::shared_ptr<Recordset> Execute(Connection& conn, const std::string& sql) {
  QueryResult result = conn.Query(sql);
  if (result.fields.empty()) return nullptr;
  auto rs = std::make_shared<Recordset>();
  rs->Attach(std::move(result));
  return rs;
}

int ConnectionState(const Connection& conn) { return conn.IsOpen() ? 1 : 0; }

constexpr Member kRecordsetMembers[] = {
    Method<&Recordset::Open, _, _, adOpenForwardOnly, adLockReadOnly>("Open"),
    Method<&Recordset::Close>("Close"),
    ReadOnly<&RecordsetState>("State"),
    ReadOnly<&Recordset::EOF_>("EOF"),
    ReadOnly<&Recordset::BOF>("BOF"),
    ReadOnly<&Recordset::RecordCount>("RecordCount"),
    Method<&Recordset::MoveFirst>("MoveFirst"),
    Method<&Recordset::MoveNext>("MoveNext"),
    Method<&Recordset::MovePrevious>("MovePrevious"),
    Method<&Recordset::MoveLast>("MoveLast"),
    Method<&Recordset::AddNew>("AddNew"),
    Method<&Recordset::UpdateBatch>("UpdateBatch"),
    Method<&Recordset::GetRows>("GetRows"),
    Method<&FieldOf>("Fields"),
    Metamethod("__call", RecordsetCall),
};

constexpr Member kFieldMembers[] = {
    ReadOnly<&Field::Name>("Name"),
    ReadOnly<&Field::Value>("Value"),
    ReadOnly<&Field::Type>("Type"),
    ReadOnly<&Field::DefinedSize>("DefinedSize"),
};

constexpr Member kConnectionMembers[] = {
    Method<&Connection::Open>("Open"),
    Method<&Execute>("execute"),
    Method<&Connection::Close>("Close"),
    ReadOnly<&ConnectionState>("State"),
    Method<&Connection::BeginTransaction>("BeginTrans"),
    Method<&Connection::Commit>("CommitTrans"),
    Method<&Connection::Rollback>("RollbackTrans"),
};

const ClassRegistration kRecordset = Register<Recordset>(kRecordsetMembers);
const ClassRegistration kField = Register<Field>(kFieldMembers);
const ClassRegistration kConnection = Register<Connection>(kConnectionMembers);

}  // namespace
}  // namespace qv::script

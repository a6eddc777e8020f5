#include "data/aspproc.h"

#include <utility>
#include <vector>

#include "core/convert.h"
#include "core/encode.h"
#include "core/sql_literal.h"
#include "data/queued_writes.h"
#include "data/settings.h"
#include "host/context.h"

namespace qv {

namespace {

// The shared connection could not be opened: show or redirect to the
// configured message and end the response.
[[noreturn]] void EndWithOpenFailure() {
  const std::string& msg = Kept().ODBCErrorMsg;
  if (msg.empty()) {
    ResponseWrite("Could not open database. Please setup ODBC for " + TheSettings().DSNName);
  } else {
    const std::string tail = ToLower(msg.size() > 4 ? msg.substr(msg.size() - 4) : msg);
    if (tail == ".asp" || tail == ".htm") TheResponse().Redirect(msg);
    ResponseWrite(msg);
  }
  TheResponse().End();
  throw ResponseEnded{};  // not reached: End unwinds
}

// Runs sql on a connection of its own, ignoring database errors.
void ExecuteIgnoringErrors(Connection& conn, const std::string& sql) {
  try {
    conn.Query(sql);
  } catch (const DatabaseError&) {
  }
}

}  // namespace

void RequireTableName(const std::string& name) {
  if (!IsPlainIdentifier(name)) throw DatabaseError("Table not found: " + name);
}

namespace {

// A handle on the request transaction's connection: statements, writes and
// nested transactions go to it; Open and Close leave it as it is, so a
// member that opens and closes "a connection of its own" runs inside the
// transaction and leaves it open.
class JoinedConnection : public Connection {
 public:
  explicit JoinedConnection(std::shared_ptr<Connection> conn) : conn_(std::move(conn)) {}
  void Open(const std::string&, const std::string&, const std::string&) override {}
  bool IsOpen() const override { return conn_->IsOpen(); }
  void Close() override {}
  QueryResult Query(const std::string& sql, bool with_keys) override {
    return conn_->Query(sql, with_keys);
  }
  std::vector<int64_t> WriteRows(const std::string& table,
                                 const std::vector<RowWrite>& rows) override {
    return conn_->WriteRows(table, rows);
  }
  void BeginTransaction() override { conn_->BeginTransaction(); }
  void Commit() override { conn_->Commit(); }
  void Rollback() override { conn_->Rollback(); }

 private:
  std::shared_ptr<Connection> conn_;
};

std::shared_ptr<Connection> OpenNewConnection() {
  const Settings& s = TheSettings();
  std::shared_ptr<Connection> conn = NewConnection();
  conn->Open(s.DSNName, s.DSNUserID, s.DSNPassword);
  return conn;
}

}  // namespace

std::shared_ptr<Connection> OpenOwnConnection() {
  const std::shared_ptr<Connection>& joined = Tables().transaction;
  if (joined) return std::make_shared<JoinedConnection>(joined);
  return OpenNewConnection();
}

RequestTransaction::RequestTransaction() {
  TableAccess& tables = Tables();
  if (tables.transaction) throw HostError("A request transaction is already open");
  // Log rows queued before are written first, so that the rows the
  // transaction logs itself follow them.
  FlushQueuedWrites();
  conn_ = OpenNewConnection();
  conn_->BeginTransaction();
  tables.transaction = conn_;
}

RequestTransaction::~RequestTransaction() {
  Tables().transaction.reset();
  if (!open_) return;
  try {
    conn_->Rollback();
  } catch (const std::exception&) {
  }
}

void RequestTransaction::Commit() {
  Tables().transaction.reset();
  conn_->Commit();
  open_ = false;
}

std::shared_ptr<Connection> RequestTransaction::Handle() const {
  return std::make_shared<JoinedConnection>(conn_);
}

AspProc& SharedAspProc() {
  const std::shared_ptr<AspProc>& proc = Tables().objAspProc;
  if (!proc) throw HostError("SysVar.Init has not been called: there is no shared AspProc");
  return *proc;
}

bool IsPostRequest() { return TheRequest().ServerVariables("REQUEST_METHOD") == "POST"; }

void DebugPrint(const std::string& label, const Variant& value) {
  if (!TheSettings().IsDebug) return;
  std::string text;
  if (!value.IsArray() && !value.IsObject()) text = ToStr(value);
  ResponseWrite("<br>" + label + "= [" + HtmlEncode(text) + "]");
}

AspProc::AspProc() {
  Tables().IsDisplayOnly = false;
  Tables().strLinkedFields = "";
}

// Shared record set -------------------------------------------------------------

void AspProc::dbOpen(const std::string& strTableName, const std::string& strFields,
                     const std::string& strWhereClause, bool blnUpdatable) {
  TableAccess& tables = Tables();
  if (TheSettings().IsDebug) {
    DebugPrint("Open table: Table Name", strTableName);
    DebugPrint("Fields Name", strFields);
    DebugPrint("Where clause", strWhereClause);
  }
  std::shared_ptr<Connection> conn;
  try {
    conn = OpenOwnConnection();
  } catch (const DatabaseError&) {
    EndWithOpenFailure();
  }
  tables.objConn = conn;
  tables.objRS = std::make_shared<Recordset>();
  RequireTableName(strTableName);
  const std::string sql = "SELECT " + strFields + " FROM " + strTableName + " " + strWhereClause;
  if (blnUpdatable) {
    tables.objRS->Open(sql, conn, adOpenKeyset, adLockBatchOptimistic);
  } else {
    tables.objRS->Open(sql, conn);
  }
}

std::shared_ptr<Recordset> AspProc::RecordSet() const { return Tables().objRS; }

void AspProc::dbClose() {
  TableAccess& tables = Tables();
  try {
    if (tables.objRS) tables.objRS->Close();
  } catch (const std::exception&) {
  }
  try {
    if (tables.objConn) tables.objConn->Close();
  } catch (const std::exception&) {
  }
}

std::shared_ptr<Recordset> AspProc::RequireRS() const {
  std::shared_ptr<Recordset> rs = Tables().objRS;
  if (!rs) throw DatabaseError("no record set is open: call dbOpen first");
  return rs;
}

void AspProc::dbMoveFirst() { RequireRS()->MoveFirst(); }
void AspProc::dbMoveNext() { RequireRS()->MoveNext(); }
void AspProc::dbMovePrevious() { RequireRS()->MovePrevious(); }
void AspProc::dbMoveLast() { RequireRS()->MoveLast(); }
bool AspProc::dbRSBOF() { return RequireRS()->BOF(); }
bool AspProc::dbRSEOF() { return RequireRS()->EOF_(); }

// Connections of their own ---------------------------------------------------------

Variant AspProc::dbGetTable(const std::string& strTableName, const std::string& strFields,
                            const std::string& strWhereClause) {
  DebugPrint("Get table: Table Name", strTableName);
  DebugPrint("Fields Name", strFields);
  DebugPrint("Where clause", strWhereClause);
  RequireTableName(strTableName);
  std::shared_ptr<Connection> conn = OpenOwnConnection();
  Recordset rs;
  rs.Attach(conn->Query("SELECT " + strFields + " FROM " + strTableName + " " + strWhereClause));
  Variant result = rs.EOF_() ? Variant(Null) : Variant(rs.GetRows());
  rs.Close();
  conn->Close();
  return result;
}

void AspProc::dbCreateTable(const std::string& strTableName, const Variant& aryField,
                            bool blnOverWrite) {
  DebugPrint("Create a table: Table Name", strTableName);
  if (!aryField.IsArray()) throw TypeMismatch("dbCreateTable: the column list is not an array");
  const Array& columns = *aryField.AsArray();
  std::shared_ptr<Connection> conn = OpenOwnConnection();
  if (!IsPlainIdentifier(strTableName)) return;  // fails as a bad statement would
  if (blnOverWrite) ExecuteIgnoringErrors(*conn, "DROP TABLE " + strTableName);
  std::string sql = "CREATE TABLE " + strTableName + " (ID counter";
  for (int64_t i = 0; i <= columns.UBound(1); ++i) sql += ", " + ToStr(columns.at(i));
  sql += ")";
  DebugPrint("SQL", sql);
  ExecuteIgnoringErrors(*conn, sql);
  conn->Close();
}

void AspProc::dbDeleteTable(const std::string& strTableName) {
  DebugPrint("Delete a tabel: Table Name", strTableName);
  std::shared_ptr<Connection> conn = OpenOwnConnection();
  if (IsPlainIdentifier(strTableName)) {
    ExecuteIgnoringErrors(*conn, "DROP TABLE " + strTableName);
  }
  conn->Close();
}

void AspProc::dbDeleteRecord(const std::string& strTableName, const std::string& strWhereClause) {
  DebugPrint("Delete record(s): Table Name", strTableName);
  DebugPrint("Where clause", strWhereClause);
  RequireTableName(strTableName);
  std::shared_ptr<Connection> conn = OpenOwnConnection();
  conn->Query("DELETE * FROM " + strTableName + " " + strWhereClause);
  conn->Close();
}

std::string AspProc::dbEnCode(const std::string& strMsg) { return TheServer().HTMLEncode(strMsg); }

// Form-control switches -------------------------------------------------------------

bool AspProc::SkipLinkForm() const { return Tables().SkipLinkForm; }
void AspProc::SetSkipLinkForm(bool value) { Tables().SkipLinkForm = value; }
bool AspProc::IsDisplayOnly() const { return Tables().IsDisplayOnly; }
void AspProc::SetIsDisplayOnly(bool value) { Tables().IsDisplayOnly = value; }

}  // namespace qv

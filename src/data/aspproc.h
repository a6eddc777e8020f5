// AspProc: table access for page scripts and every module.
//
// SysVar.Init creates one shared instance, State().objAspProc; page scripts
// may create their own. dbOpen opens the shared connection and record set
// (State().objConn, State().objRS) that the form controls read; the other
// members use connections of their own and leave objRS alone.
//
// Statements are built as "SELECT fields FROM table clause": callers pass the
// field list and the whole clause (keyword included) as text, and are
// responsible for quoting any value inside it (core/sql_literal.h). Table
// names must be plain identifiers: any other name fails as a missing table
// would. Errors reach the caller as DatabaseError except where a member says
// it ignores them; a data source that cannot be opened by dbOpen ends the
// response (ResponseEnded) after writing or redirecting to ODBCErrorMsg.
//
// The class is extended by the login, write-back, form-control, grid and
// log modules, each in a .cc of its own; their members go in the marked
// sections.
#pragma once

#include <memory>
#include <string>

#include "core/variant.h"
#include "data/connection.h"
#include "data/recordset.h"

namespace qv {

class AspProc : public Object {
 public:
  // Clears the shared IsDisplayOnly and strLinkedFields.
  AspProc();

  // Table access ------------------------------------------------------------

  // Replaces objConn and objRS with a new connection and the rows of
  // "SELECT strFields FROM strTableName strWhereClause"; updatable (keyset,
  // batch-optimistic) when blnUpdatable.
  void dbOpen(const std::string& strTableName, const std::string& strFields,
              const std::string& strWhereClause, bool blnUpdatable = false);
  // objRS (null before any dbOpen).
  std::shared_ptr<Recordset> RecordSet() const;
  // Closes objRS and objConn, ignoring errors; the references stay set.
  void dbClose();
  void dbMoveFirst();
  void dbMoveNext();
  void dbMovePrevious();
  void dbMoveLast();
  bool dbRSBOF();
  bool dbRSEOF();
  // The rows as an Array (field, row), or Null when none matches.
  Variant dbGetTable(const std::string& strTableName, const std::string& strFields,
                     const std::string& strWhereClause);
  // "CREATE TABLE t (ID counter, def1, def2, ...)" from a one-dimensional
  // Array of column definitions; errors ignored. blnOverWrite drops the
  // table first.
  void dbCreateTable(const std::string& strTableName, const Variant& aryField,
                     bool blnOverWrite = false);
  // "DROP TABLE t"; errors ignored.
  void dbDeleteTable(const std::string& strTableName);
  // "DELETE * FROM t clause"; errors reach the caller.
  void dbDeleteRecord(const std::string& strTableName, const std::string& strWhereClause);
  // Server.HTMLEncode(strMsg).
  std::string dbEnCode(const std::string& strMsg);

  // Form-control switches (shared state) --------------------------------------
  bool SkipLinkForm() const;
  void SetSkipLinkForm(bool value);
  bool IsDisplayOnly() const;
  void SetIsDisplayOnly(bool value);

  // Login (identity module) ----------------------------------------------------
  // Write-back --------------------------------------------------------------
  // Form controls -------------------------------------------------------------
  // Grid forms ----------------------------------------------------------------
  // Activity log --------------------------------------------------------------

 private:
  std::shared_ptr<Recordset> RequireRS() const;
};

// Writes "<br>" label "= [" value "]" when IsDebug is True; else nothing.
void DebugPrint(const std::string& label, const Variant& value);

// A new connection opened on the shared data source (DSNName, DSNUserID,
// DSNPassword). Throws DatabaseError.
std::shared_ptr<Connection> OpenOwnConnection();

// Throws DatabaseError "Table not found: name" unless name is a plain
// identifier.
void RequireTableName(const std::string& name);

}  // namespace qv

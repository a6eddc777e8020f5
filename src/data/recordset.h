// Recordset: a materialised result set with a current row.
//
// Opened read-only (forward-only) or updatable (keyset, batch-optimistic).
// An updatable set remembers its table and each row's ID; field writes and
// AddNew are kept in memory and reach the database only at UpdateBatch, as
// one transaction. Field values read Null for a database NULL, Booleans as
// Booleans and dates as Dates.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/variant.h"
#include "data/connection.h"

namespace qv {

enum CursorType : int { adOpenForwardOnly = 0, adOpenKeyset = 1 };
enum LockType : int { adLockReadOnly = 1, adLockBatchOptimistic = 4 };

class Recordset;

// A field of the current row: the object rs(index) gives.
struct Field {
  std::string Name;
  Variant Value;
  int Type = adVarChar;
  int64_t DefinedSize = 0;
};

class Recordset : public Object {
 public:
  Recordset() = default;

  // Runs sql on conn. With cursor adOpenKeyset and lock
  // adLockBatchOptimistic the set is updatable. Throws DatabaseError.
  void Open(const std::string& sql, std::shared_ptr<Connection> conn,
            int cursor_type = adOpenForwardOnly, int lock_type = adLockReadOnly);
  // Wraps an already-read result (what Connection.execute returns).
  void Attach(QueryResult result);
  bool IsOpen() const { return open_; }
  void Close();

  bool EOF_() const;
  bool BOF() const;
  void MoveFirst();
  void MoveNext();
  void MovePrevious();
  void MoveLast();

  // The table the rows come from; "" when several or none.
  const std::string& Table() const { return result_.table; }
  size_t FieldCount() const { return result_.fields.size(); }
  size_t RecordCount() const { return result_.rows.size(); }
  // Value of the named field (any case) in the current row. Throws
  // DatabaseError for an unknown name or when there is no current row.
  const Variant& Value(const std::string& name) const;
  // Value of field i (from 0) in the current row; as Value.
  const Variant& ValueAt(size_t i) const;
  // Stores a value into the current row (updatable sets only).
  void SetValue(const std::string& name, Variant value);
  // The field object at index i (from 0) of the current row; Value is Empty
  // when there is no current row.
  Field FieldAt(size_t i) const;
  // Index of a named field, or -1.
  int FieldIndex(const std::string& name) const;

  // Appends an empty row and makes it current (updatable sets only).
  void AddNew();
  // Writes changed and added rows in one transaction; afterwards the ID of
  // an added row is readable. Throws DatabaseError; nothing is written then.
  void UpdateBatch();

  // All rows from the current one to the end as an array (field, row);
  // the set is then at EOF. Throws when no row remains.
  std::shared_ptr<Array> GetRows();

 private:
  void RequireOpen() const;
  void RequireRow() const;
  void RequireUpdatable() const;

  QueryResult result_;
  mutable std::vector<uint64_t> field_keys_;  // NameKey of each field, made by FieldIndex
  std::shared_ptr<Connection> conn_;          // for UpdateBatch
  bool open_ = false;
  bool updatable_ = false;
  int64_t pos_ = 0;                       // current row; -1 is BOF, size() is EOF
  std::vector<std::vector<bool>> dirty_;  // per row, per field: changed
  std::vector<bool> added_;               // per row: added by AddNew
};

// Makes "ADODB.Connection" (an unopened NewConnection()) and
// "ADODB.RecordSet" objects of Server.CreateObject. Every program that
// includes this header runs it once at start-up, through the variable below.
bool RegisterAdoObjects();
inline const bool kAdoObjectsRegistered = RegisterAdoObjects();

}  // namespace qv

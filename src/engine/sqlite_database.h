// SqliteDatabase: the pooled SQLite connection of one thread to one file.
//
// Each worker thread keeps one open handle per database file, so the many
// short-lived Connection objects of a request cost no open. All Connection
// objects of a thread on the same file share the handle and its
// transaction: Begin/Commit/Rollback nest, the outermost level is a
// BEGIN IMMEDIATE transaction (so a check followed by a write is atomic
// against other threads and processes) and inner levels are savepoints.
//
// A handle opens the file in WAL mode with a 10 s busy time-out, foreign
// keys off and synchronous=NORMAL. When the file at the path was replaced
// or removed since it was opened, the next acquire that finds the handle
// held by no Connection opens it anew (one file check per acquire of an
// idle handle; a held handle is shared without one).
//
// Writers of one process take turns on a process-wide lock per file before
// SQLite's own write lock: a waiting thread is woken the moment the lock is
// free instead of polling through the busy handler (which sleeps up to
// 100 ms between tries). Other processes still meet the busy time-out.
//
// Prepared statements are kept per handle, keyed by the statement's text as
// the caller wrote it, so a repeated statement is neither translated nor
// parsed again.
#pragma once

#include <mutex>
#include <unordered_map>

#include <sys/types.h>

#include <memory>
#include <string>

#include "engine/sqlite_handle.h"
#include "engine/sqlite_query.h"

namespace qv {

class SqliteDatabase {
 public:
  // The calling thread's handle for the file at path, opened when needed.
  // The file must exist. Throws DatabaseError.
  static std::shared_ptr<SqliteDatabase> ForThisThread(const std::string& path);

  sqlite3* get() const { return db_.get(); }
  int depth() const { return depth_; }

  // A cached statement and, for a query, the shape of its columns.
  struct Prepared {
    SqliteStatement stmt;
    ColumnShape shape;
  };

  // The prepared statement for key, made by prepare() when not cached. It
  // stays valid until the next call. The caller must reset it after use
  // (StatementUse does).
  template <class Prepare>
  Prepared& Statement(const std::string& key, Prepare prepare) {
    auto found = statements_.find(key);
    if (found != statements_.end()) return found->second;
    if (statements_.size() >= kMaxStatements) statements_.clear();
    return statements_.emplace(key, Prepared{prepare(), {}}).first->second;
  }

  // Holds the process's writer lock of this file while a statement that
  // writes runs outside a transaction (inside one, Begin holds it).
  std::unique_lock<std::recursive_mutex> LockForStatement(sqlite3_stmt* stmt);

  void Begin();
  // Ends the innermost level. Throws DatabaseError when there is none, or
  // when the database already rolled the transaction back.
  void Commit();
  // Undoes the innermost level; never throws. When the database cannot
  // undo it, Begin and Commit throw DatabaseError until the outermost level
  // is rolled back, and a handle left in its transaction is not handed out
  // again.
  void Rollback();

  SqliteDatabase(SqliteDb db, dev_t device, ino_t inode);

 private:
  bool IsSameFile(dev_t device, ino_t inode) const { return device == device_ && inode == inode_; }
  void DiscardStaleTransaction();
  // Ends the open transaction, if any, with ROLLBACK.
  void RollbackAll();
  // Runs sql; on failure keeps SQLite's message in rollback_failure_.
  bool TryExec(const std::string& sql);
  void ThrowIfRollbackFailed() const;

  static constexpr size_t kMaxStatements = 200;

  // Declared after db_, so statements are finalized before the handle closes.
  SqliteDb db_;
  std::unordered_map<std::string, Prepared> statements_;
  dev_t device_;
  ino_t inode_;
  int depth_ = 0;
  std::shared_ptr<std::recursive_mutex> writer_;  // shared by the process's handles on the file
  std::unique_lock<std::recursive_mutex> transaction_lock_;
  std::string rollback_failure_;  // SQLite's message while a rollback failed
};

}  // namespace qv

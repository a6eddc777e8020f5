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
// or removed since it was opened, the next acquire opens it anew.
#pragma once

#include <sys/types.h>

#include <memory>
#include <string>

#include "engine/sqlite_handle.h"

namespace qv {

class SqliteDatabase {
 public:
  // The calling thread's handle for the file at path, opened when needed.
  // The file must exist. Throws DatabaseError.
  static std::shared_ptr<SqliteDatabase> ForThisThread(const std::string& path);

  sqlite3* get() const { return db_.get(); }
  int depth() const { return depth_; }

  void Begin();
  // Ends the innermost level. Throws DatabaseError when there is none, or
  // when the database already rolled the transaction back.
  void Commit();
  // Undoes the innermost level; never throws for a transaction the
  // database already rolled back.
  void Rollback();

  SqliteDatabase(SqliteDb db, dev_t device, ino_t inode);

 private:
  bool IsSameFile(dev_t device, ino_t inode) const { return device == device_ && inode == inode_; }
  void DiscardStaleTransaction();

  SqliteDb db_;
  dev_t device_;
  ino_t inode_;
  int depth_ = 0;
};

}  // namespace qv

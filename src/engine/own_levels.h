// OwnLevels: the transaction levels one connection object began on the
// pooled database of its thread (SqliteDatabase, PgDatabase), which other
// connection objects of the thread share. Closing the object rolls back
// what it began and did not end, and nothing more.
#pragma once

namespace qv {

class OwnLevels {
 public:
  template <class Database>
  void Begin(Database& db) {
    db.Begin();
    ++levels_;
  }

  template <class Database>
  void Commit(Database& db) {
    const int depth = db.depth();
    try {
      db.Commit();
    } catch (...) {
      // A level the database already rolled back is gone all the same.
      if (db.depth() < depth) Drop();
      throw;
    }
    Drop();
  }

  template <class Database>
  void Rollback(Database& db) {
    db.Rollback();
    Drop();
  }

  // Rolls back every level this object began and did not end.
  template <class Database>
  void RollbackAll(Database& db) {
    for (; levels_ > 0; --levels_) db.Rollback();
  }

 private:
  void Drop() {
    if (levels_ > 0) --levels_;
  }

  int levels_ = 0;
};

}  // namespace qv

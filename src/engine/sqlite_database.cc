#include "engine/sqlite_database.h"

#include <sys/stat.h>

#include <map>

#include "data/connection.h"

namespace qv {
namespace {

constexpr int kBusyTimeoutMs = 10000;

std::string SavepointName(int level) { return "qv_level_" + std::to_string(level); }

SqliteDb OpenConfigured(const std::string& path) {
  SqliteDb db = OpenSqliteFile(path);
  try {
    if (sqlite3_busy_timeout(db.get(), kBusyTimeoutMs) != SQLITE_OK) ThrowSqliteError(db.get());
    // The first statement reads the file header, so a file that is no
    // database fails here rather than at the first query.
    ExecSqlite(db.get(), "PRAGMA journal_mode=WAL");
    ExecSqlite(db.get(), "PRAGMA synchronous=NORMAL");
    ExecSqlite(db.get(), "PRAGMA foreign_keys=OFF");
  } catch (const DatabaseError&) {
    throw DatabaseError("Cannot open database " + path + ": " + sqlite3_errmsg(db.get()));
  }
  return db;
}

// The writer lock of a file, one per (device, inode) for the process.
std::shared_ptr<std::recursive_mutex> WriterLockOf(dev_t device, ino_t inode) {
  static std::mutex mutex;
  static std::map<std::pair<dev_t, ino_t>, std::weak_ptr<std::recursive_mutex>> locks;
  std::lock_guard guard(mutex);
  std::weak_ptr<std::recursive_mutex>& slot = locks[{device, inode}];
  std::shared_ptr<std::recursive_mutex> lock = slot.lock();
  if (!lock) {
    lock = std::make_shared<std::recursive_mutex>();
    slot = lock;
  }
  return lock;
}

}  // namespace

SqliteDatabase::SqliteDatabase(SqliteDb db, dev_t device, ino_t inode)
    : db_(std::move(db)), device_(device), inode_(inode), writer_(WriterLockOf(device, inode)) {}

std::unique_lock<std::recursive_mutex> SqliteDatabase::LockForStatement(sqlite3_stmt* stmt) {
  if (depth_ > 0 || sqlite3_stmt_readonly(stmt)) return {};
  return std::unique_lock(*writer_);
}

std::shared_ptr<SqliteDatabase> SqliteDatabase::ForThisThread(const std::string& path) {
  thread_local std::map<std::string, std::shared_ptr<SqliteDatabase>> pool;
  auto held = pool.find(path);
  // While a connection of this thread holds the handle, the new one joins
  // it (and its transaction) without looking at the file again.
  if (held != pool.end() && held->second.use_count() > 1 &&
      held->second->rollback_failure_.empty()) {
    return held->second;
  }
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
    pool.erase(path);
    throw DatabaseError("Cannot open database " + path + ": no such database file");
  }
  auto found = pool.find(path);
  if (found != pool.end() && found->second->IsSameFile(info.st_dev, info.st_ino)) {
    if (found->second.use_count() == 1) found->second->DiscardStaleTransaction();
    // A handle whose transaction could not be rolled back is replaced;
    // closing it undoes the transaction.
    if (found->second->rollback_failure_.empty()) return found->second;
  }
  auto database = std::make_shared<SqliteDatabase>(OpenConfigured(path), info.st_dev, info.st_ino);
  pool[path] = database;
  return database;
}

// A handle that no Connection holds must not carry a transaction into the
// next request.
void SqliteDatabase::DiscardStaleTransaction() {
  RollbackAll();
  depth_ = 0;
  if (transaction_lock_.owns_lock()) transaction_lock_.unlock();
}

void SqliteDatabase::RollbackAll() {
  if (sqlite3_get_autocommit(db_.get()) != 0 || TryExec("ROLLBACK")) rollback_failure_.clear();
}

bool SqliteDatabase::TryExec(const std::string& sql) {
  if (sqlite3_exec(db_.get(), sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK) return true;
  rollback_failure_ = sqlite3_errmsg(db_.get());
  return false;
}

void SqliteDatabase::ThrowIfRollbackFailed() const {
  if (!rollback_failure_.empty()) {
    throw DatabaseError("The transaction could not be rolled back: " + rollback_failure_);
  }
}

void SqliteDatabase::Begin() {
  ThrowIfRollbackFailed();
  if (depth_ > 0 && sqlite3_get_autocommit(db_.get()) != 0) {
    throw DatabaseError("The transaction was rolled back by the database");
  }
  if (depth_ == 0) {
    std::unique_lock lock(*writer_);
    ExecSqlite(db_.get(), "BEGIN IMMEDIATE");
    transaction_lock_ = std::move(lock);
  } else {
    ExecSqlite(db_.get(), "SAVEPOINT " + SavepointName(depth_));
  }
  ++depth_;
}

void SqliteDatabase::Commit() {
  if (depth_ == 0) throw DatabaseError("Commit without a transaction");
  ThrowIfRollbackFailed();
  if (sqlite3_get_autocommit(db_.get()) != 0) {
    --depth_;
    if (depth_ == 0 && transaction_lock_.owns_lock()) transaction_lock_.unlock();
    throw DatabaseError("The transaction was rolled back by the database");
  }
  ExecSqlite(db_.get(), depth_ == 1 ? "COMMIT" : "RELEASE " + SavepointName(depth_ - 1));
  --depth_;
  if (depth_ == 0 && transaction_lock_.owns_lock()) transaction_lock_.unlock();
}

void SqliteDatabase::Rollback() {
  if (depth_ == 0) return;
  --depth_;
  if (depth_ == 0) {
    RollbackAll();
    if (transaction_lock_.owns_lock()) transaction_lock_.unlock();
    return;
  }
  if (sqlite3_get_autocommit(db_.get()) != 0) return;
  std::string name = SavepointName(depth_);
  // On failure the outer levels must not commit what this level wrote:
  // Begin and Commit refuse until the outermost level rolls back.
  TryExec("ROLLBACK TO " + name + "; RELEASE " + name);
}

}  // namespace qv

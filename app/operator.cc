#include "app/operator.h"

#include <exception>
#include <memory>

#include "core/convert.h"
#include "core/sql_literal.h"
#include "data/connection.h"
#include "engine/sqlite_backup.h"
#include "session/account_rules.h"
#include "session/identity.h"

namespace qv::app {
namespace {

// A connection to dsn, closed when it goes.
class Site {
 public:
  explicit Site(const std::string& dsn) : conn_(NewConnection()) { conn_->Open(dsn, "", ""); }
  ~Site() {
    try {
      conn_->Close();
    } catch (const std::exception&) {
    }
  }
  Site(const Site&) = delete;
  Site& operator=(const Site&) = delete;
  QueryResult Query(const std::string& sql) { return conn_->Query(sql); }
  bool HasUser(const std::string& id) {
    return !Query("SELECT ID FROM qvAuthUser WHERE dbUserID = " + SqlText(id)).rows.empty();
  }

 private:
  std::unique_ptr<Connection> conn_;
};

// Runs body, turning a failure into a message and status 1.
template <class Body>
int Guarded(OperatorStreams io, Body body) {
  try {
    return body();
  } catch (const std::exception& e) {
    io.err << "qvtome: " << e.what() << "\n";
    return 1;
  }
}

bool CheckPassword(const std::string& password, OperatorStreams io) {
  if (PasswordStorable(password)) return true;
  io.err << "qvtome: a password has 1 to " << kMaxPasswordLength
         << " characters and no control characters\n";
  return false;
}

}  // namespace

int ListUserAccounts(const std::string& dsn, OperatorStreams io) {
  return Guarded(io, [&] {
    Site site(dsn);
    const QueryResult users = site.Query(
        "SELECT dbUserID, dbMajorGroup, dbMinorGroups, dbPasswordType, dbExpiredDate, "
        "dbFullName_e FROM qvAuthUser ORDER BY dbUserID");
    for (const std::vector<Variant>& row : users.rows) {
      for (size_t i = 0; i < row.size(); ++i) io.out << (i ? "\t" : "") << NullToStr(row[i]);
      io.out << "\n";
    }
    return 0;
  });
}

int AddUserAccount(const std::string& dsn, const std::string& id, const std::string& password,
                   OperatorStreams io) {
  return Guarded(io, [&] {
    if (!ValidNewUserID(id)) {
      io.err << "qvtome: a user id may not be empty, \"anonymous\" or hold a comma or blank\n";
      return 1;
    }
    if (!CheckPassword(password, io)) return 1;
    Site site(dsn);
    if (site.HasUser(id)) {
      io.err << "qvtome: user " << id << " exists already\n";
      return 1;
    }
    site.Query("INSERT INTO qvAuthUser (dbUserID, dbPassword, dbPasswordType, Stamp) VALUES (" +
               SqlText(id) + ", " + SqlText(EncodePassword(password)) + ", 0, " +
               SqlText("qvtome," + DateSerialText(Now())) + ")");
    io.out << "Added user " << id << "\n";
    return 0;
  });
}

int SetUserPassword(const std::string& dsn, const std::string& id, const std::string& password,
                    OperatorStreams io) {
  return Guarded(io, [&] {
    if (!CheckPassword(password, io)) return 1;
    Site site(dsn);
    if (!site.HasUser(id)) {
      io.err << "qvtome: no user " << id << "\n";
      return 1;
    }
    site.Query("UPDATE qvAuthUser SET dbPassword = " + SqlText(EncodePassword(password)) +
               " WHERE dbUserID = " + SqlText(id));
    io.out << "Set the password of " << id << "\n";
    return 0;
  });
}

int SetUserGroup(const std::string& dsn, const std::string& id, const std::string& group,
                 OperatorStreams io) {
  return Guarded(io, [&] {
    Site site(dsn);
    if (!site.HasUser(id)) {
      io.err << "qvtome: no user " << id << "\n";
      return 1;
    }
    if (site.Query("SELECT ID FROM qvAuthGroup WHERE dbGroupID = " + SqlText(group)).rows.empty()) {
      io.err << "qvtome: no group " << group << "\n";
      return 1;
    }
    site.Query("UPDATE qvAuthUser SET dbMajorGroup = " + SqlText(group) +
               " WHERE dbUserID = " + SqlText(id));
    io.out << "Set the main group of " << id << " to " << group << "\n";
    return 0;
  });
}

int BackupSite(const std::string& dsn, const std::string& target, OperatorStreams io) {
  return Guarded(io, [&] {
    BackupDataSource(dsn, target);
    io.out << "Backed up " << dsn << " to " << target << "\n";
    return 0;
  });
}

}  // namespace qv::app

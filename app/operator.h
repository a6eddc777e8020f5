// The operator's commands on a site's data: the user accounts (so an
// administrator locked out of the web gets back in), the online backup
// and the copy of a site into another data source.
//
// Each works on a data source as the server does (after LoadStartupConfig)
// and writes what it did, or why not, to the streams given. Passwords are
// passed in by the caller, which reads them from standard input or a
// prompt, never from the command line. Each returns the process's exit
// status: 0 done, 1 refused or failed.
#pragma once

#include <ostream>
#include <string>

namespace qv::app {

struct OperatorStreams {
  std::ostream& out;
  std::ostream& err;
};

// One line per account: id, main group, other groups, login type, expiry,
// full name; tab-separated, by id.
int ListUserAccounts(const std::string& dsn, OperatorStreams io);
// A new account with that id and password (login type 0, no group).
int AddUserAccount(const std::string& dsn, const std::string& id, const std::string& password,
                   OperatorStreams io);
// Replaces the password of an existing account.
int SetUserPassword(const std::string& dsn, const std::string& id, const std::string& password,
                    OperatorStreams io);
// Sets the main group of an existing account to a registered group ("99"
// the administrators).
int SetUserGroup(const std::string& dsn, const std::string& id, const std::string& group,
                 OperatorStreams io);
// A consistent copy of an SQLite data source in the file target.
int BackupSite(const std::string& dsn, const std::string& target, OperatorStreams io);

// Copies every table of data source `from` into data source `to` (any
// engines), in one transaction on the target: the target's tables are
// replaced by the schema and every row of the source, IDs kept, tables
// made at run time (book and submission tables) made as the target's
// engine makes new tables, the schema version the source's. Refused
// without writing when the source is not at this program's schema version,
// when both name one database, or, unless force, when a table of the
// target holds rows. Fails, committing nothing, when a table's row count
// differs afterwards. The change counters stay the target's own, so no
// count a cache of the target's servers holds comes back.
int CopyDataSource(const std::string& from, const std::string& to, bool force, OperatorStreams io);

}  // namespace qv::app

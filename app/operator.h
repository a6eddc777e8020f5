// The operator's commands on a site's data: the user accounts (so an
// administrator locked out of the web gets back in) and the online backup.
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

}  // namespace qv::app

// Online backup of an SQLite site database.
//
// The copy is taken with SQLite's backup interface in one step, under one
// read transaction of the source, so it is the database as it stood at one
// moment, while the server goes on reading and writing (the site's
// databases run in WAL mode: writers are not held up; otherwise a writer
// waits the busy time-out). The copy is written beside the target and
// moved into place when complete, so a failed backup leaves no partial
// file.
#pragma once

#include <string>

namespace qv {

// Copies the SQLite database at source to target. Throws DatabaseError
// when the source cannot be read, the target exists already, or the copy
// fails.
void BackupSqliteFile(const std::string& source, const std::string& target);

// The backup of the data source of that name (see datasources.h). Throws
// DatabaseError for a source of another engine than SQLite, naming it.
void BackupDataSource(const std::string& name, const std::string& target);

}  // namespace qv

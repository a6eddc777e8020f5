// Change counters of tables made at run time.
//
// Every table has a row in qvChangeCounter whose count triggers advance on
// each insert, update and delete (the read caches rely on it). The schema
// and its migrations count the tables they make; KeepTablesCounted counts
// the tables that statements make or drop later (book tables, submission
// tables): a table made gets its counter row and triggers, and a table made
// or dropped advances its count, so nothing cached of an earlier table of
// that name is used again. Databases without qvChangeCounter are left alone.
#pragma once

#include <sqlite3.h>

#include <string_view>

namespace qv {

// Called after statement `sql` (as SQLite ran it) succeeded on db.
void KeepTablesCounted(sqlite3* db, std::string_view sql);

}  // namespace qv

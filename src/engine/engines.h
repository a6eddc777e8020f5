// The engines behind NewConnection(): a connection opens each data source
// with the engine the configuration gives it (SQLite or PostgreSQL).
#pragma once

namespace qv {

// Makes NewConnection() create connections that pick their engine when
// opened.
void RegisterEngines();

}  // namespace qv

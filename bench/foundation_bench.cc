// Init with 200 message look-ups, and dbGetTable of 100 rows, each against
// the same work done directly through the SQLite C API.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/convert.h"
#include "data/aspproc.h"
#include "engine/datasources.h"
#include "engine/init_db.h"
#include "engine/sqlite_connection.h"
#include "host/memory_host.h"
#include "ratio_reporter.h"
#include "session/sysvar.h"

namespace {

std::string g_db_path;
std::vector<std::string> g_keys;  // 200 keys that exist in the message table

void SetUpDatabase() {
  namespace fs = std::filesystem;
  fs::path dir = fs::temp_directory_path() / ("qvtome-bench-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  qv::ConfigureDataSources(nullptr, dir.string());
  qv::RegisterSqliteEngine();
  g_db_path = qv::LookupDataSource("qvtome").path;
  qv::CreateDatabaseIfMissing(g_db_path, true);

  sqlite3* db = nullptr;
  sqlite3_open(g_db_path.c_str(), &db);
  sqlite3_exec(db,
               "CREATE TABLE benchrows (ID INTEGER PRIMARY KEY AUTOINCREMENT, "
               "dbTitle VARCHAR(100), dbOrder INTEGER, dbDate DATETIME)",
               nullptr, nullptr, nullptr);
  for (int i = 0; i < 100; ++i) {
    std::string sql = "INSERT INTO benchrows (dbTitle, dbOrder, dbDate) VALUES ('Row " +
                      std::to_string(i) + "', " + std::to_string(i) + ", '2026-01-01 10:00:00')";
    sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
  }
  sqlite3_stmt* stmt = nullptr;
  sqlite3_prepare_v2(db, "SELECT dbName FROM qvSystemMsg ORDER BY dbOrder, id", -1, &stmt, nullptr);
  std::vector<std::string> all;
  while (sqlite3_step(stmt) == SQLITE_ROW) {
    all.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
  }
  sqlite3_finalize(stmt);
  sqlite3_close(db);
  for (size_t i = 0; i < 200 && !all.empty(); ++i) g_keys.push_back(all[(i * 7) % all.size()]);
}

void InitAndGetMsg(benchmark::State& state) {
  qv::MemoryHost host;
  host.request.SetServerVariable("SCRIPT_NAME", "/default.lp");
  for (auto _ : state) {
    host.response.Clear();
    qv::SysVar sv;
    sv.Init(qv::Variant("qvtome"));
    for (const std::string& key : g_keys) benchmark::DoNotOptimize(sv.GetSystemMsg(key));
  }
}
BENCHMARK(InitAndGetMsg)->Name("InitAndGetMsg");

// The same with the shared message table out of date at every Init (as after
// a change by another writer), so each Init reads the whole table.
void InitAndGetMsgReload(benchmark::State& state) {
  qv::MemoryHost host;
  host.request.SetServerVariable("SCRIPT_NAME", "/default.lp");
  sqlite3* db = nullptr;
  sqlite3_open_v2(g_db_path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
  for (auto _ : state) {
    state.PauseTiming();
    sqlite3_exec(db, "UPDATE qvChangeCounter SET dbCount = dbCount + 1", nullptr, nullptr, nullptr);
    host.response.Clear();
    state.ResumeTiming();
    qv::SysVar sv;
    sv.Init(qv::Variant("qvtome"));
    for (const std::string& key : g_keys) benchmark::DoNotOptimize(sv.GetSystemMsg(key));
  }
  sqlite3_close(db);
}
BENCHMARK(InitAndGetMsgReload)->Name("InitAndGetMsgReload");

// The same work by hand: read the message table in order into a cache of
// (key, text) with a first-wins index, then 200 look-ups.
void InitAndGetMsgBaseline(benchmark::State& state) {
  sqlite3* db = nullptr;
  sqlite3_open_v2(g_db_path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
  for (auto _ : state) {
    std::vector<std::pair<std::string, std::string>> cache;
    std::unordered_map<std::string, size_t> index;
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, "SELECT * FROM qvSystemMsg order by dbOrder,id", -1, &stmt, nullptr);
    int cols = sqlite3_column_count(stmt);
    int name_col = 0, e_col = 0, n_col = 0;
    for (int c = 0; c < cols; ++c) {
      std::string n = qv::ToLower(sqlite3_column_name(stmt, c));
      if (n == "dbname") name_col = c;
      if (n == "dbmsg_e") e_col = c;
      if (n == "dbmsg_n") n_col = c;
    }
    auto text = [&](int c) {
      const unsigned char* t = sqlite3_column_text(stmt, c);
      return t ? std::string(reinterpret_cast<const char*>(t)) : std::string();
    };
    while (sqlite3_step(stmt) == SQLITE_ROW) {
      std::string key = qv::ToLower(text(name_col));
      cache.emplace_back(key + "_e", text(e_col));
      index.emplace(cache.back().first, cache.size() - 1);
      cache.emplace_back(key + "_n", text(n_col));
      index.emplace(cache.back().first, cache.size() - 1);
    }
    sqlite3_finalize(stmt);
    for (const std::string& key : g_keys) {
      auto it = index.find(qv::ToLower(key) + "_e");
      benchmark::DoNotOptimize(it == index.end() ? std::string() : cache[it->second].second);
    }
  }
  sqlite3_close(db);
}
BENCHMARK(InitAndGetMsgBaseline)->Name("InitAndGetMsg_Baseline");
BENCHMARK(InitAndGetMsgBaseline)->Name("InitAndGetMsgReload_Baseline");

void GetTable100(benchmark::State& state) {
  qv::MemoryHost host;
  qv::SysVar sv;
  sv.Init(qv::Variant("qvtome"));
  qv::AspProc ap;
  for (auto _ : state) {
    benchmark::DoNotOptimize(ap.dbGetTable("benchrows", "*", ""));
  }
}
BENCHMARK(GetTable100)->Name("dbGetTable100");

void GetTable100Baseline(benchmark::State& state) {
  sqlite3* db = nullptr;
  sqlite3_open_v2(g_db_path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
  for (auto _ : state) {
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, "SELECT * FROM benchrows ", -1, &stmt, nullptr);
    int cols = sqlite3_column_count(stmt);
    std::vector<qv::Variant> cells;
    size_t rows = 0;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
      for (int c = 0; c < cols; ++c) {
        switch (sqlite3_column_type(stmt, c)) {
          case SQLITE_INTEGER:
            cells.emplace_back(sqlite3_column_int64(stmt, c));
            break;
          case SQLITE_NULL:
            cells.emplace_back(qv::Null);
            break;
          default:
            cells.emplace_back(
                std::string(reinterpret_cast<const char*>(sqlite3_column_text(stmt, c))));
        }
      }
      ++rows;
    }
    sqlite3_finalize(stmt);
    auto a = qv::MakeArray2D(static_cast<size_t>(cols), rows);
    for (size_t r = 0; r < rows; ++r) {
      for (int c = 0; c < cols; ++c) {
        a->at(static_cast<size_t>(c), r) =
            cells[r * static_cast<size_t>(cols) + static_cast<size_t>(c)];
      }
    }
    benchmark::DoNotOptimize(a);
  }
  sqlite3_close(db);
}
BENCHMARK(GetTable100Baseline)->Name("dbGetTable100_Baseline");

// Before measuring: the component must give what the baselines give, else
// the ratios would compare against failures.
void CheckAnswers() {
  qv::MemoryHost host;
  host.request.SetServerVariable("SCRIPT_NAME", "/default.lp");
  qv::SysVar sv;
  sv.Init(qv::Variant("qvtome"));
  sqlite3* db = nullptr;
  sqlite3_open_v2(g_db_path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  sqlite3_stmt* stmt = nullptr;
  sqlite3_prepare_v2(db, "SELECT dbMsg_e FROM qvSystemMsg WHERE dbName = ?", -1, &stmt, nullptr);
  for (const std::string& key : g_keys) {
    sqlite3_bind_text(stmt, 1, key.c_str(), -1, SQLITE_TRANSIENT);
    std::string stored;
    if (sqlite3_step(stmt) == SQLITE_ROW && sqlite3_column_text(stmt, 0) != nullptr) {
      stored = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
    }
    sqlite3_reset(stmt);
    if (sv.GetSystemMsg(key) != stored) {
      std::fprintf(stderr, "foundation_bench: message %s differs from the table\n", key.c_str());
      std::exit(1);
    }
  }
  sqlite3_finalize(stmt);
  sqlite3_close(db);
  qv::AspProc ap;
  const qv::Variant rows = ap.dbGetTable("benchrows", "*", "");
  if (!rows.IsArray() || rows.AsArray()->UBound(2) != 99) {
    std::fprintf(stderr, "foundation_bench: dbGetTable did not read the 100 rows\n");
    std::exit(1);
  }
}

}  // namespace

int main(int argc, char** argv) {
  SetUpDatabase();
  CheckAnswers();
  return qv::bench::RunWithRatios(argc, argv);
}

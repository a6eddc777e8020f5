// The cost of one book page view in a book of 100 pages against the same
// view in a book of 10,000 pages of the same shape (about 10 children per
// page), each book in a database of its own. A view is what book.lp does:
// Init, OpenPage, ReOpenSubPage, OpenBook, titles, ShowPage, navigation,
// menu, folding contents tree and ClosePage, for an anonymous reader with
// the default LogLevel. A page view reads only what it shows, so the two
// should cost about the same. With --list_statements the program prints
// the statements of one view of each book instead of timing; with
// --views N it makes N views of the 100-page book and stops, for counting
// instructions (valgrind --tool=callgrind: the difference between two
// counts, divided by the difference of N, is the cost of one view).
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <toml++/toml.h>

#include "book/book.h"
#include "data/connection.h"
#include "engine/datasources.h"
#include "engine/init_db.h"
#include "engine/sqlite_connection.h"
#include "host/memory_host.h"
#include "session/sysvar.h"

namespace {

namespace fs = std::filesystem;

constexpr int kBookID = 10;
constexpr int kFirstPageID = 1000;

// The page each view opens, by data source: a leaf on the deepest level.
std::map<std::string, int> g_viewed_page;

void Exec(sqlite3* db, const std::string& sql) {
  char* error = nullptr;
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
    std::fprintf(stderr, "%s: %s\n", sql.c_str(), error ? error : "?");
    sqlite3_free(error);
    std::exit(1);
  }
}

struct Page {
  int id, parent, level, order, children = 0;
};

// Top pages first, then ten children for each page in breadth-first order
// until the book has `total` pages.
std::vector<Page> Tree(int total) {
  std::vector<Page> pages;
  for (int i = 0; i < 10 && i < total; ++i) pages.push_back({kFirstPageID + i, -kBookID, 1, i + 1});
  for (size_t parent = 0; static_cast<int>(pages.size()) < total; ++parent) {
    for (int child = 1; child <= 10 && static_cast<int>(pages.size()) < total; ++child) {
      ++pages[parent].children;
      pages.push_back({kFirstPageID + static_cast<int>(pages.size()), pages[parent].id,
                       pages[parent].level + 1, child});
    }
  }
  return pages;
}

// The fifth child of the first parent on the level above the deepest.
int ViewedPage(const std::vector<Page>& pages) {
  const int deepest = pages.back().level;
  for (const Page& p : pages) {
    if (p.level == deepest && p.order == 5) return p.id;
  }
  return pages.back().id;
}

// Registers the book and writes its pages; returns the page to view.
int AddBook(const std::string& path, int total) {
  sqlite3* db = nullptr;
  sqlite3_open(path.c_str(), &db);
  Exec(db, "BEGIN");
  // Registered like the demo course, with its formats and readers.
  Exec(db,
       "INSERT INTO qvAuthBook (ID, dbTableName, dbBookCode, dbTitle_e, dbTitle_n, dbOwnerID, "
       "dbGroup, dbPageLevelMin, dbPageLevelMax, dbOrder, dbFinished_e, dbFinished_n, "
       "dbReaderUserID, dbReaderGroupID, dbFormatRead_e, dbFormatRead_n, dbFormatReadAll_e, "
       "dbFormatReadAll_n) SELECT " +
           std::to_string(kBookID) +
           ", 'qvbook', 'BENCH', 'Bench book', 'Testboek', dbOwnerID, 0, 1, 5, 9, 1, 1, "
           "dbReaderUserID, dbReaderGroupID, dbFormatRead_e, dbFormatRead_n, dbFormatReadAll_e, "
           "dbFormatReadAll_n FROM qvAuthBook WHERE ID = 2");
  sqlite3_stmt* insert = nullptr;
  sqlite3_prepare_v2(db,
                     "INSERT INTO qvbook (ID, dbPID, dbCID, dbBookID, dbPageLevel, dbOrder, "
                     "dbType, dbOwnerID, dbGroup, dbDate, dbTitle_e, dbTitle_n, dbContent_e, "
                     "dbContent_n, dbFinished_e, dbFinished_n) VALUES (?, ?, ?, ?, ?, ?, 0, "
                     "'teacher', 0, '2026-09-01 10:00:00', ?, ?, ?, ?, 1, 1)",
                     -1, &insert, nullptr);
  const std::string text = "<p>" + std::string(600, 'x') +
                           " <a href=\"qvTmGoto=" + std::to_string(kFirstPageID) +
                           "\">first page</a></p><qvTm.Media(3)>";
  const std::vector<Page> pages = Tree(total);
  for (const Page& p : pages) {
    const std::string title = "Page " + std::to_string(p.id);
    int column = 0;
    for (int value : {p.id, p.parent, p.children, kBookID, p.level, p.order}) {
      sqlite3_bind_int(insert, ++column, value);
    }
    for (const std::string* value : {&title, &title, &text, &text}) {
      sqlite3_bind_text(insert, ++column, value->c_str(), -1, SQLITE_TRANSIENT);
    }
    sqlite3_step(insert);
    sqlite3_reset(insert);
  }
  sqlite3_finalize(insert);
  Exec(db, "COMMIT");
  Exec(db, "ANALYZE");
  sqlite3_close(db);
  return ViewedPage(pages);
}

void SetUpDatabases() {
  const fs::path dir =
      fs::temp_directory_path() / ("qvtome-book-bench-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  toml::table config = toml::parse(
      "[datasource.small]\npath = \"small.db\"\n[datasource.large]\npath = \"large.db\"\n");
  qv::ConfigureDataSources(&config, dir.string());
  qv::RegisterSqliteEngine();
  for (const auto& [name, total] : {std::pair{"small", 100}, {"large", 10000}}) {
    const std::string path = qv::LookupDataSource(name).path;
    qv::CreateDatabaseIfMissing(path, true);
    g_viewed_page[name] = AddBook(path, total);
  }
}

bool g_print_statements = false;

// Passes every call to the engine's connection, printing each statement
// while g_print_statements is set.
class PrintingConnection : public qv::Connection {
 public:
  explicit PrintingConnection(std::unique_ptr<qv::Connection> inner) : inner_(std::move(inner)) {}
  void Open(const std::string& dsn, const std::string& user, const std::string& password) override {
    inner_->Open(dsn, user, password);
  }
  bool IsOpen() const override { return inner_->IsOpen(); }
  void Close() override { inner_->Close(); }
  qv::QueryResult Query(const std::string& sql, bool with_keys) override {
    qv::QueryResult result = inner_->Query(sql, with_keys);
    if (g_print_statements) std::printf("  %4zu rows  %s\n", result.rows.size(), sql.c_str());
    return result;
  }
  std::vector<int64_t> WriteRows(const std::string& table,
                                 const std::vector<qv::RowWrite>& rows) override {
    if (g_print_statements) std::printf("  write %zu row(s) of %s\n", rows.size(), table.c_str());
    return inner_->WriteRows(table, rows);
  }
  void BeginTransaction() override { inner_->BeginTransaction(); }
  void Commit() override { inner_->Commit(); }
  void Rollback() override { inner_->Rollback(); }

 private:
  std::unique_ptr<qv::Connection> inner_;
};

// What book.lp does for one view, on the current host.
void ViewPage(const std::string& source) {
  qv::SysVar sv;
  sv.Init(qv::Variant(source));
  sv.SetvImageDir("images");
  sv.SetvMediaDir("/media/");
  qv::Book book;
  book.OpenPage("qvbook", "-" + std::to_string(kBookID));
  book.ReOpenSubPage();
  book.OpenBook();
  book.BookTitle();
  book.PageTitle(1);
  book.ShowPage();
  book.GoPrevious("previous");
  book.GoUp("up");
  book.GoTop("top");
  book.GoNext("next");
  book.ListMenu();
  book.ListContentsLevel(0, 0, !book.IsReaderOnly());
  book.ClosePage(true);
}

// One host per run: the session (and its log clock) lives across views.
qv::MemoryHost* NewHost(const std::string& source) {
  auto* host = new qv::MemoryHost;
  host->request.SetQueryString("id=" + std::to_string(g_viewed_page[source]));
  host->request.SetServerVariable("SCRIPT_NAME", "/book.lp");
  return host;
}

void PageView(benchmark::State& state, const std::string& source) {
  std::unique_ptr<qv::MemoryHost> host(NewHost(source));
  for (auto _ : state) {
    host->response.Clear();
    ViewPage(source);
  }
  if (host->response.Text().find("qvError") != std::string::npos) {
    state.SkipWithError("the page view reported an error");
  }
}

void ListStatements() {
  qv::SetConnectionFactory([] {
    return std::make_unique<PrintingConnection>(std::make_unique<qv::SqliteConnection>());
  });
  for (const char* source : {"small", "large"}) {
    std::unique_ptr<qv::MemoryHost> host(NewHost(source));
    ViewPage(source);  // the first view also loads the system messages
    std::printf("One page view in the %s book:\n", source);
    g_print_statements = true;
    ViewPage(source);
    g_print_statements = false;
  }
}

// Console output plus the ratio of the two views.
class Reporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.iterations > 0) ns_[run.benchmark_name()] = run.GetAdjustedRealTime();
    }
  }
  void PrintRatio() const {
    auto small = ns_.find("BookPageView/100pages");
    auto large = ns_.find("BookPageView/10000pages");
    if (small == ns_.end() || large == ns_.end() || small->second <= 0) return;
    std::printf(
        "\nPage view, 10,000-page book / 100-page book: %.2f x (%.1f us vs %.1f us; "
        "target <= 1.30)\n",
        large->second / small->second, large->second / 1000, small->second / 1000);
  }

 private:
  std::map<std::string, double> ns_;
};

}  // namespace

int main(int argc, char** argv) {
  SetUpDatabases();
  if (argc > 1 && std::string(argv[1]) == "--list_statements") {
    ListStatements();
    return 0;
  }
  if (argc > 2 && std::string(argv[1]) == "--views") {
    std::unique_ptr<qv::MemoryHost> host(NewHost("small"));
    for (int i = std::atoi(argv[2]); i > 0; --i) {
      host->response.Clear();
      ViewPage("small");
    }
    return 0;
  }
  benchmark::RegisterBenchmark("BookPageView/100pages",
                               [](benchmark::State& s) { PageView(s, "small"); });
  benchmark::RegisterBenchmark("BookPageView/10000pages",
                               [](benchmark::State& s) { PageView(s, "large"); });
  benchmark::Initialize(&argc, argv);
  Reporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatio();
  benchmark::Shutdown();
  return 0;
}

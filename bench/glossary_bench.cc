// The glossary link form (listglossary) of a 20 KB page against a glossary
// of 500 terms and one of 5,000, and against one plain view of the same
// page, in one run. The form reads every term of the glossary and looks
// for each in the page, so its cost grows with the glossary; finding the
// terms must not cost a scan of the page per term. Both glossaries hold the
// same 40 terms that occur in the page; every other term occurs nowhere.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <toml++/toml.h>

#include "book/book.h"
#include "book/book_internal.h"
#include "engine/datasources.h"
#include "engine/init_db.h"
#include "engine/sqlite_connection.h"
#include "host/memory_host.h"
#include "ratio_reporter.h"
#include "session/identity.h"
#include "session/sysvar.h"

namespace {

namespace fs = std::filesystem;

constexpr int kPageID = 5000;
constexpr int kMatchingTerms = 40;

void Exec(sqlite3* db, const std::string& sql) {
  char* error = nullptr;
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
    std::fprintf(stderr, "%s: %s\n", sql.c_str(), error ? error : "?");
    sqlite3_free(error);
    std::exit(1);
  }
}

// A made-up word of letters only, different for every n.
std::string Word(unsigned n, unsigned salt) {
  std::string word;
  unsigned x = n * 2654435761u + salt * 40503u + 12345u;
  const unsigned length = 5 + x % 7;
  for (unsigned i = 0; i < length; ++i) {
    x = x * 1103515245u + 12345u;
    word += static_cast<char>('a' + (x >> 16) % 26);
  }
  return word + std::to_string(n);  // unique, and never inside another word
}

// 20 KB of paragraphs of page words; terms 0..39 occur in it, once each.
std::string PageText() {
  std::string text;
  unsigned n = 0;
  while (text.size() < 20 * 1024) {
    text += "<p>";
    for (int w = 0; w < 30; ++w, ++n) {
      text += (n % 30 == 7 && n / 30 < kMatchingTerms) ? Word(n / 30, 1) : Word(n, 2);
      text += ' ';
    }
    text += "</p>\r\n";
  }
  return text;
}

void SetUpDatabase(const std::string& path) {
  qv::CreateDatabaseIfMissing(path, true);
  sqlite3* db = nullptr;
  sqlite3_open(path.c_str(), &db);
  Exec(db, "BEGIN");
  sqlite3_stmt* insert = nullptr;
  sqlite3_prepare_v2(db,
                     "INSERT INTO qvglossary (ID, dbPID, dbBookID, dbPageLevel, dbOrder, dbType, "
                     "dbTitle_e, dbTitle_n, dbContent_e, dbFinished_e) "
                     "VALUES (?, 1, ?, 2, ?, 65, ?, ?, '<p>A term.</p>', 1)",
                     -1, &insert, nullptr);
  // Group 500 holds 500 terms, group 5000 holds 5,000; the first 40 of each
  // occur in the page.
  int id = 10000;
  for (int group : {500, 5000}) {
    for (int i = 0; i < group; ++i, ++id) {
      const std::string term = i < kMatchingTerms ? Word(i, 1) : Word(i, 3);
      sqlite3_bind_int(insert, 1, id);
      sqlite3_bind_int(insert, 2, group);
      sqlite3_bind_int(insert, 3, i);
      sqlite3_bind_text(insert, 4, term.c_str(), -1, SQLITE_TRANSIENT);
      sqlite3_bind_text(insert, 5, term.c_str(), -1, SQLITE_TRANSIENT);
      sqlite3_step(insert);
      sqlite3_reset(insert);
    }
  }
  sqlite3_finalize(insert);
  const std::string text = PageText();
  sqlite3_prepare_v2(db,
                     "INSERT INTO qvbook (ID, dbPID, dbCID, dbBookID, dbPageLevel, dbOrder, "
                     "dbType, dbOwnerID, dbGroup, dbTitle_e, dbTitle_n, dbContent_e, "
                     "dbContent_n, dbFinished_e, dbFinished_n) VALUES (?, 2, 0, 2, 2, 99, 0, "
                     "'teacher', 0, 'Long page', 'Lange pagina', ?, '', 1, 1)",
                     -1, &insert, nullptr);
  sqlite3_bind_int(insert, 1, kPageID);
  sqlite3_bind_text(insert, 2, text.c_str(), -1, SQLITE_TRANSIENT);
  sqlite3_step(insert);
  sqlite3_finalize(insert);
  Exec(db, "COMMIT");
  Exec(db, "ANALYZE");
  sqlite3_close(db);
}

// The teacher's request for the page, with or without the link form.
struct Request {
  qv::MemoryHost host;
  explicit Request(const std::string& query) {
    host.request.SetQueryString(query);
    host.request.SetServerVariable("SCRIPT_NAME", "/book.lp");
    host.session.SetValue(qv::SessionKey("AuthUserID"), "teacher");
    host.session.SetValue(qv::SessionKey("AuthMajorGroupID"), "80");
  }
};

// What book.lp does before the body, then the body: the link form of the
// terms of group `group`, or the plain page.
std::string Run(Request& request, const char* group) {
  request.host.response.Clear();
  qv::SysVar sv;
  sv.Init(qv::Variant("bench"));
  qv::Book book;
  book.OpenPage("qvbook");
  book.OpenBook();
  if (group == nullptr) {
    book.ShowPage();
  } else {
    sv.SetGlossaryBook(group);
    qv::book::ListGlossaryForm();
  }
  book.ClosePage(false);
  return request.host.response.Text();
}

size_t Count(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

void ListGlossary(benchmark::State& state, const char* group) {
  Request request("id=" + std::to_string(kPageID) + "&qvAction=listglossary");
  for (auto _ : state) benchmark::DoNotOptimize(Run(request, group));
}

void PageView(benchmark::State& state) {
  Request request("id=" + std::to_string(kPageID));
  for (auto _ : state) benchmark::DoNotOptimize(Run(request, nullptr));
}

// Every measured request answers as it should, or nothing is measured.
void CheckAnswers() {
  for (const char* group : {"500", "5000"}) {
    Request request("id=" + std::to_string(kPageID) + "&qvAction=listglossary");
    const std::string form = Run(request, group);
    if (Count(form, "type=\"checkbox\"") != kMatchingTerms) {
      std::fprintf(stderr, "glossary %s: expected %d terms offered, got:\n%.2000s\n", group,
                   kMatchingTerms, form.c_str());
      std::exit(1);
    }
  }
  Request request("id=" + std::to_string(kPageID));
  const std::string page = Run(request, nullptr);
  if (page.size() < 20 * 1024 || Count(page, Word(0, 1)) != 1) {
    std::fprintf(stderr, "page view: expected the 20 KB page, got %zu bytes\n", page.size());
    std::exit(1);
  }
}

}  // namespace

int main(int argc, char** argv) {
  const fs::path dir =
      fs::temp_directory_path() / ("qvtome-glossary-bench-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  toml::table config = toml::parse("[datasource.bench]\npath = \"bench.db\"\n");
  qv::ConfigureDataSources(&config, dir.string());
  qv::RegisterSqliteEngine();
  SetUpDatabase(qv::LookupDataSource("bench").path);
  CheckAnswers();

  // Ratios: 5,000 terms against 500 (target <= 12), and against one plain
  // view of the page.
  benchmark::RegisterBenchmark("ListGlossary5000Terms", ListGlossary, "5000");
  benchmark::RegisterBenchmark("ListGlossary5000Terms_Baseline", ListGlossary, "500");
  benchmark::RegisterBenchmark("ListGlossary5000TermsPerPageView", ListGlossary, "5000");
  benchmark::RegisterBenchmark("ListGlossary5000TermsPerPageView_Baseline", PageView);
  const int status = qv::bench::RunWithRatios(argc, argv);
  fs::remove_all(dir);
  return status;
}

// Page markup expansion over any page text: media tags (looked up in a
// seeded database, with rows that hold tags themselves), assignment markup
// and the path and jump placeholders. The first byte picks the language
// ('n' Dutch, '-' none, anything else English). Text without "qvTm" must
// come back unchanged.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "book/book_internal.h"
#include "engine/datasources.h"
#include "engine/init_db.h"
#include "engine/sqlite_connection.h"
#include "host/memory_host.h"
#include "session/sysvar.h"

namespace {

struct Request {
  Request() {
    namespace fs = std::filesystem;
    dir = fs::temp_directory_path() / ("qvtome_fuzz_markup_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    qv::ConfigureDataSources(nullptr, dir.string());
    qv::RegisterSqliteEngine();
    qv::CreateDatabaseIfMissing((dir / "qvtome.db").string());
    qv::SqliteConnection conn;
    conn.Open("qvtome", "", "");
    // Rows whose content holds tags: of themselves, of each other, of rows
    // that do not exist, an unclosed one, and placeholders. (Rows that
    // double the text on each pass are left to the unit tests: each such
    // input would cost the whole 4 MB bound.)
    conn.Query(
        "INSERT INTO qvmedia (ID, dbContent_e, dbContent_n) VALUES "
        "(105, '<qvTm.Media(105)>a<qvTm.Media(106)>', '<qvTm.Media(106)>'), "
        "(106, '<qvTm.Media(105)>qvTmGoto=1<qvTm.Media(107)>', 'qvTmMPath/x<qvTm.Media(99)>'), "
        "(107, '<qvTm.Media(', ')>')");
    conn.Close();
    host = std::make_unique<qv::MemoryHost>();
    host->request.SetServerVariable("SCRIPT_NAME", "/book.lp");
    qv::SysVar().Init("qvtome");
    std::atexit([] { std::filesystem::remove_all(dir); });
  }
  static inline std::filesystem::path dir;
  std::unique_ptr<qv::MemoryHost> host;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Request* request = new Request();
  (void)request;
  if (size == 0) return 0;
  const std::string language = data[0] == 'n' ? "n" : data[0] == '-' ? "" : "e";
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::string expanded = qv::book::ExpandPage(text, language);
  if (text.find("qvTm") == std::string::npos && expanded != text) std::abort();
  return 0;
}

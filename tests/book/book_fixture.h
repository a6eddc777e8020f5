// BookTest: a fixture for the book module's tests.
//
// Each test gets a database of its own on the engine under test
// (engine/test_engine.h) with the full schema and seed data (so every system message exists), with
// the book tables emptied: tests insert exactly the pages and registry rows they need. The data
// source is "qvtest"; SysVar.Init has run on an in-memory host and the response is empty when the
// test body starts. Every statement sent through NewConnection() is recorded (Statements()).
// RunScript runs a Lua page script on the same request.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include <toml++/toml.h>

#include "core/convert.h"
#include "core/sql_literal.h"
#include "data/queued_writes.h"
#include "data/test_source.h"
#include "engine/datasources.h"
#include "engine/init_db.h"
#include "engine/test_engine.h"
#include "host/memory_host.h"
#include "script/script_host.h"
#include "session/identity.h"
#include "session/sysvar.h"

namespace qv::testing {

// A page row; unset fields take the schema's defaults.
struct PageRow {
  int id = 0;
  int pid = 0;
  int book = 0;
  int level = 1;
  int order = 0;
  int type = 0;
  int children = 0;
  int group = 0;
  std::string owner = "";
  std::string title = "";  // dbTitle_e; dbTitle_n is title & " (n)"
  std::string content_e = "";
  std::string content_n = "";
  std::string remark_e = "";
  bool finished_e = true;
  bool finished_n = true;
  std::string expired = "";  // "" for Null
};

// A registry row of qvAuthBook; "" stands for Null in the list fields.
struct BookRow {
  int id = 0;
  std::string table = "qvbook";
  std::string owner = "";
  int group = 0;
  std::string title = "A book";
  std::string author_users = "";
  std::string editor_users = "";
  std::string editor_groups = "";
  std::string reader_users = "";
  std::string reader_groups = "";
  std::string edit_type = "";
  bool finished_e = true;
  int order = 0;
  int indent = 0;
};

class BookTest : public ::testing::Test {
 protected:
  BookTest() : dir_(MakeDir()), db_(dir_, "qvtest.db", Contents::kSeeded) {
    const toml::table config = toml::parse("[datasource.qvtest]\n" + db_.Entry());
    ConfigureDataSources(&config, dir_.string());
    SetConnectionFactory(
        [] { return std::make_unique<RecordingConnection>(NewEngineConnection()); });
    for (const char* table : {"qvbook", "qvbook_", "qvAuthBook", "qvmedia", "qvlibrary",
                              "qvlibrary_", "qvglossary", "qvAuthLog"}) {
      Exec(std::string("DELETE * FROM ") + table);
    }
    ResetRequestState();
    host.request.SetServerVariable("SCRIPT_NAME", "/site/book.lp");
    SysVar().Init("qvtest");
    host.response.Clear();
    Statements().clear();
  }
  ~BookTest() override {
    ResetRequestState();
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }

  // Runs one statement on a connection of its own (not recorded).
  // Log rows queued before it are written first.
  QueryResult Exec(const std::string& sql) {
    FlushQueuedWrites();
    std::unique_ptr<Connection> conn = NewEngineConnection();
    conn->Open("qvtest", "", "");
    QueryResult result = conn->Query(sql);
    conn->Close();
    return result;
  }

  // INSERT INTO table (names) VALUES (values), each value quoted by kind.
  void Insert(const std::string& table, const std::vector<std::pair<std::string, Variant>>& row) {
    std::string names, values;
    for (const auto& [name, value] : row) {
      names += (names.empty() ? "" : ", ") + name;
      values += (values.empty() ? "" : ", ") + Literal(value);
    }
    Exec("INSERT INTO " + table + " (" + names + ") VALUES (" + values + ")");
  }

  void AddPage(const PageRow& p, const std::string& table = "qvbook") {
    Insert(table, {{"ID", p.id},
                   {"dbPID", p.pid},
                   {"dbCID", p.children},
                   {"dbBookID", p.book},
                   {"dbPageLevel", p.level},
                   {"dbOrder", p.order},
                   {"dbType", p.type},
                   {"dbOwnerID", NullIfEmpty(p.owner)},
                   {"dbGroup", p.group},
                   {"dbTitle_e", p.title},
                   {"dbTitle_n", p.title + " (n)"},
                   {"dbContent_e", p.content_e},
                   {"dbContent_n", p.content_n},
                   {"dbRemark_e", p.remark_e},
                   {"dbFinished_e", p.finished_e},
                   {"dbFinished_n", p.finished_n},
                   {"dbExpiredDate", NullIfEmpty(p.expired)},
                   {"dbDate", "2024-05-01 10:00:00"}});
  }

  void AddBook(const BookRow& b) {
    Insert("qvAuthBook", {{"ID", b.id},
                          {"dbTableName", b.table},
                          {"dbBookCode", "B" + std::to_string(b.id)},
                          {"dbTitle_e", b.title},
                          {"dbTitle_n", b.title + " (n)"},
                          {"dbOwnerID", NullIfEmpty(b.owner)},
                          {"dbGroup", b.group},
                          {"dbOrder", b.order},
                          {"dbIndent", b.indent},
                          {"dbFinished_e", b.finished_e},
                          {"dbFinished_n", b.finished_e},
                          {"dbAuthorUserID", NullIfEmpty(b.author_users)},
                          {"dbEditorUserID", NullIfEmpty(b.editor_users)},
                          {"dbEditorGroupID", NullIfEmpty(b.editor_groups)},
                          {"dbEditType", NullIfEmpty(b.edit_type)},
                          {"dbReaderUserID", NullIfEmpty(b.reader_users)},
                          {"dbReaderGroupID", NullIfEmpty(b.reader_groups)}});
  }

  // The session of a logged-in user (major group, comma-separated minor
  // groups); LogIn("") is the anonymous visitor.
  void LogIn(const std::string& user, const std::string& major = "",
             const std::string& minor = "") {
    host.session.SetValue(SessionKey("AuthUserID"), user);
    host.session.SetValue(SessionKey("AuthMajorGroupID"), major);
    host.session.SetValue(SessionKey("AuthMinorGroupIDs"), minor);
  }

  // Replaces the request's query string ("id=3&qvAction=edit").
  void Query(const std::string& raw) {
    host.request = MemoryRequest();
    host.request.SetQueryString(raw);
  }

  // Runs a Lua page script on this request; returns what the response
  // recorded. ScriptError and ResponseEnded reach the test.
  std::string RunScript(const std::string& lua) {
    static int scripts = 0;
    const std::string name = "page" + std::to_string(++scripts) + ".lua";
    std::ofstream(dir_ / name, std::ios::binary) << lua;
    host.response.Clear();
    ScriptHost().Run((dir_ / name).string(), "/" + name);
    return host.response.Text();
  }

  // How many recorded statements contain text.
  static long SqlCount(const std::string& text) {
    return std::count_if(Statements().begin(), Statements().end(),
                         [&](const std::string& sql) { return sql.find(text) != sql.npos; });
  }

  const std::string& Output() const { return host.response.Text(); }
  // The output so far, clearing the response for the next step.
  std::string Take() {
    std::string text = host.response.Text();
    host.response.Clear();
    return text;
  }
  bool Shows(const std::string& text) const { return Output().find(text) != std::string::npos; }

  static Variant NullIfEmpty(const std::string& text) {
    return text.empty() ? Variant(Null) : Variant(text);
  }

  MemoryHost host;

 private:
  static std::string Literal(const Variant& value) {
    if (value.IsNull()) return "Null";
    if (value.IsBoolean()) return value.AsBoolean() ? "true" : "false";
    if (value.IsNumber()) return SqlNumber(value);
    return SqlText(value);
  }

  static std::filesystem::path MakeDir() {
    static int counter = 0;
    std::filesystem::path dir =
        std::filesystem::temp_directory_path() /
        ("qvtome-book-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
    std::filesystem::create_directories(dir);
    return dir;
  }

  std::filesystem::path dir_;
  ScratchDatabase db_;
};

}  // namespace qv::testing

// End-to-end on the default site over a seeded database: hostile values in
// every request parameter that reaches SQL or comes back in a page, as an
// anonymous visitor and as the users whose forms take them. Injection
// probes leave the database as it was (a field a form saves holds the probe
// verbatim, and nothing else changes) and show no database error; markup
// comes back encoded; no spelling of a path serves the database, its
// journal files, the logs or the configuration; oversized requests are
// refused while the server keeps serving.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/convert.h"
#include "core/encode.h"
#include "core/sql_literal.h"
#include "http/query_parse.h"
#include "session/login_throttle.h"
#include "site_server.h"

namespace qv::http {
namespace {

namespace fs = std::filesystem;
using testing::Browser;
using testing::Fetch;
using testing::Get;
using testing::Post;
using testing::Reply;

// Quote breakers, tautologies, UNION, boolean and time-based probes,
// stacked statements, comment tricks and the dialect's bracketed names.
const char* const kInjections[] = {
    "'",
    "1'\"",
    "' OR '1'='1",
    "1 OR 1=1",
    "1) OR (1=1",
    "8 AND 1=2",
    "-1 UNION SELECT name, sql FROM sqlite_master--",
    "' UNION SELECT dbUserID, dbPassword FROM qvAuthUser--",
    "1 AND 1=LIKE('ABCDEFG',UPPER(HEX(RANDOMBLOB(20000000))))",
    "8; DELETE FROM qvbook",
    "'; DROP TABLE qvAuthUser;--",
    "8/**/OR/**/1=1",
    "8 -- ",
    "x'||(SELECT dbPassword FROM qvAuthUser LIMIT 1)||'",
    "qvbook]; DELETE FROM [qvbook",
};

// Breaking out of element content, attributes, textareas and script
// strings, and a script address.
const char* const kMarkup[] = {
    "\"><script>qvxss(1)</script>",         "'onmouseover='qvxss(2)",
    "\" onfocus=\"qvxss(3)\" autofocus=\"", "</textarea><script>qvxss(4)</script>",
    "</title><svg onload=qvxss(5)>",        "';qvxss(6);//",
    "<img src=x onerror=qvxss(7)>",         "javascript:qvxss(8)",
};

// Text a database error would show.
const char* const kSqlErrorText[] = {
    "SQL",     "syntax error",       "sqlite",           "near \"",
    "no such", "unrecognized token", "incomplete input", "DatabaseError"};

// Every row of every table (and of the schema), by rowid, each value with
// its storage class.
using Rows = std::map<int64_t, std::string>;
using Dump = std::map<std::string, Rows>;

// On PostgreSQL, through a connection of the engine: every row of every table
// of the site's schema by its ID, each value with its kind.
Dump DumpThroughEngine() {
  std::unique_ptr<Connection> conn = ::qv::testing::NewEngineConnection();
  conn->Open("qvtome", "", "");
  Dump dump;
  const QueryResult tables = conn->Query(
      "SELECT table_name FROM information_schema.tables WHERE table_schema = current_schema()"
      " AND table_type = 'BASE TABLE'");
  for (const auto& table : tables.rows) {
    const std::string name = NullToStr(table.at(0));
    Rows& table_rows = dump[name];
    // Rows by their ID; in a table without one (the schema version), by
    // their place.
    const QueryResult result = conn->Query("SELECT * FROM " + name + " ORDER BY 1");
    size_t id = 0;
    while (id < result.fields.size() && !EqualsNoCase(result.fields[id].name, "ID")) ++id;
    int64_t place = 0;
    for (const auto& row : result.rows) {
      std::string text;
      for (const Variant& value : row) {
        text += std::to_string(static_cast<int>(value.kind())) + ":" + NullToStr(value) + '\x1f';
      }
      table_rows[id < row.size() ? ToInteger(row[id]) : place++] = text;
    }
  }
  return dump;
}

Dump DumpDatabase(const fs::path& file) {
  if (::qv::testing::OnPostgres()) return DumpThroughEngine();
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
    sqlite3_close(db);
    ADD_FAILURE() << "cannot open " << file;
    return {};
  }
  auto rows = [db](const std::string& sql, const std::function<void(sqlite3_stmt*)>& each) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
      ADD_FAILURE() << sqlite3_errmsg(db) << ": " << sql;
    }
    while (statement && sqlite3_step(statement) == SQLITE_ROW) each(statement);
    sqlite3_finalize(statement);
  };
  std::vector<std::string> tables = {"sqlite_master"};
  rows("SELECT name FROM sqlite_master WHERE type = 'table'", [&](sqlite3_stmt* s) {
    tables.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(s, 0)));
  });
  Dump dump;
  for (const std::string& table : tables) {
    Rows& table_rows = dump[table];
    rows("SELECT rowid, * FROM \"" + table + "\"", [&](sqlite3_stmt* s) {
      std::string row;
      for (int c = 1; c < sqlite3_column_count(s); ++c) {
        row += std::to_string(sqlite3_column_type(s, c)) + ":";
        const void* bytes = sqlite3_column_blob(s, c);
        const int size = sqlite3_column_bytes(s, c);
        if (bytes) row.append(static_cast<const char*>(bytes), static_cast<size_t>(size));
        row += '\x1f';
      }
      table_rows[sqlite3_column_int64(s, 0)] = row;
    });
  }
  sqlite3_close(db);
  return dump;
}

// Rows a request may change or add: a form's save writes its own row.
struct Allowed {
  std::string table;
  std::set<int64_t> rows;
};

// The first difference between two dumps outside the allowed rows, "" when
// there is none. Every request adds rows to the activity log (qvAuthLog),
// so new rows there are expected (and its counter in sqlite_sequence
// moves); its earlier rows must stay as they were.
std::string Difference(const Dump& before, const Dump& after, const std::vector<Allowed>& allowed) {
  auto may_change = [&](const std::string& table, int64_t row) {
    for (const Allowed& a : allowed) {
      if (EqualsNoCase(a.table, table) && a.rows.contains(row)) return true;
    }
    return false;
  };
  // The counter of an AUTOINCREMENT table moves with its rows: a row
  // "name\x1fcounter" of sqlite_sequence.
  auto counter_of = [](const std::string& table, const std::string& row) {
    if (table != "sqlite_sequence") return std::string();
    return row.substr(2, row.find('\x1f') - 2);
  };
  auto allowed_counter = [&](const std::string& counted) {
    for (const Allowed& a : allowed) {
      if (!counted.empty() && EqualsNoCase(a.table, counted)) return true;
    }
    return false;
  };
  for (const auto& [table, rows] : before) {
    auto found = after.find(table);
    if (found == after.end()) return "table " + table + " is gone";
    // Change counters move with every change of their tables, which the
    // rows of those tables show.
    if (EqualsNoCase(table, "qvChangeCounter")) continue;
    const bool log = EqualsNoCase(table, "qvAuthLog");
    for (const auto& [rowid, row] : rows) {
      if (may_change(table, rowid)) continue;
      const std::string counted = counter_of(table, row);
      if (counted == "qvAuthLog" || allowed_counter(counted)) continue;
      auto kept = found->second.find(rowid);
      if (kept == found->second.end()) return table + " row " + std::to_string(rowid) + " is gone";
      if (kept->second != row) return table + " row " + std::to_string(rowid) + " changed";
    }
    for (const auto& [rowid, row] : found->second) {
      const std::string counted = counter_of(table, row);
      if (counted == "qvAuthLog" || allowed_counter(counted)) continue;
      if (!log && !rows.contains(rowid) && !may_change(table, rowid)) {
        return table + " row " + std::to_string(rowid) + " was added";
      }
    }
  }
  for (const auto& [table, rows] : after) {
    if (!before.contains(table)) return "table " + table + " was added";
  }
  return "";
}

// The database error text in a page, "" when there is none. The payload's
// own words, wherever the page echoes them, are not counted.
std::string SqlErrorIn(std::string body) {
  body = ReplaceAll(body, "sqlite_master", "");
  for (const char* text : kSqlErrorText) {
    const size_t at = body.find(text);
    if (at != std::string::npos) return body.substr(at > 80 ? at - 80 : 0, 200);
  }
  return "";
}

// What of a markup payload a page shows unencoded, "" when nothing.
std::string RawMarkupIn(const std::string& body, const std::string& payload) {
  if (payload.find_first_of("<>\"'") != std::string::npos && testing::Has(body, payload)) {
    return "the payload, raw";
  }
  const std::string lower = ToLower(body);
  for (const char* attribute : {"href=\"javascript:", "src=\"javascript:", "action=\"javascript:",
                                "href='javascript:", "href=javascript:"}) {
    if (testing::Has(lower, attribute)) return attribute;
  }
  return "";
}

class SiteSecurity : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    site_ = new testing::SiteServer("qvtome_site_security",
                                    [](ServerConfig& config) { config.log_to_files = true; });
    db_ = site_->data_dir() / "qvtome.db";
    std::ofstream(site_->data_dir() / "qvtome.toml") << "# qvsecret-config\n[server]\n";
    // Failed logins here are probes, not guesses: the throttle's clock moves
    // on by two minutes at each look, past every delay (and under the lock).
    SharedLoginThrottle().SetClock([] {
      static std::chrono::steady_clock::time_point now{};
      return now += std::chrono::minutes(2);
    });
    testing::QueryFirst(
        "INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) "
        "VALUES ('QvSecurityProbe', 'probe', 'proef', 4242)");
    probe_ = testing::QueryFirst("SELECT ID FROM qvSystemMsg WHERE dbName = 'QvSecurityProbe'");
  }
  static void TearDownTestSuite() {
    SharedLoginThrottle().SetClock(nullptr);
    delete site_;
    site_ = nullptr;
  }

  static uint16_t port() { return site_->port(); }
  static std::string Query(const std::string& sql) { return testing::QueryFirst(sql); }

  static Browser LoggedIn(const std::string& user, const std::string& password) {
    Browser browser(port());
    browser.LogIn("/login.lp", user, password);
    EXPECT_FALSE(browser.cookie().empty()) << user;
    return browser;
  }

  // The rows of `table` that `where` selects, as a form's save may write, by
  // their ID (on SQLite the rowid).
  static Allowed RowsWhere(const std::string& table, const std::string& where) {
    Allowed allowed{table, {}};
    std::unique_ptr<Connection> conn = ::qv::testing::NewEngineConnection();
    conn->Open("qvtome", "", "");
    for (const auto& row : conn->Query("SELECT ID FROM " + table + " WHERE " + where).rows) {
      allowed.rows.insert(ToInteger(row[0]));
    }
    return allowed;
  }

  // The help entries made on a page's first view whose keyword does not
  // hold text.
  static Allowed HelpEntriesWithout(const std::string& text) {
    Allowed allowed{"qvglossary", {}};
    std::unique_ptr<Connection> conn = ::qv::testing::NewEngineConnection();
    conn->Open("qvtome", "", "");
    for (const auto& row : conn->Query("SELECT ID, dbKeyword_e FROM qvglossary WHERE dbBookID = 1 "
                                       "AND dbOwnerID = 'qvtome' AND 'Help on ' || dbKeyword_e "
                                       "IN (dbContent_e, dbContent_n)")
                               .rows) {
      if (NullToStr(row[1]).find(text) == std::string::npos) allowed.rows.insert(ToInteger(row[0]));
    }
    return allowed;
  }

  using Send = std::function<Reply(const std::string& payload)>;
  using MayChange = std::function<std::vector<Allowed>(const std::string& payload)>;

  // Sends every injection probe through each named sender; the database
  // keeps every row outside those `may_change` names, and no answer shows a
  // database error or is a failure.
  static void ExpectInert(
      const std::vector<std::pair<std::string, Send>>& senders,
      const MayChange& may_change = nullptr,
      const std::function<void(const std::string& name, const std::string& payload,
                               const Reply& reply)>& also = nullptr) {
    Dump before = DumpDatabase(db_);
    for (const auto& [name, send] : senders) {
      for (const char* payload : kInjections) {
        const Reply reply = send(payload);
        std::vector<Allowed> allowed = may_change ? may_change(payload) : std::vector<Allowed>{};
        // A page's help entry is made on its first view, keyed by what the
        // page ran (never by the payload), with its text as made.
        allowed.push_back(HelpEntriesWithout(payload));
        Dump after = DumpDatabase(db_);
        EXPECT_EQ(Difference(before, after, allowed), "") << name << " = " << payload;
        before = std::move(after);
        EXPECT_TRUE(reply.status == 200 || reply.status == 302)
            << name << " = " << payload << ": " << reply.status;
        EXPECT_EQ(SqlErrorIn(reply.body), "") << name << " = " << payload;
        if (also) also(name, payload, reply);
      }
    }
  }

  // Sends every markup payload through each named sender; no answer shows
  // one unencoded.
  static void ExpectEncoded(const std::vector<std::pair<std::string, Send>>& senders) {
    for (const auto& [name, send] : senders) {
      for (const char* payload : kMarkup) {
        const Reply reply = send(payload);
        EXPECT_EQ(RawMarkupIn(reply.body, payload), "") << name << " = " << payload;
      }
    }
  }

  // A sender of GET `prefix` & the payload, URL-encoded, from `browser`
  // (anonymous when null).
  static Send Link(const std::string& prefix, Browser* browser = nullptr) {
    return [prefix, browser](const std::string& payload) {
      const std::string path = prefix + UrlEncode(payload);
      return browser ? browser->Open(path) : Fetch(port(), Get(path));
    };
  }
  // A sender of a form posted to `path`, `before` & the payload & `after`.
  static Send Form(const std::string& path, Browser* browser, const std::string& before,
                   const std::string& after = "") {
    return [=](const std::string& payload) {
      const std::string body = before + UrlEncode(payload) + after;
      return browser ? browser->Send(path, body)
                     : Fetch(port(), Post(path, "application/x-www-form-urlencoded", body));
    };
  }

  static inline testing::SiteServer* site_ = nullptr;
  static inline fs::path db_;
  static inline std::string probe_;  // a system message of its own, for the editor's saves
};

TEST_F(SiteSecurity, AnonymousParametersReachingSqlAreInert) {
  ExpectInert({
      {"book id", Link("/book.lp?id=")},
      {"book table", Link("/book.lp?table=")},
      {"book table with id", Link("/book.lp?id=8&table=")},
      {"book lang", Link("/book.lp?id=8&lang=")},
      {"book qvAction", Link("/book.lp?id=8&qvAction=")},
      {"book id of an edit", Link("/book.lp?qvAction=edit&id=")},
      {"book id of a delete", Link("/book.lp?qvAction=delete&id=")},
      {"library id", Link("/library.lp?id=")},
      {"library lang", Link("/library.lp?id=2&lang=")},
      {"entry lang", Link("/?lang=")},
      {"messages q", Link("/messages.lp?q=")},
      {"message editor id", Link("/msgedit.lp?id=")},
      {"glossary entry id", Link("/glossary.lp?glossary_id=")},
      {"glossary lang", Link("/glossary.lp?glossary_id=1&lang=")},
      {"help code", Link("/help.lp?helpcode=")},
  });
}

TEST_F(SiteSecurity, LoginFieldsAreInertAndLogNobodyIn) {
  const std::string form = "qvTomeLogin=true&qvTomeUserID=";
  const std::vector<std::pair<std::string, Send>> senders = {
      {"user id", Form("/login.lp", nullptr, form, "&qvTomePassword=x")},
      {"password of teacher", Form("/login.lp", nullptr, form + "teacher&qvTomePassword=")},
      {"password of admin", Form("/msgedit.lp", nullptr, form + "admin&qvTomePassword=")},
      {"login flag",
       Form("/login.lp", nullptr, "qvTomeUserID=admin&qvTomePassword=x&qvTomeLogin=")},
  };
  ExpectInert(senders, nullptr,
              [](const std::string& name, const std::string& payload, const Reply& reply) {
                EXPECT_FALSE(testing::Has(reply.body, "logout=1")) << name << " = " << payload;
                EXPECT_EQ(reply.Header("set-cookie"), "") << name << " = " << payload;
              });
}

TEST_F(SiteSecurity, TeacherCommandParametersAreInert) {
  Browser teacher = LoggedIn("teacher", "teacher-2026");
  const std::string leaf =
      Query("SELECT ID FROM qvbook WHERE dbCID = 0 AND dbPID > 0 ORDER BY ID DESC LIMIT 1");
  ExpectInert({
      {"id of a delete", Link("/book.lp?qvAction=delete&id=", &teacher)},
      {"id of an edit", Link("/book.lp?qvAction=edit&id=", &teacher)},
      {"id of a paste", Link("/book.lp?qvAction=paste&id=", &teacher)},
      {"qvAction", Link("/book.lp?id=" + leaf + "&qvAction=", &teacher)},
      {"table", Link("/book.lp?id=" + leaf + "&qvAction=edit&table=", &teacher)},
      {"edit", Link("/book.lp?id=" + leaf + "&qvAction=edit&edit=", &teacher)},
      {"reply", Link("/book.lp?id=" + leaf + "&qvAction=add&reply=", &teacher)},
      {"add", Link("/book.lp?id=" + leaf + "&qvAction=add&add=", &teacher)},
      {"qvTitle", Link("/book.lp?id=" + leaf + "&qvAction=add&qvTitle=", &teacher)},
  });
}

TEST_F(SiteSecurity, PageEditFormFieldsAreInertOrSavedVerbatim) {
  Browser teacher = LoggedIn("teacher", "teacher-2026");
  const std::string page = "/book.lp?id=9";  // "Tides", a page of the course
  // The fields of the edit form as it offers them, the payload in `field`
  // (or appended when the form has no such field).
  auto save = [&](const std::string& field, const std::string& path = "") {
    return [&teacher, page, field, path](const std::string& payload) {
      teacher.Open(page + "&qvAction=edit");
      std::string form =
          "qvAction=edit&qvFLD_List=dbFinished_e&dbFinished_e=-1&qvFLD_List=dbTitle_e"
          "&qvFLD_List=dbKeyWord_e&qvFLD_List=dbContent_e&qvFLD_List=dbRemark_e"
          "&dbTitle_e=Tides&dbKeyWord_e=&dbContent_e=c&dbRemark_e=&Submit=Save";
      const size_t at = form.find("&" + field + "=");
      if (at == std::string::npos) {
        form += "&" + field + "=" + UrlEncode(payload);
      } else {
        const size_t end = form.find('&', at + 1);
        form = form.substr(0, at) + "&" + field + "=" + UrlEncode(payload) + form.substr(end);
      }
      return teacher.Send(path.empty() ? page : path + UrlEncode(payload), form);
    };
  };
  save("dbContent_e")("c");  // the page as the form below saves it
  ExpectInert({
      {"id of the save", save("x", "/book.lp?id=")},
      {"finished flag", save("dbFinished_e")},
      {"action", save("qvAction")},
  });
  // A name the form does not show is ignored; the rest is saved as before
  // (with a new date and stamp).
  const MayChange this_page = [&](const std::string&) {
    return std::vector<Allowed>{RowsWhere("qvbook", "ID = 9")};
  };
  ExpectInert({{"field list", save("qvFLD_List")}}, this_page);
  EXPECT_EQ(Query("SELECT dbTitle_e || '|' || dbContent_e FROM qvbook WHERE ID = 9"), "Tides|c");
  // The texts the form shows are saved as typed, into this page only.
  for (const char* field : {"dbTitle_e", "dbKeyWord_e", "dbContent_e", "dbRemark_e"}) {
    ExpectInert({{field, save(field)}}, this_page);
    EXPECT_EQ(Query(std::string("SELECT ") + field + " FROM qvbook WHERE ID = 9"),
              kInjections[std::size(kInjections) - 1]);
  }
}

TEST_F(SiteSecurity, MessageEditorFieldsAreInertOrSavedVerbatim) {
  Browser admin = LoggedIn("admin", "qvtome-admin");
  const std::string page = "/msgedit.lp?id=" + probe_;
  const std::string fields = "qvEditMsg=1&qvFLD_List=dbName&qvFLD_List=dbMsg_e&qvFLD_List=dbMsg_n";
  // Each save is made from a freshly opened form, whose stamp it carries.
  auto save = [&](const std::string& form) {
    return [&admin, page, form](const std::string& payload) {
      admin.Open(page);
      return admin.Send(page, ReplaceAll(form, "{}", UrlEncode(payload)) + "&qvSave=Save");
    };
  };
  ExpectInert({
      {"id", Link("/msgedit.lp?id=", &admin)},
      {"id in the link of a save",
       [&](const std::string& payload) {
         return admin.Send("/msgedit.lp?id=" + UrlEncode(payload),
                           fields + "&dbName=QvSecurityProbe&dbMsg_e=a&dbMsg_n=b");
       }},
      {"field list", save("qvEditMsg=1&qvFLD_List={}&dbName=QvSecurityProbe")},
      {"editor flag", save("qvEditMsg={}&" + fields.substr(12) + "&dbName=QvSecurityProbe")},
  });
  // The texts a form shows are saved as typed, into the probe's row only.
  const MayChange probe_row = [&](const std::string&) {
    return std::vector<Allowed>{RowsWhere("qvSystemMsg", "ID = " + probe_),
                                RowsWhere("qvChangeCounter", "dbTable = 'qvsystemmsg'")};
  };
  const std::pair<const char*, const char*> texts[] = {
      {"dbName", "QvSecurityProbe"}, {"dbMsg_e", "e"}, {"dbMsg_n", "n"}};
  for (const auto& [field, _] : texts) {
    std::string form = fields;
    for (const auto& [other, value] : texts) {
      form += "&" + std::string(other) + "=" + (other == field ? "{}" : value);
    }
    ExpectInert({{field, save(form)}}, probe_row);
    EXPECT_EQ(Query(std::string("SELECT ") + field + " FROM qvSystemMsg WHERE ID = " + probe_),
              kInjections[std::size(kInjections) - 1]);
  }
  admin.Open(page);
  admin.Send(page, fields + "&dbName=QvSecurityProbe&dbMsg_e=probe&dbMsg_n=proef&qvSave=Save");
  EXPECT_EQ(Query("SELECT dbName FROM qvSystemMsg WHERE ID = " + probe_), "QvSecurityProbe");
}

TEST_F(SiteSecurity, MessageOrderGridFieldsAreInert) {
  Browser admin = LoggedIn("admin", "qvtome-admin");
  const std::string row = "ID_" + probe_ + "_dbOrder";
  const std::string grid = "qvID_List=" + probe_ + "&qvFLD_List=dbOrder&";
  const MayChange probe_row = [&](const std::string&) {
    return std::vector<Allowed>{RowsWhere("qvSystemMsg", "ID = " + probe_),
                                RowsWhere("qvChangeCounter", "dbTable = 'qvsystemmsg'")};
  };
  ExpectInert(
      {
          {"help code", Link("/help.lp?helpcode=", &admin)},
          {"from", Link("/msgorder.lp?from=", &admin)},
          {"to", Link("/msgorder.lp?to=", &admin)},
          {"q", Link("/msgorder.lp?q=", &admin)},
          {"row id list",
           Form("/msgorder.lp", &admin, "qvFLD_List=dbOrder&" + row + "=5&qvID_List=")},
          {"field list",
           Form("/msgorder.lp", &admin, "qvID_List=" + probe_ + "&" + row + "=5&qvFLD_List=")},
          {"row id in a field name",
           [&](const std::string& payload) {
             return admin.Send("/msgorder.lp", grid + "ID_" + UrlEncode(payload) + "_dbOrder=5");
           }},
          {"order", Form("/msgorder.lp", &admin, grid + row + "=")},
      },
      probe_row);
  // A number column never takes text (SQLite would store it; PostgreSQL's
  // column types refuse it).
  if (!::qv::testing::OnPostgres()) {
    EXPECT_EQ(Query("SELECT typeof(dbOrder) FROM qvSystemMsg WHERE ID = " + probe_), "integer");
  }
}

TEST_F(SiteSecurity, LibraryHoldingFieldsAreInertOrSavedVerbatim) {
  Browser teacher = LoggedIn("teacher", "teacher-2026");
  const std::string holding =
      "BibOwner=Save&dbBID=2&dbOwnerID=teacher&dbCallNo=SEC-1&dbBorrowerID=_not_borrow_"
      "&dbBorrowDate=&dbNotes=n";
  auto with = [&](const std::string& field) {
    const size_t at = holding.find(field + "=");
    const size_t end = holding.find('&', at);
    const std::string before = holding.substr(0, at + field.size() + 1);
    const std::string after = end == std::string::npos ? "" : holding.substr(end);
    return Form("/library.lp?id=2", &teacher, before, after);
  };
  // Refused holdings change nothing.
  ExpectInert({
      {"record id", with("dbBID")},
      {"holder", with("dbOwnerID")},
      {"borrower", with("dbBorrowerID")},
      {"borrow date", with("dbBorrowDate")},
      {"page id", Link("/library.lp?" + holding + "&id=", &teacher)},
      {"delete", Form("/library.lp?id=2", &teacher,
                      "BibOwner=Save&dbBID=2&dbOwnerID=teacher&delete=ON&dbCallNo=")},
  });
  // Call numbers (their first 50 characters, as the column keeps them) and
  // notes are stored as typed, in the holding they name.
  ExpectInert({{"call number", with("dbCallNo")}, {"notes", with("dbNotes")}},
              [&](const std::string& payload) {
                return std::vector<Allowed>{RowsWhere(
                    "qvlibrary_", "dbCallNo IN ('SEC-1', " + SqlText(payload.substr(0, 50)) + ")")};
              });
  for (const std::string payload : kInjections) {
    EXPECT_EQ(
        Query("SELECT count(*) FROM qvlibrary_ WHERE dbCallNo = " + SqlText(payload.substr(0, 50))),
        "1")
        << payload;
  }
  const std::string last = kInjections[std::size(kInjections) - 1];
  EXPECT_EQ(Query("SELECT dbNotes FROM qvlibrary_ WHERE dbCallNo = 'SEC-1'"), last);
}

TEST_F(SiteSecurity, EchoedParametersComeBackEncoded) {
  Browser teacher = LoggedIn("teacher", "teacher-2026");
  Browser admin = LoggedIn("admin", "qvtome-admin");
  const std::string page = "/msgedit.lp?id=" + probe_;
  ExpectEncoded({
      {"book id", Link("/book.lp?id=")},
      {"book table", Link("/book.lp?table=")},
      {"book lang", Link("/book.lp?id=8&lang=")},
      {"book qvAction", Link("/book.lp?id=8&qvAction=")},
      {"book other", Link("/book.lp?id=8&x=")},
      {"library id", Link("/library.lp?id=")},
      {"messages q", Link("/messages.lp?q=")},
      {"glossary entry id", Link("/glossary.lp?glossary_id=")},
      {"help code", Link("/help.lp?helpcode=", &admin)},
      {"login user id",
       Form("/login.lp", nullptr, "qvTomeLogin=true&qvTomePassword=x&qvTomeUserID=")},
      {"diagnostics", Link("/diagnostics.lp?x=", &admin)},
      {"teacher qvTitle", Link("/book.lp?id=8&qvAction=add&qvTitle=", &teacher)},
      {"teacher reply", Link("/book.lp?id=8&qvAction=add&reply=y&add=", &teacher)},
      {"teacher edit", Link("/book.lp?id=8&qvAction=edit&edit=", &teacher)},
      {"order from", Link("/msgorder.lp?from=", &admin)},
      {"order q", Link("/msgorder.lp?q=", &admin)},
      {"order link", Link("/msgorder.lp?x=", &admin)},
      {"editor id", Link("/msgedit.lp?id=", &admin)},
      // Message texts are HTML by design where they are used; their editor
      // and list show them as text.
      {"saved message",
       [&](const std::string& payload) {
         admin.Open(page);
         admin.Send(page, "qvEditMsg=1&qvFLD_List=dbMsg_e&dbMsg_e=" + UrlEncode(payload));
         return admin.Open(page);
       }},
      {"saved message, listed",
       [&](const std::string&) { return admin.Open("/messages.lp?q=QvSecurityProbe"); }},
  });
}

TEST_F(SiteSecurity, NoSpellingOfAPathServesTheDatabaseLogsOrConfiguration) {
  Fetch(port(), Get("/qvsecret-log-marker"));  // leaves its mark in access.log
  ASSERT_TRUE(fs::exists(site_->data_dir() / "logs/access.log"));
  const char* const paths[] = {
      "/../qvtome.db",
      "/media/../qvtome.db",
      "/media/%2e%2e/qvtome.db",
      "/media/%2E%2E%2Fqvtome.db",
      "/media/..%2fqvtome.db",
      "/media/.%2e/qvtome.db-wal",
      "/media/%2e./qvtome.db-shm",
      "/media/..%5cqvtome.db",
      "/media/%5c..%5cqvtome.db",
      "/media\\..\\qvtome.db",
      "/media/..\\qvtome.db",
      "/media/%c0%ae%c0%ae/qvtome.db",
      "/media/%c0%ae%c0%ae%c0%afqvtome.db",
      "/media/%e0%80%ae%e0%80%ae/qvtome.db",
      "/media/%252e%252e/qvtome.db",
      "/media/..%00/qvtome.db",
      "/media/%00/../qvtome.db",
      "/media/qvtome.db%00.png",
      "/media/..;/qvtome.db",
      "/media/./../qvtome.db",
      "/media/qvtome/../../qvtome.db",
      "/media/../logs/access.log",
      "/media/%2e%2e/logs/error.log",
      "/media/%2e%2e%2flogs%2faccess.log",
      "/media/../qvtome.toml",
      "/media/%2e%2e/qvtome.toml",
      "/media/../qvtome.db-journal",
      "/qvtome.db",
      "/data/qvtome.db",
      "/logs/access.log",
      "/qvtome.toml",
      "/lib/frame.lua",
      "/lib/%66rame.lua",
      "/lib\\frame.lua",
      "/book.lp%00.txt",
      "/site.css%00.db",
  };
  for (const char* path : paths) {
    const Reply reply = Fetch(port(), Get(path));
    EXPECT_TRUE(reply.status == 400 || reply.status == 404) << path << ": " << reply.status;
    for (const char* secret : {"SQLite format", "qvsecret-", "[server]", "frame.Start", "\"GET "}) {
      EXPECT_FALSE(testing::Has(reply.body, secret)) << path << " shows " << secret;
    }
  }
  EXPECT_EQ(Fetch(port(), Get("/site.css")).status, 200);
}

TEST_F(SiteSecurity, OversizedRequestsAreRefusedAndTheServerKeepsServing) {
  const std::string big(20 * 1024, 'y');
  std::string many_headers;
  for (int i = 0; i < 2500; ++i) many_headers += "X-H" + std::to_string(i) + ": 1\r\n";
  const std::pair<std::string, int> cases[] = {
      {Get("/book.lp?id=8", "X-Big: " + big + "\r\n"), 431},
      {Get("/book.lp?id=8", many_headers), 431},
      {Get("/book.lp?id=8", "Cookie: QVSESSION=" + big + "\r\n"), 431},
      {Get("/book.lp?id=8&q=" + big), 431},
      {"POST /book.lp HTTP/1.1\r\nHost: localhost\r\nContent-Type: "
       "application/x-www-form-urlencoded\r\nContent-Length: 9000000\r\n\r\nid=8",
       413},
      {"POST /book.lp HTTP/1.1\r\nHost: localhost\r\nContent-Type: "
       "application/x-www-form-urlencoded\r\nTransfer-Encoding: chunked\r\n\r\n"
       "895440\r\nid=8",
       413},
  };
  for (const auto& [request, status] : cases) {
    EXPECT_EQ(Fetch(port(), request).status, status) << request.substr(0, 80);
    const Reply next = Fetch(port(), Get("/book.lp?id=8"));
    EXPECT_EQ(next.status, 200);
    EXPECT_TRUE(testing::Has(next.body, "qvPageTitle"));
  }
}

}  // namespace
}  // namespace qv::http

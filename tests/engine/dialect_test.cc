#include "engine/dialect.h"

#include <gtest/gtest.h>

#include <cctype>
#include <ostream>
#include <string>
#include <vector>

#include "data/connection.h"
#include "engine/sql_script.h"

namespace qv {
namespace {

struct Case {
  const char* desktop;
  const char* sqlite;
};

// Test names show the statement with its punctuation blanked out.
void PrintTo(const Case& c, std::ostream* os) {
  std::string label(c.desktop);
  for (char& ch : label) {
    if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
  }
  *os << label.substr(0, 48);
}

class TranslateTest : public testing::TestWithParam<Case> {};

TEST_P(TranslateTest, RewritesOnlyTheDesktopConstructs) {
  EXPECT_EQ(TranslateToSqlite(GetParam().desktop), GetParam().sqlite);
}

INSTANTIATE_TEST_SUITE_P(
    NullComparisons, TranslateTest,
    testing::Values(Case{"WHERE a = Null and b<>null", "WHERE a IS NULL and b IS NOT NULL"},
                    Case{"where dbPassword=Null and x=1", "where dbPassword IS NULL and x=1"},
                    // In an UPDATE's SET list "= null" assigns.
                    Case{"UPDATE t SET a = null, b=Null WHERE c = null",
                         "UPDATE t SET a = null, b=Null WHERE c IS NULL"},
                    Case{"UPDATE t SET a = (SELECT x FROM u WHERE y=null)",
                         "UPDATE t SET a = (SELECT x FROM u WHERE y IS NULL)"},
                    Case{"WHERE a IS NULL", "WHERE a IS NULL"}));

INSTANTIATE_TEST_SUITE_P(
    Functions, TranslateTest,
    testing::Values(
        Case{"WHERE d>Now()", "WHERE d>datetime('now','localtime')"},
        Case{"WHERE d > Date() + Time()", "WHERE d > datetime('now','localtime')"},
        Case{"WHERE d>date ( )+TIME()", "WHERE d>datetime('now','localtime')"},
        Case{"WHERE d >= Date()", "WHERE d >= datetime('now','localtime','start of day')"},
        Case{"SELECT Time()", "SELECT time('now','localtime')"},
        Case{"order by len(dbTitle_e) desc", "order by length(dbTitle_e) desc"},
        Case{"WHERE a = true OR b=False OR c<>TRUE", "WHERE a <> 0 OR b=0 OR c = 0"},
        Case{"UPDATE t SET a = true, b = false WHERE c = true",
             "UPDATE t SET a = 1, b = 0 WHERE c <> 0"},
        Case{"INSERT INTO t (a, b) VALUES (true, False)", "INSERT INTO t (a, b) VALUES (1, 0)"},
        // Qualified names and names that merely start like a function stay.
        Case{"SELECT t.date, dbDate, dbLen, dbNow FROM t",
             "SELECT t.date, dbDate, dbLen, dbNow FROM t"},
        Case{"SELECT date FROM t", "SELECT date FROM t"}));

INSTANTIATE_TEST_SUITE_P(
    Statements, TranslateTest,
    testing::Values(Case{"delete * from t where x=1", "DELETE FROM t where x=1"},
                    Case{"DELETE  *  FROM t ", "DELETE FROM t "},
                    Case{"SELECT [my field] FROM [t]", "SELECT \"my field\" FROM \"t\""}));

INSTANTIATE_TEST_SUITE_P(
    Ddl, TranslateTest,
    testing::Values(
        Case{"CREATE TABLE t (ID counter, a text(50), b int)",
             "CREATE TABLE t (ID INTEGER PRIMARY KEY AUTOINCREMENT, a VARCHAR(50) COLLATE NOCASE, "
             "b INTEGER)"},
        Case{"create table t (m memo, y yesno, b BIT, d datetime, l long, i integer)",
             "create table t (m TEXT COLLATE NOCASE, y BOOLEAN, b BOOLEAN, d DATETIME, l INTEGER, "
             "i INTEGER)"},
        Case{"CREATE TABLE t (s short, f single, g double, x text, n text (20))",
             "CREATE TABLE t (s SMALLINT, f REAL, g DOUBLE, x TEXT COLLATE NOCASE, "
             "n VARCHAR(20) COLLATE NOCASE)"},
        // Names that are type words keep their spelling; only the type changes.
        Case{"CREATE TABLE t (dbLong long, dbDate datetime, date date)",
             "CREATE TABLE t (dbLong INTEGER, dbDate DATETIME, date DATETIME)"},
        Case{"CREATE TABLE t (a long, -- note: text memo\n b yesno)",
             "CREATE TABLE t (a INTEGER, -- note: text memo\n b BOOLEAN)"},
        Case{"CREATE TABLE t (ID counter PRIMARY KEY, n long DEFAULT 0, d datetime DEFAULT Now())",
             "CREATE TABLE t (ID INTEGER PRIMARY KEY AUTOINCREMENT, n INTEGER DEFAULT 0, "
             "d DATETIME DEFAULT (datetime('now','localtime')))"},
        Case{"CREATE TABLE t (ID counter(1, 1), a text)",
             "CREATE TABLE t (ID INTEGER PRIMARY KEY AUTOINCREMENT, a TEXT COLLATE NOCASE)"},
        // What is not a seed and step stays, literals and all, for SQLite to refuse.
        Case{"CREATE TABLE t (ID counter(x, a text, 'b'), c long)",
             "CREATE TABLE t (ID INTEGER PRIMARY KEY AUTOINCREMENT(x, a text, 'b'), c INTEGER)"},
        Case{"CREATE TABLE t (a text(10), UNIQUE (a))",
             "CREATE TABLE t (a VARCHAR(10) COLLATE NOCASE, UNIQUE (a))"},
        Case{"ALTER TABLE t ADD COLUMN f yesno", "ALTER TABLE t ADD COLUMN f BOOLEAN"},
        Case{"alter table t add n text(20)", "alter table t add n VARCHAR(20) COLLATE NOCASE"},
        // Outside DDL type words are ordinary names.
        Case{"SELECT text, memo, long FROM t WHERE double=1",
             "SELECT text, memo, long FROM t WHERE double=1"}));

// Every construct inside a string literal, quoted name or comment stays.
INSTANTIATE_TEST_SUITE_P(
    Literals, TranslateTest,
    testing::Values(Case{"WHERE a='= null' OR b='x <> null'", "WHERE a='= null' OR b='x <> null'"},
                    Case{"WHERE a='Now()' OR b='Date() + Time()' OR c='Time()'",
                         "WHERE a='Now()' OR b='Date() + Time()' OR c='Time()'"},
                    Case{"WHERE a='delete * from t'", "WHERE a='delete * from t'"},
                    Case{"WHERE a='len(x)' AND b='true'", "WHERE a='len(x)' AND b='true'"},
                    Case{"WHERE a='it''s = null' AND b=null",
                         "WHERE a='it''s = null' AND b IS NULL"},
                    Case{"INSERT INTO t (a) VALUES ('[x] text(5) counter')",
                         "INSERT INTO t (a) VALUES ('[x] text(5) counter')"},
                    Case{"SELECT \"Now()\" FROM t", "SELECT \"Now()\" FROM t"},
                    Case{"SELECT 1 -- Now() = null", "SELECT 1 -- Now() = null"},
                    Case{"SELECT 1 /* true */", "SELECT 1 /* true */"},
                    Case{"WHERE a='unterminated = null", "WHERE a='unterminated = null"}));

// The same constructs for PostgreSQL.
class TranslatePostgresTest : public testing::TestWithParam<Case> {};

TEST_P(TranslatePostgresTest, RewritesOnlyTheDesktopConstructs) {
  EXPECT_EQ(TranslateToPostgres(GetParam().desktop), GetParam().sqlite);
}

INSTANTIATE_TEST_SUITE_P(
    Expressions, TranslatePostgresTest,
    testing::Values(
        Case{"WHERE a = Null and b<>null", "WHERE a IS NULL and b IS NOT NULL"},
        Case{"UPDATE t SET a = null WHERE c = null", "UPDATE t SET a = null WHERE c IS NULL"},
        Case{"WHERE d>Now() AND e > Date() + Time()",
             "WHERE d>LOCALTIMESTAMP(0) AND e > LOCALTIMESTAMP(0)"},
        Case{"WHERE d >= Date() OR t < Time()",
             "WHERE d >= date_trunc('day', LOCALTIMESTAMP(0)) OR t < LOCALTIME(0)"},
        Case{"order by len(dbTitle_e)", "order by length(dbTitle_e)"},
        // Boolean constants stay; "= true" takes any non-zero value, as on SQLite.
        Case{"WHERE a = true OR b=False OR c<>TRUE", "WHERE a <> 0 OR b=False OR c = 0"},
        Case{"UPDATE t SET a = true, b = false WHERE c = true",
             "UPDATE t SET a = true, b = false WHERE c <> 0"},
        Case{"INSERT INTO t (a) VALUES (true)", "INSERT INTO t (a) VALUES (true)"},
        Case{"delete * from t where x=1", "DELETE FROM t where x=1"},
        // A bracketed name meets the name PostgreSQL folded to lower case.
        Case{"SELECT [My Field], dbName FROM [qvT]", "SELECT \"my field\", dbName FROM \"qvt\""},
        Case{"SELECT abs(random() % 10)",
             "SELECT abs(floor(random() * 4503599627370496)::bigint % 10)"},
        Case{"SELECT a || char(27), t.date, dbNow FROM t",
             "SELECT a || chr(27), t.date, dbNow FROM t"}));

INSTANTIATE_TEST_SUITE_P(
    Ddl, TranslatePostgresTest,
    testing::Values(
        Case{"CREATE TABLE t (ID counter, a text(50), m memo, y yesno)",
             "CREATE TABLE t (ID BIGINT GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY, "
             "a citext COLLATE \"C\", m citext COLLATE \"C\", y BOOLEAN)"},
        Case{"create table t (d datetime DEFAULT Now(), l long, s short, f single, g double)",
             "create table t (d TIMESTAMP(0) DEFAULT (LOCALTIMESTAMP(0)), l BIGINT, s SMALLINT, "
             "f REAL, g DOUBLE PRECISION)"},
        Case{"CREATE TABLE t (ID counter(100, 5) PRIMARY KEY, a text)",
             "CREATE TABLE t (ID BIGINT GENERATED BY DEFAULT AS IDENTITY (START WITH 100 "
             "INCREMENT BY 5) PRIMARY KEY, a citext COLLATE \"C\")"},
        Case{"ALTER TABLE t ADD COLUMN f yesno", "ALTER TABLE t ADD COLUMN f BOOLEAN"}));

// Every construct inside a literal, quoted name or comment stays.
INSTANTIATE_TEST_SUITE_P(
    Literals, TranslatePostgresTest,
    testing::Values(Case{"WHERE a='= null' AND b='Now() len( true [x]' AND c=null",
                         "WHERE a='= null' AND b='Now() len( true [x]' AND c IS NULL"},
                    Case{"INSERT INTO t (a) VALUES ('delete * from t text(5) counter')",
                         "INSERT INTO t (a) VALUES ('delete * from t text(5) counter')"},
                    Case{"SELECT \"Now()\", 1 -- = true\n", "SELECT \"Now()\", 1 -- = true\n"}));

TEST(TranslatePostgresColumnsTest, NotesEachColumnAsWrittenWithSqlitesType) {
  std::vector<DesktopColumn> columns;
  TranslateToPostgres(
      "CREATE TABLE t (ID counter, [dbName] text(40), dbFlag yesno, x memo, "
      "dbWhen datetime, n long, UNIQUE (dbName))",
      &columns);
  ASSERT_EQ(columns.size(), 6u);
  EXPECT_EQ(columns[0].name + " " + columns[0].declared, "ID INTEGER");
  EXPECT_EQ(columns[1].name + " " + columns[1].declared, "dbName VARCHAR(40)");
  EXPECT_EQ(columns[2].name + " " + columns[2].declared, "dbFlag BOOLEAN");
  EXPECT_EQ(columns[3].name + " " + columns[3].declared, "x TEXT");
  EXPECT_EQ(columns[4].name + " " + columns[4].declared, "dbWhen DATETIME");
  EXPECT_EQ(columns[5].name + " " + columns[5].declared, "n INTEGER");
}

TEST(CheckSingleStatementTest, RefusesOnlyASecondStatement) {
  EXPECT_NO_THROW(CheckSingleStatement("SELECT 1;  \n"));
  EXPECT_NO_THROW(CheckSingleStatement("SELECT 1; -- done"));
  EXPECT_NO_THROW(CheckSingleStatement("SELECT ';x' FROM t WHERE a = \"b;c\""));
  EXPECT_THROW(CheckSingleStatement("SELECT 1;DELETE FROM t;"), DatabaseError);
  try {
    CheckSingleStatement("SELECT * FROM t WHERE a='x'; DELETE FROM t");
    FAIL();
  } catch (const DatabaseError& e) {
    EXPECT_STREQ(e.what(), "Only one statement per call");
  }
}

TEST(SplitSqlScriptTest, CutsOnlyAtSemicolonsThatEndALine) {
  auto statements = SplitSqlScript(
      "-- header; comment\n"
      "CREATE TABLE a (x text(5)); -- trailing note\n"
      "INSERT INTO a VALUES ('one;\ntwo;');\n"
      "INSERT INTO a VALUES ('-- not a comment'); SELECT 2;\n"
      "\n"
      "INSERT INTO a VALUES ('last')");
  ASSERT_EQ(statements.size(), 4u);
  EXPECT_EQ(statements[0], "CREATE TABLE a (x text(5))");
  EXPECT_EQ(statements[1], "INSERT INTO a VALUES ('one;\ntwo;')");
  // A ";" inside a line does not end the statement.
  EXPECT_EQ(statements[2], "INSERT INTO a VALUES ('-- not a comment'); SELECT 2");
  EXPECT_EQ(statements[3], "INSERT INTO a VALUES ('last')");
}

}  // namespace
}  // namespace qv

// Schema versions: a new database carries the latest version; an older one
// is brought up to date by the migrations, keeping its rows, in one
// transaction.
#include "engine/migrations.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include "engine/init_db.h"
#include "test_database.h"

namespace qv {
namespace {

using testing_support::TestDatabase;

class MigrationsTest : public TestDatabase {
 protected:
  // The first column of the first row of sql on the file at path ("" none).
  static std::string Text(const std::string& path, const std::string& sql) {
    SqliteDb db = OpenSqliteFile(path);
    SqliteStatement stmt = PrepareSqlite(db.get(), sql);
    if (!StepSqlite(db.get(), stmt.get())) return "";
    const unsigned char* text = sqlite3_column_text(stmt.get(), 0);
    return text ? reinterpret_cast<const char*>(text) : "";
  }
  std::string Text(const std::string& sql) const { return Text(DatabasePath(), sql); }

  void Exec(const std::string& sql) const {
    SqliteDb db = OpenSqliteFile(DatabasePath());
    ExecSqlite(db.get(), sql);
  }

  int Version() const {
    SqliteDb db = OpenSqliteFile(DatabasePath());
    return SchemaVersion(db.get());
  }

  // The message keys migrations 1, 2, ... add, by migration.
  static inline const std::vector<std::vector<std::string>> kAddedKeys = {
      {"ErrorHoldingNoUser"},
      {"ErrorNotAvailable"},
      {"ErrorInvalidValue"},
      {"SiteGlossaryTitle", "SiteGlossaryRedirected", "SiteGlossaryAll", "SiteGlossaryChoose",
       "SiteHelp", "SiteHelpNoEntry"},
      {"ErrorAuthNoMark", "ErrorLoginToSubmit"},
      {"ErrorPasswordInvalid", "dbLANUserID", "SiteUsersTitle", "SiteGroupsTitle",
       "SiteAccountTitle", "SiteNewUser", "SiteAllUsers"},
      {"ErrorBookTable", "SiteBookAdminTitle", "SiteBookTables", "SiteBookAdminChoose",
       "SiteNewBook", "SiteOpenBook", "SiteLibOwnerTitle", "SiteLibOwnerLogin",
       "SiteLibOwnerNotFound"},
      {"SiteForgotPassword", "SitePasswordAsk", "SitePasswordSend", "SitePasswordSent",
       "SitePasswordNoID"},
      {},
      {"ErrorUploadFileName", "ErrorUploadFileNotStored", "SiteUploadTitle", "SiteUploadBack",
       "SiteUploadNewPage"},
      {}};
  // The migration that counts the changes of the cached tables.
  static constexpr int kChangeCountersVersion = 9;
  // The migration that makes the tables of sessions kept in the database.
  static constexpr int kSessionTablesVersion = 11;
  static inline const std::vector<std::string> kCountedTables = {
      "qvAuthBook", "qvAuthUser", "qvAuthGroup", "qvCodeDefList",
      "qvbook",     "qvglossary", "qvmedia",     "qvlibrary"};
  // The keys of the migrations above version.
  static std::vector<std::string> KeysAbove(int version) {
    std::vector<std::string> keys;
    for (size_t i = version; i < kAddedKeys.size(); ++i) {
      keys.insert(keys.end(), kAddedKeys[i].begin(), kAddedKeys[i].end());
    }
    return keys;
  }

  // A database as the schema of `version` made it: today's database without
  // what the later migrations add, stamped with that version (0: made before
  // versions were kept).
  void MakeDatabaseOfVersion(int version) const {
    CreateDatabaseIfMissing(DatabasePath(), /*force=*/true);
    for (const std::string& key : KeysAbove(version)) {
      Exec("DELETE FROM qvSystemMsg WHERE dbName = '" + key + "'");
    }
    if (version < kChangeCountersVersion) {
      for (const std::string& table : kCountedTables) {
        for (const char* event : {"insert", "update", "delete"}) {
          Exec("DROP TRIGGER " + table + "_counted_" + event);
        }
        Exec("DELETE FROM qvChangeCounter WHERE dbTable = lower('" + table + "')");
      }
    }
    if (version < kSessionTablesVersion) {
      Exec("DROP TABLE qvSessionValue");
      Exec("DROP TABLE qvSession");
    }
    Exec("PRAGMA user_version = " + std::to_string(version));
  }
  void MakeVersion0Database() const { MakeDatabaseOfVersion(0); }

  static std::string MessageOf(const std::string& key) {
    return "SELECT dbMsg_e || '|' || dbMsg_n FROM qvSystemMsg WHERE dbName = '" + key + "'";
  }
  static inline const std::string kMessage = MessageOf("ErrorHoldingNoUser");
};

TEST_F(MigrationsTest, ANewDatabaseCarriesTheLatestVersionAndNeedsNoUpgrade) {
  ASSERT_GE(LatestSchemaVersion(), 1);
  CreateDatabaseIfMissing(DatabasePath(), /*force=*/true);
  EXPECT_EQ(Version(), LatestSchemaVersion());
  EXPECT_FALSE(UpgradeDatabase(DatabasePath()).Changed());
}

TEST_F(MigrationsTest, AnOlderDatabaseIsUpgradedAndKeepsItsRows) {
  const std::string fresh = (dir_ / "fresh.db").string();
  CreateDatabaseIfMissing(fresh);
  MakeVersion0Database();
  Exec("INSERT INTO qvAuthUser (dbUserID, dbFullName_e) VALUES ('kept', 'Kept User')");
  Exec("UPDATE qvSystemMsg SET dbMsg_e = 'Our home' WHERE dbName = 'SiteHome'");
  const std::string messages = Text("SELECT count(*) FROM qvSystemMsg");
  const std::string pages = Text("SELECT count(*) FROM qvbook");

  const UpgradeResult upgrade = UpgradeDatabase(DatabasePath());
  EXPECT_EQ(upgrade.from, 0);
  EXPECT_EQ(upgrade.to, LatestSchemaVersion());
  EXPECT_EQ(Version(), LatestSchemaVersion());
  // The message is what a new database is seeded with, in both languages.
  EXPECT_EQ(Text(kMessage), Text(fresh, kMessage));
  EXPECT_NE(Text(kMessage).find("|<p"), std::string::npos);
  for (const std::string& key : KeysAbove(0)) {
    EXPECT_EQ(Text(MessageOf(key)), Text(fresh, MessageOf(key)));
  }
  EXPECT_EQ(Text("SELECT count(*) FROM qvSystemMsg"),
            std::to_string(std::stoi(messages) + KeysAbove(0).size()));
  EXPECT_EQ(Text("SELECT dbFullName_e FROM qvAuthUser WHERE dbUserID = 'kept'"), "Kept User");
  EXPECT_EQ(Text("SELECT dbMsg_e FROM qvSystemMsg WHERE dbName = 'SiteHome'"), "Our home");
  EXPECT_EQ(Text("SELECT count(*) FROM qvbook"), pages);
  EXPECT_FALSE(UpgradeDatabase(DatabasePath()).Changed());
}

TEST_F(MigrationsTest, AVersion1DatabaseGetsOnlyTheLaterMessages) {
  const std::string fresh = (dir_ / "fresh.db").string();
  CreateDatabaseIfMissing(fresh);
  MakeDatabaseOfVersion(1);
  Exec("UPDATE qvSystemMsg SET dbMsg_e = 'Ours' WHERE dbName = 'ErrorHoldingNoUser'");
  ASSERT_EQ(Text(MessageOf("ErrorNotAvailable")), "");
  const UpgradeResult upgrade = UpgradeDatabase(DatabasePath());
  EXPECT_EQ(upgrade.from, 1);
  EXPECT_EQ(upgrade.to, LatestSchemaVersion());
  EXPECT_EQ(Text(MessageOf("ErrorNotAvailable")), Text(fresh, MessageOf("ErrorNotAvailable")));
  EXPECT_NE(Text(MessageOf("ErrorNotAvailable")).find("|<p class=\"qvError\">Deze"),
            std::string::npos);
  EXPECT_EQ(Text("SELECT dbMsg_e FROM qvSystemMsg WHERE dbName = 'ErrorHoldingNoUser'"), "Ours");
}

TEST_F(MigrationsTest, AVersion2DatabaseGetsTheInvalidValueMessageAndKeepsItsRows) {
  const std::string fresh = (dir_ / "fresh.db").string();
  CreateDatabaseIfMissing(fresh);
  MakeDatabaseOfVersion(2);
  Exec("UPDATE qvbook SET dbTitle_e = 'Our page' WHERE ID = 1");
  Exec("UPDATE qvSystemMsg SET dbMsg_e = 'Ours' WHERE dbName = 'ErrorNotAvailable'");
  const std::string pages = Text("SELECT count(*) FROM qvbook");
  ASSERT_EQ(Text(MessageOf("ErrorInvalidValue")), "");
  const UpgradeResult upgrade = UpgradeDatabase(DatabasePath());
  EXPECT_EQ(upgrade.from, 2);
  EXPECT_EQ(upgrade.to, LatestSchemaVersion());
  EXPECT_EQ(Text(MessageOf("ErrorInvalidValue")), Text(fresh, MessageOf("ErrorInvalidValue")));
  EXPECT_NE(
      Text(MessageOf("ErrorInvalidValue")).find("nothing was saved.</p>|<p class=\"qvError\">Een"),
      std::string::npos);
  EXPECT_EQ(Text("SELECT dbMsg_e FROM qvSystemMsg WHERE dbName = 'ErrorNotAvailable'"), "Ours");
  EXPECT_EQ(Text("SELECT dbTitle_e FROM qvbook WHERE ID = 1"), "Our page");
  EXPECT_EQ(Text("SELECT count(*) FROM qvbook"), pages);
}

TEST_F(MigrationsTest, AVersion3DatabaseGetsTheAssignmentMessagesAndKeepsItsRows) {
  const std::string fresh = (dir_ / "fresh.db").string();
  CreateDatabaseIfMissing(fresh);
  MakeDatabaseOfVersion(3);
  Exec("INSERT INTO qvbook_ (dbQID, dbUserID, dbAnswer, dbStatus) VALUES (1, 'kept', '&a=1', 3)");
  Exec("UPDATE qvSystemMsg SET dbMsg_e = 'Ours' WHERE dbName = 'ErrorInvalidValue'");
  // A page asked for one key before the upgrade: its placeholder row.
  Exec(
      "INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n) VALUES ('ErrorAuthNoMark', "
      "'ErrorAuthNoMark_e', 'ErrorAuthNoMark_n')");
  const UpgradeResult upgrade = UpgradeDatabase(DatabasePath());
  EXPECT_EQ(upgrade.from, 3);
  EXPECT_EQ(upgrade.to, LatestSchemaVersion());
  for (const std::string& key : KeysAbove(3)) {
    EXPECT_EQ(Text(MessageOf(key)), Text(fresh, MessageOf(key))) << key;
    EXPECT_EQ(Text("SELECT count(*) FROM qvSystemMsg WHERE dbName = '" + key + "'"), "1");
  }
  for (const std::string& key : kAddedKeys[4]) {
    EXPECT_NE(Text(MessageOf(key)).find("</p>|<p class=\"qvError\">"), std::string::npos);
  }
  EXPECT_EQ(Text("SELECT dbMsg_e FROM qvSystemMsg WHERE dbName = 'ErrorInvalidValue'"), "Ours");
  EXPECT_EQ(Text("SELECT dbUserID || dbAnswer || dbStatus FROM qvbook_ WHERE dbQID = 1"),
            "kept&a=13");
}

TEST_F(MigrationsTest, AVersion5DatabaseGetsTheUserPageMessagesAndKeepsItsUsers) {
  const std::string fresh = (dir_ / "fresh.db").string();
  CreateDatabaseIfMissing(fresh);
  MakeDatabaseOfVersion(5);
  Exec("INSERT INTO qvAuthUser (dbUserID, dbMajorGroup) VALUES ('kept', '30')");
  Exec("UPDATE qvSystemMsg SET dbMsg_e = 'Ours' WHERE dbName = 'ErrorAuthNoMark'");
  Exec(
      "INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n) VALUES ('SiteUsersTitle', "
      "'SiteUsersTitle_e', 'SiteUsersTitle_n')");
  const UpgradeResult upgrade = UpgradeDatabase(DatabasePath());
  EXPECT_EQ(upgrade.from, 5);
  EXPECT_EQ(upgrade.to, LatestSchemaVersion());
  for (const std::string& key : KeysAbove(5)) {
    EXPECT_EQ(Text(MessageOf(key)), Text(fresh, MessageOf(key))) << key;
    EXPECT_EQ(Text("SELECT count(*) FROM qvSystemMsg WHERE dbName = '" + key + "'"), "1");
  }
  EXPECT_EQ(Text(MessageOf("SiteUsersTitle")), "Users|Gebruikers");
  EXPECT_EQ(Text("SELECT dbMsg_e FROM qvSystemMsg WHERE dbName = 'ErrorAuthNoMark'"), "Ours");
  EXPECT_EQ(Text("SELECT dbMajorGroup FROM qvAuthUser WHERE dbUserID = 'kept'"), "30");
}

TEST_F(MigrationsTest, AVersion6DatabaseGetsTheBookRegistryMessagesAndKeepsItsRows) {
  const std::string fresh = (dir_ / "fresh.db").string();
  CreateDatabaseIfMissing(fresh);
  MakeDatabaseOfVersion(6);
  Exec("INSERT INTO qvAuthBook (ID, dbTableName, dbBookCode) VALUES (77, 'qvbook', 'KEPT')");
  Exec("UPDATE qvSystemMsg SET dbMsg_e = 'Ours' WHERE dbName = 'ErrorAuthNoMark'");
  // A page asked for one of the keys before the upgrade and an
  // administrator wrote its text: it stays.
  Exec(
      "INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n) VALUES ('SiteNewBook', 'Our new book', "
      "'Ons nieuwe boek')");
  const UpgradeResult upgrade = UpgradeDatabase(DatabasePath());
  EXPECT_EQ(upgrade.from, 6);
  EXPECT_EQ(upgrade.to, LatestSchemaVersion());
  for (const std::string& key : kAddedKeys[6]) {
    EXPECT_EQ(Text("SELECT count(*) FROM qvSystemMsg WHERE dbName = '" + key + "'"), "1") << key;
    if (key != "SiteNewBook") {
      EXPECT_EQ(Text(MessageOf(key)), Text(fresh, MessageOf(key))) << key;
    }
  }
  EXPECT_EQ(Text(MessageOf("SiteNewBook")), "Our new book|Ons nieuwe boek");
  EXPECT_NE(Text(MessageOf("ErrorBookTable")).find("</p>|<p class=\"qvError\">Dit"),
            std::string::npos);
  EXPECT_EQ(Text("SELECT dbMsg_e FROM qvSystemMsg WHERE dbName = 'ErrorAuthNoMark'"), "Ours");
  EXPECT_EQ(Text("SELECT dbBookCode FROM qvAuthBook WHERE ID = 77"), "KEPT");
}

TEST_F(MigrationsTest, AVersion7DatabaseGetsThePasswordPageMessagesAndKeepsItsRows) {
  const std::string fresh = (dir_ / "fresh.db").string();
  CreateDatabaseIfMissing(fresh);
  MakeDatabaseOfVersion(7);
  Exec("INSERT INTO qvAuthUser (dbUserID, dbeMail) VALUES ('kept', 'kept@example.org')");
  Exec("UPDATE qvSystemMsg SET dbMsg_e = 'Ours' WHERE dbName = 'msgeMailPasswordBody'");
  // A page asked for one key before the upgrade: its placeholder row.
  Exec(
      "INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n) VALUES ('SitePasswordSent', "
      "'sitepasswordsent_e', 'sitepasswordsent_n')");
  const UpgradeResult upgrade = UpgradeDatabase(DatabasePath());
  EXPECT_EQ(upgrade.from, 7);
  EXPECT_EQ(upgrade.to, LatestSchemaVersion());
  for (const std::string& key : KeysAbove(7)) {
    EXPECT_EQ(Text(MessageOf(key)), Text(fresh, MessageOf(key))) << key;
    EXPECT_EQ(Text("SELECT count(*) FROM qvSystemMsg WHERE dbName = '" + key + "'"), "1");
  }
  EXPECT_NE(Text(MessageOf("SitePasswordSent")).find("</p>|<p class=\"qvNotice\">Als"),
            std::string::npos);
  EXPECT_EQ(Text("SELECT dbMsg_e FROM qvSystemMsg WHERE dbName = 'msgeMailPasswordBody'"), "Ours");
  EXPECT_EQ(Text("SELECT dbeMail FROM qvAuthUser WHERE dbUserID = 'kept'"), "kept@example.org");
}

TEST_F(MigrationsTest, AVersion8DatabaseCountsTheChangesOfItsCachedTablesAndKeepsItsRows) {
  MakeDatabaseOfVersion(kChangeCountersVersion - 1);
  Exec("INSERT INTO qvbook (ID, dbPID, dbBookID, dbTitle_e) VALUES (900, -2, 2, 'Kept page')");
  Exec("UPDATE qvAuthBook SET dbTitle_e = 'Kept title' WHERE ID = 2");
  const std::string pages = Text("SELECT count(*) FROM qvbook");
  ASSERT_EQ(Text("SELECT count(*) FROM qvChangeCounter WHERE dbTable = 'qvbook'"), "0");
  const UpgradeResult upgrade = UpgradeDatabase(DatabasePath());
  EXPECT_EQ(upgrade.from, kChangeCountersVersion - 1);
  EXPECT_EQ(upgrade.to, LatestSchemaVersion());
  EXPECT_EQ(Text("SELECT count(*) FROM qvbook"), pages);
  EXPECT_EQ(Text("SELECT dbTitle_e FROM qvbook WHERE ID = 900"), "Kept page");
  EXPECT_EQ(Text("SELECT dbTitle_e FROM qvAuthBook WHERE ID = 2"), "Kept title");
  // Every cached table has its counter, and every kind of change advances it.
  for (const std::string& table : kCountedTables) {
    const std::string count =
        "SELECT dbCount FROM qvChangeCounter WHERE dbTable = lower('" + table + "')";
    const std::string before = Text(count);
    ASSERT_NE(before, "") << table;
    Exec("INSERT INTO " + table + " (ID) VALUES (987654)");
    Exec("UPDATE " + table + " SET ID = 987655 WHERE ID = 987654");
    Exec("DELETE FROM " + table + " WHERE ID = 987655");
    EXPECT_EQ(std::stoll(Text(count)), std::stoll(before) + 3) << table;
  }
}

TEST_F(MigrationsTest, AVersion9DatabaseGetsTheUploadMessagesAndKeepsItsRows) {
  const std::string fresh = (dir_ / "fresh.db").string();
  CreateDatabaseIfMissing(fresh);
  MakeDatabaseOfVersion(9);
  Exec("UPDATE qvbook SET dbContent_e = 'Our text' WHERE ID = 1");
  Exec(
      "INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n) VALUES ('SiteUploadBack', 'Ours', "
      "'Onze')");
  const UpgradeResult upgrade = UpgradeDatabase(DatabasePath());
  EXPECT_EQ(upgrade.from, 9);
  EXPECT_EQ(upgrade.to, LatestSchemaVersion());
  for (const std::string& key : kAddedKeys[9]) {
    if (key == "SiteUploadBack") continue;
    EXPECT_EQ(Text(MessageOf(key)), Text(fresh, MessageOf(key))) << key;
  }
  EXPECT_NE(Text(MessageOf("ErrorUploadFileName")).find("|<br><span class=\"qvError\">Deze"),
            std::string::npos);
  EXPECT_EQ(Text(MessageOf("SiteUploadBack")), "Ours|Onze");
  EXPECT_EQ(Text("SELECT dbContent_e FROM qvbook WHERE ID = 1"), "Our text");
}

TEST_F(MigrationsTest, AVersion10DatabaseGetsTheSessionTablesAndKeepsItsRows) {
  MakeDatabaseOfVersion(10);
  Exec("UPDATE qvbook SET dbContent_e = 'Our text' WHERE ID = 1");
  const std::string messages = Text("SELECT count(*) FROM qvSystemMsg");
  const UpgradeResult upgrade = UpgradeDatabase(DatabasePath());
  EXPECT_EQ(upgrade.from, 10);
  EXPECT_EQ(upgrade.to, LatestSchemaVersion());
  EXPECT_EQ(Text("SELECT dbContent_e FROM qvbook WHERE ID = 1"), "Our text");
  EXPECT_EQ(Text("SELECT count(*) FROM qvSystemMsg"), messages);
  Exec("INSERT INTO qvSession (dbSessionID, dbTimeout, dbExpires) VALUES ('s', 20, 1.0E9)");
  Exec(
      "INSERT INTO qvSessionValue (dbSessionID, dbName, dbKind, dbValue) VALUES ('s', 'a', 6, "
      "'x')");
  EXPECT_EQ(Text("SELECT dbValue FROM qvSessionValue WHERE dbSessionID = 'S'"), "x");
  // One row per session, and per name of a session.
  EXPECT_ANY_THROW(
      Exec("INSERT INTO qvSession (dbSessionID, dbTimeout, dbExpires) VALUES ('s', "
           "20, 1.0E9)"));
  EXPECT_ANY_THROW(
      Exec("INSERT INTO qvSessionValue (dbSessionID, dbName, dbKind) VALUES ('s', "
           "'A', 6)"));
}

TEST_F(MigrationsTest, APlaceholderTakesTheNewTextAnEditedMessageStays) {
  const std::string fresh = (dir_ / "fresh.db").string();
  CreateDatabaseIfMissing(fresh);
  MakeVersion0Database();
  // The row a page adds when it asks for a key the database lacks.
  Exec(
      "INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n) VALUES ('errorholdingnouser', "
      "'errorholdingnouser_e', 'errorholdingnouser_n')");
  UpgradeDatabase(DatabasePath());
  EXPECT_EQ(Text(kMessage), Text(fresh, kMessage));

  MakeVersion0Database();
  Exec(
      "INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n) VALUES ('ErrorHoldingNoUser', "
      "'Our text', 'Onze tekst')");
  UpgradeDatabase(DatabasePath());
  EXPECT_EQ(Text(kMessage), "Our text|Onze tekst");
}

TEST_F(MigrationsTest, AFailingMigrationOrANewerDatabaseChangesNothing) {
  SqliteDb db = OpenSqliteFile(DatabasePath());
  const std::vector<Migration> migrations = {
      {1, "0001_a.sql",
       "CREATE TABLE a (ID counter, dbName text(9));\nINSERT INTO a (dbName) "
       "VALUES ('one');\n"},
      {2, "0002_b.sql", "INSERT INTO a (dbName) VALUES ('two');\nINSERT INTO nope VALUES (1);\n"}};
  try {
    ApplyMigrations(db.get(), migrations);
    FAIL() << "the broken migration was applied";
  } catch (const DatabaseError& e) {
    EXPECT_NE(std::string(e.what()).find("migration 0002_b.sql, statement 2"), std::string::npos)
        << e.what();
  }
  EXPECT_EQ(SchemaVersion(db.get()), 0);
  EXPECT_EQ(Text("SELECT count(*) FROM sqlite_master WHERE name = 'a'"), "0");

  const UpgradeResult first = ApplyMigrations(db.get(), {migrations[0]});
  EXPECT_EQ(first.from, 0);
  EXPECT_EQ(first.to, 1);
  EXPECT_EQ(Text("SELECT dbName FROM a"), "one");
  EXPECT_THROW(ApplyMigrations(db.get(), {}), DatabaseError);  // made by a newer program
  EXPECT_EQ(SchemaVersion(db.get()), 1);
}

}  // namespace
}  // namespace qv

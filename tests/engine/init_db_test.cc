#include "engine/init_db.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "test_database.h"

namespace qv {
namespace {

using testing_support::TestDatabase;

class InitDbTest : public TestDatabase {
 protected:
  int64_t MessageCount() {
    return Connect()->Query("SELECT COUNT(*) FROM qvSystemMsg").rows.at(0).at(0).AsInteger();
  }
};

TEST_F(InitDbTest, CreatesAMissingDatabaseAndItsFoldersWithSeedRows) {
  std::filesystem::remove(DatabasePath());
  ASSERT_TRUE(CreateDatabaseIfMissing(DatabasePath()));
  EXPECT_TRUE(CreateDatabaseIfMissing((dir_ / "a" / "b" / "qvtome.db").string()));
  EXPECT_GT(MessageCount(), 0);
  // Nothing but the finished file is left behind.
  for (const auto& entry : std::filesystem::directory_iterator(dir_)) {
    EXPECT_EQ(entry.path().filename().string().find(".init-"), std::string::npos);
  }
}

TEST_F(InitDbTest, TheDemoPicturesAreTheFilesItsPagesName) {
  ASSERT_TRUE(CreateDatabaseIfMissing(DatabasePath(), /*force=*/true));
  const std::filesystem::path media = dir_ / "media" / "qvtome";
  std::filesystem::create_directories(media / "qvmedia" / "4");
  std::ofstream(media / "qvmedia" / "4" / "m000002_sun.svg") << "old";
  WriteDemoMedia(media.string());
  // Every picture the pages name is there, as a whole SVG file.
  const auto named = Connect()->Query(
      "SELECT dbContent_e, dbContent_n FROM qvmedia WHERE dbContent_e LIKE '%qvTmMPath/%'");
  ASSERT_EQ(named.rows.size(), 6u);
  for (const auto& row : named.rows) {
    for (const Variant& content : row) {
      const std::string text = content.AsString();
      const size_t at = text.find("qvTmMPath/") + 10;
      const std::filesystem::path file = media / text.substr(at, text.find('"', at) - at);
      std::ifstream in(file);
      const std::string svg((std::istreambuf_iterator<char>(in)), {});
      EXPECT_TRUE(svg.starts_with("<svg") && svg.find("</svg>") != std::string::npos) << file;
    }
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(media / "qvmedia" / "4"), {}), 6);
}

TEST_F(InitDbTest, KeepsAnExistingFileUnlessForced) {
  std::filesystem::remove(DatabasePath());
  ASSERT_TRUE(CreateDatabaseIfMissing(DatabasePath()));
  int64_t seeded = MessageCount();
  Connect()->Query("DELETE FROM qvSystemMsg");
  EXPECT_FALSE(CreateDatabaseIfMissing(DatabasePath()));
  EXPECT_EQ(MessageCount(), 0);
  // The replaced file is picked up by this thread's pooled handle too.
  ASSERT_TRUE(CreateDatabaseIfMissing(DatabasePath(), /*force=*/true));
  EXPECT_EQ(MessageCount(), seeded);
}

TEST_F(InitDbTest, ScriptErrorsNameTheScriptAndStatement) {
  SqliteDb db = OpenSqliteFile(DatabasePath());
  try {
    RunSqlScript(db.get(),
                 "CREATE TABLE t (ID counter, a text(5));\nINSERT INTO nope VALUES (1);\n",
                 "broken.sql");
    FAIL();
  } catch (const DatabaseError& e) {
    std::string message = e.what();
    EXPECT_EQ(message.rfind("broken.sql, statement 2: no such table: nope", 0), 0u) << message;
  }
}

}  // namespace
}  // namespace qv

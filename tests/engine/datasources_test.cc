#include "engine/datasources.h"

#include <gtest/gtest.h>

#include "data/connection.h"

namespace qv {
namespace {

TEST(DataSourcesTest, DefaultSourceIsQvtomeAndUnknownNamesAreRefused) {
  ConfigureDataSources(nullptr, "/srv/data");
  DataSource source = LookupDataSource("QvTome");
  EXPECT_EQ(source.engine, "sqlite");
  EXPECT_EQ(source.path, "/srv/data/qvtome.db");
  try {
    LookupDataSource("elsewhere");
    FAIL();
  } catch (const DatabaseError& e) {
    EXPECT_STREQ(e.what(), "Unknown data source: elsewhere");
  }
  ConfigureDataSources(nullptr, "");
}

TEST(DataSourcesTest, ConfiguredSourcesResolveAgainstTheDataFolder) {
  toml::table config = toml::parse(R"(
    [datasource.School]
    path = "sub/school.db"
    [datasource.abs]
    engine = "SQLite"
    path = "/var/lib/abs.db"
    [datasource.qvtome]
    path = "main.db"
    [datasource.big]
    engine = "postgresql"
    conninfo = "host=db"
  )");
  ConfigureDataSources(&config, "/srv/data");
  EXPECT_EQ(LookupDataSource("SCHOOL").path, "/srv/data/sub/school.db");
  EXPECT_EQ(LookupDataSource("abs").path, "/var/lib/abs.db");
  EXPECT_EQ(LookupDataSource("qvtome").path, "/srv/data/main.db");
  EXPECT_EQ(LookupDataSource("big").conninfo, "host=db");
  ConfigureDataSources(nullptr, "");
}

TEST(DataSourcesTest, BadEntriesAreReportedAtStartUp) {
  toml::table unknown_engine = toml::parse("[datasource.x]\nengine = \"oracle\"\n");
  EXPECT_THROW(ConfigureDataSources(&unknown_engine, "/d"), std::runtime_error);
  toml::table wrong_type = toml::parse("[datasource.x]\npath = 5\n");
  EXPECT_THROW(ConfigureDataSources(&wrong_type, "/d"), std::runtime_error);
  toml::table not_a_table = toml::parse("datasource = \"x\"\n");
  EXPECT_THROW(ConfigureDataSources(&not_a_table, "/d"), std::runtime_error);
  ConfigureDataSources(nullptr, "");
}

}  // namespace
}  // namespace qv

#include <gtest/gtest.h>

#include "data/aspproc.h"
#include "data/test_source.h"
#include "host/context.h"
#include "host/memory_host.h"
#include "session/sysvar.h"

namespace qv {
namespace {

class GridFormsTest : public ::testing::Test {
 protected:
  GridFormsTest() {
    ResetRequestState();
    db.CreateMessages({});
    db.Exec("CREATE TABLE scores (ID counter, dbScore int, dbNote text(10), dbDueDate int)");
    db.Exec("INSERT INTO scores (ID, dbScore, dbNote) VALUES (4, 10, '<b>')");
    db.Exec("INSERT INTO scores (ID, dbScore, dbNote) VALUES (7, 20, 'ok')");
    SysVar().Init("qvtest");
    host.response.Clear();
  }

  Variant Cell(const std::string& field, int id) {
    return db.Exec("SELECT " + field + " FROM scores WHERE ID=" + std::to_string(id)).rows[0][0];
  }

  void Post(const std::vector<std::pair<std::string, std::string>>& fields) {
    for (const auto& [name, value] : fields) host.request.AddForm(name, value);
  }

  testing::TestSource db;
  MemoryHost host;
  AspProc ap;
};

TEST_F(GridFormsTest, RowsNameTheirControlsAndListTheirIDs) {
  std::vector<std::string> names;
  ap.dbOpen("scores", "*", "order by ID");
  for (; !ap.dbRSEOF(); ap.dbMoveNext()) {
    std::string name = "dbScore";
    ap.db2DLinkTextBox(name, 4);
    names.push_back(name);
    ap.db2DLinkForm();
  }
  EXPECT_EQ(names, (std::vector<std::string>{"ID_4_dbScore", "ID_7_dbScore"}));
  ap.dbMoveFirst();
  std::string area = "dbNote", drop = "dbNote";
  ap.db2DLinkTextArea(area, 2);
  ap.db2DLinkDropDown(drop, "no array", 1);
  EXPECT_EQ(drop, "dbNote");
  ap.dbLinkTextBox("dbNote", 3);  // registration has ended for this request
  EXPECT_EQ(host.response.Text(),
            "<input type=\"hidden\" name=\"qvFLD_List\" value=\"dbScore\">"
            "<input type=\"text\" name=\"ID_4_dbScore\" size=\"4\" value=\"10\">"
            "<input type=\"hidden\" name=\"qvID_List\" value=\"4\">"
            "<input type=\"text\" name=\"ID_7_dbScore\" size=\"4\" value=\"20\">"
            "<input type=\"hidden\" name=\"qvID_List\" value=\"7\">"
            "<textarea name=\"ID_4_dbNote\" rows=\"2\" cols=\"45\" wrap=\"virtual\">"
            "&lt;b&gt;</textarea>"
            "<input type=\"text\" name=\"dbNote\" size=\"3\" value=\"&lt;b&gt;\">");
}

TEST_F(GridFormsTest, PostedGridWritesEveryRowBack) {
  Post({{"qvFLD_List", "dbScore"},
        {"qvFLD_List", "dbNote"},
        {"qvFLD_List", "dbDueDate"},
        {"qvID_List", "4"},
        {"qvID_List", "7"},
        {"ID_4_dbScore", "11"},
        {"ID_4_dbNote", "much too long text"},
        {"ID_7_dbNote", "fine"}});
  ap.db2DUpdate("scores");
  EXPECT_EQ(Cell("dbScore", 4), Variant(11));
  EXPECT_EQ(Cell("dbNote", 4), Variant("much too l"));
  EXPECT_EQ(Cell("dbScore", 7), Variant(0));   // empty number: 0
  EXPECT_TRUE(Cell("dbDueDate", 7).IsNull());  // empty number named "date": Null
  EXPECT_EQ(Cell("dbNote", 7), Variant("fine"));
}

TEST_F(GridFormsTest, BadIdsOrValuesWriteNothing) {
  Post({{"qvFLD_List", "dbScore"}, {"ID_4_dbScore", "1"}, {"ID_7_dbScore", "seven"}});
  host.request.AddForm("qvID_List", "4, 7 or 1=1");
  EXPECT_THROW(ap.db2DUpdate("scores"), TypeMismatch);
  MemoryHost second;
  Host().host = second.Objects();
  second.request.AddForm("qvID_List", "4, 7");
  second.request.AddForm("ID_4_dbScore", "1");
  second.request.AddForm("ID_7_dbScore", "seven");
  EXPECT_THROW(ap.db2DUpdate("scores", ap.MergeFieldList(Variant(), "dbScore")), TypeMismatch);
  EXPECT_EQ(Cell("dbScore", 4), Variant(10));
  Host().host = host.Objects();
}

}  // namespace
}  // namespace qv

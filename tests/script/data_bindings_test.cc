// Record sets, connections, SysVar.Init and AspProc over a real database of
// the engine under test.
#include <toml++/toml.h>

#include <gtest/gtest.h>

#include "engine/datasources.h"
#include "engine/sqlite_connection.h"
#include "engine/test_engine.h"
#include "script_fixture.h"

namespace qv::testing {
namespace {

class DataBindings : public ScriptTest {
 protected:
  DataBindings() {
    const toml::table config = toml::parse("[datasource.qvtest]\n" + db_.Entry());
    ConfigureDataSources(&config, site_.string());
    SetConnectionFactory(NewEngineConnection);
    Exec(
        "CREATE TABLE qvSystemMsg (ID counter, dbName text(50), dbMsg_e memo, dbMsg_n memo,"
        " dbOrder int)");
    Exec(
        "INSERT INTO qvSystemMsg (dbName, dbMsg_e, dbMsg_n, dbOrder) VALUES"
        " ('qvTome', '1.10', '1.10', 0), ('welcome', 'Welcome', 'Welkom', 1)");
    Exec(
        "CREATE TABLE items (ID counter, dbTitle text(50), dbCount int, dbWhen datetime,"
        " dbDone yesno)");
    Exec(
        "INSERT INTO items (dbTitle, dbCount, dbWhen, dbDone) VALUES"
        " ('first', 1, '2024-05-06 07:08:09', true), ('second', NULL, '2024-01-02', false)");
  }

  void Exec(const std::string& sql) {
    std::unique_ptr<Connection> conn = NewEngineConnection();
    conn->Open("qvtest", "", "");
    conn->Query(sql);
  }

  ScratchDatabase db_{site_, "qvtest.db", Contents::kEmpty};
};

TEST_F(DataBindings, RecordSetLoopReadsEveryRow) {
  EXPECT_EQ(Run(R"lua(
    local conn = Server.CreateObject("ADODB.Connection")
    conn:Open("qvtest")
    local rs = conn:execute("SELECT dbTitle, dbCount, dbWhen, dbDone FROM items ORDER BY ID")
    while not rs.EOF do
      Response.Write(rs("dbTitle") .. "," .. tostring(rs("dbCount")) .. "," .. tostring(rs("dbWhen"))
                     .. "," .. tostring(rs("dbDone")) .. ";")
      rs:MoveNext()
    end
    Response.Write(tostring(conn:execute("DELETE * FROM items WHERE ID = 0")))
    conn:Close())lua"),
            "first,1,2024-05-06 07:08:09,true;second,nil,2024-01-02,false;nil");
}

// A script's objects are released when its run ends: a transaction it left
// open is rolled back at once, not at some later garbage collection.
TEST_F(DataBindings, ObjectsOfARunAreReleasedWhenItEnds) {
  Run(R"lua(
    local conn = Server.CreateObject("ADODB.Connection")
    conn:Open("qvtest")
    conn:BeginTrans()
    conn:execute("INSERT INTO items (dbTitle) VALUES ('never committed')")
    keep = conn)lua");
  std::unique_ptr<Connection> conn = NewEngineConnection();
  conn->Open("qvtest", "", "");
  EXPECT_EQ(conn->Query("SELECT COUNT(*) FROM items").rows[0][0], Variant(2));
  conn->Query("INSERT INTO items (dbTitle) VALUES ('after')");
  EXPECT_EQ(conn->Query("SELECT COUNT(*) FROM items").rows[0][0], Variant(3));
}

TEST_F(DataBindings, FieldObjectsGiveNameTypeAndSize) {
  EXPECT_EQ(Run(R"lua(
    local conn = Server.CreateObject("ADODB.Connection") conn:Open("qvtest")
    local rs = Server.CreateObject("ADODB.RecordSet")
    rs:Open("SELECT dbTitle, dbCount FROM items ORDER BY ID", conn)
    Response.Write(rs(0).Name .. rs(0).Type .. "/" .. rs(0).DefinedSize .. " " .. rs(1).Type
                   .. " " .. rs:Fields("dbTitle").Value .. " " .. rs.RecordCount))lua"),
            "dbTitle200/50 3 first 2");
}

TEST_F(DataBindings, UpdatableSetWritesFieldsAndAddsRows) {
  EXPECT_EQ(Run(R"lua(
    local conn = Server.CreateObject("ADODB.Connection") conn:Open("qvtest")
    local rs = Server.CreateObject("ADODB.RecordSet")
    rs:Open("SELECT * FROM items WHERE dbTitle = 'first'", conn, 1, 4)
    rs("dbTitle", "changed") rs("dbCount", nil)
    rs:AddNew() rs("dbTitle", "third") rs("dbDone", true)
    rs:updatebatch()
    Response.Write(rs("ID") .. " ")
    local all = conn:execute("SELECT dbTitle, dbCount FROM items ORDER BY ID"):GetRows()
    Response.Write(qvTome.UBound(all, 2) .. all(0, 0) .. tostring(all(1, 0)) .. all(0, 2)))lua"),
            "3 2changednilthird");
}

TEST_F(DataBindings, ErrorsOfTheDatabaseReachTheScript) {
  EXPECT_NE(ErrorOf("local c = Server.CreateObject('ADODB.Connection') c:Open('nosuch')")
                .find("Unknown data source"),
            std::string::npos);
  EXPECT_EQ(Run(R"lua(
    local c = Server.CreateObject("ADODB.Connection") c:Open("qvtest")
    local ok, e = pcall(c.execute, c, "SELECT * FROM missing")
    Response.Write(tostring(ok)))lua"),
            "false");
}

TEST_F(DataBindings, InitLoadsMessagesAndAspProcWalksTheSharedRecordSet) {
  std::string page = Run(R"lua(
    local sv = qvTome.SysVar()
    sv:Init("qvtest")
    sv.vImageDir = "my images"
    Response.Write(sv.vImageDir .. "=" .. sv.pImageDir)
    Response.Write("[" .. sv:GetSystemMsg("Welcome") .. "|" .. sv:GetSystemMsg("welcome", 0)
                   .. "|" .. sv:GetSystemMsg("welcome_n", 0) .. "]")
    local ap = qvTome.AspProc()
    ap:dbOpen("items", "dbTitle", "ORDER BY ID")
    local rs = ap.RecordSet
    while not ap:dbRSEOF() do Response.Write(rs("dbTitle") .. ";") ap:dbMoveNext() end
    ap:dbClose()
    local t = ap:dbGetTable("items", "ID, dbTitle", "WHERE dbCount = 1")
    Response.Write(qvTome.UBound(t, 1) .. qvTome.UBound(t, 2) .. t(1, 0))
    Response.Write(tostring(ap:dbGetTable("items", "*", "WHERE ID = -1")))
    ap:dbCreateTable("made", {"a text(50)", "b int"})
    ap:dbOpen("made", "*", "")
    Response.Write(" " .. ap.RecordSet(2).Name))lua");
  EXPECT_NE(page.find("my%20images/=" + (site_ / "my images").string() +
                      "/[Welcome|welcome|Welkom]"
                      "first;second;10firstnil b"),
            std::string::npos)
      << page;
}

}  // namespace
}  // namespace qv::testing

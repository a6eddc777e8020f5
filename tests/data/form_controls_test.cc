#include <gtest/gtest.h>

#include "data/aspproc.h"
#include "data/settings.h"
#include "data/test_source.h"
#include "host/memory_host.h"
#include "session/sysvar.h"

namespace qv {
namespace {

class FormControlsTest : public ::testing::Test {
 protected:
  FormControlsTest() {
    ResetRequestState();
    db.CreateMessages({});
    db.Exec(
        "CREATE TABLE qvbook (ID counter, dbTitle_e text(255), dbNote text(50), dbFlag yesno, "
        "dbChoice text(50), Stamp text(50))");
    db.Exec(
        "INSERT INTO qvbook (dbTitle_e, dbNote, dbFlag, dbChoice, Stamp) "
        "VALUES ('A <b> \"q\"', '', true, 'a, b', 'bob,45000.5')");
    db.Exec("CREATE TABLE codes (ID counter, dbType text(9), dbName_e text(9), dbValue text(9))");
    // Shown texts A, B, AB for a, b, ab, and "Other" without a value.
    for (const char* row : {"'A', 'a'", "'B', 'b'", "'AB', 'ab'", "'Other', null"}) {
      db.Exec("INSERT INTO codes (dbType, dbName_e, dbValue) VALUES ('t', " + std::string(row) +
              ")");
    }
    SysVar sv;
    sv.Init("qvtest");
    sv.SetTableName("qvbook");
    sv.SetvImageDir("x:/img");
    ap.dbOpen("qvbook", "*", "WHERE ID=1");
    host.response.Clear();
  }

  std::string Out() {
    std::string text = host.response.Text();
    host.response.Clear();
    return text;
  }

  Variant Choices() { return ap.dbGetTable("codes", "dbName_e,dbValue", "WHERE dbType='t'"); }

  testing::TestSource db;
  MemoryHost host;
  AspProc ap;
};

TEST_F(FormControlsTest, FirstBindingRegistersTheFieldAndSavesTheRowStamp) {
  ap.dbLinkTextBox("dbTitle_e");
  ap.dbLinkTextBox("dbTitle_e", 20);
  EXPECT_EQ(Out(),
            "<input type=\"hidden\" name=\"qvFLD_List\" value=\"dbTitle_e\">"
            "<input type=\"text\" name=\"dbTitle_e\" size=\"45\" "
            "value=\"A &lt;b&gt; &quot;q&quot;\">"
            "<input type=\"text\" name=\"dbTitle_e\" size=\"20\" "
            "value=\"A &lt;b&gt; &quot;q&quot;\">");
  EXPECT_EQ(host.session.Value("qvtest_qvbook_1"), Variant("bob,45000.5"));

  host.session.SetValue("qvtest_qvbook_1", "");
  ap.SetSkipLinkForm(true);  // reads only
  ap.dbLinkTextArea("dbNote", 3, 30);
  EXPECT_EQ(Out(), "<textarea name=\"dbNote\" rows=\"3\" cols=\"30\" WRAP=\"virtual\"></textarea>");
  EXPECT_EQ(Tables().strLinkedFields, "[dbTitle_e]");
  EXPECT_EQ(host.session.Value("qvtest_qvbook_1"), Variant(""));
}

TEST_F(FormControlsTest, DisplayModeWritesPlainValuesWithoutDefaults) {
  ap.SetIsDisplayOnly(true);
  ap.SetSkipLinkForm(true);
  ap.dbLinkTextBox("dbTitle_e");
  ap.dbLinkTextArea("dbNote", 5, 0, "n/a");
  ap.dbLinkTextPassword("dbTitle_e", 10);
  ap.dbLinkCheckBox("dbFlag");
  ap.dbLinkDropDown("dbChoice", Choices(), 1);
  ap.dbHiddenText("qvAction", "edit");
  EXPECT_EQ(Out(), "A <b> \"q\"****************ONA, B, ");
}

TEST_F(FormControlsTest, EditModeControlsDefaultsAndCheckedStates) {
  ap.SetSkipLinkForm(true);
  ap.dbLinkTextBox("dbNote", 0, "n/a");
  ap.dbLinkTextPassword("pw", 8);
  ap.dbLinkRadioButton("dbNote", "x");
  ap.dbLinkRadioButton("dbNote", "x", true, "x");
  ap.dbLinkRadioButton("dbNote", "y", false, "y");
  ap.dbLinkCheckBox("dbFlag");
  ap.dbLinkCheckBox("dbFlag", true, "False");  // the default wins over the record
  ap.dbLinkCheckBox("dbNote", false);
  ap.dbHiddenText("qvAction", "\"><script>", false);
  Tables().objRS = nullptr;  // no record set: empty values, no error
  ap.dbLinkTextArea("dbTitle_e", 2);
  EXPECT_EQ(Out(),
            "<input type=\"text\" name=\"dbNote\" size=\"45\" value=\"n/a\">"
            "<input type=\"password\" name=\"pw\" size=\"8\">"
            "<input type=\"radio\" value=\"x\" name=\"dbNote\">"
            "<input type=\"radio\" value=\"x\" checked name=\"dbNote\">"
            "<img src=\"x:/img/RadioButtonOn.gif\">"
            "<input type=\"checkbox\" value=\"-1\" checked name=\"dbFlag\">"
            "<input type=\"checkbox\" value=\"-1\" name=\"dbFlag\">"
            "<img src=\"x:/img/CheckBoxOff.gif\">"
            "<input type=\"hidden\" name=\"qvAction\" value=\"&quot;&gt;&lt;script&gt;\">"
            "<textarea name=\"dbTitle_e\" rows=\"2\" cols=\"45\" WRAP=\"virtual\"></textarea>");
}

TEST_F(FormControlsTest, ChoicesSelectEachStoredValueAndNeedAnArray) {
  ap.SetSkipLinkForm(true);
  const Variant choices = Choices();
  ap.dbLinkDropDown("dbChoice", choices, 3, true);
  EXPECT_EQ(Out(),
            "<select name=\"dbChoice\" size=\"3\" multiple>"
            "<option selected value=\"a\">A</option>"
            "<option selected value=\"b\">B</option>"
            "<option value=\"ab\">AB</option>"
            "<option value=\"Other\">Other</option></select>");
  EXPECT_EQ(choices.AsArray()->at(1, 3), Variant("Other"));  // filled in the caller's array

  ap.dbLinkCheckListData("codes", "dbNote", "t", false, "Other");
  EXPECT_EQ(Out(),
            "<br> <input type=\"radio\" name=\"dbNote\" value=\"a\">A"
            "<br> <input type=\"radio\" name=\"dbNote\" value=\"b\">B"
            "<br> <input type=\"radio\" name=\"dbNote\" value=\"ab\">AB"
            "<br> <input type=\"radio\" name=\"dbNote\" value=\"Other\" checked>Other");

  ap.dbLinkDropDownData("codes", "dbChoice", "x' or '1'='1", 1);  // quoted: no rows
  ap.dbLinkDropDown("dbChoice", "a,b", 1);
  ap.dbLinkCheckList("dbChoice", MakeArray({"a", "b"}), true);
  EXPECT_EQ(Out(), "Error, no choice array for drop down.Error, no choice array for check list.");
}

TEST_F(FormControlsTest, CodeTableNamesAreEncodedWhileGivenTextsStayHtml) {
  ap.SetSkipLinkForm(true);
  db.Exec("INSERT INTO codes (dbType, dbName_e, dbValue) VALUES ('m', '<i>R&D', null)");
  ap.dbLinkDropDownData("codes", "dbChoice", "m", 1);
  ap.dbLinkCheckListData("codes", "dbChoice", "m", false);
  EXPECT_EQ(Out(),
            "<select name=\"dbChoice\" size=\"1\" >"
            "<option value=\"&lt;i&gt;R&amp;D\">&lt;i&gt;R&amp;D</option></select>"
            "<br> <input type=\"radio\" name=\"dbChoice\" value=\"&lt;i&gt;R&amp;D\">"
            "&lt;i&gt;R&amp;D");
  auto given = MakeArray2D(2, 1);
  given->at(0, 0) = "<b>Not lent</b>";  // a system message: HTML
  given->at(1, 0) = "x";
  ap.dbLinkDropDown("dbChoice", Variant(given), 1);
  EXPECT_EQ(Out(),
            "<select name=\"dbChoice\" size=\"1\" ><option value=\"x\"><b>Not lent</b></option>"
            "</select>");
}

TEST_F(FormControlsTest, DebugTraceShowsTheChoicesAsGiven) {
  ap.SetSkipLinkForm(true);
  const Variant choices = Choices();
  TheSettings().IsDebug = true;
  ap.dbLinkCheckList("dbChoice", choices, true);
  EXPECT_EQ(Out(),
            "<br>(dbLinkCheckList): Name= [dbChoice]<br>Array len= [3]"
            "<br>  Array[A]= [a]<br>  Array[B]= [b]<br>  Array[AB]= [ab]<br>  Array[Other]= []"
            "<br> <input type=\"checkbox\" name=\"dbChoice\" value=\"a\" checked>A"
            "<br> <input type=\"checkbox\" name=\"dbChoice\" value=\"b\" checked>B"
            "<br> <input type=\"checkbox\" name=\"dbChoice\" value=\"ab\">AB"
            "<br> <input type=\"checkbox\" name=\"dbChoice\" value=\"Other\">Other");
}

}  // namespace
}  // namespace qv

// qvTome.AspProc(): table access.
//
// Methods (':'): table access (dbOpen, dbClose, dbMoveFirst, dbMoveNext,
// dbMovePrevious, dbMoveLast, dbRSBOF, dbRSEOF, dbGetTable, dbCreateTable,
// dbDeleteTable, dbDeleteRecord, dbEnCode), login (dbLogin, dbLogOut,
// hasLogin), write-back (dbUpdate, dbAppend, db2DUpdate), the form controls
// (dbHiddenText, dbLinkTextBox, dbLinkTextArea, dbLinkTextPassword,
// dbLinkRadioButton, dbLinkCheckBox, dbLinkDropDown, dbLinkCheckList,
// dbLinkDropDownData, dbLinkCheckListData), the grid controls
// (db2DLinkTextBox, db2DLinkTextArea, db2DLinkRadioButton, db2DLinkCheckBox,
// db2DLinkDropDown, db2DLinkForm) and dbLog. Properties ('.'): RecordSet
// (read-only), SkipLinkForm, IsDisplayOnly.
//
// Arrays: dbCreateTable takes its column list as a Lua sequence
// ({"a text(50)", "b int"}); field and choice arrays are sequences of pairs
// ({{"dbOwnerID", "u1"}}, {{"Shown", "value"}}); arrays from dbGetTable pass
// through. Size and row counts are 16-bit, dbLog's action a byte. A grid
// control renames its field to "ID_<row>_<name>" and returns that name (its
// by-reference argument).
#include "data/aspproc.h"
#include "script/bind_class.h"

namespace qv::script {

template <>
struct BoundClass<AspProc> {
  static constexpr const char* name = "qvTome.AspProc";
};

namespace {

constexpr Member kMembers[] = {
    // Table access.
    Method<&AspProc::dbOpen>("dbOpen"),
    ReadOnly<&AspProc::RecordSet>("RecordSet"),
    Method<&AspProc::dbClose>("dbClose"),
    Method<&AspProc::dbMoveFirst>("dbMoveFirst"),
    Method<&AspProc::dbMoveNext>("dbMoveNext"),
    Method<&AspProc::dbMovePrevious>("dbMovePrevious"),
    Method<&AspProc::dbMoveLast>("dbMoveLast"),
    Method<&AspProc::dbRSBOF>("dbRSBOF"),
    Method<&AspProc::dbRSEOF>("dbRSEOF"),
    Method<&AspProc::dbGetTable>("dbGetTable"),
    Method<&AspProc::dbCreateTable>("dbCreateTable"),
    Method<&AspProc::dbDeleteTable>("dbDeleteTable"),
    Method<&AspProc::dbDeleteRecord>("dbDeleteRecord"),
    Method<&AspProc::dbEnCode>("dbEnCode"),
    Property<&AspProc::SkipLinkForm, &AspProc::SetSkipLinkForm>("SkipLinkForm"),
    Property<&AspProc::IsDisplayOnly, &AspProc::SetIsDisplayOnly>("IsDisplayOnly"),

    // Login.
    Method<&AspProc::dbLogin>("dbLogin"),
    Method<&AspProc::dbLogOut>("dbLogOut"),
    Method<&AspProc::hasLogin>("hasLogin"),
    ReadOnly<&AspProc::LoginMsg>("LoginMsg"),

    // Write-back.
    Method<&AspProc::dbUpdate, _, _, _, _, true>("dbUpdate"),
    Method<&AspProc::dbAppend, _, _, true>("dbAppend"),
    Method<&AspProc::db2DUpdate>("db2DUpdate"),

    // Form controls.
    Method<&AspProc::dbHiddenText, _, _, true>("dbHiddenText"),
    Method<&AspProc::dbLinkTextBox, _, Short{}>("dbLinkTextBox"),
    Method<&AspProc::dbLinkTextArea, _, Short{5}, Short{}>("dbLinkTextArea"),
    Method<&AspProc::dbLinkTextPassword, _, Short{}>("dbLinkTextPassword"),
    Method<&AspProc::dbLinkRadioButton, _, _, true>("dbLinkRadioButton"),
    Method<&AspProc::dbLinkCheckBox, _, true>("dbLinkCheckBox"),
    Method<&AspProc::dbLinkDropDown, _, _, Short{1}>("dbLinkDropDown"),
    Method<&AspProc::dbLinkCheckList>("dbLinkCheckList"),
    Method<&AspProc::dbLinkDropDownData, _, _, _, Short{1}>("dbLinkDropDownData"),
    Method<&AspProc::dbLinkCheckListData>("dbLinkCheckListData"),

    // Grid forms.
    Method<&AspProc::db2DLinkTextBox, _, Short{}>("db2DLinkTextBox"),
    Method<&AspProc::db2DLinkTextArea, _, Short{5}, Short{}>("db2DLinkTextArea"),
    Method<&AspProc::db2DLinkRadioButton>("db2DLinkRadioButton"),
    Method<&AspProc::db2DLinkCheckBox>("db2DLinkCheckBox"),
    Method<&AspProc::db2DLinkDropDown, _, _, Short{1}>("db2DLinkDropDown"),
    Method<&AspProc::db2DLinkForm>("db2DLinkForm"),

    // Activity log.
    Method<&AspProc::dbLog, Byte{}>("dbLog"),
};

const ClassRegistration kAspProc = Register<AspProc>(kMembers, kCreatedByScripts);

}  // namespace
}  // namespace qv::script

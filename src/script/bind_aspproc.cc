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
// through. Size and row counts are 16-bit. A grid control renames its field
// to "ID_<row>_<name>" and returns that name (its by-reference argument).
#include <stdexcept>
#include <string>

#include "data/aspproc.h"
#include "script/bind_class.h"
#include "script/bindings.h"

namespace qv::script {

template <>
struct BoundClass<AspProc> {
  static constexpr const char* name = "qvTome.AspProc";
};

namespace {

int DbOpen(lua_State* L) {
  return Protect(L, [&] {
    Self<AspProc>(L)->dbOpen(ArgString(L, 2), ArgString(L, 3), ArgString(L, 4),
                             OptBoolean(L, 5, false));
    return 0;
  });
}

int DbGetTable(lua_State* L) {
  return Protect(L, [&] {
    PushValue(L, Self<AspProc>(L)->dbGetTable(ArgString(L, 2), ArgString(L, 3), ArgString(L, 4)));
    return 1;
  });
}

int DbCreateTable(lua_State* L) {
  return Protect(L, [&] {
    Self<AspProc>(L)->dbCreateTable(ArgString(L, 2), ArgVariant(L, 3), OptBoolean(L, 4, false));
    return 0;
  });
}

int DbDeleteTable(lua_State* L) {
  return Protect(L, [&] {
    Self<AspProc>(L)->dbDeleteTable(ArgString(L, 2));
    return 0;
  });
}

int DbDeleteRecord(lua_State* L) {
  return Protect(L, [&] {
    Self<AspProc>(L)->dbDeleteRecord(ArgString(L, 2), ArgString(L, 3));
    return 0;
  });
}

int DbEnCode(lua_State* L) {
  return Protect(L, [&] {
    PushValue(L, Self<AspProc>(L)->dbEnCode(ArgString(L, 2)));
    return 1;
  });
}

// A 16-bit count or size argument, `fallback` when omitted.
int OptShort(lua_State* L, int index, int fallback) {
  const int64_t value = OptInteger(L, index, fallback);
  if (value < -32768 || value > 32767)
    throw std::out_of_range("Overflow: " + std::to_string(value));
  return static_cast<int>(value);
}

// Login ----------------------------------------------------------------------

int DbLogin(lua_State* L) {
  return Protect(L, [&] {
    Self<AspProc>(L)->dbLogin(OptBoolean(L, 2, false));
    return 0;
  });
}

// Write-back -----------------------------------------------------------------

// dbUpdate(strTableName, strWhereClause, aryFld, blnAppendable, blnUpdateFromForm)
int DbUpdate(lua_State* L) {
  return Protect(L, [&] {
    auto proc = Self<AspProc>(L);
    PushValue(L, proc->dbUpdate(ArgString(L, 2), ArgString(L, 3), ArgVariant(L, 4),
                                OptBoolean(L, 5, false), OptBoolean(L, 6, true)));
    return 1;
  });
}

// dbAppend(strTableName, aryField, blnUpdateFromForm)
int DbAppend(lua_State* L) {
  return Protect(L, [&] {
    auto proc = Self<AspProc>(L);
    PushValue(L, proc->dbAppend(ArgString(L, 2), ArgVariant(L, 3), OptBoolean(L, 4, true)));
    return 1;
  });
}

// db2DUpdate(strTableName, aryFld, blnAppendable)
int Db2DUpdate(lua_State* L) {
  return Protect(L, [&] {
    Self<AspProc>(L)->db2DUpdate(ArgString(L, 2), ArgVariant(L, 3), OptBoolean(L, 4, false));
    return 0;
  });
}

// Form controls ----------------------------------------------------------------

// dbHiddenText(btnName, strValue, isField)
int DbHiddenText(lua_State* L) {
  return Protect(L, [&] {
    Self<AspProc>(L)->dbHiddenText(ArgString(L, 2), ArgVariant(L, 3), OptBoolean(L, 4, true));
    return 0;
  });
}

// dbLinkTextBox(btnName, intSize, DefaultValue)
int DbLinkTextBox(lua_State* L) {
  return Protect(L, [&] {
    Self<AspProc>(L)->dbLinkTextBox(ArgString(L, 2), OptShort(L, 3, 0), ArgVariant(L, 4));
    return 0;
  });
}

// dbLinkTextArea(btnName, intRows, intCols, DefaultValue)
int DbLinkTextArea(lua_State* L) {
  return Protect(L, [&] {
    Self<AspProc>(L)->dbLinkTextArea(ArgString(L, 2), OptShort(L, 3, 5), OptShort(L, 4, 0),
                                     ArgVariant(L, 5));
    return 0;
  });
}

// dbLinkTextPassword(btnName, intSize)
int DbLinkTextPassword(lua_State* L) {
  return Protect(L, [&] {
    Self<AspProc>(L)->dbLinkTextPassword(ArgString(L, 2), OptShort(L, 3, 0));
    return 0;
  });
}

// dbLinkRadioButton(btnName, btnValue, IsRealButton, DefaultValue)
int DbLinkRadioButton(lua_State* L) {
  return Protect(L, [&] {
    Self<AspProc>(L)->dbLinkRadioButton(ArgString(L, 2), ArgVariant(L, 3), OptBoolean(L, 4, true),
                                        ArgVariant(L, 5));
    return 0;
  });
}

// dbLinkCheckBox(btnName, IsRealButton, DefaultValue)
int DbLinkCheckBox(lua_State* L) {
  return Protect(L, [&] {
    Self<AspProc>(L)->dbLinkCheckBox(ArgString(L, 2), OptBoolean(L, 3, true), ArgVariant(L, 4));
    return 0;
  });
}

// dbLinkDropDown(btnName, aryChoiceValue, intRow, blnMultiple, DefaultValue)
int DbLinkDropDown(lua_State* L) {
  return Protect(L, [&] {
    Self<AspProc>(L)->dbLinkDropDown(ArgString(L, 2), ArgVariant(L, 3), OptShort(L, 4, 1),
                                     OptBoolean(L, 5, false), ArgVariant(L, 6));
    return 0;
  });
}

// dbLinkCheckList(btnName, aryChoiceValue, blnMultiple, DefaultValue)
int DbLinkCheckList(lua_State* L) {
  return Protect(L, [&] {
    Self<AspProc>(L)->dbLinkCheckList(ArgString(L, 2), ArgVariant(L, 3), OptBoolean(L, 4, false),
                                      ArgVariant(L, 5));
    return 0;
  });
}

// dbLinkDropDownData(CodeTableName, btnName, strType, intRow, blnMultiple, DefaultValue)
int DbLinkDropDownData(lua_State* L) {
  return Protect(L, [&] {
    Self<AspProc>(L)->dbLinkDropDownData(ArgString(L, 2), ArgString(L, 3), ArgString(L, 4),
                                         OptShort(L, 5, 1), OptBoolean(L, 6, false),
                                         ArgVariant(L, 7));
    return 0;
  });
}

// dbLinkCheckListData(CodeTableName, btnName, strType, blnMultiple, DefaultValue)
int DbLinkCheckListData(lua_State* L) {
  return Protect(L, [&] {
    Self<AspProc>(L)->dbLinkCheckListData(ArgString(L, 2), ArgString(L, 3), ArgString(L, 4),
                                          OptBoolean(L, 5, false), ArgVariant(L, 6));
    return 0;
  });
}

// Grid controls: each returns the control's name, "ID_<row>_<field>".

int Db2DLinkTextBox(lua_State* L) {
  return Protect(L, [&] {
    std::string name = ArgString(L, 2);
    Self<AspProc>(L)->db2DLinkTextBox(name, OptShort(L, 3, 0));
    return PushResults(L, name);
  });
}

int Db2DLinkTextArea(lua_State* L) {
  return Protect(L, [&] {
    std::string name = ArgString(L, 2);
    Self<AspProc>(L)->db2DLinkTextArea(name, OptShort(L, 3, 5), OptShort(L, 4, 0));
    return PushResults(L, name);
  });
}

int Db2DLinkRadioButton(lua_State* L) {
  return Protect(L, [&] {
    std::string name = ArgString(L, 2);
    Self<AspProc>(L)->db2DLinkRadioButton(name, ArgVariant(L, 3));
    return PushResults(L, name);
  });
}

int Db2DLinkCheckBox(lua_State* L) {
  return Protect(L, [&] {
    std::string name = ArgString(L, 2);
    Self<AspProc>(L)->db2DLinkCheckBox(name);
    return PushResults(L, name);
  });
}

// db2DLinkDropDown(btnName, aryChoiceValue, intRow, blnMultiple)
int Db2DLinkDropDown(lua_State* L) {
  return Protect(L, [&] {
    std::string name = ArgString(L, 2);
    Self<AspProc>(L)->db2DLinkDropDown(name, ArgVariant(L, 3), OptShort(L, 4, 1),
                                       OptBoolean(L, 5, false));
    return PushResults(L, name);
  });
}

// dbLog(qvAction): a byte; the component refuses other values.
int DbLog(lua_State* L) {
  return Protect(L, [&] {
    const int64_t action = ArgInteger(L, 2);
    if (action < 0 || action > 255) throw std::out_of_range("Overflow: " + std::to_string(action));
    Self<AspProc>(L)->dbLog(static_cast<int>(action));
    return 0;
  });
}

const Member kMethods[] = {{"dbOpen", DbOpen},
                           {"dbClose", Method0<&AspProc::dbClose>},
                           {"dbMoveFirst", Method0<&AspProc::dbMoveFirst>},
                           {"dbMoveNext", Method0<&AspProc::dbMoveNext>},
                           {"dbMovePrevious", Method0<&AspProc::dbMovePrevious>},
                           {"dbMoveLast", Method0<&AspProc::dbMoveLast>},
                           {"dbRSBOF", Method0<&AspProc::dbRSBOF>},
                           {"dbRSEOF", Method0<&AspProc::dbRSEOF>},
                           {"dbGetTable", DbGetTable},
                           {"dbCreateTable", DbCreateTable},
                           {"dbDeleteTable", DbDeleteTable},
                           {"dbDeleteRecord", DbDeleteRecord},
                           {"dbEnCode", DbEnCode},
                           {"dbLogin", DbLogin},
                           {"dbLogOut", Method0<&AspProc::dbLogOut>},
                           {"hasLogin", Method0<&AspProc::hasLogin>},
                           {"dbUpdate", DbUpdate},
                           {"dbAppend", DbAppend},
                           {"db2DUpdate", Db2DUpdate},
                           {"dbHiddenText", DbHiddenText},
                           {"dbLinkTextBox", DbLinkTextBox},
                           {"dbLinkTextArea", DbLinkTextArea},
                           {"dbLinkTextPassword", DbLinkTextPassword},
                           {"dbLinkRadioButton", DbLinkRadioButton},
                           {"dbLinkCheckBox", DbLinkCheckBox},
                           {"dbLinkDropDown", DbLinkDropDown},
                           {"dbLinkCheckList", DbLinkCheckList},
                           {"dbLinkDropDownData", DbLinkDropDownData},
                           {"dbLinkCheckListData", DbLinkCheckListData},
                           {"db2DLinkTextBox", Db2DLinkTextBox},
                           {"db2DLinkTextArea", Db2DLinkTextArea},
                           {"db2DLinkRadioButton", Db2DLinkRadioButton},
                           {"db2DLinkCheckBox", Db2DLinkCheckBox},
                           {"db2DLinkDropDown", Db2DLinkDropDown},
                           {"db2DLinkForm", Method0<&AspProc::db2DLinkForm>},
                           {"dbLog", DbLog},
                           {nullptr, nullptr}};

const Member kGetters[] = {{"RecordSet", Getter<&AspProc::RecordSet>},
                           {"SkipLinkForm", Getter<&AspProc::SkipLinkForm>},
                           {"IsDisplayOnly", Getter<&AspProc::IsDisplayOnly>},
                           {nullptr, nullptr}};

const Member kSetters[] = {{"SkipLinkForm", Setter<&AspProc::SetSkipLinkForm>},
                           {"IsDisplayOnly", Setter<&AspProc::SetIsDisplayOnly>},
                           {nullptr, nullptr}};

}  // namespace

void RegisterAspProc(lua_State* L) {
  RegisterClass(L, {BoundClass<AspProc>::name, kMethods, kGetters, kSetters, nullptr});
}

bool PushIfAspProc(lua_State* L, const std::shared_ptr<Object>& object) {
  auto asp_proc = std::dynamic_pointer_cast<AspProc>(object);
  if (!asp_proc) return false;
  PushObject(L, BoundClass<AspProc>::name, std::move(asp_proc));
  return true;
}

int NewAspProc(lua_State* L) {
  return Protect(L, [&] {
    PushObject(L, BoundClass<AspProc>::name, std::make_shared<AspProc>());
    return 1;
  });
}

}  // namespace qv::script

// AspProc: table access for page scripts and every module.
//
// SysVar.Init creates one shared instance, Tables().objAspProc; page scripts
// may create their own. dbOpen opens the shared connection and record set
// (Tables().objConn, Tables().objRS) that the form controls read; the other
// members use connections of their own and leave objRS alone.
//
// Statements are built as "SELECT fields FROM table clause": callers pass the
// field list and the whole clause (keyword included) as text, and are
// responsible for quoting any value inside it (core/sql_literal.h). Table
// names must be plain identifiers: any other name fails as a missing table
// would. Errors reach the caller as DatabaseError except where a member says
// it ignores them; a data source that cannot be opened by dbOpen ends the
// response (ResponseEnded) after writing or redirecting to ODBCErrorMsg.
//
// The class is extended by the login, write-back, form-control, grid and
// log modules, each in a .cc of its own; their members go in the marked
// sections. Login, write-back and the activity log stand on system messages
// and identity, so they are defined above this folder, in session/ (a
// program that calls them links qvtome_session).
#pragma once

#include <memory>
#include <string>

#include "core/variant.h"
#include "data/connection.h"
#include "data/recordset.h"
#include "host/context.h"

namespace qv {

class Request;

class AspProc : public Object {
 public:
  // Clears the shared IsDisplayOnly and strLinkedFields.
  AspProc();

  // Table access ------------------------------------------------------------

  // Replaces objConn and objRS with a new connection and the rows of
  // "SELECT strFields FROM strTableName strWhereClause"; updatable (keyset,
  // batch-optimistic) when blnUpdatable.
  void dbOpen(const std::string& strTableName, const std::string& strFields,
              const std::string& strWhereClause, bool blnUpdatable = false);
  // objRS (null before any dbOpen).
  std::shared_ptr<Recordset> RecordSet() const;
  // Closes objRS and objConn, ignoring errors; the references stay set.
  void dbClose();
  void dbMoveFirst();
  void dbMoveNext();
  void dbMovePrevious();
  void dbMoveLast();
  bool dbRSBOF();
  bool dbRSEOF();
  // The rows as an Array (field, row), or Null when none matches.
  Variant dbGetTable(const std::string& strTableName, const std::string& strFields,
                     const std::string& strWhereClause);
  // "CREATE TABLE t (ID counter, def1, def2, ...)" from a one-dimensional
  // Array of column definitions; errors ignored. blnOverWrite drops the
  // table first.
  void dbCreateTable(const std::string& strTableName, const Variant& aryField,
                     bool blnOverWrite = false);
  // "DROP TABLE t"; errors ignored.
  void dbDeleteTable(const std::string& strTableName);
  // "DELETE * FROM t clause"; errors reach the caller.
  void dbDeleteRecord(const std::string& strTableName, const std::string& strWhereClause);
  // Server.HTMLEncode(strMsg).
  std::string dbEnCode(const std::string& strMsg);

  // Form-control switches (Tables()) -------------------------------------------
  bool SkipLinkForm() const;
  void SetSkipLinkForm(bool value);
  bool IsDisplayOnly() const;
  void SetIsDisplayOnly(bool value);

  // Login (identity module) ----------------------------------------------------

  // Logs the caller in from the posted login form ("qvTomeLogin" "true") or
  // the network identity (AUTH_USER), storing id, groups, names and times in
  // the session keys ending in AuthSiteID and renewing the session id.
  // Nothing happens when already logged in or for the posting agent. With
  // LANLoginOnly and no network identity, sets "401 Unauthorized" and ends
  // the response. Otherwise, unless SubmitOnly, writes the login form when
  // the caller is still anonymous (after a failure, with its message).
  // Form logins pass SharedLoginThrottle first (session/login_throttle.h): an
  // attempt it refuses fails as a wrong password does, unchecked, and is
  // logged as action kLogLoginThrottled. Database errors reach the caller.
  void dbLogin(bool SubmitOnly = false);
  // Logs action 0, then sets the eight login keys to "".
  void dbLogOut();
  // Whether the session holds a login for this site.
  bool hasLogin();
  // The failure message shown at the top of the next login form ("" none).
  const std::string& LoginMsg() const { return strLoginMsg; }

 private:
  std::string strLoginMsg;
  // The form login this object already checked: a page that takes the form
  // (SubmitOnly) and later writes it calls dbLogin twice for one attempt.
  const Request* form_checked_request_ = nullptr;
  std::string form_checked_user_;
  bool form_check_result_ = false;
  void WriteLoginForm();
  // Finds the user the form names; true when the query gave any row. A
  // second call for the same request answers as the first did.
  bool FormLogin();
  bool CheckFormLogin(const std::string& user_id);
  // Finds the user of the network identity; true when found.
  bool NetworkLogin(const std::string& auth_user);
  void LoginFailed(const std::string& key, bool SubmitOnly);

 public:
  // Write-back --------------------------------------------------------------

  // Writes the posted form back to every row the clause selects. The fields
  // are the request's "qvFLD_List" names (when blnUpdateFromForm) followed
  // by the (field, value) columns of aryFld (MergeFieldList). A value ""
  // takes Request.Form(name) (never the query string), " " writes an empty
  // value, any other value is written as given; empty stores Null into text
  // and date fields and 0 into the others, and text fields keep their first
  // DefinedSize characters. Every row also gets a new Stamp (user and time).
  //
  // The rows are re-read, checked and written in one transaction: when a
  // row's Stamp differs from the one its form was generated with, nothing
  // is written, "ErrorHasBeenChanged" is reported with the name of the user
  // who changed it, and the result is 0. Otherwise returns the new ID when
  // a row was added (no row matched and blnAppendable), -1 when no row
  // matched and adding is not allowed, 0 otherwise and when there is no
  // field to write. A field the table lacks, or a value its field cannot
  // take, throws before anything is written.
  int32_t dbUpdate(const std::string& strTableName, const std::string& strWhereClause,
                   const Variant& aryFld = Variant(), bool blnAppendable = false,
                   bool blnUpdateFromForm = true);
  // Adds one row (dbUpdate of "WHERE ID=-1" with appending) and returns its
  // ID.
  int32_t dbAppend(const std::string& strTableName, const Variant& aryField,
                   bool blnUpdateFromForm = true);
  // Writes back a grid form: for every row ID of the posted "qvID_List", the
  // merged fields take their values from the form fields "ID_<id>_<name>"
  // (an empty value stores 0, or Null when the field's name contains
  // "date"). Rows that do not exist are added when blnAppendable, else
  // skipped. All rows are written in one transaction; an id that is not a
  // whole number throws before anything is written. No stamps.
  void db2DUpdate(const std::string& strTableName, const Variant& aryFld = Variant(),
                  bool blnAppendable = false);
  // The fields to write: the names of the comma-separated list (trimmed,
  // each with an empty value) followed by the columns of aryFld. Returns
  // aryFld unchanged when the list is blank. Throws TypeMismatch when aryFld
  // is an array but not a two-row one.
  static Variant MergeFieldList(const Variant& aryFld, const std::string& list);

  // Form controls -------------------------------------------------------------
  //
  // Each bound control writes one HTML control for a field of the current
  // row of objRS, showing its value (a missing set, field or row reads "").
  // The first binding of a field in a request (unless SkipLinkForm) saves
  // the row's Stamp in the session and writes the hidden "qvFLD_List" field
  // naming it, so dbUpdate knows what to write back. With IsDisplayOnly the
  // controls write the plain value instead. DefaultValue replaces an empty
  // value in edit mode. Values written into attributes are HTML-encoded.
  //
  // Choice arrays hold two rows: (0, i) the shown text, (1, i) the value;
  // an empty value is replaced in the array itself by the shown text. A
  // field holding several values "a, b" selects the choices "a" and "b".
  // Values are HTML-encoded where they are written; shown texts are written
  // as given, as HTML (a caller may pass system messages), so a caller
  // encodes the texts it takes from data (names, titles). The code-table
  // variants do so for the names they read.

  // A hidden field; nothing when IsDisplayOnly. isField registers btnName.
  void dbHiddenText(const std::string& btnName, const Variant& strValue, bool isField = true);
  // Text box; intSize 0 is DefaultTextAreaWidth.
  void dbLinkTextBox(const std::string& btnName, int intSize = 0,
                     const Variant& DefaultValue = Variant());
  // Text area; intCols 0 is DefaultTextAreaWidth.
  void dbLinkTextArea(const std::string& btnName, int intRows = 5, int intCols = 0,
                      const Variant& DefaultValue = Variant());
  // Password box, never bound and never showing a value.
  void dbLinkTextPassword(const std::string& btnName, int intSize);
  // A radio button checked when btnValue is the value; an image without
  // IsRealButton.
  void dbLinkRadioButton(const std::string& btnName, const Variant& btnValue,
                         bool IsRealButton = true, const Variant& DefaultValue = Variant());
  // A check box posting "-1", checked by a DefaultValue that is not "" (when
  // it is True) or else by the field; "ON"/"OFF" when IsDisplayOnly.
  void dbLinkCheckBox(const std::string& btnName, bool IsRealButton = true,
                      const Variant& DefaultValue = Variant());
  // A select of intRow rows; writes an error line when aryChoiceValue is no
  // choice array. Shown texts are HTML (see above).
  void dbLinkDropDown(const std::string& btnName, const Variant& aryChoiceValue, int intRow,
                      bool blnMultiple = false, const Variant& DefaultValue = Variant());
  // Check boxes (blnMultiple) or radio buttons, one per choice; shown texts
  // are HTML.
  void dbLinkCheckList(const std::string& btnName, const Variant& aryChoiceValue, bool blnMultiple,
                       const Variant& DefaultValue = Variant());
  // The two above with the choices of strType in a code table (shown text
  // dbName_<FirstLanguage>, HTML-encoded, and value dbValue, or the name
  // when it is empty); nothing when it has none.
  void dbLinkDropDownData(const std::string& CodeTableName, const std::string& btnName,
                          const std::string& strType, int intRow, bool blnMultiple = false,
                          const Variant& DefaultValue = Variant());
  void dbLinkCheckListData(const std::string& CodeTableName, const std::string& btnName,
                           const std::string& strType, bool blnMultiple,
                           const Variant& DefaultValue = Variant());
  // Grid forms ----------------------------------------------------------------
  //
  // One row of a grid form per row of objRS: the controls bind the field as
  // the one-record controls do, then rename btnName to "ID_<row ID>_<name>"
  // (written back into the argument) and always write an input element, with
  // no default. db2DLinkForm ends the row: it adds the row's ID to
  // "qvID_List" and sets SkipLinkForm, so only the first row registers its
  // fields. db2DUpdate writes the posted grid back.

  void db2DLinkTextBox(std::string& btnName, int intSize = 0);
  void db2DLinkTextArea(std::string& btnName, int intRows = 5, int intCols = 0);
  void db2DLinkRadioButton(std::string& btnName, const Variant& btnValue);
  void db2DLinkCheckBox(std::string& btnName);
  // Writes nothing (and leaves btnName) when aryChoiceValue is no choice
  // array. Shown texts are HTML, as for dbLinkDropDown.
  void db2DLinkDropDown(std::string& btnName, const Variant& aryChoiceValue, int intRow,
                        bool blnMultiple = false);
  void db2DLinkForm();

  // Activity log --------------------------------------------------------------

  // Stores one row of qvAuthLog for action code qvAction (0..255, else
  // std::out_of_range) when LogLevel records it: table, page id, script,
  // query string, the form text (not for a login; password fields masked;
  // these two cut to 4 KB each, ending in "…[cut]" when cut),
  // the days since the previous logged action (since login for a logout;
  // empty on a session's first), user, address and date. Advances the
  // session's "AuthTime". The row, its values taken now, is queued for the
  // data source's log writer (data/queued_writes.h), which stores it within
  // about 50 ms; inside a RequestTransaction it is written at once with the
  // transaction's writes, and errors opening the log then reach the caller.
  // Any failure completing the row (such as a body already read as an
  // upload) drops it.
  void dbLog(int qvAction);

 private:
  std::shared_ptr<Recordset> RequireRS() const;
};

// The table-access part of the request's state (host/context.h). AspProc
// writes it; SysVar.Init creates objAspProc and starts with no open set.
struct TableAccess {
  std::shared_ptr<AspProc> objAspProc;
  std::shared_ptr<Connection> objConn;  // of the last dbOpen; null is Nothing
  std::shared_ptr<Recordset> objRS;     // of the last dbOpen; null is Nothing
  // The connection of the open RequestTransaction; null when none is open.
  std::shared_ptr<Connection> transaction;
  // The form-control switches and the fields bound in this request.
  bool IsDisplayOnly = false;
  bool SkipLinkForm = false;
  std::string strLinkedFields;  // "[name]" for each bound field
};
inline TableAccess& Tables() { return RequestPart<TableAccess>(); }

// The shared AspProc of the request. Throws HostError before SysVar.Init.
AspProc& SharedAspProc();

// Whether the current request is a POST (REQUEST_METHOD). Writes act on
// posted forms only, so that a link or an embedded image cannot change data.
bool IsPostRequest();

// Writes "<br>" label "= [" value "]" when IsDebug is True; else nothing.
void DebugPrint(const std::string& label, const Variant& value);

// A new connection opened on the shared data source (DSNName, DSNUserID,
// DSNPassword); while a RequestTransaction is open, a handle on its
// connection instead, whose Close leaves it open. Throws DatabaseError.
std::shared_ptr<Connection> OpenOwnConnection();

// A write of several steps that commits or fails as one. While it is open,
// every "connection of its own" (OpenOwnConnection) is its connection, so
// dbUpdate, dbAppend, dbDeleteRecord, dbGetTable and dbLog run inside it;
// their own transactions nest in it. Commit makes the steps durable;
// leaving the scope without Commit (an error, a refusal) rolls them all
// back. One at a time per request: opening a second throws HostError.
class RequestTransaction {
 public:
  RequestTransaction();
  ~RequestTransaction();
  RequestTransaction(const RequestTransaction&) = delete;
  RequestTransaction& operator=(const RequestTransaction&) = delete;

  void Commit();
  // A handle on the transaction's connection, as OpenOwnConnection gives.
  std::shared_ptr<Connection> Handle() const;

 private:
  std::shared_ptr<Connection> conn_;
  bool open_ = true;
};

// Throws DatabaseError "Table not found: name" unless name is a plain
// identifier.
void RequireTableName(const std::string& name);

// Session key under which a form control saves the Stamp of the row it
// binds, for the stamp check of dbUpdate: DSNName "_" table "_" id.
std::string StampKey(const std::string& table, const std::string& id);

}  // namespace qv

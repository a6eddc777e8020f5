// Book: the pages of a book, as page scripts read and edit them.
//
// A page script opens one page (OpenPage, optionally ReOpenSubPage), loads
// its book and the caller's rights (OpenBook), and then calls the display,
// contents, navigation and closing members, each of which writes HTML into
// the current response in the order of the calls. The current page and book
// live in the request's state (session/current_page.h, book/book_state.h,
// and TableName and BookAuthorization in data/settings.h), so several Book
// objects of one request see the same page; the few members below marked "per object" are
// the object's own.
//
// Errors seen by users are system-message keys: they are recorded in
// strErrorMsg (and written when blnShowError) and never thrown; GetErrorMsg
// and HasError let the page script test them. Database and host failures
// (a lost connection, a missing table) are exceptions and reach the caller.
//
// Naming for script bindings: a property X is X() (get) and SetX(v) (put);
// methods keep their names; an argument the member changes is a T& and
// comes back to scripts as an extra result.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "core/variant.h"
#include "data/recordset.h"

namespace qv {

class Book : public Object {
 public:
  // Sets the shared blnShowContents and blnShowBody to True,
  // blnPageDeleted and blnConfirmScriptShown to False, strPendingMsg to "".
  Book();

  // Model ---------------------------------------------------------------------

  // Opens the page named by the request value "id" (DefaultID when that is
  // ""; a negative id -B is the first top page of book B) in the book table
  // strTableName (kept in lower case). Clears blnPageShown. A missing page
  // or an id that is not a whole number reports "ErrorNoPage" (or
  // "ErrorBookNotFound" for -B) and leaves the previous page state.
  void OpenPage(const std::string& strTableName, const std::string& DefaultID = "0");
  // Loads page strID of the open table exactly (a negative id is a row id;
  // its miss is still reported as "ErrorBookNotFound").
  void ReOpenPage(const std::string& strID);
  // On a plain view (no "qvAction", "id" >= 1) of a page with children,
  // descends to its first child; otherwise, or when no child row exists,
  // sets blnNoSubPage.
  void ReOpenSubPage();
  // Loads the registry row of the current page's book (titles, formats,
  // level limits) and computes BookAuthorization; major group "99" adds
  // "read,admin". Does nothing after an error or without an open page.
  void OpenBook();

  // strErrorMsg: the ", "-separated error keys of this request.
  std::string GetErrorMsg() const;
  bool HasError() const;
  // The current page id (the shared ID).
  Variant ID() const;
  int32_t GetBookID() const;
  std::string GetBookCode() const;
  std::string GetBookOwnerID() const;
  std::string GetPageOwnerID() const;
  int16_t GetPageType() const;
  int16_t GetPageLevel() const;
  // The current page has children (dbCID <> 0).
  bool hasSubPage() const;
  // The shared record set holding the current page row (null before any).
  std::shared_ptr<Recordset> thePage() const;
  // The help code of the current page and action (strHelpCode).
  std::string HelpCode() const;
  // Position among the counted siblings and their number; "" until the
  // sibling walk (GoNext, GoPrevious) has run. Per object.
  Variant GetPageNo() const { return varPageNo; }
  Variant GetPageNoTotal() const { return varPageNoTotal; }
  // Rights in the current book (substring tests of BookAuthorization).
  bool IsEditor() const;
  bool IsAuthor() const;
  bool IsAdmin() const;
  // None of IsEditor, IsAuthor, IsAdmin.
  bool IsReaderOnly() const;

  // Display -------------------------------------------------------------------

  // Runs the request's "qvAction" (edit and add forms, lists, paste and
  // delete notices) and renders the page body: both languages with their
  // formats and markup expanded, bulletin children, discussion remark and
  // commands, or the library record. Once per OpenPage; writes nothing
  // after an error or without an open page (but CheckPageOpen's report).
  // An action of a module not built yet reports "ErrorNotAvailable" and
  // writes nothing else.
  void ShowPage();

  // Contents and navigation ---------------------------------------------------

  // Folding contents tree: the level of the current page (or of the page
  // -intPageLevel when that is negative) with the branch leading to the
  // current page unfolded. Needs a list right ("ErrorAuthNoList").
  void ListContentsLevel(int16_t intShowThumbNail = 0, int32_t intPageLevel = 0,
                         bool blnIsEdit = false);
  // Flat list of the current page's siblings (intLevel 0), children (1) or
  // parent's siblings (-1). Mode intShowThumbNail: 0 titles, 1 thumbnails,
  // 2 both in a table. blnIsEdit shows unfinished and expired pages with
  // marks and edit links.
  void ListContents(int16_t intShowThumbNail = 0, int16_t intLevel = 0, bool blnIsEdit = false,
                    bool blnHideSelfLink = true);
  // The command menu of the current page, by the caller's rights; nothing
  // while blnShowContents is False.
  void ListMenu();
  // Links to the book's first page, the parent, the page as first opened,
  // the next and the previous counted sibling; each writes nothing when
  // there is no such page.
  void GoTop(const std::string& strTitle);
  void GoUp(const std::string& strTitle);
  void GoRefresh(const std::string& strTitle);
  void GoNext(const std::string& strTitle);
  void GoPrevious(const std::string& strTitle);
  // The current page's title: language 1 the first language, any other
  // value the second and the other language.
  void PageTitle(int16_t language = 1);
  // The parent page's title (nothing for a top page).
  void ParentTitle();
  // Page foot (when strFoot), closes the shared connection, writes the
  // client scripts and, in download form, the error trailer.
  void ClosePage(bool strFoot = true);

  // Commands and scripts --------------------------------------------------------
  //
  // Command links (WriteCommand, WriteMsgLink) and the client-side scripts
  // (WriteConfirmScript, WriteGlossaryScript) are private procedures of the
  // book module: book/book_internal.h.

  // Course list -----------------------------------------------------------------

  // Lists the books of book table TableName that the caller may read (or,
  // with IsEditOnly, author or edit), headings (dbGroup 255) unlinked; a
  // message when none is available.
  void ListCourses(const std::string& TableName, bool IsEditOnly = false,
                   const std::string& strImgName = "mark_book.gif");
  // The registry id of the first book (by dbOrder, then id; headings,
  // dbGroup 255, skipped) of book table strTableName, or 0 when the name is
  // not a plain identifier or no book of that table is registered.
  int32_t FirstBookID(const std::string& strTableName) const;
  // The registry title, description and remark in the first language, as
  // loaded by OpenBook ("" before).
  void BookTitle();
  void BookDescription();
  void BookRemark();

  // Page writes -----------------------------------------------------------------

  // Performs the write of the request's "qvAction" before anything is shown:
  // saving an edited or new page, cut, paste, renumbering the siblings. Each
  // write checks the caller's right, takes the page's place from the
  // server's state and writes only the fields of the form it showed. After
  // an add the browser is redirected to the new page. Nothing after an
  // error or without an open page.
  void UpdatePage();

  // Notes, help and page information ---------------------------------------------

  // The caller's personal note on the current page and, when the request
  // has no "qvAction", NoteMsg and a form to change it (posting
  // "submitnotes"). Nothing for a visitor who is not logged in.
  void Notes(const std::string& NoteMsg);

  // The help text of strHelpCode, or by default of the current page and
  // action (strHelpCode & "_" & TableName & "_" & qvAction), from the help
  // entries of the glossary (book 1), with an edit link for administrators.
  // A missing entry is created ("Help on <code>") when the code is given,
  // or names an action the page knows and ran without error in a
  // registered book table; otherwise only "New help on <code>" is written.
  void Help(const std::string& strHelpCode = "");

  // For authors: the clipboard, book code, type, owners, group and expiry of
  // the current page, one "label = [value]" line each.
  void PageInfo();

  // Edit forms ------------------------------------------------------------------

  // ShowPage when the request has a "qvAction"; otherwise nothing.
  void EditPage();

  // Administration: users and groups --------------------------------------------
  //
  // For site administrators (major group "99", or "admin" in
  // BookAuthorization); others get nothing from the lists.

  // The groups that have members, each linked to TargetFile (or this page)
  // with "?GroupID=", strMark before each.
  void ListGroups(const std::string& strMark = "");
  // The users of the request's "GroupID" (all without one), each linked to
  // this page with its id; the user a posted delete of this request removes
  // is left out.
  void ListUsers(const std::string& strMark = "");
  // The user form of the request's "id" ("-1" a new user) for an
  // administrator, of the caller's own record for anyone else signed in;
  // with a posted "submituser" its save, with a posted "qvAction" "delete"
  // (administrators) the deletion. A save checks the caller, a new id
  // (unused, no comma or blank), the e-mail address, the old password of a
  // user's own change (through the login throttle), the two new passwords
  // and that the password can be stored; it writes only the fields the
  // form showed this caller and never an existing account's id. Logs 13.
  void EditUser();
  // strEditUserID: the user the last EditUser showed or saved.
  std::string EditUserID() const;

  // Book registry, password mail (added later) ------------------------------------

  // The book tables of the registry (administrators: all; others: those of
  // the books they own), each linked to its list of books ("?tablename=").
  // strMark (HTML) is written before every entry.
  void ListTables(const std::string& strMark = "");
  // The books of the table named by the request value "tablename" (the
  // caller's own unless an administrator): code linked to its form ("?id="),
  // unfinished marks, title, owner and access level.
  void ListBooks(const std::string& strMark = "");
  // The registry form of the book named by the request value "id" ("-1" a
  // new book) in the section of "qvAction" ("", "format", "reader",
  // "editor", "author"), after saving a posted "submitbook"; "delete"
  // deletes the book with all its pages from a posted confirmation. For
  // administrators and the book's owner and listed authors; others get
  // "ErrorAuthNoRead". Sets the help code "bookadmin".
  void EditBook();
  // The registry id EditBook works on ("-1" for a new book; the new id once
  // it is saved).
  std::string EditBookID() const;

  // Mails the decoded password of active user strUserID (not expired,
  // password type 0 or more) to the address of that user's own record,
  // with the message msgeMailSubject and the template msgeMailPasswordBody
  // ("<qvTm.dbUserID>", "<qvTm.dbPassword>", "<qvTm.dbFullName>",
  // "<qvTm.dbPositionTitle>" replaced), from FromEmail. Returns "False"
  // when no mail is sent for that id (no such user, no address, or the
  // hourly limit reached: book/password_mail.h), "Error" when the mail
  // object cannot be created or the mail cannot be sent (the cause goes to
  // the error log), otherwise the address it was sent to.
  std::string eMailPassword(const std::string& strUserID);

  // Assignments and submissions -------------------------------------------------
  //
  // An assignment page (types 6 to 11) shows its answer form in place
  // (ShowPage); "listassignment" lists its submissions for markers,
  // "checkassignment" with "qid" opens one in the marking form,
  // "submitassignment", "submitanonymous", "submitcheckassignment" and
  // "submitnotes" store the posted forms (ShowPage and UpdatePage), and
  // SysVar.Init follows a quiz's branching. Notes is above.

  // Glossary --------------------------------------------------------------------

  // Loads glossary entry strID (a whole number) into this object. A
  // definition holding "qvTmGoto=" exactly once redirects to the entry it
  // names, and GetGlossaryOriginalTerm then gives the term asked for.
  // Reports "ErrorGlossaryNotFound" and keeps the earlier entry when there
  // is no such entry.
  void OpenGlossary(const Variant& strID);
  // The definition in language 1 or 2, with media paths and links to other
  // entries ("qvTmGoto=<id>") made addresses of this page.
  void ShowGlossary(int16_t intLanguage = 1);
  // The term (title and keyword) in language 1 or 2.
  void GlossaryTerm(int16_t intLanguage = 1);
  std::string GetGlossaryOriginalTerm() const { return strOriginalTerm; }

  // Upload and media files ------------------------------------------------------

  // A field of the parsed upload (files/upload.h): its value, or for a file
  // input the stored file's base name; the name in any case. "" before an
  // upload was parsed. With "" every part is listed: per part, each led by
  // strSeparator, "&fieldname =", "&fieldvalue =", "&filename =" and
  // "&filesize =" followed by its value.
  Variant RequestForm(const std::string& varName = "");
  // Facts about the Index-th stored file of the upload (counted from 1 over
  // the parts with a file name): "fullname", "name" (without extension),
  // "extention" (from the last "."), "size" (-1 when too large); "" the
  // file count; "vpath" and "ppath" the book's media folder (also before an
  // upload). 0 before an upload was parsed; "" for an Index past the files
  // or another name.
  Variant RequstUploaded(int16_t Index = 0, const std::string& varName = "");

  // Media files of the current page (the "upload" right: one item of
  // BookAuthorization). Takes a posted upload into the caller's staging
  // folder and moves its files into the book's media folder under the page
  // prefix ("m000042_"), the first one as the page's thumbnail when asked
  // and small enough; adds a centred picture tag to both contents for each
  // picture they do not show yet. strAddMsg, when set, captions a second
  // button that makes a new sibling page from the upload first (the browser
  // is then sent to it with "qvAction=rearrange", which adds the tags of
  // the page's pictures). Then writes the upload form and FilesList with
  // deletion links ("deletefile" deletes one file of this page only).
  void FilesUpload(const std::string& strAddMsg = "");
  // The page's media files with their download links (the right "up").
  void FilesList();

  // Per-object state, for tests and the book module ------------------------------
  bool PageShown() const { return blnPageShown; }
  bool NoSubPage() const { return blnNoSubPage; }
  int32_t NextID() const { return lngNextID; }
  int32_t PrevID() const { return lngPrevID; }

 private:
  // Numbers the counted siblings and finds next and previous (once per
  // object, on the first GoNext or GoPrevious).
  void WalkSiblings();

  bool blnPageShown = false;  // set by ShowPage, cleared by OpenPage
  bool blnNoSubPage = false;  // set by ReOpenSubPage
  Variant varPageNo = "";
  Variant varPageNoTotal = "";
  int32_t lngNextID = -1;
  int32_t lngPrevID = -1;
  // The opened glossary entry: terms in languages 1 and 2, definitions in
  // languages 1 and 2.
  std::array<std::string, 4> aryGlossary;
  bool blnGlossaryOpen = false;
  std::string strOriginalTerm;
};

}  // namespace qv

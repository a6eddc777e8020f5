// Private procedures of the book module, shared by its .cc files.
//
// They work on the request's state (host/context.h): the open table and
// the settings (data/settings.h), the current page (session/current_page.h),
// the book (book/book_state.h), the rights in BookAuthorization. They write into the current
// response and report user-facing failures with ReportError; database and host errors reach the
// caller as exceptions. Nothing outside src/book includes this header.
//
// Where each lives: book_model.cc (page and book, rights), book.cc (request
// helpers), commands.cc (command links), client_scripts.cc (scripts),
// display.cc / markup.cc / library.cc (page display), contents.cc /
// navigation.cc / course_list.cc (contents and navigation), edit_fields.cc /
// edit_form.cc (edit forms), page_writes.cc (page writes), assignments.cc /
// submissions.cc / answer_markup.cc (assignments). Which later
// modules (assignments, glossary, files) are built is one table below;
// until then their entries are not reached.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/variant.h"
#include "data/connection.h"
#include "data/recordset.h"

namespace qv::book {

// Request helpers (book.cc) ---------------------------------------------------

// Request.Item(name): query string, form, cookies, server variables.
std::string RequestValue(const std::string& name);
// Request.Form(name) of a POST request; "" for any other request and for a
// body read as an upload. Writes take their values from here, so that a
// link (a GET) never changes data.
std::string PostedValue(const std::string& name);
// Request.QueryString(name).
std::string QueryValue(const std::string& name);
// The download form of the page was asked for (query string "qvDnLd" is
// "qvTm").
bool IsDownloadForm();
// The field name stem & suffix, e.g. LanguageField("dbTitle_", "e").
inline std::string LanguageField(const std::string& stem, const std::string& suffix) {
  return stem + suffix;
}

// Page, book and rights (book_model.cc) ---------------------------------------

// Reads page ID of TableName into objRS (updatable) and the page state.
// Unless blnExact, a negative ID -B reads the first top page of book B and
// ID becomes that page's id. Reports "ErrorNoPage" (writing " [ID]",
// HTML-encoded, when blnShowError), or "ErrorBookNotFound" for a negative
// ID, and leaves the state as it was when no row matches or ID is not a
// whole number. Returns whether the page was loaded.
bool LoadPage(bool blnExact);
// The registry row of lBookID: owner, code, titles, formats, level limits,
// and BookAuthorization by the first rule that holds (owner or author list,
// editor list, reader list, page level within the major group, page level
// within AnonymousAccessLevel; else no rights). "read" for lBookID <= 0;
// "ErrorNoBook" when the row is missing. Skipped after an error or when
// CheckPageOpen("OpenBook") fails.
void LoadBook();
// False without a message when the page was deleted; otherwise, without an
// open page, reports "ErrorPageNotOpen" (followed by strCaller when
// blnShowError) and returns false.
bool CheckPageOpen(const std::string& strCaller);
// strRight occurs in BookAuthorization (so "readpage" grants "read").
bool HasRight(const std::string& strRight);
// The caller administers the site: major group "99", or "admin" in
// BookAuthorization. Guards the user, group and book registry pages.
bool IsSystemAdmin();

// id is a member of a ", "-separated list: ", " & id & "," occurs in
// ", " & list & ",". An empty id never matches; an empty or Null list
// matches nobody.
bool ListHasMember(const Variant& list, const std::string& id);
// The caller is listed: the user id in users, the major group in groups,
// or one of the minor groups in groups (each as a whole member).
bool CallerIsListed(const Variant& users, const Variant& groups);

// Book registry (registry.cc) --------------------------------------------------

// The caller may edit registry row strID: an administrator, or the book's
// owner or a listed author (by user or group). An id that is no whole number
// gives no right.
bool CanEditBookRecord(const std::string& strID);
// name in lower case when it is a plain identifier and a registered book
// table or a "dbTableName" code value; else nothing.
std::optional<std::string> ValidBookTable(const std::string& name);

// Command links (commands.cc) -------------------------------------------------

// One command link back to the current page with "qvAction=" & action;
// through qvMenuConfirm when the message labelKey & "Confirm" is set (the
// confirmation script is written once per request). Nothing in download
// form or when the label message is "".
void WriteCommand(const std::string& action, const std::string& labelKey);
// A link whose address (message urlKey, each "?" replaced by params or
// params appended) and text (message labelKey) are system messages.
// Nothing in download form or when the address message is "".
void WriteMsgLink(const std::string& urlKey, const std::string& labelKey,
                  const std::string& params);

// Client-side scripts (client_scripts.cc) -------------------------------------

// The block defining qvMenuConfirm(Msg, URL, Target); lines joined by CR LF.
void WriteConfirmScript();
// The blocks defining qvTmGlossary(id) and qvGlossary(id), opening the page
// of the message "URLGlossary" with its window features.
void WriteGlossaryScript();

// Page display (display.cc, markup.cc, library.cc) ----------------------------

// The page body: read right, finished notes, both languages and the other
// language, bulletin children, discussion remark and commands, or the
// library record.
void ShowPageBody();
// Media (when language is not ""), assignment markup (not in download
// form) and paths expanded.
std::string ExpandPage(std::string text, const std::string& language);
// "<qvTm.Media(id)>" tags replaced by the qvmedia row's dbContent_ &
// language (at most 32 passes).
std::string ExpandMedia(std::string text, const std::string& language);
// "qvTmMPath/", "qvTmGoto", "qvTmIPath/" replaced.
std::string ExpandPaths(std::string text);
// The "<qvTm.db...>" field tags of a display format filled from record.
std::string FillFormat(const std::string& format, const Recordset& record,
                       const std::string& language);
void ShowLibraryRecord();
void ShowLibraryField(const std::string& stem, int mode);
// Saves or deletes a holding from the posted holdings form.
void UpdateBibOwner();

// Contents and navigation (contents.cc, navigation.cc) -------------------------

// Indent written count times.
void WriteIndent(int count);
// An image of vImageDir, with alt unless alt holds "<img".
void WriteImage(const std::string& name, const std::string& alt);
// The one page link: external links, headings, frame targets, download
// parameters.
void WriteLink(const Variant& id, const Variant& text, bool hasChildren, int pageType,
               const Variant& urlLink, bool isEdit, int level, const std::string& params);
// A field of the current page row: from objRS while it still holds that
// row, else read again by id. Null when no page is open.
Variant CurrentPageField(const std::string& field);
// None of "admin", "author", "editor" is held.
bool NoEditRight();
// The fields of a page row that a contents line and the sibling walk use.
struct ListedPage {
  Variant id;
  int32_t children = 0;
  int type = 0;
  int level = 0;
  int32_t book_id = 0;
  int indent = 0;
  int thumbnail = 0;
  Variant url_link;
  Variant title;
  bool finished_first = true;
  bool finished_second = true;
  Variant expired;
  Variant owner;
};
// The children of parent in the open table, in order (dbOrder, ID); unless
// isEdit only those shown to readers: finished in the first language and
// not expired.
std::vector<ListedPage> ReadChildren(int64_t parent, bool isEdit);
// The dbPID of page id in the open table, or nothing when there is no such
// page.
std::optional<int64_t> ParentOf(int64_t id);
// The connection of the last dbOpen while it is open, else a new one.
std::shared_ptr<Connection> PageConnection();
// url with "<qvTm.TargetURL>" (TargetFile, or ThisURL when that is ""),
// "<qvTm.ThisURL>" and "<qvTm.TargetFrame>" replaced.
std::string ExpandLinkPlaceholders(const std::string& url);
// The end of a link's start tag through ParentFrameFile: "\" target=\"_self\">"
// when the current script is that file, else "\" target=\"_parent\">".
std::string ParentFrameTarget();

// Modules still to come ------------------------------------------------------------
//
// Until a module is built its commands are not offered and a request for one
// of its actions reports "ErrorNotAvailable" instead of succeeding while
// doing nothing. A module flips its entry here when it lands.
enum class Module { kPageEditing, kGlossary, kAssignments, kFiles };
inline constexpr bool kModuleBuilt[] = {
    true,  // kPageEditing: edit, add, delete, cut and paste, page properties
    true,  // kGlossary: the glossary links of a page
    true,  // kAssignments: answer forms, submissions, marking, quiz branching
    true,  // kFiles: upload and the media files of a page
};
constexpr bool IsBuilt(Module module) { return kModuleBuilt[static_cast<int>(module)]; }
// False for a "qvAction" of a module not built yet; true for every other
// value, also those no module knows ("", "show").
bool ActionAvailable(const std::string& action);
// The page dispatch knows the "qvAction" ("", "show" and every module's
// actions, built or not).
bool ActionKnown(const std::string& action);
// Page types 6 to 11 (quiz to checked assignment): their text holds the
// answers.
constexpr bool IsAssignmentType(int type) { return type >= 6 && type <= 11; }

// Edit forms (edit_fields.cc, edit_form.cc) ----------------------------------------

// The whole edit, add, reply or property form of this request, with objRS
// open on the current page (its values fill the controls), followed by the
// media list of the page when not adding.
void EditRecordForm();
// Which form a request asks for: its action ("edit", "add"), the property
// form ("edit=property"), a discussion reply or comment ("reply=y").
struct FormVariant {
  std::string action;
  bool property = false;
  bool reply = false;
};
// The form this request's values ask for.
FormVariant RequestedForm();
// The field list of a form, lower case: FormatAuth after a leading "!" for
// every form; else FormatAuth or FormatEdit by the "auth" right, or the
// table's default; the property list for the property form; "dbremark" for
// a comment, "dbtitle,dbcontent" for a reply.
std::string FieldListOf(const FormVariant& form);
// The items of a field list: lower case, cut at each ",", each trimmed
// (empty items kept).
std::vector<std::string> FieldListItems(const std::string& list);
// FieldListOf(RequestedForm()); sets strHelpCode to "editproperty" for the
// property form.
std::string EditFieldList();
// Writes the label and control of each item of a field list, in order.
void EditFields(const std::string& list);
// The record fields that a form posts back and a save of it may write, in
// the languages in use and for the caller's rights: the controls of its
// list (not the read-only title of the property form, not the type of a
// reply, the owner only with "auth", not the expiry, which the save
// computes from the posted days) and the finished flags that the form sets
// hidden when its list lacks "dbfinished". The placement fields of a new
// page are not included: the save computes them.
std::vector<std::string> EditFormColumns(const FormVariant& form);

// Page writes (page_writes.cc) -------------------------------------------------------

// Each checks the caller's right itself, reports its error key and writes
// nothing when refused. Tree changes commit as one transaction.
//
// The edit form ("update", the page's owner, or "author" for a discussion
// comment), or with a posted "submit" its save; the page is loaded again.
void DoEditPage();
// The form of a new page ("add", the right of its place, or a reply the
// discussion commands offer this reader), or with a posted "Submit" and no
// confirmed title its save.
void DoAddPage();
// Saves the posted form of the current page, or adds the new page and
// redirects to it. The library's duplicate dialogue (strPendingMsg), the
// empty and unique title checks, and "ErrorInvalidValue" for an unknown
// place, expiry days that are not a whole number or a book not of this
// table. A stamp conflict keeps the posted values in objRS and sets
// blnShowFormAgain.
void SavePage();
// Blank sections from level down to PageLevelMin under parentID.
void CreateFirstChild(int level, int32_t parentID);
// "move": the current page onto the session's clipboard (log 10).
void CutPage();
// "move": the clipboard page before the current page or at the bottom of
// its level, the old parent's mark cleared, the siblings renumbered (log
// 11); "cancel" empties the clipboard; other values do nothing.
void PastePage();
// The clipboard holds a page of this table, book and level other than the
// current page.
bool CanPaste();
// Clears the child mark of parentID when no page but excludeID is below it.
void ClearChildMark(int32_t parentID, int32_t excludeID);
// Renumbers the current page and its siblings 1, 3, 5, ... (not in the
// glossary and the library); for those who may change the tree and the
// page's owner.
void RearrangePages();
// "delete" or "author": removes the current leaf page (not the only top
// page of its book), clears its parent's mark, logs 12, reports
// "msgPageDeleted" unshown and sets blnPageDeleted.
void DeletePage();

// Assignments (assignments.cc, submissions.cc) ------------------------------------

// Stores the posted answer form (blnSubmit, "submitassignment" and
// "submitanonymous") or marking form ("submitcheckassignment"); a posted
// form only, each checking its caller (see submissions.cc).
void SaveSubmission(bool blnSubmit);
// The personal note of the caller on the current page, from the posted
// form (log 5); a visitor who is not logged in is refused.
void SaveNotes();
// For markers: every submission of the current page with its status and
// mark, each linked to its marking form.
void ListSubmissions();
// The public submissions (status 4 to 6) of the current page, written to
// the response; in review mode and on class discussions and checked
// assignments only.
void ListOtherSubmissions();
// The answer form of an assignment page (types 6 to 11) for the caller and
// this request: answer form, read-only view, marking form (blnCheck) or
// review; other pages' text unchanged.
std::string ExpandAssignment(std::string text, bool blnCheck);
// The status choices (blnChoice) or field for the form mode shown, at most
// once per expansion.
std::string StatusBlock(bool blnChoice);

// Entries of later modules (display.cc) ---------------------------------------------
//
// Until their module is built, ShowPage does not reach them; the ones that
// act report "ErrorNotAvailable" should anything else call them.
// Glossary (glossary.cc): the first-language content of the current page,
// each CR LF a space; the form of the glossary terms found in it; the
// write of that form (needs the "glossary" right), linking the checked
// terms anew.
std::string ReadPageContent();
void ListGlossaryForm();
void UpdateGlossaryLinks();
// Files (media.cc): the upload form (with the "upload" right) and the file
// list of the page after its edit form, both aimed at the site's upload
// page (the message "URLUploadFiles").
void PageMediaForm();

// Upload lookups (uploads.cc) ----------------------------------------------------
//
// Over the upload table of this request (files/upload.h): Book.RequestForm
// and Book.RequstUploaded return them unchanged.
Variant UploadFormValue(const std::string& varName);
Variant UploadedFileInfo(int16_t Index, const std::string& varName);

// Media files (media.cc) -------------------------------------------------------------

// The prefix of page id's media files: "m", the id zero-padded to six digits
// (more for ids of a million and above, so that no two pages share one), "_".
std::string PagePrefix(const Variant& id);
// A user id as one folder name: letters, digits, "_" and "-" stay, every
// other byte becomes "%XX" (so no separator, dot or NUL remains).
std::string StagingFolderName(const std::string& user_id);
// One plain file name: not empty, no "/", "\", "..", "*", "?" or control
// character.
bool IsPlainFileName(std::string_view name);
// A file name for a media address: EscapePath, and "?", quotes, "<", ">"
// percent-encoded.
std::string MediaUrlName(const std::string& name);
// Text for a double-quoted JavaScript string that is safe in an HTML
// attribute too: letters, digits and a few marks stay, everything else is
// a \uXXXX escape of its UTF-8 code point.
std::string JsStringText(std::string_view text);
// word is one item of BookAuthorization (items separated by ",", ";" or
// blanks), unlike HasRight's substring test.
bool HasRightWord(const std::string& word);
// The page's files with download links and, with blnDelete, deletion links
// (to script) and the deletion of the query's "deletefile"; "up" needed.
void ListPageFiles(bool blnDelete, const std::string& script);

}  // namespace qv::book

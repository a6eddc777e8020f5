// qvTome.Book(): the book object, one section of members per part of the
// book module.
//
// Model: OpenPage(table, DefaultID = "0"), ReOpenPage(id), ReOpenSubPage(),
// OpenBook() and the read-only properties of the current page ('.').
// Display: ShowPage(). Contents and navigation: ListContentsLevel,
// ListContents, ListMenu, GoTop, GoUp, GoRefresh, GoNext, GoPrevious,
// PageTitle, ParentTitle, ClosePage. Page writes and forms: UpdatePage,
// PageInfo, EditPage, Notes(NoteMsg). Glossary and help: OpenGlossary(id),
// ShowGlossary(language = 1), GlossaryTerm(language = 1), GetGlossaryOriginalTerm,
// Help(code = ""). Course list: ListCourses(table,
// editOnly = false, image = "mark_book.gif"), FirstBookID(table), BookTitle,
// BookDescription, BookRemark. Users and groups: ListGroups(mark = ""),
// ListUsers(mark = ""), EditUser(), strEditUserID. Book registry:
// ListTables(mark = ""), ListBooks(mark = ""), EditBook(), EditBookID.
// Password mail: eMailPassword(userID).
// Upload: RequestForm(varName = ""), RequstUploaded(Index = 0, varName = "").
// Media files: FilesUpload(addMsg = ""), FilesList().
#include "book/book.h"
#include "script/bind_class.h"

namespace qv::script {

template <>
struct BoundClass<Book> {
  static constexpr const char* name = "qvTome.Book";
};

namespace {

constexpr Member kMembers[] = {
    // Model.
    Method<&Book::OpenPage, _, Text("0")>("OpenPage"),
    Method<&Book::ReOpenPage>("ReOpenPage"),
    Method<&Book::ReOpenSubPage>("ReOpenSubPage"),
    Method<&Book::OpenBook>("OpenBook"),
    ReadOnly<&Book::GetErrorMsg>("GetErrorMsg"),
    ReadOnly<&Book::HasError>("HasError"),
    ReadOnly<&Book::ID>("ID"),
    ReadOnly<&Book::GetBookID>("GetBookID"),
    ReadOnly<&Book::GetBookCode>("GetBookCode"),
    ReadOnly<&Book::GetBookOwnerID>("GetBookOwnerID"),
    ReadOnly<&Book::GetPageOwnerID>("GetPageOwnerID"),
    ReadOnly<&Book::GetPageType>("GetPageType"),
    ReadOnly<&Book::GetPageLevel>("GetPageLevel"),
    ReadOnly<&Book::hasSubPage>("hasSubPage"),
    ReadOnly<&Book::thePage>("thePage"),
    ReadOnly<&Book::HelpCode>("HelpCode"),
    ReadOnly<&Book::GetPageNo>("GetPageNo"),
    ReadOnly<&Book::GetPageNoTotal>("GetPageNoTotal"),
    ReadOnly<&Book::IsEditor>("IsEditor"),
    ReadOnly<&Book::IsAuthor>("IsAuthor"),
    ReadOnly<&Book::IsAdmin>("IsAdmin"),
    ReadOnly<&Book::IsReaderOnly>("IsReaderOnly"),

    // Display.
    Method<&Book::ShowPage>("ShowPage"),

    // Contents and navigation.
    Method<&Book::ListContentsLevel>("ListContentsLevel"),
    Method<&Book::ListContents, _, _, _, true>("ListContents"),
    Method<&Book::ListMenu>("ListMenu"),
    Method<&Book::GoTop>("GoTop"),
    Method<&Book::GoUp>("GoUp"),
    Method<&Book::GoRefresh>("GoRefresh"),
    Method<&Book::GoNext>("GoNext"),
    Method<&Book::GoPrevious>("GoPrevious"),
    Method<&Book::PageTitle, 1>("PageTitle"),
    Method<&Book::ParentTitle>("ParentTitle"),
    Method<&Book::ClosePage, true>("ClosePage"),

    // Page writes, page information, edit forms.
    Method<&Book::UpdatePage>("UpdatePage"),
    Method<&Book::PageInfo>("PageInfo"),
    Method<&Book::Notes>("Notes"),
    Method<&Book::EditPage>("EditPage"),

    // Glossary and help.
    Method<&Book::OpenGlossary>("OpenGlossary"),
    Method<&Book::ShowGlossary, 1>("ShowGlossary"),
    Method<&Book::GlossaryTerm, 1>("GlossaryTerm"),
    ReadOnly<&Book::GetGlossaryOriginalTerm>("GetGlossaryOriginalTerm"),
    Method<&Book::Help, Text("")>("Help"),

    // Users and groups.
    Method<&Book::ListGroups, Text("")>("ListGroups"),
    Method<&Book::ListUsers, Text("")>("ListUsers"),
    Method<&Book::EditUser>("EditUser"),
    ReadOnly<&Book::EditUserID>("strEditUserID"),
    // Book registry.
    Method<&Book::ListTables, Text("")>("ListTables"),
    Method<&Book::ListBooks, Text("")>("ListBooks"),
    Method<&Book::EditBook>("EditBook"),
    ReadOnly<&Book::EditBookID>("EditBookID"),
    // Media files.
    Method<&Book::FilesUpload, Text("")>("FilesUpload"),
    Method<&Book::FilesList>("FilesList"),

    // Course list.
    Method<&Book::ListCourses, _, _, Text("mark_book.gif")>("ListCourses"),
    Method<&Book::FirstBookID>("FirstBookID"),
    Method<&Book::BookTitle>("BookTitle"),
    Method<&Book::BookDescription>("BookDescription"),
    Method<&Book::BookRemark>("BookRemark"),

    // Password mail.
    Method<&Book::eMailPassword>("eMailPassword"),
    // Upload.
    Method<&Book::RequestForm>("RequestForm"),
    Method<&Book::RequstUploaded>("RequstUploaded"),
};

const ClassRegistration kBook = Register<Book>(kMembers, kCreatedByScripts);

}  // namespace
}  // namespace qv::script

// Help texts: entries of the glossary's book 1, keyed by a help code in
// dbKeyword_e, created on first use.
#include <string>

#include "book/book.h"
#include "book/book_internal.h"
#include "book/book_state.h"
#include "core/convert.h"
#include "core/encode.h"
#include "core/sql_literal.h"
#include "data/aspproc.h"
#include "data/read_cache.h"
#include "data/recordset.h"
#include "data/settings.h"
#include "session/identity.h"
#include "session/messages.h"

namespace qv {
namespace {

bool TableRegistered(const std::string& table) {
  if (table.empty()) return false;
  return !CachedRows("SELECT ID FROM qvAuthBook where dbTableName=" + SqlText(table),
                     {"qvAuthBook"})
              ->rows.empty();
}

// The empty help entry of a code: book 1, under the glossary's top page,
// titled by the code in every language in use.
void CreateHelpEntry(const std::string& code) {
  const Settings& s = TheSettings();
  std::shared_ptr<Connection> conn = OpenOwnConnection();
  Recordset rs;
  rs.Open("SELECT * FROM qvglossary Where id=0", conn, adOpenKeyset, adLockBatchOptimistic);
  rs.AddNew();
  rs.SetValue("dbPID", 1);
  rs.SetValue("dbBookID", 1);
  rs.SetValue("dbOwnerID", "qvtome");
  rs.SetValue("Stamp", "qvtome," + DateSerialText(Now()));
  rs.SetValue("dbOrder", 9999);
  rs.SetValue("dbKeyword_e", code);
  for (const std::string* language : {&s.FirstLanguage, &s.SecondLanguage, &s.strOtherLanguage}) {
    if (!language->empty()) rs.SetValue(book::LanguageField("dbTitle_", *language), code);
  }
  rs.SetValue(book::LanguageField("dbContent_", s.FirstLanguage), "Help on " + code);
  rs.UpdateBatch();
  rs.Close();
  conn->Close();
}

void WriteEditLink(const std::string& code) {
  if (CurrentMajorGroupID() != "99") return;
  book::WriteMsgLink("URLHelp", "msgEditCommand",
                     "?helpcode=" + UrlEncode(code) + "&language=" + TheSettings().FirstLanguage);
}

}  // namespace

void Book::Help(const std::string& strHelpCode) {
  const Settings& s = TheSettings();
  std::string code = strHelpCode;
  bool may_create = true;
  if (code.empty()) {
    // The action is the visitor's: only actions the page knows and ran, in
    // a book table, make an entry.
    const std::string action = book::RequestValue("qvAction");
    code = CurrentBook().strHelpCode + "_" + s.TableName + "_" + action;
    may_create =
        book::ActionKnown(action) && Messages().strErrorMsg.empty() && TableRegistered(s.TableName);
  }
  // Help entries come from the read cache (valid until the glossary changes).
  const std::shared_ptr<const QueryResult> text =
      CachedRows("SELECT " + book::LanguageField("dbContent_", s.FirstLanguage) +
                     " FROM qvglossary where dbBookID=1 and dbKeyword_e=" + SqlText(code),
                 {"qvglossary"});
  if (!text->rows.empty()) {
    WriteEditLink(code);
    ResponseWrite(NullToStr(text->rows[0][0]));
    return;
  }
  if (may_create) {
    CreateHelpEntry(code);
    WriteEditLink(code);
  }
  ResponseWrite("New help on " + HtmlEncode(code));
}

}  // namespace qv
